// The colour pickers of the real velmora.exe, opened with the main window's ".." buttons and
// driven from outside; what they write checked in the main window and in the stored document.
#include <gtest/gtest.h>

#include <string>

#include "app/AwayControls.h"
#include "colour/ColourPickerControls.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

using testing::VelmoraProcess;
using testing::WindowText;

const std::wstring kUsers = L"SOFTWARE\\America Online\\AOL Instant Messenger (TM)\\CurrentVersion\\Users\\";

struct CountSearch {
    DWORD processId;
    const wchar_t* title;
    int count;
};

BOOL CALLBACK CountTitled(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<CountSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && WindowText(window) == search->title) ++search->count;
    return TRUE;
}

// A picker of the running velmora.exe, driven with the messages its controls raise.
class Picker {
public:
    explicit Picker(HWND window) : window_(window) {}
    HWND Handle() const { return window_; }
    // The thumb dragged to a value and released, as the scroll bar reports it.
    void Drag(int bar, int to) const {
        HWND control = GetDlgItem(window_, bar);
        for (WORD request : {WORD(SB_THUMBTRACK), WORD(SB_THUMBPOSITION), WORD(SB_ENDSCROLL)})
            SendMessageW(window_, WM_HSCROLL, MAKEWPARAM(request, to), reinterpret_cast<LPARAM>(control));
    }
    // A number box given a text; the box itself raises EN_CHANGE.
    void Type(int box, const std::wstring& text) const {
        SendMessageW(GetDlgItem(window_, box), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    std::wstring Text(int id) const { return WindowText(GetDlgItem(window_, id)); }
    int Bar(int bar) const { return GetScrollPos(GetDlgItem(window_, bar), SB_CTL); }
    void Click(int button) const { SendMessageW(GetDlgItem(window_, button), BM_CLICK, 0, 0); }
    void CloseBox() const { SendMessageW(window_, WM_SYSCOMMAND, SC_CLOSE, 0); }

private:
    HWND window_;
};

class ColourPickerE2E : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(velmora_.MainWindow(), nullptr); }

    // Presses ".." beside the font colour (Command7) or body colour (Command8) box.
    Picker Press(int button, const wchar_t* title) const {
        velmora_.Click(button);
        HWND window = velmora_.FindWindowTitled(title);
        EXPECT_NE(window, nullptr) << "no window titled " << std::string(title, title + wcslen(title));
        return Picker(window);
    }
    Picker FontPicker() const { return Press(AwayIds::Command7, L"Font Color"); }
    Picker BodyPicker() const { return Press(AwayIds::Command8, L"Body Color"); }
    int WindowsTitled(const wchar_t* title) const {
        CountSearch search{velmora_.ProcessId(), title, 0};
        EnumWindows(CountTitled, reinterpret_cast<LPARAM>(&search));
        return search.count;
    }

    testing::TempFolder folder_;
    VelmoraProcess velmora_{folder_.Path()};
};

TEST_F(ColourPickerE2E, DotDotThenOkAtOnceSetsTheBoxToBlack) {
    Picker font = FontPicker();
    font.Click(ColourPickerIds::Command1);
    EXPECT_EQ(velmora_.Text(AwayIds::Text6), L"000000");
    EXPECT_EQ(velmora_.Text(AwayIds::Text7), L"FFFFFF");
    EXPECT_EQ(WindowsTitled(L"Font Color"), 0);

    Picker body = BodyPicker();
    body.Click(ColourPickerIds::Command1);
    EXPECT_EQ(velmora_.Text(AwayIds::Text7), L"000000");
    EXPECT_EQ(WindowsTitled(L"Body Color"), 0);
}

