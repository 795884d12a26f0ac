// aim-standin: an instant-message window with the window classes and child
// order of the AIM client's, which Velmora reads and drives from outside.
//
//   aim-standin.exe [--me NAME] [--panes N] [--buttons N] [--title TEXT] [--log FILE] [--im NAME]...
//                   [--unicode]
//
// Each IM window ("aim_imessage") holds, in creation order: the conversation
// pane ("wndate32class") with a read-only "ate32class" edit control, the entry
// pane ("wndate32class") with an editable "ate32class" control, and N icon
// buttons ("_oscar_iconbtn"), the first of which is Send. The first window is
// made at the start; "im NAME" opens one more, as the client does for each
// buddy, and "at K COMMAND" addresses a command to window K. Commands come one
// per line on standard input and are answered by "ok" (after any reply lines)
// or "error <why>"; "ready" is printed once the window exists. Arguments and
// replies escape CR, LF and backslash as \r, \n and \\. With --unicode the text controls
// are Unicode windows holding plain text, as a newer client's, and texts cross in UTF-8.
// See tools/README.md.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "../LineEscape.h"

namespace velmora::standin {
namespace {

constexpr char kImWindowClass[] = "aim_imessage";
constexpr char kPaneClass[] = "wndate32class";
constexpr char kTextClass[] = "ate32class";
constexpr char kIconButtonClass[] = "_oscar_iconbtn";
constexpr char kCommandWindowClass[] = "VelmoraAimStandInCommands";

constexpr UINT kCommandMessage = WM_APP + 1;     // lParam: CommandExchange*
constexpr UINT kHangMessage = WM_APP + 2;        // wParam: milliseconds
constexpr UINT kInputEndedMessage = WM_APP + 3;  // standard input is closed

constexpr int kConversationPaneId = 10;
constexpr int kEntryPaneId = 11;
constexpr int kTextControlId = 20;
constexpr int kFirstButtonId = 100;
constexpr int kMaxButtons = 16;
constexpr unsigned long kMaxHangMs = 10UL * 60UL * 1000UL;
// Windows are never moved in memory, so a window's own thread may look at its slot while
// commands add more.
constexpr std::size_t kMostWindows = 4096;

constexpr const char* kButtonCaptions[] = {"Send", "Warn", "Block", "Add Buddy", "Talk", "Get Info"};

struct Options {
    std::string me = "me99";
    int panes = 2;
    int buttons = 3;
    std::string title = "pal42 - Instant Message";
    std::string logPath;
    std::vector<std::string> moreBuddies;  // --im: a window each, after the first
    // --unicode: the text controls are Unicode windows whose text is plain text; Send makes the
    // markup. Their texts cross standard input and output, and the log, in UTF-8.
    bool unicode = false;
};

// One conversation: an IM window and what was done in it. A closed window keeps its slot (its
// number, title and counts), so "open" makes it afresh.
struct ImWindow {
    std::string title;
    HWND window = nullptr;
    HWND conversationPane = nullptr;
    HWND conversationText = nullptr;
    HWND entryPane = nullptr;
    HWND entryText = nullptr;
    std::vector<HWND> buttons;
    std::vector<unsigned> pressCounts;
    std::vector<std::string> sentTexts;
    // "lie": what the window and its text controls answer other programs instead of the truth.
    bool lying = false;
    LRESULT lengthLie = 0;
    LRESULT copiedLie = 0;
    // "stall", "stallsend": how much longer the next WM_SETTEXT from another program to the
    // entry, or the next Send press, takes (read and cleared by the window's thread).
    LONG setTextStallMs = 0;
    LONG sendStallMs = 0;
    HANDLE stallBegan = nullptr;  // a named event of the test's, set as a stall begins (or none)
    // "asked": how often another program asked the conversation for its length (a watch's reads).
    LONG lengthAsked = 0;
    // "thread": the window's own thread, which ends when the window closes.
    HANDLE thread = nullptr;

