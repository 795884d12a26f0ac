// The colour pickers used with the pointer and keys: bars moved by clicks on their arrows and
// tracks and by keys, OK pressed, and the mixed colours found in the stored away message.
#include <gtest/gtest.h>

#include "app/AwayControls.h"
#include "colour/ColourPickerControls.h"
#include "support/RealInput.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

using namespace testing;

const std::wstring kUsers = L"SOFTWARE\\America Online\\AOL Instant Messenger (TM)\\CurrentVersion\\Users\\";

class ColourPickerRealInput : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(WaitUntil([&] { return velmora_.MainWindow() && IsWindowVisible(velmora_.MainWindow()); }));
        Settle();
    }
    void TearDown() override { DeleteRegistryTree(HKEY_CURRENT_USER, kUsers + screenName_); }

    HWND OpenPicker(int button, const wchar_t* title) const {
        ClickControl(velmora_.Control(button));
        HWND picker = nullptr;
        WaitUntil([&] { return (picker = velmora_.FindWindowTitled(title)) != nullptr && IsWindowVisible(picker); });
        Settle();
        return picker;
    }
    static std::wstring Colour(HWND picker) { return WindowText(GetDlgItem(picker, ColourPickerIds::Label1)); }
    // Clicks on a bar: its right arrow, or its track just left of that arrow (a page to the right).
    static void ClickRightArrow(HWND bar) {
        RECT rect{};
        GetWindowRect(bar, &rect);
        ClickAt({rect.right - 4, (rect.top + rect.bottom) / 2});
    }
    static void ClickTrackRight(HWND bar) {
        RECT rect{};
        GetWindowRect(bar, &rect);
        const int arrow = rect.bottom - rect.top;
        ClickAt({rect.right - arrow - 3, (rect.top + rect.bottom) / 2});
    }
    void Shot(const std::wstring& step) const {
        Settle();
        const char* name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        SaveScreenshot(L"Colour-" + std::wstring(name, name + strlen(name)) + L"-" + step);
    }

    TempFolder folder_;
    std::wstring screenName_ = UniqueScreenName(L"mix");
    VelmoraProcess velmora_{folder_.Path()};
};

TEST_F(ColourPickerRealInput, MixedColoursReachTheStoredMessage) {
    using namespace ColourPickerIds;
    HWND font = OpenPicker(AwayIds::Command7, L"Font Color");
    ASSERT_NE(font, nullptr);
    Shot(L"01-font-open");
    // Red to the end with the keyboard, blue to 128 with 25 page clicks and 3 arrow clicks.
    ClickTrackRight(GetDlgItem(font, H1_0));
    ASSERT_TRUE(WaitUntil([&] { return HasFocus(GetDlgItem(font, H1_0)); }));
    PressKey(VK_END);
    HWND blue = GetDlgItem(font, H1_2);
    for (int page = 0; page < 25; ++page) ClickTrackRight(blue);
    for (int step = 0; step < 3; ++step) ClickRightArrow(blue);
    ASSERT_TRUE(WaitUntil([&] { return Colour(font) == L"FF0080"; })) << Colour(font);
    Shot(L"02-font-mixed");
    ClickControl(GetDlgItem(font, Command1));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(font); }));
    EXPECT_EQ(velmora_.Text(AwayIds::Text6), L"FF0080");

    HWND body = OpenPicker(AwayIds::Command8, L"Body Color");
    ASSERT_NE(body, nullptr);
    HWND bodyBlue = GetDlgItem(body, H1_2);
    for (int page = 0; page < 25; ++page) ClickTrackRight(bodyBlue);
    for (int step = 0; step < 3; ++step) ClickRightArrow(bodyBlue);
    ASSERT_TRUE(WaitUntil([&] { return Colour(body) == L"000080"; })) << Colour(body);
    Shot(L"03-body-mixed");
    ClickControl(GetDlgItem(body, Command1));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(body); }));

    ASSERT_TRUE(ClickToFocus(velmora_.Control(AwayIds::Text5)));
    SelectAllInField();
    TypeText(screenName_);
    ASSERT_TRUE(WaitUntil([&] { return velmora_.Text(AwayIds::Text5) == screenName_; }));
    ClickControl(velmora_.Control(AwayIds::Command5));
    const std::wstring key = kUsers + screenName_ + L"\\IAmGoneList";
    ASSERT_TRUE(WaitUntil([&] { return ReadRegistryValue(HKEY_CURRENT_USER, key, L"GoneMsg1").has_value(); }));
    const auto value = ReadRegistryValue(HKEY_CURRENT_USER, key, L"GoneMsg1");
    const std::string document(value->data.begin(), value->data.end());
    EXPECT_NE(document.find("<BODY BGCOLOR=\"#000080\">"), std::string::npos) << document;
    EXPECT_NE(document.find("<FONT COLOR=\"#FF0080\""), std::string::npos) << document;
    Shot(L"04-updated");
}

TEST_F(ColourPickerRealInput, CancelLeavesTheBoxAsItWas) {
    HWND font = OpenPicker(AwayIds::Command7, L"Font Color");
    ASSERT_NE(font, nullptr);
    ClickRightArrow(GetDlgItem(font, ColourPickerIds::H1_1));
    ASSERT_TRUE(WaitUntil([&] { return Colour(font) == L"000100"; })) << Colour(font);
    ClickControl(GetDlgItem(font, ColourPickerIds::Command2));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(font); }));
    EXPECT_EQ(velmora_.Text(AwayIds::Text6), L"FFFFFF");
}

}  // namespace
}  // namespace velmora
