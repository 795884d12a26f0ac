#include <windows.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "aim/AIM.h"
#include "aim/EntryText.h"
#include "misc/Ansi.h"
#include "misc/Text.h"

namespace velmora {
namespace {

// The AIM client's window classes. The client's own lookups are by class alone, no titles.
constexpr char kImWindowClass[] = "aim_imessage";
constexpr char kPaneClass[] = "wndate32class";
constexpr char kTextClass[] = "ate32class";
constexpr char kIconButtonClass[] = "_oscar_iconbtn";

enum class Delivery {
    Answered,
    NoWindow,    // handle 0, or a window closed meanwhile: nobody to wait for
    Unanswered,  // the client is busy or hung
    Refused,     // not sent: an earlier message to that client is still unanswered
};

// One message to the AIM client and what came of it. The text it carries (WM_SETTEXT's text,
// WM_GETTEXT's buffer) lives here, so an answer that comes after Velmora gave up still writes
// into live memory.
struct Letter {
    HWND target = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    std::string text;
    std::wstring wideText;     // the text of a wide letter
    bool carriesText = false;  // lParam is the text
    bool wide = false;         // sent as the "W" message, carrying wideText
    DWORD_PTR result = 0;
    Delivery delivery = Delivery::Unanswered;
    bool finished = false;  // guarded by the courier's lock
};

std::shared_ptr<Letter> MakeLetter(HWND target, UINT message, WPARAM wParam = 0) {
    auto letter = std::make_shared<Letter>();
    letter->target = target;
    letter->message = message;
    letter->wParam = wParam;
    return letter;
}

void Deliver(Letter& letter) noexcept {
    LPARAM lParam = 0;
    if (letter.carriesText)
        lParam = letter.wide ? reinterpret_cast<LPARAM>(letter.wideText.data())
                             : reinterpret_cast<LPARAM>(letter.text.data());
    SetLastError(ERROR_SUCCESS);
    const auto send = letter.wide ? &SendMessageTimeoutW : &SendMessageTimeoutA;
    if (send(letter.target, letter.message, letter.wParam, lParam, SMTO_ABORTIFHUNG, kImAnswerBoundMs,
             &letter.result)) {
        letter.delivery = Delivery::Answered;
        return;
    }
    // A window that is still there but did not answer is busy or hung.
    const bool stillThere = letter.target != nullptr && IsWindow(letter.target);
    letter.delivery = GetLastError() == ERROR_TIMEOUT || stillThere ? Delivery::Unanswered : Delivery::NoWindow;
}

// Carries the messages to the windows of one of the client's threads from a thread of its own
// and waits for each at most kImAnswerBoundMs. SendMessageTimeout alone does not bound the
// wait everywhere: Wine gives up on another process's window only once that process wakes
// again. While an earlier message is still on its way that thread is taken as hung, and
// nothing more is sent to it; the other threads' couriers go on.
class Courier {
public:
    // The courier of the thread that owns the window; nullptr where none is needed (no window)
    // or none could be made, and the message then goes straight.
    static Courier* For(HWND target) {
        const DWORD thread = target != nullptr ? GetWindowThreadProcessId(target, nullptr) : 0;
        if (thread == 0) return nullptr;
        static SRWLOCK lock = SRWLOCK_INIT;
        // Never destroyed: a courier's thread may still be waiting on a hung client when the
        // program ends. Bounded, so a thousand clients come and gone cost no more threads.
        static auto* const couriers = new std::map<DWORD, Courier*>();
        AcquireSRWLockExclusive(&lock);
        Courier* courier = nullptr;
        try {
            if (const auto found = couriers->find(thread); found != couriers->end()) {
                courier = found->second;
            } else if (couriers->size() < kMostCouriers) {
                courier = new Courier();
                couriers->emplace(thread, courier);
            }
        } catch (...) {
            courier = nullptr;
        }
        ReleaseSRWLockExclusive(&lock);
        return courier;
    }

