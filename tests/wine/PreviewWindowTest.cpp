// The window "Preview" made in this process, opened from the main window's menu and driven
// through the main window's fields and the pickers as a user's typing and clicks drive them.
// What the preview shows is read from its rendering pane (the pane's text is the text it
// draws, line by line) and from the pixels it paints.
#include <windows.h>
// (commctrl.h needs windows.h first.)
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "app/AwayControls.h"
#include "app/AwayWindow.h"
#include "app/Program.h"
#include "colour/ColourPickerControls.h"
#include "preview/PreviewControls.h"
#include "preview/RenderPane.h"
#include "stored/StoredControls.h"
#include "support/StandIn.h"
#include "support/TestSupport.h"
#include "winamp/Winamp.h"

namespace velmora {
namespace {

using testing::TypeInto;
using testing::WaitUntil;
using testing::WindowText;

// The date and the time as the system shows them in its short formats.
std::wstring DateOrTime(bool date) {
    wchar_t format[80]{};
    GetLocaleInfoW(LOCALE_USER_DEFAULT, date ? LOCALE_SSHORTDATE : 0x79 /* LOCALE_SSHORTTIME */, format, 80);
    wchar_t text[128]{};
    if (date)
        GetDateFormatW(LOCALE_USER_DEFAULT, 0, nullptr, format, text, 128);
    else
        GetTimeFormatW(LOCALE_USER_DEFAULT, 0, nullptr, format, text, 128);
    return text;
}

// The colour the pane paints at a point, taken with WM_PRINTCLIENT.
COLORREF PaneColourAt(HWND pane, int x, int y) {
    RECT client{};
    GetClientRect(pane, &client);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageW(pane, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    const COLORREF colour = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return colour;
}

int LineCount(const std::wstring& text) {
    int lines = text.empty() ? 0 : 1;
    for (std::size_t at = text.find(L"\r\n"); at != std::wstring::npos; at = text.find(L"\r\n", at + 2)) ++lines;
    return lines;
}

class PreviewTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(program_.Start());
        main_ = program_.OpenMainWindow();
        ASSERT_NE(main_, nullptr);
    }
    void TearDown() override {
        // Nothing of this test's windows may be left for the next one.
        MSG quit{};
        PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }
    HWND OpenPreview() {
        SendMessageW(main_->Handle(), WM_COMMAND, MAKEWPARAM(AwayIds::MenuPreview, 0), 0);
        return testing::FindWindowOfProcess(GetCurrentProcessId(), L"Preview");
    }
    void Type(int id, const std::wstring& text) { TypeInto(main_->Control(id), text); }
    static std::wstring Shown(HWND preview) { return WindowText(GetDlgItem(preview, PreviewIds::Pane)); }
    static std::wstring Line(HWND preview, int id) { return WindowText(GetDlgItem(preview, id)); }

