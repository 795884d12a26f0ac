// Update, Delete and Clear pressed in the real velmora.exe; the registry read back.
#include <gtest/gtest.h>

#include "app/AwayControls.h"
#include "support/StandIn.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

using namespace AwayIds;
using testing::ReadRegistryValue;
using testing::ReadWholeFile;
using testing::RegistryKeyExists;
using testing::RegistryValueNames;
using testing::VelmoraProcess;

const std::wstring kUsers = L"SOFTWARE\\America Online\\AOL Instant Messenger (TM)\\CurrentVersion\\Users\\";

class PublishE2E : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(velmora_.MainWindow(), nullptr);
        velmora_.Type(Text5, screenName_);
    }
    void TearDown() override { testing::DeleteRegistryTree(HKEY_CURRENT_USER, kUsers + screenName_); }

    std::string Stored(const std::wstring& valueName) const {
        const auto value = ReadRegistryValue(HKEY_CURRENT_USER, ListKey(), valueName);
        if (!value) return "(no value)";
        if (value->type != REG_SZ) return "(not REG_SZ)";
        return std::string(value->data.begin(), value->data.end());
    }
    std::wstring ListKey() const { return kUsers + screenName_ + L"\\IAmGoneList"; }
    // The worked example: label Lunch, body FFFFFF, font 000000, size 2, "Back soon".
    void FillLunchExample() const {
        velmora_.Type(Text1, L"Lunch");
        velmora_.Type(Text7, L"FFFFFF");
        velmora_.Type(Text6, L"000000");
        velmora_.Choose(Combo1, 1);
        velmora_.Type(Text2_0, L"Back soon");
    }

    testing::TempFolder folder_;
    std::wstring screenName_ = testing::UniqueScreenName(L"e2e");
    VelmoraProcess velmora_{folder_.Path()};
};

const std::string kLunch =
    "<title>Lunch</title><HTML><BODY BGCOLOR=\"#FFFFFF\"><B><FONT COLOR=\"#000000\"FACE=\"Tahoma\"LANG=\"0\"SIZE=2>"
    "Back soon</FONT></BODY></HTML>";

TEST_F(PublishE2E, UpdateStoresTheComposedDocumentInTheChosenSlot) {
    FillLunchExample();
    velmora_.Choose(Combo2, 2);
    velmora_.Click(Command5);
    EXPECT_EQ(Stored(L"GoneMsg3"), kLunch + '\0');
    EXPECT_EQ(RegistryValueNames(HKEY_CURRENT_USER, ListKey()), std::vector<std::wstring>{L"GoneMsg3"});
}

TEST_F(PublishE2E, ColoursGoIntoTheirOwnTagsAndLinesKeepTheirBreaks) {
    velmora_.Type(Text1, L"");
    velmora_.Type(Text6, L"FF0000");
    velmora_.Type(Text7, L"000080");
    velmora_.Type(Text2_0, L"line one\r\n<i>line</i> & two");
    velmora_.Click(Command5);
    EXPECT_EQ(
        Stored(L"GoneMsg1"),
        std::string("<title></title><HTML><BODY BGCOLOR=\"#000080\"><B><FONT COLOR=\"#FF0000\"FACE=\"Tahoma\"LANG=\"0\""
                    "SIZE=1>line one\r\n<i>line</i> & two</FONT></BODY></HTML>") +
            '\0');
}

TEST_F(PublishE2E, BrodcastWinampAppendsTheSongThePlayerShows) {
    auto winamp = testing::StandInProcess::Start(testing::StandInPath(L"winamp-standin.exe"),
                                                 L"\"123. Artist - Title - Winamp\"");
    FillLunchExample();
    velmora_.Click(Check1);
    velmora_.Click(Command5);
    EXPECT_EQ(Stored(L"GoneMsg1"),
              kLunch +
                  "<BR><HTML><BODY BGCOLOR=\"#FFFFFF\"><B><FONT COLOR=\"#000000\"FACE=\"Tahoma\"LANG=\"0\"SIZE=2>"
                  "Last Song Played on winamp:  Artist - Title" +
                  '\0');
}

TEST_F(PublishE2E, BrodcastWinampWithoutAPlayerStoresTheMessageAlone) {
    FillLunchExample();
    velmora_.Click(Check1);
    ASSERT_TRUE(velmora_.IsTicked(Check1));
    velmora_.Click(Command5);
    EXPECT_EQ(Stored(L"GoneMsg1"), kLunch + '\0');
    EXPECT_TRUE(velmora_.IsRunning());
}