    void Forget() {
        window = conversationPane = conversationText = entryPane = entryText = nullptr;
        buttons.clear();
        lying = false;
    }
};

struct CommandExchange {
    std::string line;
    std::vector<std::string> replies;
    std::string answer;  // "ok" or "error <why>"
    bool answerWhenHangBegins = false;
    bool lastCommand = false;  // quit: nothing is read after it
};

// UI-thread state.
Options g_options;
// Window 1 is g_windows[0], the one made at the start, which commands without "at" address.
std::vector<ImWindow> g_windows;
bool g_inputEnded = false;
// Set while the stand-in reads its own texts: those are never lied about.
bool g_readingOwnText = false;
bool g_quitRequested = false;
WNDPROC g_editWindowProc = nullptr;
WNDPROC g_editWindowProcW = nullptr;

// Shared with the command reader.
std::atomic<HWND> g_commandWindow{nullptr};
HANDLE g_hangBegan = nullptr;

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

bool ParseSigned(std::string_view text, long long& value) {
    const bool negative = !text.empty() && text.front() == '-';
    if (negative) text.remove_prefix(1);
    if (text.empty() || text.size() > 18) return false;
    long long result = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        result = result * 10 + (c - '0');
    }
    value = negative ? -result : result;
    return true;
}

bool ParseNumber(std::string_view text, unsigned long max, unsigned long& value) {
    if (text.empty() || text.size() > 9) return false;
    unsigned long long result = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        result = result * 10 + static_cast<unsigned long long>(c - '0');
    }
    if (result > max) return false;
    value = static_cast<unsigned long>(result);
    return true;
}