TEST_F(ColourPickerE2E, MixedColoursReachTheirTagsInTheStoredDocument) {
    const std::wstring screenName = testing::UniqueScreenName(L"colour");
    velmora_.Type(AwayIds::Text5, screenName);

    Picker font = FontPicker();
    font.Drag(ColourPickerIds::H1_0, 255);
    font.Drag(ColourPickerIds::H1_1, 0);
    font.Drag(ColourPickerIds::H1_2, 128);
    Picker body = BodyPicker();
    body.Type(ColourPickerIds::Text1_0, L"0");
    body.Type(ColourPickerIds::Text1_1, L"0");
    body.Type(ColourPickerIds::Text1_2, L"128");
    font.Click(ColourPickerIds::Command1);
    body.Click(ColourPickerIds::Command1);
    EXPECT_EQ(velmora_.Text(AwayIds::Text6), L"FF0080");
    EXPECT_EQ(velmora_.Text(AwayIds::Text7), L"000080");

    velmora_.Click(AwayIds::Command5);
    const auto stored =
        testing::ReadRegistryValue(HKEY_CURRENT_USER, kUsers + screenName + L"\\IAmGoneList", L"GoneMsg1");
    testing::DeleteRegistryTree(HKEY_CURRENT_USER, kUsers + screenName);
    ASSERT_TRUE(stored.has_value()) << "Update stored no document";
    const std::string document(stored->data.begin(), stored->data.end());
    EXPECT_NE(document.find("<BODY BGCOLOR=\"#000080\">"), std::string::npos) << document;
    EXPECT_NE(document.find("<FONT COLOR=\"#FF0080\""), std::string::npos) << document;
}

TEST_F(ColourPickerE2E, CancelAndTheCloseBoxLeaveTheBoxesAsTheyWere) {
    velmora_.Type(AwayIds::Text6, L"123456");
    Picker font = FontPicker();
    font.Drag(ColourPickerIds::H1_0, 200);
    font.Click(ColourPickerIds::Command2);
    EXPECT_EQ(WindowsTitled(L"Font Color"), 0);
    Picker body = BodyPicker();
    body.Drag(ColourPickerIds::H1_0, 200);
    body.CloseBox();
    EXPECT_EQ(WindowsTitled(L"Body Color"), 0);
    EXPECT_EQ(velmora_.Text(AwayIds::Text6), L"123456");
    EXPECT_EQ(velmora_.Text(AwayIds::Text7), L"FFFFFF");
}

TEST_F(ColourPickerE2E, PressingDotDotTwiceOpensOneWindowThatKeepsItsBars) {
    Picker first = FontPicker();
    first.Drag(ColourPickerIds::H1_1, 77);
    Picker second = FontPicker();
    EXPECT_EQ(second.Handle(), first.Handle());
    EXPECT_EQ(WindowsTitled(L"Font Color"), 1);
    EXPECT_EQ(second.Bar(ColourPickerIds::H1_1), 77);
    EXPECT_EQ(second.Text(ColourPickerIds::Label1), L"004D00");
}

TEST_F(ColourPickerE2E, AfterOkThePickerOpensAgainAtBlack) {
    Picker font = FontPicker();
    font.Drag(ColourPickerIds::H1_2, 90);
    font.Click(ColourPickerIds::Command1);
    EXPECT_EQ(velmora_.Text(AwayIds::Text6), L"00005A");
    Picker again = FontPicker();
    EXPECT_EQ(again.Bar(ColourPickerIds::H1_2), 0);
    EXPECT_EQ(again.Text(ColourPickerIds::Text1_2), L"0");
    EXPECT_EQ(again.Text(ColourPickerIds::Label1), L"000000");
}

TEST_F(ColourPickerE2E, OkAfterTheMainWindowClosedEndsTheProgramWithoutBringingItBack) {
    Picker font = FontPicker();
    font.Drag(ColourPickerIds::H1_0, 255);
    velmora_.CloseMainWindow();
    EXPECT_EQ(velmora_.FindWindowTitled(L"Velmora"), nullptr);
    ASSERT_TRUE(velmora_.IsRunning()) << "the open picker keeps the program running";
    ASSERT_TRUE(IsWindow(font.Handle()));
    font.Click(ColourPickerIds::Command1);
    ASSERT_TRUE(velmora_.WaitForExit()) << "a window is left behind";
    EXPECT_EQ(velmora_.ExitCode(), 0u);
}

}  // namespace
}  // namespace velmora