TEST_F(PublishE2E, ASlotTypedByHandNamesTheValue) {
    velmora_.Type(Combo2, L"12b");
    velmora_.Click(Command5);
    EXPECT_EQ(RegistryValueNames(HKEY_CURRENT_USER, ListKey()), std::vector<std::wstring>{L"GoneMsg12b"});
}

TEST_F(PublishE2E, UpdatingASlotAgainKeepsOnlyTheSecondDocument) {
    velmora_.Type(Text2_0, L"first");
    velmora_.Click(Command5);
    FillLunchExample();
    velmora_.Click(Command5);
    EXPECT_EQ(RegistryValueNames(HKEY_CURRENT_USER, ListKey()), std::vector<std::wstring>{L"GoneMsg1"});
    EXPECT_EQ(Stored(L"GoneMsg1"), kLunch + '\0');
}

TEST_F(PublishE2E, DeleteRemovesTheSlotsValueAndKeepsTheKey) {
    velmora_.Choose(Combo2, 4);
    velmora_.Click(Command5);
    ASSERT_NE(Stored(L"GoneMsg5"), "(no value)");
    velmora_.Click(Command2);
    EXPECT_EQ(Stored(L"GoneMsg5"), "(no value)");
    EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, ListKey()));
}

TEST_F(PublishE2E, DeletingWhatIsNotThereCreatesNothing) {
    velmora_.Click(Command2);
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, kUsers + screenName_));
    velmora_.Click(Command5);
    velmora_.Choose(Combo2, 6);
    velmora_.Click(Command2);
    EXPECT_EQ(RegistryValueNames(HKEY_CURRENT_USER, ListKey()), std::vector<std::wstring>{L"GoneMsg1"});
}

TEST_F(PublishE2E, AnUpdateOrDeleteThatFailsIsToldAndStoresNothing) {
    // Each case: the screen name, the button, what the box must say.
    const std::wstring longName = screenName_ + std::wstring(300, L'n');
    const std::wstring cyrillic = L"\u0411\u043e\u0440\u0438\u0441";
    std::wstring fullWidth;  // a look-alike of this test's name
    for (wchar_t c : screenName_) fullWidth += static_cast<wchar_t>(c + 0xFEE0);
    const struct {
        std::wstring name;
        int button;
        const wchar_t* said;
    } cases[] = {
        {longName, Command5, L"was not stored"},  {longName, Command2, L"was not deleted"},
        {cyrillic, Command5, L"code page"},       {cyrillic, Command2, L"code page"},
        {fullWidth, Command5, L"code page"},      {L"\uFF3C", Command5, L"code page"},
        {L"", Command5, L"Type the screen name"},
    };
    testing::DeleteRegistryTree(HKEY_CURRENT_USER, kUsers + L"IAmGoneList");
    testing::DeleteRegistryTree(HKEY_CURRENT_USER, kUsers + L"?????");
    for (const auto& each : cases) {
        SCOPED_TRACE(each.said);
        velmora_.Type(Text5, each.name);
        velmora_.PostClick(each.button);
        HWND box = testing::WaitForOwnedWindow(velmora_.MainWindow());
        ASSERT_NE(box, nullptr);
        const std::wstring text = testing::MessageBoxText(box);
        EXPECT_NE(text.find(each.said), std::wstring::npos) << text;
        ASSERT_TRUE(testing::PressMessageBoxButton(box, IDOK));
    }
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, kUsers + L"IAmGoneList"));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, kUsers + L"?????"));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, kUsers + screenName_));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, kUsers + longName.substr(0, 255)));
}

TEST_F(PublishE2E, ClearEmptiesOnlyTheMessageBox) {
    FillLunchExample();
    velmora_.Click(Command3);
    EXPECT_EQ(velmora_.Text(Text2_0), L"");
    EXPECT_EQ(velmora_.Text(Text1), L"Lunch");
    EXPECT_EQ(velmora_.Text(Text6), L"000000");
    EXPECT_EQ(velmora_.Text(Combo1), L"2");
    EXPECT_EQ(velmora_.Text(Text5), screenName_);
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, kUsers + screenName_));
    EXPECT_FALSE(ReadWholeFile(folder_.File(L"Msg.ini")).has_value());
}

}  // namespace
}  // namespace velmora