void WriteLine(std::string_view text) {
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    if (output == nullptr || output == INVALID_HANDLE_VALUE) return;
    std::string line(text);
    line += '\n';
    DWORD written = 0;
    WriteFile(output, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    FlushFileBuffers(output);
}

std::string ToUtf8(std::wstring_view text) {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string converted(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, converted.data(), bytes, nullptr, nullptr);
    return converted;
}

std::wstring FromUtf8(std::string_view text) {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    const int units = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
    std::wstring converted(static_cast<std::size_t>(units > 0 ? units : 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), length, converted.data(), units);
    return converted;
}

// Under --unicode the text controls hold Unicode text. Without it none does, though a lying
// window is a Unicode window while it lies.
bool HoldsUnicodeText(HWND window) { return g_options.unicode && IsWindowUnicode(window); }

std::string WindowText(HWND window) {
    // The stand-in reads its own texts truthfully, also while it handles another program's
    // message (when InSendMessage holds for everything it does).
    const bool reading = g_readingOwnText;
    g_readingOwnText = true;
    struct Restore {
        bool reading;
        ~Restore() { g_readingOwnText = reading; }
    } restore{reading};
    if (HoldsUnicodeText(window)) {
        const int length = GetWindowTextLengthW(window);
        if (length <= 0) return {};
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        const int copied = GetWindowTextW(window, text.data(), length + 1);
        return ToUtf8(std::wstring_view(text.data(), static_cast<std::size_t>(copied > 0 ? copied : 0)));
    }
    const int length = GetWindowTextLengthA(window);
    if (length <= 0) return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

// A text control's text, given as WindowText gives it (UTF-8 for a Unicode window).
void SetWindowTextAs(HWND window, const std::string& text) {
    if (HoldsUnicodeText(window))
        SetWindowTextW(window, FromUtf8(text).c_str());
    else
        SetWindowTextA(window, text.c_str());
}

// The conversation a window, or one of its children, belongs to; nullptr for none.
ImWindow* ImWindowOf(HWND window) {
    HWND root = window != nullptr ? GetAncestor(window, GA_ROOT) : nullptr;
    if (root == nullptr) return nullptr;
    for (ImWindow& im : g_windows)
        if (im.window == root) return &im;
    return nullptr;
}

void ShowConversationEnd(const ImWindow& im) {
    const LRESULT length = SendMessageA(im.conversationText, WM_GETTEXTLENGTH, 0, 0);
    SendMessageA(im.conversationText, EM_SETSEL, static_cast<WPARAM>(length), length);
    SendMessageA(im.conversationText, EM_SCROLLCARET, 0, 0);
}

void AppendConversationLine(const ImWindow& im, const std::string& line) {
    const std::string conversation = WindowText(im.conversationText);
    SetWindowTextAs(im.conversationText, conversation.empty() ? line : conversation + "<BR>" + line);
    ShowConversationEnd(im);
}

// The log names the window of each text, except for window 1, whose lines stay as they were.
void AppendToLog(const ImWindow& im, const std::string& sentText) {
    if (g_options.logPath.empty()) return;
    HANDLE log = CreateFileA(g_options.logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE) return;
    const std::size_t number = static_cast<std::size_t>(&im - g_windows.data()) + 1;
    const std::string line = (number == 1 ? "" : "[" + im.title + "] ") + EscapeLine(sentText) + "\n";
    DWORD written = 0;
    WriteFile(log, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(log);
}

// What the real client does on Send: the entry text becomes the user's own
// line (line breaks as <BR>), and the entry is emptied. The classic client's entry holds
// markup, which goes as it stands; a Unicode entry holds plain text, made markup here.
void SendEntryText(ImWindow& im) {
    if (im.entryText == nullptr) return;
    const std::string text = WindowText(im.entryText);
    if (text.empty()) return;
    std::string markup = text;
    if (g_options.unicode) markup = ReplaceAll(ReplaceAll(ReplaceAll(text, "&", "&amp;"), "<", "&lt;"), ">", "&gt;");
    AppendConversationLine(im, "<B>" + g_options.me + "</B>: " + ReplaceAll(markup, "\r\n", "<BR>"));
    SetWindowTextAs(im.entryText, "");
    im.sentTexts.push_back(text);
    AppendToLog(im, text);
}

void OnIconButtonPressed(ImWindow& im, int buttonIndex) {
    if (buttonIndex < 0 || static_cast<std::size_t>(buttonIndex) >= im.pressCounts.size()) return;
    ++im.pressCounts[static_cast<std::size_t>(buttonIndex)];
    if (buttonIndex == 0) SendEntryText(im);
}

void LayOutImWindow(const ImWindow& im) {
    RECT client{};
    GetClientRect(im.window, &client);
    const int margin = 6;
    const int buttonHeight = 26;
    const int buttonWidth = 72;
    const int width = client.right - 2 * margin;
    const int buttonTop = client.bottom - margin - buttonHeight;
    const int panesHeight = buttonTop - 2 * margin;

    if (im.entryPane != nullptr) {
        const int conversationHeight = panesHeight * 2 / 3;
        MoveWindow(im.conversationPane, margin, margin, width, conversationHeight, TRUE);
        MoveWindow(im.entryPane, margin, 2 * margin + conversationHeight, width,
                   panesHeight - margin - conversationHeight, TRUE);
    } else if (im.conversationPane != nullptr) {
        MoveWindow(im.conversationPane, margin, margin, width, panesHeight, TRUE);
    }
    for (std::size_t i = 0; i < im.buttons.size(); ++i)
        MoveWindow(im.buttons[i], margin + static_cast<int>(i) * (buttonWidth + margin), buttonTop, buttonWidth,
                   buttonHeight, TRUE);
}

HWND CreateTextControl(HWND pane, DWORD extraStyle) {
    HWND control = CreateWindowExA(
        0, kTextClass, "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | extraStyle, 0, 0, 0, 0,
        pane, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTextControlId)), GetModuleHandleA(nullptr), nullptr);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    SendMessageA(control, EM_SETLIMITTEXT, 0, 0);  // no limit on what a person types
    return control;
}

HWND CreatePane(HWND im, int id) {
    return CreateWindowExA(WS_EX_CLIENTEDGE, kPaneClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0, im,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
}

// Children are created in the order Velmora's lookups rely on: a child created
// later sits below the earlier ones, and FindWindowEx walks them top down.
// A window opened again is a new window: empty conversation, counts kept.
bool OpenImWindow(std::size_t slot) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    HWND window =
        CreateWindowExA(0, kImWindowClass, g_windows[slot].title.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                        CW_USEDEFAULT, CW_USEDEFAULT, 440, 380, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return false;
    ImWindow& im = g_windows[slot];
    im.window = window;

    if (g_options.panes >= 1) {
        im.conversationPane = CreatePane(window, kConversationPaneId);
        im.conversationText = CreateTextControl(im.conversationPane, ES_READONLY);
    }
    if (g_options.panes >= 2) {
        im.entryPane = CreatePane(window, kEntryPaneId);
        im.entryText = CreateTextControl(im.entryPane, ES_WANTRETURN);
    }
    for (int i = 0; i < g_options.buttons; ++i) {
        const std::string caption = i < static_cast<int>(std::size(kButtonCaptions))
                                        ? std::string(kButtonCaptions[i])
                                        : "Button " + std::to_string(i + 1);
        im.buttons.push_back(CreateWindowExA(0, kIconButtonClass, caption.c_str(), WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
                                             window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstButtonId + i)),
                                             instance, nullptr));
    }
    LayOutImWindow(im);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    if (im.entryText != nullptr) SetFocus(im.entryText);
    return true;
}

std::size_t AddImWindow(const std::string& title) {
    ImWindow im;
    im.title = title;
    im.pressCounts.assign(static_cast<std::size_t>(g_options.buttons), 0);
    g_windows.push_back(std::move(im));
    return g_windows.size() - 1;
}

bool AnyImWindowOpen() {
    for (const ImWindow& im : g_windows)
        if (im.window != nullptr) return true;
    return false;
}

void StartLying(HWND window);
void StopLying(HWND window);

