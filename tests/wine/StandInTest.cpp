// The stand-ins for Winamp and the AIM client, checked through the test-side
// client and through the same window lookups and messages Velmora uses, so
// that tests built on them stand on behaviour that has been seen to hold.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/StandIn.h"

namespace velmora::testing {
namespace {

constexpr char kWinampClass[] = "Winamp v1.x";
constexpr char kImClass[] = "aim_imessage";
constexpr char kPaneClass[] = "wndate32class";
constexpr char kTextClass[] = "ate32class";
constexpr char kIconButtonClass[] = "_oscar_iconbtn";

StandInProcess StartWinamp(const std::wstring& arguments) {
    return StandInProcess::Start(StandInPath(L"winamp-standin.exe"), arguments);
}

StandInProcess StartAim(const std::wstring& arguments = L"") {
    return StandInProcess::Start(StandInPath(L"aim-standin.exe"), arguments);
}

// Read the way Velmora reads a window's text: length first, then the text.
std::string ReadText(HWND window) {
    const LRESULT length = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    SendMessageA(window, WM_GETTEXT, static_cast<WPARAM>(length) + 1, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

void WriteText(HWND window, const std::string& text) {
    SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void PressLikeVelmora(HWND button) {
    SendMessageA(button, WM_LBUTTONDOWN, 0, 0);
    SendMessageA(button, WM_LBUTTONUP, 0, 0);
}

std::string ClassOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, static_cast<int>(std::size(name)));
    return name;
}

std::vector<std::string> ChildClassesInZOrder(HWND parent) {
    std::vector<std::string> classes;
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        classes.push_back(ClassOf(child));
    return classes;
}

// The IM window and its children, found with Velmora's lookups.
struct ImWindowHandles {
    HWND window = nullptr;
    HWND conversationPane = nullptr;
    HWND entryPane = nullptr;
    HWND conversationText = nullptr;
    HWND entryText = nullptr;
    HWND sendButton = nullptr;
};

DWORD OwnerProcessId(HWND window) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    return owner;
}

// Velmora's lookups take the first window of a class; another program's
// window of that class would make every result here meaningless.
HWND FindWindowOf(const StandInProcess& standIn, const char* windowClass) {
    HWND window = FindWindowA(windowClass, nullptr);
    EXPECT_NE(window, nullptr) << "no " << windowClass << " window";
    if (window != nullptr) {
        EXPECT_EQ(OwnerProcessId(window), standIn.ProcessId()) << "someone else's window";
    }
    return window;
}

ImWindowHandles FindImWindowHandles(const StandInProcess& aim) {
    ImWindowHandles im;
    im.window = FindWindowOf(aim, kImClass);
    im.conversationPane = FindWindowExA(im.window, nullptr, kPaneClass, nullptr);
    im.entryPane = FindWindowExA(im.window, im.conversationPane, kPaneClass, nullptr);
    im.conversationText = FindWindowExA(im.conversationPane, nullptr, kTextClass, nullptr);
    im.entryText = FindWindowExA(im.entryPane, nullptr, kTextClass, nullptr);
    im.sendButton = FindWindowExA(im.window, nullptr, kIconButtonClass, nullptr);
    return im;
}

std::string OnlyReply(StandInProcess& standIn, const std::string& command) {
    const std::vector<std::string> replies = standIn.Command(command);
    if (replies.size() != 1)
        throw StandInError("\"" + command + "\" gave " + std::to_string(replies.size()) + " replies");
    return replies.front();
}

std::string Conversation(StandInProcess& aim) {
    return UnescapeLine(OnlyReply(aim, "conv").substr(std::string_view("conv ").size()));
}

std::string Entry(StandInProcess& aim) {
    return UnescapeLine(OnlyReply(aim, "entry").substr(std::string_view("entry ").size()));
}

std::vector<std::string> SentTexts(StandInProcess& aim) {
    std::vector<std::string> texts;
    for (const std::string& reply : aim.Command("sent")) {
        EXPECT_EQ(reply.rfind("sent ", 0), 0u) << reply;
        texts.push_back(UnescapeLine(reply.substr(std::string_view("sent ").size())));
    }
    return texts;
}

// A byte that is a letter in the ANSI code page but not ASCII, so a text
// holding it shows whether the "A" forms carry it unchanged. Empty when the
// code page has none at that place (UTF-8 as the ANSI code page).
std::string NonAsciiAnsiLetter() {
    const char e_acute[] = "\xE9";
    wchar_t wide[4] = {};
    if (GetACP() == CP_UTF8 || MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, e_acute, 1, wide, 4) != 1) return {};
    return e_acute;
}

// ---------------------------------------------------------------------------

TEST(WinampStandIn, TitleFromCommandLineIsFoundByClassAndReadByMessages) {
    const std::string title = "12. Artist - Title - Winamp";
    StandInProcess winamp = StartWinamp(QuoteArgument(L"12. Artist - Title - Winamp"));

    HWND window = FindWindowA(kWinampClass, nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(OwnerProcessId(window), winamp.ProcessId());
    EXPECT_EQ(ClassOf(window), kWinampClass);
    EXPECT_EQ(GetParent(window), nullptr);
    EXPECT_EQ(ReadText(window), title);
}

TEST(WinampStandIn, WithoutArgumentsShowsTheDefaultSongTitle) {
    StandInProcess winamp = StartWinamp(L"");
    EXPECT_EQ(ReadText(FindWindowOf(winamp, kWinampClass)), "1. Velmora Stand-in - Demo Song - Winamp");
}

TEST(WinampStandIn, QuotedTitleArgumentsArriveUnchanged) {
    const std::vector<std::wstring> titles = {L"say \"hi\" - Winamp", L"C:\\path with space\\", L"a\\\\\"b", L""};
    for (const std::wstring& title : titles) {
        StandInProcess winamp = StartWinamp(QuoteArgument(title));
        const std::string read = ReadText(FindWindowOf(winamp, kWinampClass));
        EXPECT_EQ(std::wstring(read.begin(), read.end()), title);
    }
}

TEST(WinampStandIn, TitleCommandSetsTheRestOfTheLineVerbatim) {
    StandInProcess winamp = StartWinamp(QuoteArgument(L"1. First - Winamp"));
    HWND window = FindWindowOf(winamp, kWinampClass);
    ASSERT_NE(window, nullptr);

    const std::vector<std::string> titles = {"7. Band - Song.mp3 - Winamp [Paused]", "  two blanks either side  ",
                                             "Artist - Title - Winamp", "a\\b \"quoted\"", ""};
    for (const std::string& title : titles) {
        EXPECT_TRUE(winamp.Command("title " + title).empty());
        EXPECT_EQ(ReadText(window), title);
        EXPECT_EQ(FindWindowOf(winamp, kWinampClass), window) << "the same window keeps the class";
    }
    winamp.Command("title");
    EXPECT_EQ(ReadText(window), "");
}

TEST(WinampStandIn, TitleTravelsInTheAnsiCodePage) {
    const std::string letter = NonAsciiAnsiLetter();
    if (letter.empty()) GTEST_SKIP() << "the ANSI code page " << GetACP() << " has no such letter";
    StandInProcess winamp = StartWinamp(L"");
    HWND window = FindWindowOf(winamp, kWinampClass);

    const std::string title = "3. Caf" + letter + " Society - Winamp";
    winamp.Command("title " + title);
    EXPECT_EQ(ReadText(window), title);

    wchar_t expected[64] = {};
    MultiByteToWideChar(CP_ACP, 0, title.c_str(), -1, expected, static_cast<int>(std::size(expected)));
    wchar_t wide[64] = {};
    SendMessageW(window, WM_GETTEXT, std::size(wide), reinterpret_cast<LPARAM>(wide));
    EXPECT_EQ(std::wstring(wide), std::wstring(expected));
}

TEST(WinampStandIn, UnknownCommandIsAnErrorAndCommandsStillWork) {
    StandInProcess winamp = StartWinamp(L"");
    EXPECT_THROW(winamp.Command("play"), StandInError);
    winamp.Command("title 2. After - Winamp");
    EXPECT_EQ(ReadText(FindWindowOf(winamp, kWinampClass)), "2. After - Winamp");
}

TEST(WinampStandIn, QuitClosesTheWindowAndEndsWithExitCodeZero) {
    StandInProcess winamp = StartWinamp(L"");
    ASSERT_NE(FindWindowOf(winamp, kWinampClass), nullptr);
    EXPECT_NO_THROW(winamp.Quit());
    EXPECT_FALSE(winamp.IsRunning());
    EXPECT_EQ(winamp.WaitForExit(0), 0u);
    EXPECT_EQ(FindWindowA(kWinampClass, nullptr), nullptr);
}

TEST(WinampStandIn, EndOfInputKeepsItRunningUntilTheWindowIsClosed) {
    StandInProcess winamp = StartWinamp(QuoteArgument(L"4. Still - Here - Winamp"));
    HWND window = FindWindowOf(winamp, kWinampClass);
    ASSERT_NE(window, nullptr);

    winamp.CloseInput();
    EXPECT_THROW(winamp.WaitForExit(1000), StandInError) << "it ended when its input ended";
    EXPECT_EQ(ReadText(window), "4. Still - Here - Winamp");

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(winamp.WaitForExit(StandInProcess::kExitTimeoutMs), 0u);
    EXPECT_EQ(FindWindowA(kWinampClass, nullptr), nullptr);
}

// ---------------------------------------------------------------------------

TEST(AimStandInWindows, ChildrenComeInTheOrderVelmorasLookupsRelyOn) {
    StandInProcess aim = StartAim();
    const ImWindowHandles im = FindImWindowHandles(aim);
    ASSERT_NE(im.window, nullptr);
    EXPECT_EQ(OwnerProcessId(im.window), aim.ProcessId());
    EXPECT_EQ(ReadText(im.window), "pal42 - Instant Message");

    const std::vector<std::string> expectedOrder = {kPaneClass, kPaneClass, kIconButtonClass, kIconButtonClass,
                                                    kIconButtonClass};
    EXPECT_EQ(ChildClassesInZOrder(im.window), expectedOrder);

    // The first lookup finds the first child, the second the one after it.
    EXPECT_EQ(im.conversationPane, GetWindow(im.window, GW_CHILD));
    EXPECT_EQ(im.entryPane, GetWindow(im.conversationPane, GW_HWNDNEXT));
    EXPECT_EQ(FindWindowExA(im.window, im.entryPane, kPaneClass, nullptr), nullptr);
    EXPECT_EQ(im.sendButton, GetWindow(im.entryPane, GW_HWNDNEXT));
    EXPECT_EQ(ReadText(im.sendButton), "Send");

    // Only direct children count: the text controls sit inside the panes.
    EXPECT_EQ(FindWindowExA(im.window, nullptr, kTextClass, nullptr), nullptr);
    ASSERT_NE(im.conversationText, nullptr);
    ASSERT_NE(im.entryText, nullptr);
    EXPECT_NE(im.conversationText, im.entryText);
}

TEST(AimStandInWindows, TextControlsAreMultiLineEditsAndOnlyTheEntryIsEditable) {
    StandInProcess aim = StartAim();
    const ImWindowHandles im = FindImWindowHandles(aim);
    const LONG_PTR conversationStyle = GetWindowLongPtrA(im.conversationText, GWL_STYLE);
    const LONG_PTR entryStyle = GetWindowLongPtrA(im.entryText, GWL_STYLE);
    EXPECT_NE(conversationStyle & ES_MULTILINE, 0);
    EXPECT_NE(conversationStyle & ES_READONLY, 0);
    EXPECT_NE(entryStyle & ES_MULTILINE, 0);
    EXPECT_EQ(entryStyle & ES_READONLY, 0);

    // Edit behaviour: a buffer too small gets the start of the text and a NUL.
    WriteText(im.conversationText, "<B>pal42</B>: hi");
    char shortBuffer[5] = {'x', 'x', 'x', 'x', 'x'};
    const LRESULT copied =
        SendMessageA(im.conversationText, WM_GETTEXT, std::size(shortBuffer), reinterpret_cast<LPARAM>(shortBuffer));
    EXPECT_EQ(copied, 4);
    EXPECT_EQ(std::string(shortBuffer), "<B>p");
}

TEST(AimStandInWindows, OptionsSetNameTitlePanesAndButtons) {
    StandInProcess aim =
        StartAim(L"--me me77 --panes 1 --buttons 1 --title " + QuoteArgument(L"buddy7 - Instant Message"));
    const ImWindowHandles im = FindImWindowHandles(aim);
    ASSERT_NE(im.window, nullptr);
    EXPECT_EQ(ReadText(im.window), "buddy7 - Instant Message");
    EXPECT_EQ(ChildClassesInZOrder(im.window), (std::vector<std::string>{kPaneClass, kIconButtonClass}));
    EXPECT_NE(im.conversationText, nullptr);
    EXPECT_EQ(im.entryPane, nullptr);
    EXPECT_EQ(im.entryText, nullptr);

    // Velmora presses Send even when it found no entry control: a press, no text.
    aim.Command("recv pal42 hi");
    PressLikeVelmora(im.sendButton);
    EXPECT_EQ(OnlyReply(aim, "presses"), "presses 1");
    EXPECT_TRUE(SentTexts(aim).empty());
    EXPECT_EQ(Conversation(aim), "<B>pal42</B>: hi");
    EXPECT_THROW(aim.Command("entry"), StandInError);
}

TEST(AimStandInWindows, OwnNameFromOptionMarksOwnLines) {
    StandInProcess aim = StartAim(L"--me me77");
    const ImWindowHandles im = FindImWindowHandles(aim);
    WriteText(im.entryText, "hello");
    PressLikeVelmora(im.sendButton);
    EXPECT_EQ(ReadText(im.conversationText), "<B>me77</B>: hello");
}

// ---------------------------------------------------------------------------

TEST(AimStandInSend, VelmorasSequenceSendsTheEntryTextWithLineBreaks) {
    StandInProcess aim = StartAim();
    const ImWindowHandles im = FindImWindowHandles(aim);
    aim.Command("recv pal42 where are you?");

    const std::string text = "on my way\r\nback at 5";
    WriteText(im.entryText, text);
    EXPECT_EQ(ReadText(im.entryText), text);
    PressLikeVelmora(im.sendButton);

    EXPECT_EQ(SentTexts(aim), std::vector<std::string>{text});
    EXPECT_EQ(ReadText(im.conversationText), "<B>pal42</B>: where are you?<BR><B>me99</B>: on my way<BR>back at 5");
    EXPECT_EQ(Conversation(aim), ReadText(im.conversationText));
    EXPECT_EQ(ReadText(im.entryText), "");
    EXPECT_EQ(Entry(aim), "");
    EXPECT_EQ(OnlyReply(aim, "presses"), "presses 1 0 0");
}

TEST(AimStandInSend, SentTextsAreListedOldestFirst) {
    StandInProcess aim = StartAim();
    const ImWindowHandles im = FindImWindowHandles(aim);
    for (const char* text : {"first", "second \\ with backslash", "third"}) {
        WriteText(im.entryText, text);
        PressLikeVelmora(im.sendButton);
    }
    EXPECT_EQ(SentTexts(aim), (std::vector<std::string>{"first", "second \\ with backslash", "third"}));
    EXPECT_EQ(ReadText(im.conversationText),
              "<B>me99</B>: first<BR><B>me99</B>: second \\ with backslash<BR><B>me99</B>: third");
}

TEST(AimStandInSend, EmptyEntryCountsThePressButSendsNothing) {
    StandInProcess aim = StartAim();
    const ImWindowHandles im = FindImWindowHandles(aim);
    aim.Command("set <B>pal42</B>: hi");
    PressLikeVelmora(im.sendButton);
    EXPECT_EQ(OnlyReply(aim, "presses"), "presses 1 0 0");
    EXPECT_TRUE(SentTexts(aim).empty());
    EXPECT_EQ(Conversation(aim), "<B>pal42</B>: hi");
}

TEST(AimStandInSend, OnlyTheFirstIconButtonSends) {
    StandInProcess aim = StartAim();
    const ImWindowHandles im = FindImWindowHandles(aim);
    HWND secondButton = FindWindowExA(im.window, im.sendButton, kIconButtonClass, nullptr);
    HWND thirdButton = FindWindowExA(im.window, secondButton, kIconButtonClass, nullptr);
    ASSERT_NE(thirdButton, nullptr);
    EXPECT_EQ(FindWindowExA(im.window, thirdButton, kIconButtonClass, nullptr), nullptr);

    WriteText(im.entryText, "not yet");
    PressLikeVelmora(secondButton);
    PressLikeVelmora(thirdButton);
    PressLikeVelmora(thirdButton);
    EXPECT_EQ(OnlyReply(aim, "presses"), "presses 0 1 2");
    EXPECT_TRUE(SentTexts(aim).empty());
    EXPECT_EQ(Entry(aim), "not yet");
}

TEST(AimStandInSend, ButtonUpWithoutButtonDownIsNoPress) {
    StandInProcess aim = StartAim();
    const ImWindowHandles im = FindImWindowHandles(aim);
    WriteText(im.entryText, "stay");
    SendMessageA(im.sendButton, WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(OnlyReply(aim, "presses"), "presses 0 0 0");
    SendMessageA(im.sendButton, WM_LBUTTONDOWN, 0, 0);
    EXPECT_EQ(OnlyReply(aim, "presses"), "presses 0 0 0") << "a press ends with the button-up";
    EXPECT_EQ(Entry(aim), "stay");
    SendMessageA(im.sendButton, WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(OnlyReply(aim, "presses"), "presses 1 0 0");
    EXPECT_EQ(SentTexts(aim), std::vector<std::string>{"stay"});
}

TEST(AimStandInSend, SentTextKeepsItsAnsiBytes) {
    const std::string letter = NonAsciiAnsiLetter();
    if (letter.empty()) GTEST_SKIP() << "the ANSI code page " << GetACP() << " has no such letter";
    StandInProcess aim = StartAim();
    const ImWindowHandles im = FindImWindowHandles(aim);
    const std::string text = "at the caf" + letter;
    WriteText(im.entryText, text);
    PressLikeVelmora(im.sendButton);
    EXPECT_EQ(SentTexts(aim), std::vector<std::string>{text});
    EXPECT_EQ(ReadText(im.conversationText), "<B>me99</B>: " + text);
}

TEST(AimStandInSend, LogFileGetsEachSentTextEscaped) {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring logPath =
        std::wstring(folder) + L"velmora-aim-standin-" + std::to_wstring(GetCurrentProcessId()) + L".log";
    DeleteFileW(logPath.c_str());
    {
        StandInProcess aim = StartAim(L"--log " + QuoteArgument(logPath));
        const ImWindowHandles im = FindImWindowHandles(aim);
        WriteText(im.entryText, "two\r\nlines");
        PressLikeVelmora(im.sendButton);
        WriteText(im.entryText, "back\\slash");
        PressLikeVelmora(im.sendButton);
        aim.Quit();
    }
    std::ifstream log(logPath.c_str(), std::ios::binary);
    ASSERT_TRUE(log.is_open());
    const std::string content((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    log.close();
    DeleteFileW(logPath.c_str());
    EXPECT_EQ(content, "two\\r\\nlines\nback\\\\slash\n");
}

// ---------------------------------------------------------------------------

TEST(AimStandInConversation, RecvAppendsLinesJoinedByBr) {
    StandInProcess aim = StartAim();
    const ImWindowHandles im = FindImWindowHandles(aim);
    aim.Command("recv pal42 hi");
    EXPECT_EQ(ReadText(im.conversationText), "<B>pal42</B>: hi");
    aim.Command("recv me99 brb");
    aim.Command("recv pal42 where are you?");
    EXPECT_EQ(ReadText(im.conversationText), "<B>pal42</B>: hi<BR><B>me99</B>: brb<BR><B>pal42</B>: where are you?");
}

TEST(AimStandInConversation, SetReplacesTheMarkupExactly) {
    StandInProcess aim = StartAim();
    const ImWindowHandles im = FindImWindowHandles(aim);
    aim.Command("recv pal42 hi");
    for (const std::string markup : {"<B>me99</B>: back soon<BR>", "pal42: hi", "a > b<BR>pal42: 1 < 2", ""}) {
        aim.Command("set " + markup);
        EXPECT_EQ(ReadText(im.conversationText), markup);
        EXPECT_EQ(Conversation(aim), markup);
    }
}

TEST(AimStandInConversation, EscapesInArgumentsBecomeLineBreaksAndBackslashes) {
    StandInProcess aim = StartAim();
    const ImWindowHandles im = FindImWindowHandles(aim);
    aim.Command("recv pal42 " + EscapeLine("two\r\nlines \\ here"));
    EXPECT_EQ(ReadText(im.conversationText), "<B>pal42</B>: two\r\nlines \\ here");
    EXPECT_EQ(OnlyReply(aim, "conv"), "conv <B>pal42</B>: two\\r\\nlines \\\\ here");
}

TEST(AimStandInConversation, TextWrittenByMessageIsWhatConvReports) {
    StandInProcess aim = StartAim();
    const ImWindowHandles im = FindImWindowHandles(aim);
    WriteText(im.conversationText, "<B>pal42</B>: set from outside");
    EXPECT_EQ(Conversation(aim), "<B>pal42</B>: set from outside");
    aim.Command("recv pal42 more");
    EXPECT_EQ(Conversation(aim), "<B>pal42</B>: set from outside<BR><B>pal42</B>: more");
}

// ---------------------------------------------------------------------------

TEST(AimStandInLifecycle, CloseAndOpenRebuildTheWindowAndKeepTheCounts) {
    StandInProcess aim = StartAim();
    ImWindowHandles im = FindImWindowHandles(aim);
    WriteText(im.entryText, "one");
    PressLikeVelmora(im.sendButton);

    aim.Command("close");
    EXPECT_EQ(FindWindowA(kImClass, nullptr), nullptr);
    EXPECT_TRUE(aim.IsRunning());
    EXPECT_THROW(aim.Command("conv"), StandInError);
    EXPECT_EQ(SentTexts(aim), std::vector<std::string>{"one"});
    EXPECT_EQ(OnlyReply(aim, "presses"), "presses 1 0 0");

    aim.Command("open");
    im = FindImWindowHandles(aim);
    ASSERT_NE(im.window, nullptr);
    EXPECT_EQ(ReadText(im.conversationText), "");
    EXPECT_EQ(ChildClassesInZOrder(im.window).size(), 5u);
    WriteText(im.entryText, "two");
    PressLikeVelmora(im.sendButton);
    EXPECT_EQ(OnlyReply(aim, "presses"), "presses 2 0 0");
    EXPECT_EQ(SentTexts(aim), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(ReadText(im.conversationText), "<B>me99</B>: two");
}

TEST(AimStandInLifecycle, HangLeavesMessagesUnansweredUntilItEnds) {
    StandInProcess aim = StartAim();
    const ImWindowHandles im = FindImWindowHandles(aim);
    aim.Command("set <B>pal42</B>: hi");
    DWORD_PTR length = 0;
    ASSERT_NE(SendMessageTimeoutA(im.conversationText, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length), 0);
    EXPECT_EQ(length, 16u);

    aim.Command("hang 4000");  // answered once the UI thread has stopped
    length = 0;
    EXPECT_EQ(SendMessageTimeoutA(im.conversationText, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 300, &length), 0);

    // A command waits for the hang to end, and then the window answers again.
    EXPECT_EQ(Conversation(aim), "<B>pal42</B>: hi");
    EXPECT_NE(SendMessageTimeoutA(im.conversationText, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length), 0);
    EXPECT_EQ(length, 16u);
}

TEST(AimStandInLifecycle, BadCommandsAreErrorsAndLeaveItWorking) {
    StandInProcess aim = StartAim();
    EXPECT_THROW(aim.Command("dance"), StandInError);
    EXPECT_THROW(aim.Command("hang soon"), StandInError);
    EXPECT_THROW(aim.Command("recv"), StandInError);
    EXPECT_THROW(aim.Command("open"), StandInError) << "the window is already open";
    aim.Command("recv pal42 still here");
    EXPECT_EQ(Conversation(aim), "<B>pal42</B>: still here");
}

TEST(AimStandInLifecycle, QuitRemovesTheWindowAndEndsWithExitCodeZero) {
    StandInProcess aim = StartAim();
    ASSERT_NE(FindWindowA(kImClass, nullptr), nullptr);
    EXPECT_NO_THROW(aim.Quit());
    EXPECT_EQ(aim.WaitForExit(0), 0u);
    EXPECT_EQ(FindWindowA(kImClass, nullptr), nullptr);
}

TEST(AimStandInLifecycle, DestroyingTheClientEndsARunningStandIn) {
    HANDLE process = nullptr;
    {
        StandInProcess aim = StartAim();
        process = OpenProcess(SYNCHRONIZE, FALSE, aim.ProcessId());
        ASSERT_NE(process, nullptr);
        StandInProcess movedTo = std::move(aim);
        EXPECT_EQ(aim.ProcessId(), 0u);
        EXPECT_TRUE(movedTo.IsRunning());
    }
    EXPECT_EQ(WaitForSingleObject(process, 0), WAIT_OBJECT_0);
    CloseHandle(process);
    EXPECT_EQ(FindWindowA(kImClass, nullptr), nullptr);
}

// ---------------------------------------------------------------------------
// Several conversations in one client: one IM window per buddy.

struct TitledWindow {
    HWND window;
    std::string title;
};

struct ImWindowSearch {
    DWORD processId;
    std::vector<TitledWindow> found;
};

// A named callback: a lambda is no stdcall procedure in the 32-bit build.
BOOL CALLBACK CollectImWindowOf(HWND window, LPARAM lParam) {
    auto& search = *reinterpret_cast<ImWindowSearch*>(lParam);
    if (ClassOf(window) == kImClass && OwnerProcessId(window) == search.processId)
        search.found.push_back({window, ReadText(window)});
    return TRUE;
}

// The process's top-level IM windows, as the window system lists them.
std::vector<TitledWindow> ImWindowsOf(const StandInProcess& aim) {
    ImWindowSearch search{aim.ProcessId(), {}};
    EnumWindows(CollectImWindowOf, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND ImWindowTitled(const StandInProcess& aim, const std::string& title) {
    for (const TitledWindow& im : ImWindowsOf(aim))
        if (im.title == title) return im.window;
    return nullptr;
}

HWND ConversationTextOf(HWND im) {
    return FindWindowExA(FindWindowExA(im, nullptr, kPaneClass, nullptr), nullptr, kTextClass, nullptr);
}

HWND EntryTextOf(HWND im) {
    HWND conversationPane = FindWindowExA(im, nullptr, kPaneClass, nullptr);
    return FindWindowExA(FindWindowExA(im, conversationPane, kPaneClass, nullptr), nullptr, kTextClass, nullptr);
}

TEST(AimStandInConversations, EachBuddyGetsAWindowTitledWithTheNameAndCommandsReachTheOneAddressed) {
    StandInProcess aim = StartAim();
    EXPECT_EQ(OnlyReply(aim, "im bob"), "window 2");
    EXPECT_EQ(OnlyReply(aim, "im carol 7"), "window 3");
    EXPECT_EQ(ImWindowsOf(aim).size(), 3u);
    HWND first = ImWindowTitled(aim, "pal42 - Instant Message");
    HWND bob = ImWindowTitled(aim, "bob - Instant Message");
    HWND carol = ImWindowTitled(aim, "carol 7 - Instant Message");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(bob, nullptr);
    ASSERT_NE(carol, nullptr);
    // Every window has the children Velmora's lookups rely on.
    for (HWND im : {first, bob, carol})
        EXPECT_EQ(ChildClassesInZOrder(im), (std::vector<std::string>{kPaneClass, kPaneClass, kIconButtonClass,
                                                                      kIconButtonClass, kIconButtonClass}));

    aim.Command("at 2 recv bob hi there");
    aim.Command("recv pal42 first");
    aim.Command("at 3 set <B>carol 7</B>: x");
    EXPECT_EQ(ReadText(ConversationTextOf(bob)), "<B>bob</B>: hi there");
    EXPECT_EQ(ReadText(ConversationTextOf(first)), "<B>pal42</B>: first");
    EXPECT_EQ(ReadText(ConversationTextOf(carol)), "<B>carol 7</B>: x");
    EXPECT_EQ(UnescapeLine(OnlyReply(aim, "at 2 conv").substr(5)), "<B>bob</B>: hi there");

    // Sent through window 3 only: its list and counts, nobody else's.
    WriteText(EntryTextOf(carol), "for carol");
    PressLikeVelmora(FindWindowExA(carol, nullptr, kIconButtonClass, nullptr));
    EXPECT_EQ(aim.Command("at 3 sent"), std::vector<std::string>{"sent for carol"});
    EXPECT_EQ(OnlyReply(aim, "at 3 presses"), "presses 1 0 0");
    EXPECT_TRUE(SentTexts(aim).empty()) << "window 1";
    EXPECT_EQ(OnlyReply(aim, "presses"), "presses 0 0 0");
    EXPECT_EQ(OnlyReply(aim, "at 1 presses"), "presses 0 0 0");
    EXPECT_EQ(ReadText(ConversationTextOf(carol)), "<B>carol 7</B>: x<BR><B>me99</B>: for carol");

    aim.Command("at 2 draft half typed");
    EXPECT_EQ(ReadText(EntryTextOf(bob)), "half typed");
    EXPECT_EQ(ReadText(EntryTextOf(first)), "");
}

TEST(AimStandInConversations, AWindowClosedAndOpenedAgainIsANewWindowWithItsCountsKept) {
    StandInProcess aim = StartAim();
    aim.Command("im bob");
    HWND bob = ImWindowTitled(aim, "bob - Instant Message");
    WriteText(EntryTextOf(bob), "one");
    PressLikeVelmora(FindWindowExA(bob, nullptr, kIconButtonClass, nullptr));

    aim.Command("at 2 close");
    EXPECT_FALSE(IsWindow(bob));
    EXPECT_EQ(ImWindowsOf(aim).size(), 1u) << "only window 2 closed";
    EXPECT_EQ(aim.Command("windows"), std::vector<std::string>{"window 1 pal42 - Instant Message"});
    EXPECT_THROW(aim.Command("at 2 conv"), StandInError);
    EXPECT_THROW(aim.Command("at 2 close"), StandInError);

    aim.Command("at 2 open");
    HWND again = ImWindowTitled(aim, "bob - Instant Message");
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(ReadText(ConversationTextOf(again)), "");
    EXPECT_EQ(aim.Command("at 2 sent"), std::vector<std::string>{"sent one"});
    EXPECT_EQ(aim.Command("windows"),
              (std::vector<std::string>{"window 1 pal42 - Instant Message", "window 2 bob - Instant Message"}));

    // Closing window 1 leaves the others; "close" and "open" without "at" are window 1's.
    aim.Command("close");
    EXPECT_EQ(ImWindowsOf(aim).size(), 1u);
    EXPECT_NE(ImWindowTitled(aim, "bob - Instant Message"), nullptr);
    EXPECT_THROW(aim.Command("conv"), StandInError);
    aim.Command("open");
    EXPECT_EQ(ImWindowsOf(aim).size(), 2u);
}

TEST(AimStandInConversations, MoreWindowsFromTheCommandLineComeAfterTheFirst) {
    StandInProcess aim = StartAim(L"--im bob --im " + QuoteArgument(L"carol 7"));
    EXPECT_EQ(aim.Command("windows"),
              (std::vector<std::string>{"window 1 pal42 - Instant Message", "window 2 bob - Instant Message",
                                        "window 3 carol 7 - Instant Message"}));
    aim.Command("at 3 recv carol hi");
    EXPECT_EQ(ReadText(ConversationTextOf(ImWindowTitled(aim, "carol 7 - Instant Message"))), "<B>carol</B>: hi");
}

TEST(AimStandInConversations, ItEndsWithItsInputOnlyOnceEveryWindowIsClosed) {
    StandInProcess aim = StartAim();
    aim.Command("im bob");
    aim.Command("close");
    HWND bob = ImWindowTitled(aim, "bob - Instant Message");
    ASSERT_NE(bob, nullptr);
    aim.CloseInput();
    EXPECT_THROW(aim.WaitForExit(1000), StandInError) << "it ended with a window open";
    PostMessageA(bob, WM_CLOSE, 0, 0);
    EXPECT_EQ(aim.WaitForExit(StandInProcess::kExitTimeoutMs), 0u);
}

TEST(AimStandInConversations, TitlesLiesAndBadAddressesStayWithTheirWindow) {
    StandInProcess aim = StartAim();
    EXPECT_EQ(OnlyReply(aim, "imtitle Chat with bob"), "window 2");
    HWND other = ImWindowTitled(aim, "Chat with bob");
    ASSERT_NE(other, nullptr);

    aim.Command("at 2 set <B>bob</B>: hi");
    aim.Command("set <B>pal42</B>: hello");
    aim.Command("at 2 lie 3 3");
    EXPECT_EQ(SendMessageA(ConversationTextOf(other), WM_GETTEXTLENGTH, 0, 0), 3);
    EXPECT_EQ(ReadText(ConversationTextOf(other)), "<B>");
    HWND first = ImWindowTitled(aim, "pal42 - Instant Message");
    EXPECT_EQ(ReadText(ConversationTextOf(first)), "<B>pal42</B>: hello") << "window 1 tells the truth";
    aim.Command("at 2 truth");
    EXPECT_EQ(ReadText(ConversationTextOf(other)), "<B>bob</B>: hi");

    for (const char* bad : {"at 0 conv", "at 3 conv", "at x conv", "at 2", "at 2 dance", "im", "imtitle"})
        EXPECT_THROW(aim.Command(bad), StandInError) << bad;
    EXPECT_EQ(ImWindowsOf(aim).size(), 2u);
}

// ---------------------------------------------------------------------------

TEST(StandInLineEscapes, EscapeTurnsBackslashCrAndLfIntoTwoCharacters) {
    EXPECT_EQ(EscapeLine("a\\b\r\nc"), "a\\\\b\\r\\nc");
    EXPECT_EQ(EscapeLine("plain <B>text</B>"), "plain <B>text</B>");
    EXPECT_EQ(EscapeLine(""), "");
}

TEST(StandInLineEscapes, UnescapeUndoesEscapeAndKeepsUnknownEscapes) {
    for (const std::string text : {"a\\b\r\nc", "\\r literally", "\r\n\r\n", "ends in \\", "\\\\n"})
        EXPECT_EQ(UnescapeLine(EscapeLine(text)), text);
    EXPECT_EQ(UnescapeLine("tab \\t stays"), "tab \\t stays");
    EXPECT_EQ(UnescapeLine("lone \\"), "lone \\");
}

}  // namespace
}  // namespace velmora::testing