    Delivery Carry(const std::shared_ptr<Letter>& letter) {
        if (!thread_) {
            Deliver(*letter);
            return letter->delivery;
        }
        AcquireSRWLockExclusive(&lock_);
        if (busy_) {
            ReleaseSRWLockExclusive(&lock_);
            return Delivery::Refused;
        }
        pending_ = letter;
        busy_ = true;
        WakeAllConditionVariable(&changed_);
        // Waits, while the lock is let go, for the letter or for the bound, whichever comes first.
        const ULONGLONG deadline = GetTickCount64() + kImAnswerBoundMs;
        while (!letter->finished) {
            const ULONGLONG now = GetTickCount64();
            if (now >= deadline) break;
            SleepConditionVariableSRW(&changed_, &lock_, static_cast<DWORD>(deadline - now), 0);
        }
        const Delivery delivery = letter->finished ? letter->delivery : Delivery::Unanswered;
        ReleaseSRWLockExclusive(&lock_);
        return delivery;
    }

private:
    static constexpr std::size_t kMostCouriers = 64;

    // The thread goes straight to the window system's calls; the C++ thread library (and the
    // threading runtime it brings into a static exe) is not needed for one worker.
    Courier() { thread_ = CreateThread(nullptr, 0, &Courier::Start, this, 0, nullptr); }

    static DWORD WINAPI Start(void* self) {
        static_cast<Courier*>(self)->Run();
        return 0;
    }

    void Run() noexcept {
        for (;;) {
            AcquireSRWLockExclusive(&lock_);
            while (!pending_) SleepConditionVariableSRW(&changed_, &lock_, INFINITE, 0);
            std::shared_ptr<Letter> letter = std::move(pending_);
            pending_.reset();
            ReleaseSRWLockExclusive(&lock_);

            Deliver(*letter);

            AcquireSRWLockExclusive(&lock_);
            letter->finished = true;
            busy_ = false;
            ReleaseSRWLockExclusive(&lock_);
            WakeAllConditionVariable(&changed_);
        }
    }

    HANDLE thread_ = nullptr;  // held for the program's life
    SRWLOCK lock_ = SRWLOCK_INIT;
    CONDITION_VARIABLE changed_ = CONDITION_VARIABLE_INIT;
    std::shared_ptr<Letter> pending_;
    bool busy_ = false;
};

Delivery Send(const std::shared_ptr<Letter>& letter) {
    if (Courier* courier = Courier::For(letter->target)) return courier->Carry(letter);
    Deliver(*letter);
    return letter->delivery;
}

ImAnswer AnswerOf(Delivery delivery) {
    return delivery == Delivery::Unanswered || delivery == Delivery::Refused ? ImAnswer::TimedOut : ImAnswer::InTime;
}

// An answer carried back as LRESULT, read as the signed number it is.
long long SignedResult(const Letter& letter) { return static_cast<LONG_PTR>(letter.result); }

// A text control's text in the form the control holds it: the code page's bytes in an ANSI
// window, UTF-16 in a Unicode one. Written back in that form it is exactly what it was.
struct HeldText {
    bool wide = false;
    std::string bytes;
    std::wstring units;