struct ThreadStart {
    std::size_t slot;
    HANDLE opened;
    bool ok = false;
};

DWORD WINAPI RunImWindowThread(void* parameter) {
    auto* start = static_cast<ThreadStart*>(parameter);
    start->ok = OpenImWindow(start->slot);
    const bool ok = start->ok;
    SetEvent(start->opened);  // `start` is gone after this
    if (!ok) return 1;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

// As the client with a thread per conversation: the window and its children belong to a thread
// of their own, which ends when the window closes.
bool OpenImWindowOnItsOwnThread(std::size_t slot) {
    ThreadStart start{slot, CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    if (start.opened == nullptr) return false;
    HANDLE thread = CreateThread(nullptr, 0, RunImWindowThread, &start, 0, nullptr);
    if (thread != nullptr) WaitForSingleObject(start.opened, INFINITE);
    CloseHandle(start.opened);
    if (thread == nullptr || !start.ok) {
        if (thread != nullptr) CloseHandle(thread);
        return false;
    }
    g_windows[slot].thread = thread;
    return true;
}

// A command for one window (number `slot` + 1); the program-wide ones are in RunCommand.
std::string RunWindowCommand(std::size_t slot, const std::string& name, const std::string& argument,
                             CommandExchange& exchange) {
    ImWindow& im = g_windows[slot];
    const bool open = im.window != nullptr;

    if (name == "recv") {
        if (!open) return "error the IM window is closed";
        const std::size_t nameEnd = argument.find(' ');
        const std::string sender = UnescapeLine(argument.substr(0, nameEnd));
        const std::string text =
            nameEnd == std::string::npos ? std::string() : UnescapeLine(argument.substr(nameEnd + 1));
        if (sender.empty()) return "error recv needs a name";
        if (im.conversationText == nullptr) return "error there is no conversation pane";
        AppendConversationLine(im, "<B>" + sender + "</B>: " + text);
        return "ok";
    }
    if (name == "set") {
        if (!open) return "error the IM window is closed";
        if (im.conversationText == nullptr) return "error there is no conversation pane";
        SetWindowTextAs(im.conversationText, UnescapeLine(argument));
        ShowConversationEnd(im);
        return "ok";
    }
    if (name == "conv") {
        if (!open) return "error the IM window is closed";
        if (im.conversationText == nullptr) return "error there is no conversation pane";
        exchange.replies.push_back("conv " + EscapeLine(WindowText(im.conversationText)));
        return "ok";
    }
    if (name == "entry") {
        if (!open) return "error the IM window is closed";
        if (im.entryText == nullptr) return "error there is no entry pane";
        exchange.replies.push_back("entry " + EscapeLine(WindowText(im.entryText)));
        return "ok";
    }
    if (name == "draft") {
        if (!open) return "error the IM window is closed";
        if (im.entryText == nullptr) return "error there is no entry pane";
        SetWindowTextAs(im.entryText, UnescapeLine(argument));
        return "ok";
    }
    if (name == "lie") {
        const std::size_t split = argument.find(' ');
        long long length = 0, copied = 0;
        if (split == std::string::npos || !ParseSigned(argument.substr(0, split), length) ||
            !ParseSigned(argument.substr(split + 1), copied))
            return "error lie needs a length and a copied count";
        im.lengthLie = static_cast<LRESULT>(length);
        im.copiedLie = static_cast<LRESULT>(copied);
        im.lying = true;
        for (HWND window : {im.window, im.conversationText, im.entryText}) StartLying(window);
        return "ok";
    }
    if (name == "truth") {
        im.lying = false;
        for (HWND window : {im.window, im.conversationText, im.entryText}) StopLying(window);
        return "ok";
    }
    if (name == "sent") {
        for (const std::string& text : im.sentTexts) exchange.replies.push_back("sent " + EscapeLine(text));
        return "ok";
    }
    if (name == "asked") {
        exchange.replies.push_back("asked " + std::to_string(InterlockedCompareExchange(&im.lengthAsked, 0, 0)));
        return "ok";
    }
    if (name == "presses") {
        std::string reply = "presses";
        for (unsigned count : im.pressCounts) reply += " " + std::to_string(count);
        exchange.replies.push_back(reply);
        return "ok";
    }
    if (name == "stall" || name == "stallsend") {
        const std::size_t split = argument.find(' ');
        unsigned long milliseconds = 0;
        if (!ParseNumber(argument.substr(0, split), kMaxHangMs, milliseconds))
            return "error " + name + " needs milliseconds";
        if (split != std::string::npos) {
            HANDLE began = OpenEventA(EVENT_MODIFY_STATE, FALSE, argument.substr(split + 1).c_str());
            if (began == nullptr) return "error no event of that name";
            if (HANDLE old = InterlockedExchangePointer(&im.stallBegan, began)) CloseHandle(old);
        }
        InterlockedExchange(name == "stall" ? &im.setTextStallMs : &im.sendStallMs, static_cast<LONG>(milliseconds));
        return "ok";
    }
    if (name == "hang") {
        // This window's thread only: for a window of its own thread, the others go on.
        unsigned long milliseconds = 0;
        if (!open) return "error the IM window is closed";
        if (!ParseNumber(argument, kMaxHangMs, milliseconds)) return "error hang needs milliseconds (0 to 600000)";
        PostMessageA(im.window, kHangMessage, milliseconds, 0);
        exchange.answerWhenHangBegins = true;
        return "ok";
    }
    if (name == "close") {
        if (!open) return "error the IM window is already closed";
        if (im.thread == nullptr) {
            DestroyWindow(im.window);
            return "ok";
        }
        // A window of its own thread is closed by that thread, which then ends.
        PostMessageA(im.window, WM_CLOSE, 0, 0);
        const bool ended = WaitForSingleObject(im.thread, kMaxHangMs) == WAIT_OBJECT_0;
        CloseHandle(im.thread);
        im.thread = nullptr;
        return ended ? "ok" : "error the window's thread did not end";
    }
    if (name == "open") {
        if (open) return "error the IM window is already open";
        if (im.thread != nullptr) return "error a window of its own thread is not opened again";
        return OpenImWindow(slot) ? "ok" : "error the IM window could not be created";
    }
    if (name.empty()) return "error empty command";
    return "error unknown command " + name;
}

std::string RunCommand(const std::string& line, CommandExchange& exchange) {
    const std::size_t space = line.find(' ');
    const std::string name = line.substr(0, space);
    const std::string argument = space == std::string::npos ? std::string() : line.substr(space + 1);

    if (name == "im" || name == "imtitle") {
        // "im NAME" titles the window as the client does, "imtitle TEXT" exactly as given.
        const std::string text = UnescapeLine(argument);
        if (text.empty()) return "error " + name + " needs a name";
        if (g_windows.size() >= kMostWindows) return "error too many windows";
        const std::size_t slot = AddImWindow(name == "im" ? text + " - Instant Message" : text);
        if (!OpenImWindow(slot)) return "error the IM window could not be created";
        exchange.replies.push_back("window " + std::to_string(slot + 1));
        return "ok";
    }
    if (name == "thread") {
        const std::string buddy = UnescapeLine(argument);
        if (buddy.empty()) return "error thread needs a name";
        if (g_windows.size() >= kMostWindows) return "error too many windows";
        const std::size_t slot = AddImWindow(buddy + " - Instant Message");
        if (!OpenImWindowOnItsOwnThread(slot)) return "error the IM window could not be created";
        exchange.replies.push_back("window " + std::to_string(slot + 1));
        return "ok";
    }
    if (name == "at") {
        const std::size_t split = argument.find(' ');
        unsigned long number = 0;
        if (!ParseNumber(argument.substr(0, split), static_cast<unsigned long>(g_windows.size()), number) ||
            number == 0)
            return "error at needs a window number from 1 to " + std::to_string(g_windows.size());
        const std::string command = split == std::string::npos ? std::string() : argument.substr(split + 1);
        const std::size_t commandSpace = command.find(' ');
        return RunWindowCommand(static_cast<std::size_t>(number - 1), command.substr(0, commandSpace),
                                commandSpace == std::string::npos ? std::string() : command.substr(commandSpace + 1),
                                exchange);
    }
    if (name == "windows") {
        // The open windows' numbers and titles, in the order they were first opened.
        for (std::size_t i = 0; i < g_windows.size(); ++i)
            if (g_windows[i].window != nullptr)
                exchange.replies.push_back("window " + std::to_string(i + 1) + " " + EscapeLine(g_windows[i].title));
        return "ok";
    }
    if (name == "hang") {
        unsigned long milliseconds = 0;
        if (!ParseNumber(argument, kMaxHangMs, milliseconds)) return "error hang needs milliseconds (0 to 600000)";
        // The hang itself starts from the message loop, after this command returns.
        PostMessageA(g_commandWindow.load(), kHangMessage, milliseconds, 0);
        exchange.answerWhenHangBegins = true;
        return "ok";
    }
    if (name == "quit") {
        g_quitRequested = true;
        exchange.lastCommand = true;
        for (ImWindow& im : g_windows)
            if (im.window != nullptr) DestroyWindow(im.window);
        PostQuitMessage(0);
        return "ok";
    }
    // Everything else is window 1's.
    return RunWindowCommand(0, name, argument, exchange);
}

LRESULT CALLBACK CommandWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    try {
        switch (message) {
            case kCommandMessage: {
                auto* exchange = reinterpret_cast<CommandExchange*>(lParam);
                exchange->answer = RunCommand(exchange->line, *exchange);
                return 0;
            }
            case kHangMessage:
                SetEvent(g_hangBegan);
                Sleep(static_cast<DWORD>(wParam));
                return 0;
            case kInputEndedMessage:
                // Nothing can open the IM window again once input has ended.
                g_inputEnded = true;
                if (!AnyImWindowOpen()) PostQuitMessage(0);
                return 0;
            default: break;
        }
    } catch (...) {
        // An exception must not unwind through the window system.
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// After "lie", another program asking the IM window or a text control for a text's length or
// the text hears the lie; the text itself is still copied as the system would, within the
// buffer it gave. The lying procedure takes the messages in their Unicode form, as they cross
// between processes: the ANSI conversion would otherwise act on the lie inside this program.
constexpr char kTruthfulProcedure[] = "VelmoraStandInTruthA";
constexpr char kTruthfulProcedureW[] = "VelmoraStandInTruthW";
constexpr char kWasUnicode[] = "VelmoraStandInWasUnicode";

LRESULT CALLBACK LyingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    const auto truthful = reinterpret_cast<WNDPROC>(GetPropA(window, kTruthfulProcedureW));
    const ImWindow* im = ImWindowOf(window);
    if (im != nullptr && im->lying && !g_readingOwnText && InSendMessage() &&
        (message == WM_GETTEXTLENGTH || message == WM_GETTEXT)) {
        if (message == WM_GETTEXT) CallWindowProcW(truthful, window, message, wParam, lParam);
        return message == WM_GETTEXT ? im->copiedLie : im->lengthLie;
    }
    return CallWindowProcW(truthful, window, message, wParam, lParam);
}

void StartLying(HWND window) {
    if (window == nullptr || GetPropA(window, kTruthfulProcedure) != nullptr) return;
    if (IsWindowUnicode(window)) SetPropA(window, kWasUnicode, reinterpret_cast<HANDLE>(1));
    SetPropA(window, kTruthfulProcedure, reinterpret_cast<HANDLE>(GetWindowLongPtrA(window, GWLP_WNDPROC)));
    SetPropA(window, kTruthfulProcedureW, reinterpret_cast<HANDLE>(GetWindowLongPtrW(window, GWLP_WNDPROC)));
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LyingWindowProc));
}

