#include <windows.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "aim/AIM.h"
#include "aim/EntryText.h"
#include "misc/Ansi.h"
#include "misc/Courier.h"
#include "misc/Failure.h"
#include "misc/Text.h"

namespace velmora {
namespace {

// The AIM client's window classes. The client's own lookups are by class alone, no titles.
constexpr char kImWindowClass[] = "aim_imessage";
constexpr char kPaneClass[] = "wndate32class";
constexpr char kTextClass[] = "ate32class";
constexpr char kIconButtonClass[] = "_oscar_iconbtn";

// Each message to the client waits this long at most; a reply already written waits on,
// however long the client takes, up to kMostFinishWaitMs.
Delivery Send(const std::shared_ptr<Letter>& letter) { return Carry(letter, kImAnswerBoundMs); }

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
    auto letter = MakeTextLetter(control, WM_SETTEXT, text.bytes);
    letter->wide = text.wide;
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
        ReportCaughtFailure(L"Listing the IM windows");
        return FALSE;  // the windows found so far
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
    const ImReplyReport report = SendImReply(im, text, ImReplyPatience::Bounded, nullptr);
    if (reachedClient) *reachedClient = report.reachedClient;
    return report.answer;
}

ImReplyReport SendImReply(ImWindow im, std::wstring_view text, ImReplyPatience patience,
                          const std::atomic<bool>* withdrawn) {
    ImReplyReport report;
    const bool finish = patience == ImReplyPatience::FinishWhatWasWritten;
    const auto withdrawnNow = [&] { return withdrawn && withdrawn->load(); };
    // A message of the reply the client takes longer than the bound for: once the reply is
    // written it is waited for, so the Send press and the draft never overtake it.
    const auto carryThrough = [&](const std::shared_ptr<Letter>& letter) {
        Delivery delivery = Send(letter);
        if (delivery == Delivery::Unanswered && finish) {
            report.slow = true;
            delivery = AwaitLate(letter, kMostFinishWaitMs);
        }
        return delivery;
    };
    const auto stoppedBy = [&](Delivery delivery) {
        report.answer = AnswerOf(delivery);
        report.outcome = IsWindow(im) ? ImReplyOutcome::ClientBusy : ImReplyOutcome::WindowClosed;
        return report;
    };
    if (im == nullptr || !IsWindow(im)) {
        report.outcome = ImReplyOutcome::WindowClosed;
        return report;
    }
    HWND conversationPane = FindWindowExA(im, nullptr, kPaneClass, nullptr);
    // The entry pane is the second pane: the one after the conversation.
    HWND entryPane = FindWindowExA(im, conversationPane, kPaneClass, nullptr);
    HWND entry = FindWindowExA(entryPane, nullptr, kTextClass, nullptr);

    // The window system tells the entry's kind without asking the client.
    const bool wideEntry = entry != nullptr && IsWindowUnicode(entry);

    // What the user is typing there now, as the entry holds it: a reply that cannot keep it
    // safe is not sent.
    HeldText draft;
    if (const ImAnswer drafted = ReadHeldText(entry, wideEntry, draft); drafted != ImAnswer::InTime) {
        report.answer = drafted;
        report.outcome = IsWindow(im) ? ImReplyOutcome::ClientBusy : ImReplyOutcome::WindowClosed;
        return report;
    }
    if (withdrawnNow()) {
        report.outcome = ImReplyOutcome::Withdrawn;
        return report;
    }
    report.draft = draft.Empty() ? ImDraftOutcome::NoDraft : ImDraftOutcome::NotPutBack;

    const HeldText reply = ReplyForEntry(text, wideEntry);
    // What the conversation will show of it: the entry's HTML, or the client's of a plain entry.
    report.written = reply.wide ? ReplyForHtmlEntry(text, [](char32_t) { return true; }) : FromAnsi(reply.bytes);
    const auto setText = SetTextLetter(entry, reply);
    // A hung client is left alone: pressing Send later could send whatever the entry holds then.
    const Delivery written = carryThrough(setText);
    if (written == Delivery::Refused) return stoppedBy(written);
    report.reachedClient = true;
    if (written == Delivery::Unanswered) return stoppedBy(written);
    if (written == Delivery::NoWindow && !IsWindow(im)) return stoppedBy(written);

    const auto putDraftBack = [&](bool evenEmpty) {
        if (draft.Empty() && !evenEmpty) return;
        const Delivery putBack = carryThrough(SetTextLetter(entry, draft));
        if (putBack == Delivery::Answered)
            report.draft = draft.Empty() ? ImDraftOutcome::NoDraft : ImDraftOutcome::PutBack;
        else
            report.draft = ImDraftOutcome::NotPutBack;
        if (putBack != Delivery::Answered) report.answer = AnswerOf(putBack);
    };
    // Withdrawn after the reply was written: it is not sent, and the entry holds the draft again.
    if (withdrawnNow()) {
        report.outcome = ImReplyOutcome::Withdrawn;
        putDraftBack(true);
        return report;
    }

    // Pressed even when there was no entry control to write into.
    HWND sendButton = FindWindowExA(im, nullptr, kIconButtonClass, nullptr);
    for (UINT message : {UINT{WM_LBUTTONDOWN}, UINT{WM_LBUTTONUP}})
        if (const Delivery pressed = carryThrough(MakeLetter(sendButton, message));
            pressed == Delivery::Unanswered || pressed == Delivery::Refused ||
            (pressed == Delivery::NoWindow && !IsWindow(im)))
            return stoppedBy(pressed);

    report.outcome = report.slow ? ImReplyOutcome::SentSlowly : ImReplyOutcome::Sent;
    putDraftBack(false);
    return report;
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