    bool Empty() const noexcept { return wide ? units.empty() : bytes.empty(); }
};

// What the client wrote into a WM_GETTEXT buffer: its first `copied` characters, up to the
// text's terminator (what lies after it was never written by the client).
template <typename Characters>
Characters WrittenPart(Characters& buffer, std::size_t copied) {
    buffer.resize(copied);
    if (const std::size_t end = buffer.find(typename Characters::value_type{}); end != Characters::npos)
        buffer.resize(end);
    return std::move(buffer);
}

// A text control's text, asked for as the client expects: its length n, then n characters,
// through the "W" messages when wide. TimedOut when the client did not answer in time,
// Nonsense when its answers cannot be so; an empty text when there is no window.
ImAnswer ReadHeldText(HWND control, bool wide, HeldText& text) {
    text = HeldText{};
    text.wide = wide;
    const auto length = MakeLetter(control, WM_GETTEXTLENGTH);
    length->wide = wide;
    const Delivery lengthDelivery = Send(length);
    if (lengthDelivery != Delivery::Answered) return AnswerOf(lengthDelivery);
    const std::optional<std::size_t> n = TrustedTextLength(SignedResult(*length));
    if (!n) return ImAnswer::Nonsense;

    const auto read = MakeLetter(control, WM_GETTEXT, *n + 1);
    read->wide = wide;
    if (wide)
        read->wideText.assign(*n + 1, L' ');
    else
        read->text.assign(*n + 1, ' ');
    read->carriesText = true;
    const Delivery readDelivery = Send(read);
    if (readDelivery != Delivery::Answered) return AnswerOf(readDelivery);
    // The conversation may have grown since the length was asked; the first n characters
    // count, and a claim of more than that never reaches past the buffer.
    const std::optional<std::size_t> copied = TrustedCopiedLength(SignedResult(*read), *n);
    if (!copied) return ImAnswer::Nonsense;
    // Under Wine a wide text comes back across processes only as far as the answer claims: a
    // claim beyond the buffer leaves it unwritten, and its filling would be taken for the text.
    if (wide && SignedResult(*read) > static_cast<long long>(*n)) return ImAnswer::Nonsense;
    // Answered: the letter is finished, and its buffer is taken over rather than copied (a
    // conversation may be megabytes).
    if (wide)
        text.units = WrittenPart(read->wideText, *copied);
    else
        text.bytes = WrittenPart(read->text, *copied);
    return ImAnswer::InTime;
}

ImAnswer ReadText(HWND control, std::wstring& text) {
    HeldText held;
    const ImAnswer answer = ReadHeldText(control, false, held);
    text = FromAnsi(held.bytes);
    return answer;
}

// Sets a text control's text, in the form given.
std::shared_ptr<Letter> SetTextLetter(HWND control, const HeldText& text) {
    auto letter = MakeLetter(control, WM_SETTEXT);
    letter->carriesText = true;
    letter->wide = text.wide;
    letter->text = text.bytes;
    letter->wideText = text.units;
    return letter;
}

// The reply as the entry takes it: the text itself in a Unicode entry; in the client's ANSI
// entry, whose text is HTML, with entities and character references (aim/EntryText.h), so no
// character becomes "?" or a look-alike.
HeldText ReplyForEntry(std::wstring_view reply, bool wideEntry) {
    HeldText text;
    text.wide = wideEntry;
    if (wideEntry)
        text.units = reply;
    else
        text.bytes = ToAnsiWithoutLookAlikes(ReplyForHtmlEntry(reply, AnsiCarries));
    return text;
}

// The conversation pane's text control; every handle on the way is passed on as found.
HWND ConversationView(HWND im) {
    HWND conversationPane = FindWindowExA(im, nullptr, kPaneClass, nullptr);
    return FindWindowExA(conversationPane, nullptr, kTextClass, nullptr);
}

ImAnswer ReadConversation(HWND im, std::wstring& markup) { return ReadText(ConversationView(im), markup); }

bool IsImWindowClass(HWND window) {
    char name[sizeof kImWindowClass + 1] = {};
    const int length = GetClassNameA(window, name, static_cast<int>(sizeof name));
    // Class names compare without regard to letter case, as the window system compares them.
    return length == static_cast<int>(sizeof kImWindowClass - 1) &&
           CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, name, length, kImWindowClass, length) == CSTR_EQUAL;
}

BOOL CALLBACK CollectImWindow(HWND window, LPARAM list) noexcept {
    try {
        if (IsImWindowClass(window)) reinterpret_cast<std::vector<ImWindow>*>(list)->push_back(window);
    } catch (...) {
        return FALSE;  // out of memory: the windows found so far
    }
    return TRUE;
}

}  // namespace