void StopLying(HWND window) {
    if (window == nullptr || GetPropA(window, kTruthfulProcedure) == nullptr) return;
    // Set back through the call of the window's own kind, so it is the kind of window it was.
    const HANDLE truthful = RemovePropA(window, kTruthfulProcedure);
    const HANDLE truthfulW = RemovePropA(window, kTruthfulProcedureW);
    if (RemovePropA(window, kWasUnicode) != nullptr)
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(truthfulW));
    else
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(truthful));
}

LRESULT CALLBACK ImWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    try {
        switch (message) {
            case WM_SIZE:
                if (const ImWindow* im = ImWindowOf(window); im != nullptr && im->window == window) LayOutImWindow(*im);
                return 0;
            case WM_SETFOCUS:
                if (const ImWindow* im = ImWindowOf(window); im != nullptr && im->entryText != nullptr)
                    SetFocus(im->entryText);
                return 0;
            case WM_COMMAND: {
                const int id = LOWORD(wParam);
                ImWindow* im = ImWindowOf(window);
                if (im != nullptr && id >= kFirstButtonId && HIWORD(wParam) == BN_CLICKED)
                    OnIconButtonPressed(*im, id - kFirstButtonId);
                return 0;
            }
            case kHangMessage:
                SetEvent(g_hangBegan);
                Sleep(static_cast<DWORD>(wParam));
                return 0;
            case WM_DESTROY: {
                ImWindow* im = ImWindowOf(window);
                const bool ownThread = im != nullptr && im->thread != nullptr;
                if (im != nullptr && im->window == window) im->Forget();
                if (ownThread) {
                    // Its thread ends with it; the program's end is decided on the main thread.
                    PostQuitMessage(0);
                    if (g_inputEnded) PostMessageA(g_commandWindow.load(), kInputEndedMessage, 0, 0);
                    return 0;
                }
                if (g_inputEnded && !g_quitRequested && !AnyImWindowOpen()) PostQuitMessage(0);
                return 0;
            }
            default: break;
        }
    } catch (...) {
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK PaneWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_SIZE) {
        HWND text = FindWindowExA(window, nullptr, kTextClass, nullptr);
        if (text != nullptr) MoveWindow(text, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// "stall", "stallsend": tells the test, then takes the time.
void Stall(ImWindow& im, LONG& stallMs) {
    const LONG milliseconds = InterlockedExchange(&stallMs, 0);
    if (milliseconds <= 0) return;
    if (HANDLE began = InterlockedExchangePointer(&im.stallBegan, nullptr)) {
        SetEvent(began);
        CloseHandle(began);
    }
    Sleep(static_cast<DWORD>(milliseconds));
}

// "ate32class" is the system EDIT class under another name, so the text
// messages behave exactly as an edit control's.
LRESULT CALLBACK TextWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_SETTEXT && InSendMessage())
        if (ImWindow* im = ImWindowOf(window); im != nullptr && im->entryText == window) Stall(*im, im->setTextStallMs);
    if (message == WM_GETTEXTLENGTH && InSendMessage())
        if (ImWindow* im = ImWindowOf(window); im != nullptr && im->conversationText == window)
            InterlockedIncrement(&im->lengthAsked);
    return CallWindowProcA(g_editWindowProc, window, message, wParam, lParam);
}