    Program program_{GetModuleHandleW(nullptr)};
    AwayWindow* main_ = nullptr;
};

TEST_F(PreviewTest, OpensOnceFromTheMenuModelessUnownedAndResizable) {
    HWND preview = OpenPreview();
    ASSERT_NE(preview, nullptr);
    const LONG style = GetWindowLongW(preview, GWL_STYLE);
    EXPECT_TRUE(style & WS_THICKFRAME);
    EXPECT_EQ(GetWindow(preview, GW_OWNER), nullptr);
    EXPECT_TRUE(IsWindowEnabled(main_->Handle()));
    // Only this window is resizable; the main window keeps its fixed frame.
    EXPECT_FALSE(GetWindowLongW(main_->Handle(), GWL_STYLE) & WS_THICKFRAME);
    // Beside the main window, not over the message being typed.
    RECT mainRect{}, messageRect{}, previewRect{}, overlap{};
    GetWindowRect(main_->Handle(), &mainRect);
    GetWindowRect(main_->Control(AwayIds::Text2_0), &messageRect);
    GetWindowRect(preview, &previewRect);
    EXPECT_FALSE(IntersectRect(&overlap, &messageRect, &previewRect));
    EXPECT_EQ(previewRect.top, mainRect.top);
    EXPECT_EQ(OpenPreview(), preview);
    EXPECT_EQ(testing::CountWindowsOfProcess(GetCurrentProcessId(), L"Preview"), 1);
}

TEST_F(PreviewTest, ItsRenderingIsAChildTheProgramDoesNotCountAsAWindow) {
    HWND preview = OpenPreview();
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(GetParent(GetDlgItem(preview, PreviewIds::Pane)), preview);
    EXPECT_EQ(Window::OpenWindowCount(), 2);
    SendMessageW(main_->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    MSG quit{};
    EXPECT_FALSE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    // The last top-level window ends the program, whatever child windows it had.
    SendMessageW(preview, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(Window::OpenWindowCount(), 0);
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(PreviewTest, FollowsTypingAndShowsTheLabelAboveTheRendering) {
    HWND preview = OpenPreview();
    ASSERT_NE(preview, nullptr);
    Type(AwayIds::Text1, L"Out <to> lunch, %n");
    Type(AwayIds::Text2_0, L"Back   <b>soon</b>,&nbsp;<i>really</i> &amp; truly<BR>bye");
    // The label as the client lists it: as typed, placeholders too.
    EXPECT_EQ(Line(preview, PreviewIds::LabelTitle), L"Out <to> lunch, %n");
    EXPECT_EQ(Shown(preview), L"Back soon,\u00A0really & truly\r\nbye");
    EXPECT_EQ(Line(preview, PreviewIds::LabelLineBreaks), L"");

    // A larger font size from the list: the same words take more lines.
    std::wstring words;
    for (int i = 0; i < 12; ++i) words += L"word ";
    Type(AwayIds::Text2_0, words);
    const int smallLines = LineCount(Shown(preview));
    HWND sizes = main_->Control(AwayIds::Combo1);
    SendMessageW(sizes, CB_SETCURSEL, 6, 0);  // "7"
    SendMessageW(main_->Handle(), WM_COMMAND, MAKEWPARAM(AwayIds::Combo1, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(sizes));
    EXPECT_GT(LineCount(Shown(preview)), smallLines);

    Type(AwayIds::Text2_0, L"one\r\ntwo");
    EXPECT_EQ(Shown(preview), L"one two");
    EXPECT_EQ(Line(preview, PreviewIds::LabelLineBreaks),
              L"Readers see line breaks as spaces; use <BR> for a new line");
}

// A multi-line box says nothing of text set from code: Clear and Load change the message so.
TEST_F(PreviewTest, FollowsClearAndLoadAsItFollowsTyping) {
    HWND preview = OpenPreview();
    ASSERT_NE(preview, nullptr);
    Type(AwayIds::Text1, L"Old label");
    Type(AwayIds::Text2_0, L"Old message");
    ASSERT_EQ(Shown(preview), L"Old message");
    SendMessageW(main_->Control(AwayIds::Command3), BM_CLICK, 0, 0);
    EXPECT_EQ(Shown(preview), L"");
    EXPECT_EQ(Line(preview, PreviewIds::LabelTitle), L"Old label");

    // A message stored with characters outside the code page, loaded back while other text stands.
    const std::wstring screenName = testing::UniqueScreenName(L"previewload");
    const std::wstring users = L"SOFTWARE\\America Online\\AOL Instant Messenger (TM)\\CurrentVersion\\Users\\";
    Type(AwayIds::Text5, screenName);
    Type(AwayIds::Text1, L"\u041f\u043e\u043a\u0430");
    Type(AwayIds::Text2_0, L"\u0394\u03b5\u03bd \u65e5 \U0001F600 <b>bold</b>");
    SendMessageW(main_->Control(AwayIds::Command5), BM_CLICK, 0, 0);
    Type(AwayIds::Text1, L"Other label");
    Type(AwayIds::Text2_0, L"Other message");
    SendMessageW(main_->Handle(), WM_COMMAND, MAKEWPARAM(AwayIds::MenuStored, 0), 0);
    HWND stored = testing::FindWindowOfProcess(GetCurrentProcessId(), L"Stored Messages");
    ASSERT_NE(stored, nullptr);
    // The list is read beside the window; its first message is chosen once it has arrived.
    HWND list = GetDlgItem(stored, StoredIds::Messages);
    ASSERT_TRUE(testing::WaitUntil([&] { return SendMessageW(list, LB_GETCURSEL, 0, 0) != LB_ERR; }));
    SendMessageW(GetDlgItem(stored, StoredIds::Load), BM_CLICK, 0, 0);
    EXPECT_EQ(WindowText(main_->Control(AwayIds::Text2_0)), L"\u0394\u03b5\u03bd \u65e5 \U0001F600 <b>bold</b>");
    EXPECT_EQ(Shown(preview), L"\u0394\u03b5\u03bd \u65e5 \U0001F600 bold");
    EXPECT_EQ(Line(preview, PreviewIds::LabelTitle), L"\u041f\u043e\u043a\u0430");
    testing::DeleteRegistryTree(HKEY_CURRENT_USER, users + screenName);
}

TEST_F(PreviewTest, FollowsThePickersAndShowsTheContrast) {
    HWND preview = OpenPreview();
    ASSERT_NE(preview, nullptr);
    HWND pane = GetDlgItem(preview, PreviewIds::Pane);
    // White on white, as the main window starts.
    EXPECT_EQ(Line(preview, PreviewIds::LabelContrast), L"Contrast 1.0 : 1");
    EXPECT_NE(Line(preview, PreviewIds::LabelWarning), L"");
    EXPECT_EQ(PaneColourAt(pane, 2, 2), RGB(0xFF, 0xFF, 0xFF));

    // The font picker opens at black; its OK writes 000000.
    SendMessageW(main_->Control(AwayIds::Command7), BM_CLICK, 0, 0);
    HWND picker = program_.OpenChild(ChildWindow::FontColour)->Handle();
    SendMessageW(GetDlgItem(picker, ColourPickerIds::Command1), BM_CLICK, 0, 0);
    EXPECT_EQ(Line(preview, PreviewIds::LabelContrast), L"Contrast 21.0 : 1");
    EXPECT_EQ(Line(preview, PreviewIds::LabelWarning), L"");

    // The body picker mixed to navy: the page turns navy, and black on navy is hard to read.
    SendMessageW(main_->Control(AwayIds::Command8), BM_CLICK, 0, 0);
    picker = program_.OpenChild(ChildWindow::BodyColour)->Handle();
    TypeInto(GetDlgItem(picker, ColourPickerIds::Text1_2), L"128");
    SendMessageW(GetDlgItem(picker, ColourPickerIds::Command1), BM_CLICK, 0, 0);
    EXPECT_EQ(WindowText(main_->Control(AwayIds::Text7)), L"000080");
    EXPECT_EQ(Line(preview, PreviewIds::LabelContrast), L"Contrast 1.3 : 1");
    EXPECT_NE(Line(preview, PreviewIds::LabelWarning), L"");
    RECT client{};
    GetClientRect(pane, &client);
    EXPECT_EQ(PaneColourAt(pane, 2, 2), RGB(0, 0, 0x80));
    EXPECT_EQ(PaneColourAt(pane, client.right - 2, client.bottom - 2), RGB(0, 0, 0x80));

    // A colour typed as a name a buddy's client knows, and one it reads digit by digit.
    Type(AwayIds::Text7, L"zz");
    EXPECT_EQ(PaneColourAt(pane, 2, 2), RGB(0, 0, 0));
}

TEST_F(PreviewTest, PlaceholdersShowFilledWhileTheStoredDocumentKeepsThem) {
    HWND preview = OpenPreview();
    ASSERT_NE(preview, nullptr);
    Type(AwayIds::Text2_0, L"Hi %n, it is %t on %d");
    const std::wstring date = DateOrTime(true);
    const std::wstring time = DateOrTime(false);
    ASSERT_FALSE(date.empty());
    const std::wstring shown = Shown(preview);
    // The minute may turn between the two readings.
    EXPECT_TRUE(shown == L"Hi Buddy, it is " + time + L" on " + date ||
                WaitUntil([&] { return Shown(preview) == L"Hi Buddy, it is " + DateOrTime(false) + L" on " + date; }))
        << std::string(shown.begin(), shown.end());

    TypeInto(GetDlgItem(preview, PreviewIds::TextReader), L"pal42");
    EXPECT_EQ(Shown(preview).substr(0, 10), L"Hi pal42, ");

    const std::wstring screenName = testing::UniqueScreenName(L"preview");
    Type(AwayIds::Text5, screenName);
    SendMessageW(main_->Control(AwayIds::Command5), BM_CLICK, 0, 0);
    const auto stored =
        testing::ReadRegistryValue(HKEY_CURRENT_USER,
                                   L"SOFTWARE\\America Online\\AOL Instant Messenger (TM)\\CurrentVersion\\Users\\" +
                                       screenName + L"\\IAmGoneList",
                                   L"GoneMsg1");
    ASSERT_TRUE(stored.has_value());
    const std::string bytes(stored->data.begin(), stored->data.end());
    EXPECT_NE(bytes.find("Hi %n, it is %t on %d</FONT>"), std::string::npos);
    testing::DeleteRegistryTree(
        HKEY_CURRENT_USER,
        L"SOFTWARE\\America Online\\AOL Instant Messenger (TM)\\CurrentVersion\\Users\\" + screenName);
}

TEST_F(PreviewTest, ShowsTheSongWinampPlaysAndFollowsIt) {
    auto winamp =
        testing::StandInProcess::Start(testing::StandInPath(L"winamp-standin.exe"), L"\"12. Artist - Title - Winamp\"");
    HWND preview = OpenPreview();
    ASSERT_NE(preview, nullptr);
    Type(AwayIds::Text2_0, L"Away");
    EXPECT_EQ(Shown(preview), L"Away");
    SendMessageW(main_->Control(AwayIds::Check1), BM_CLICK, 0, 0);
    EXPECT_EQ(Shown(preview), L"Away\r\nLast Song Played on winamp: Artist - Title");

    // A new song shows within the clock's second, without any typing.
    winamp.Command("title 13. Band - Next One - Winamp");
    EXPECT_TRUE(WaitUntil([&] { return Shown(preview) == L"Away\r\nLast Song Played on winamp: Band - Next One"; }))
        << std::string(Shown(preview).begin(), Shown(preview).end());
    // A stopped player: the message alone, as Update stores it.
    winamp.Command("title Winamp 2.91");
    EXPECT_TRUE(WaitUntil([&] { return Shown(preview) == L"Away"; }));
    // Unticked: no song line, whatever plays.
    winamp.Command("title 14. Other - Song - Winamp");
    SendMessageW(main_->Control(AwayIds::Check1), BM_CLICK, 0, 0);
    EXPECT_EQ(Shown(preview), L"Away");
}

TEST_F(PreviewTest, WrapsAtItsWidthAndKeepsTheLastDocumentAfterTheMainWindowCloses) {
    HWND preview = OpenPreview();
    ASSERT_NE(preview, nullptr);
    std::wstring words;
    for (int i = 0; i < 40; ++i) words += L"word" + std::to_wstring(i) + L" ";
    Type(AwayIds::Text2_0, words);
    const int narrowLines = LineCount(Shown(preview));
    EXPECT_GT(narrowLines, 2);

    RECT outer{};
    GetWindowRect(preview, &outer);
    SetWindowPos(preview, nullptr, 0, 0, (outer.right - outer.left) * 2, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    const int wideLines = LineCount(Shown(preview));
    EXPECT_LT(wideLines, narrowLines);
    EXPECT_GE(wideLines * 2, narrowLines - 1);
    // The rendering and the lines under it followed the new width.
    RECT pane{}, client{};
    GetWindowRect(GetDlgItem(preview, PreviewIds::Pane), &pane);
    GetClientRect(preview, &client);
    EXPECT_GT(pane.right - pane.left, client.right * 9 / 10);
    // Narrower than it opened: more lines, and the lines under it stay inside the window.
    SetWindowPos(preview, nullptr, 0, 0, (outer.right - outer.left) * 2 / 3, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_GT(LineCount(Shown(preview)), narrowLines);
    RECT contrast{};
    GetClientRect(preview, &client);
    GetWindowRect(GetDlgItem(preview, PreviewIds::LabelContrast), &contrast);
    MapWindowPoints(HWND_DESKTOP, preview, reinterpret_cast<POINT*>(&contrast), 2);
    EXPECT_LE(contrast.right, client.right);

    const std::wstring before = Shown(preview);
    testing::CloseWithCloseBox(main_->Handle());
    ASSERT_EQ(program_.OpenMainWindow(), nullptr);
    ASSERT_TRUE(IsWindow(preview));
    TypeInto(GetDlgItem(preview, PreviewIds::TextReader), L"someone");
    EXPECT_EQ(Shown(preview), before);
    DestroyWindow(preview);
}

}  // namespace
}  // namespace velmora

namespace velmora {
namespace {

// The pane on its own, as another window would hold it, given documents no user would type.
TEST(RenderPane, AMegabyteOfAnyCharactersRendersAndScrollsToTheEnd) {
    HWND parent = CreateWindowExW(0, L"STATIC", L"pane", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(parent, nullptr);
    {
        RenderPane pane;
        ASSERT_TRUE(pane.Create(parent, 7, RECT{0, 0, 300, 200}));
        // Every 16-bit value (halves of pairs and controls too), among tags, entities and blanks.
        std::wstring document = L"<body bgcolor=\"#102030\"><font color=white size=+9 face=\"No Such Face\">";
        for (unsigned i = 0; document.size() < (1u << 20); ++i) {
            document += static_cast<wchar_t>((i * 2654435761u) >> 16);
            if (i % 97 == 0) document += L" <b><i>&#x1F600;&nbsp;<br>";
        }
        pane.SetDocument(document);
        HWND window = pane.Handle();
        EXPECT_GT(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0), 100000);
        EXPECT_EQ(PaneColourAt(window, 1, 1), RGB(0x10, 0x20, 0x30));
        SendMessageW(window, WM_VSCROLL, SB_BOTTOM, 0);
        EXPECT_GT(GetScrollPos(window, SB_VERT), 10000);
        EXPECT_EQ(PaneColourAt(window, 1, 1), RGB(0x10, 0x20, 0x30));
        // The pane goes before its parent here; the window goes with it.
    }
    DestroyWindow(parent);
}

}  // namespace
}  // namespace velmora