std::vector<ImWindow> ImWindows() {
    std::vector<ImWindow> windows;
    EnumWindows(&CollectImWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

ImWindow FirstImWindow() { return FindWindowA(kImWindowClass, nullptr); }

std::wstring ImWindowTitle(ImWindow im) {
    if (im == nullptr) return {};
    // The title as the window system keeps it: InternalGetWindowText sends no message, not even
    // to a window of this process.
    std::wstring title(256, L'\0');
    for (;;) {
        const int copied = InternalGetWindowText(im, title.data(), static_cast<int>(title.size()));
        if (copied < 0 || static_cast<std::size_t>(copied) + 1 < title.size() || title.size() >= 65536) {
            title.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
            return title;
        }
        title.resize(title.size() * 4);
    }
}

ImLength ConversationLengthOf(ImWindow im) {
    const auto length = MakeLetter(ConversationView(im), WM_GETTEXTLENGTH);
    const Delivery delivery = Send(length);
    if (delivery != Delivery::Answered) return {AnswerOf(delivery), 0};
    const std::optional<std::size_t> n = TrustedTextLength(SignedResult(*length));
    if (!n) return {ImAnswer::Nonsense, 0};
    return {ImAnswer::InTime, *n};
}

ImReading ConversationOf(ImWindow im) {
    ImReading reading;
    reading.answer = ReadConversation(im, reading.text);
    if (reading.answer != ImAnswer::InTime) reading.text.clear();
    return reading;
}

ImAnswer SendImText(std::wstring_view text) { return SendImTextTo(FirstImWindow(), text, nullptr); }

ImAnswer SendImTextTo(ImWindow im, std::wstring_view text, bool* reachedClient) {
    if (reachedClient) *reachedClient = false;
    HWND conversationPane = FindWindowExA(im, nullptr, kPaneClass, nullptr);
    // The entry pane is the second pane: the one after the conversation.
    HWND entryPane = FindWindowExA(im, conversationPane, kPaneClass, nullptr);
    HWND entry = FindWindowExA(entryPane, nullptr, kTextClass, nullptr);

    // The window system tells the entry's kind without asking the client.
    const bool wideEntry = entry != nullptr && IsWindowUnicode(entry);

    // What the user is typing there now, as the entry holds it: a reply that cannot keep it
    // safe is not sent.
    HeldText draft;
    if (const ImAnswer drafted = ReadHeldText(entry, wideEntry, draft); drafted != ImAnswer::InTime) return drafted;

    // A hung client is left alone: pressing Send later could send whatever the entry holds then.
    const Delivery written = Send(SetTextLetter(entry, ReplyForEntry(text, wideEntry)));
    if (written == Delivery::Refused) return ImAnswer::TimedOut;
    if (reachedClient) *reachedClient = true;
    if (written == Delivery::Unanswered) return ImAnswer::TimedOut;

    // Pressed even when there was no entry control to write into.
    HWND sendButton = FindWindowExA(im, nullptr, kIconButtonClass, nullptr);
    for (UINT message : {UINT{WM_LBUTTONDOWN}, UINT{WM_LBUTTONUP}})
        if (const Delivery pressed = Send(MakeLetter(sendButton, message));
            pressed == Delivery::Unanswered || pressed == Delivery::Refused)
            return ImAnswer::TimedOut;

    if (draft.Empty()) return ImAnswer::InTime;
    return AnswerOf(Send(SetTextLetter(entry, draft)));
}

ImReading ReadLastImLineOf(ImWindow im) {
    std::wstring markup;
    if (const ImAnswer answer = ReadConversation(im, markup); answer != ImAnswer::InTime) return {answer, {}};
    return {ImAnswer::InTime, LastImLineOfConversation(markup)};
}

ImReading ReadLastImLine() { return ReadLastImLineOf(FirstImWindow()); }

ImReading LastImSenderOf(ImWindow im) {
    std::wstring markup;
    if (const ImAnswer answer = ReadConversation(im, markup); answer != ImAnswer::InTime) return {answer, {}};
    return {ImAnswer::InTime, SenderOfConversation(markup)};
}

ImReading LastImSender() { return LastImSenderOf(FirstImWindow()); }

}  // namespace velmora