LRESULT CALLBACK TextWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    return CallWindowProcW(g_editWindowProcW, window, message, wParam, lParam);
}

void PaintIconButton(HWND button) {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(button, &paint);
    RECT area{};
    GetClientRect(button, &area);
    const bool pressed = GetWindowLongPtrA(button, GWLP_USERDATA) != 0;
    FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &area, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    const std::string caption = WindowText(button);
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    if (pressed) OffsetRect(&area, 1, 1);
    DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &area,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, oldFont);
    EndPaint(button, &paint);
}

// Not a BUTTON: a press is a button-down followed by a button-up, wherever the
// up lands, because Velmora sends both with the point (0, 0).
LRESULT CALLBACK IconButtonWindowProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    try {
        switch (message) {
            case WM_LBUTTONDOWN:
                SetWindowLongPtrA(button, GWLP_USERDATA, 1);
                InvalidateRect(button, nullptr, TRUE);
                return 0;
            case WM_LBUTTONUP:
                if (ImWindow* im = ImWindowOf(button); im != nullptr && GetDlgCtrlID(button) == kFirstButtonId)
                    Stall(*im, im->sendStallMs);
                if (GetWindowLongPtrA(button, GWLP_USERDATA) != 0) {
                    SetWindowLongPtrA(button, GWLP_USERDATA, 0);
                    InvalidateRect(button, nullptr, TRUE);
                    SendMessageA(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                                 reinterpret_cast<LPARAM>(button));
                }
                return 0;
            case WM_SETTEXT: {
                const LRESULT result = DefWindowProcA(button, message, wParam, lParam);
                InvalidateRect(button, nullptr, TRUE);
                return result;
            }
            case WM_PAINT: PaintIconButton(button); return 0;
            default: break;
        }
    } catch (...) {
    }
    return DefWindowProcA(button, message, wParam, lParam);
}

bool RegisterWindowClass(const char* name, WNDPROC procedure, HBRUSH background) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = name;
    return RegisterClassExA(&windowClass) != 0;
}

// A class registered through the "W" call makes Unicode windows.
bool RegisterUnicodeTextClass() {
    WNDCLASSEXW edit{};
    edit.cbSize = sizeof edit;
    if (!GetClassInfoExW(nullptr, L"EDIT", &edit)) return false;
    g_editWindowProcW = edit.lpfnWndProc;
    edit.lpfnWndProc = TextWindowProcW;
    edit.hInstance = GetModuleHandleW(nullptr);
    edit.lpszClassName = L"ate32class";
    edit.style &= ~static_cast<UINT>(CS_GLOBALCLASS);
    return RegisterClassExW(&edit) != 0;
}

bool RegisterWindowClasses() {
    WNDCLASSEXA edit{};
    edit.cbSize = sizeof edit;
    if (!GetClassInfoExA(nullptr, "EDIT", &edit)) return false;
    g_editWindowProc = edit.lpfnWndProc;
    edit.lpfnWndProc = TextWindowProc;
    edit.hInstance = GetModuleHandleA(nullptr);
    edit.lpszClassName = kTextClass;
    edit.style &= ~static_cast<UINT>(CS_GLOBALCLASS);
    if (g_options.unicode ? !RegisterUnicodeTextClass() : !RegisterClassExA(&edit)) return false;

    const HBRUSH face = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    return RegisterWindowClass(kImWindowClass, ImWindowProc, face) &&
           RegisterWindowClass(kPaneClass, PaneWindowProc, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)) &&
           RegisterWindowClass(kIconButtonClass, IconButtonWindowProc, face) &&
           RegisterWindowClass(kCommandWindowClass, CommandWindowProc, nullptr);
}

// Reads commands line by line and hands each to the UI thread, answering only
// once the UI thread has carried it out. ReadFile instead of the C runtime so
// that the process can end while this thread is blocked in a read.
DWORD WINAPI ReadCommands(void*) {
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    std::string pending;
    char buffer[4096];
    bool endOfInput = input == nullptr || input == INVALID_HANDLE_VALUE;
    while (!endOfInput) {
        DWORD read = 0;
        if (!ReadFile(input, buffer, sizeof buffer, &read, nullptr) || read == 0) {
            endOfInput = true;
            if (pending.empty()) break;
            pending += '\n';  // a last line without a line break still counts
        } else {
            pending.append(buffer, read);
        }

        std::size_t lineEnd;
        while ((lineEnd = pending.find('\n')) != std::string::npos) {
            CommandExchange exchange;
            exchange.line = pending.substr(0, lineEnd);
            pending.erase(0, lineEnd + 1);
            if (!exchange.line.empty() && exchange.line.back() == '\r') exchange.line.pop_back();

            SendMessageA(g_commandWindow.load(), kCommandMessage, 0, reinterpret_cast<LPARAM>(&exchange));
            if (exchange.answer.empty()) return 0;  // the UI thread is gone
            if (exchange.answerWhenHangBegins) WaitForSingleObject(g_hangBegan, INFINITE);
            for (const std::string& reply : exchange.replies) WriteLine(reply);
            WriteLine(exchange.answer);
            if (exchange.lastCommand) return 0;
        }
    }
    PostMessageA(g_commandWindow.load(), kInputEndedMessage, 0, 0);
    return 0;
}

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view option = argv[i];
        if (option == "--unicode") {
            options.unicode = true;
            continue;
        }
        if (i + 1 >= argc) return false;
        const char* value = argv[++i];
        unsigned long number = 0;
        if (option == "--me") {
            options.me = value;
        } else if (option == "--title") {
            options.title = value;
        } else if (option == "--log") {
            options.logPath = value;
        } else if (option == "--im" && *value != '\0') {
            options.moreBuddies.push_back(value);
        } else if (option == "--panes" && ParseNumber(value, 2, number)) {
            options.panes = static_cast<int>(number);
        } else if (option == "--buttons" && ParseNumber(value, kMaxButtons, number)) {
            options.buttons = static_cast<int>(number);
        } else {
            return false;
        }
    }
    return true;
}

int Run(int argc, char** argv) {
    if (!ParseOptions(argc, argv, g_options)) {
        std::fputs(
            "usage: aim-standin [--me NAME] [--panes 0-2] [--buttons 0-16] [--title TEXT] [--log FILE] [--im "
            "NAME]... [--unicode]\n",
            stderr);
        return 2;
    }
    g_windows.reserve(kMostWindows);
    AddImWindow(g_options.title);
    g_hangBegan = CreateEventA(nullptr, FALSE, FALSE, nullptr);

    HWND commandWindow = nullptr;
    if (RegisterWindowClasses())
        commandWindow = CreateWindowExA(0, kCommandWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                        GetModuleHandleA(nullptr), nullptr);
    bool opened = commandWindow != nullptr && g_hangBegan != nullptr && OpenImWindow(0);
    for (const std::string& buddy : g_options.moreBuddies)
        opened = opened && OpenImWindow(AddImWindow(buddy + " - Instant Message"));
    if (!opened) {
        WriteLine("error the windows could not be created");
        return 1;
    }
    g_commandWindow = commandWindow;
    WriteLine("ready");

    HANDLE reader = CreateThread(nullptr, 0, ReadCommands, nullptr, 0, nullptr);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }

    // After "quit" the reader still has to write its "ok"; let it finish so the
    // answer is not lost when the process ends.
    if (g_quitRequested && reader != nullptr) WaitForSingleObject(reader, 5000);
    if (reader != nullptr) CloseHandle(reader);
    return 0;
}

}  // namespace
}  // namespace velmora::standin

int main(int argc, char** argv) { return velmora::standin::Run(argc, argv); }
