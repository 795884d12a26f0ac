// What "Save Last Msg" keeps beside the message, and where Msg.ini lives.
#include <gtest/gtest.h>

#include <string>

#include "misc/Paths.h"
#include "storage/ComposerSection.h"
#include "storage/ProfileFile.h"
#include "storage/SavedMessage.h"

namespace velmora {
namespace {

using namespace std::string_literals;

constexpr FileCodePage kAscii{[](std::wstring_view t) { return std::string(t.begin(), t.end()); },
                              [](std::string_view b) { return std::wstring(b.begin(), b.end()); }};

ComposerFields AllFields() {
    ComposerFields fields;
    fields.screenName = L"night owl";
    fields.label = L"Back at \"3\" \u2013 caf\u00e9 [x]=y\\";
    fields.fontColour = L"000080";
    fields.bodyColour = L" FFFF00";
    fields.fontSize = L"12";
    fields.slot = L"12b";
    fields.songWanted = true;
    return fields;
}

TEST(ComposerSection, EveryFieldComesBackExactlyFromAnyFileItIsSavedInto) {
    const ComposerFields fields = AllFields();
    for (std::string_view file : {""s, "[General]\r\nMsg=Out\r\n"s, "[Composer]\r\nLabel=old\r\nOther=x\r\n"s,
                                  "\xFF\xFE[\0G\0]\0"s, "\xEF\xBB\xBF[General]\nMsg=x"s}) {
        const std::string saved = SaveComposerInto(file, fields);
        EXPECT_EQ(LoadComposerFields(saved), fields) << saved;
        // Saving the same fields again changes nothing.
        EXPECT_EQ(SaveComposerInto(saved, fields), saved);
    }
}

TEST(ComposerSection, TheSectionIsPlainAsciiBesideTheMessageWhichStaysInGeneral) {
    const std::string saved = SaveComposerInto("[General]\r\nMsg=Gone fishing\r\n", AllFields());
    EXPECT_EQ(saved,
              "[General]\r\nMsg=Gone fishing\r\n[Composer]\r\nScreenName=night\\sowl\r\n"
              "Label=Back\\sat\\s\\q3\\q\\s\\u2013\\scaf\\u00E9\\s[x]=y\\\\\r\nFontColour=000080\r\n"
              "BodyColour=\\sFFFF00\r\nFontSize=12\r\nSlot=12b\r\nBroadcastWinamp=1\r\n");
    EXPECT_EQ(LoadSavedMessage(saved, kAscii), L"Gone fishing");
}

TEST(ComposerSection, AFileWithoutTheSectionOrAKeyLeavesThoseFieldsAsDesigned) {
    EXPECT_EQ(LoadComposerFields(""), ComposerFields{});
    EXPECT_EQ(LoadComposerFields("[General]\r\nMsg=x\r\nScreenName=not here\r\n"), ComposerFields{});
    ComposerFields some;
    some.label = L"only this";
    some.songWanted = false;
    EXPECT_EQ(LoadComposerFields("[composer]\r\nlabel=only\\sthis\r\nBroadcastWinamp=0\r\n"), some);
}

TEST(ComposerSection, HostileValuesLeaveTheirFieldAsDesigned) {
    const std::string tooLong(kMaxComposerValue + 1, 'x');
    const std::string file = "[Composer]\r\nScreenName=" + tooLong + "\r\nLabel=a\\u0000b\r\nFontSize=33\r\n" +
                             "Slot=" + std::string(kMaxComposerValue, 'y') + "\r\nBroadcastWinamp=yes\r\n" +
                             "FontColour=\\u12\r\nBodyColour=\\uD800\r\n";
    const ComposerFields fields = LoadComposerFields(file);
    EXPECT_FALSE(fields.screenName);
    EXPECT_FALSE(fields.label);
    EXPECT_FALSE(fields.fontSize);
    EXPECT_FALSE(fields.songWanted);
    EXPECT_EQ(fields.slot, std::wstring(kMaxComposerValue, L'y'));
    // Broken escapes are kept as text, as the message's are; a lone half of a pair is a code unit.
    EXPECT_EQ(fields.fontColour, L"\\u12");
    EXPECT_EQ(fields.bodyColour, std::wstring(1, static_cast<wchar_t>(0xD800)));
    for (std::string_view size : {"0", "01", "-1", "1.5", "", "\\s7", "320"})
        EXPECT_FALSE(LoadComposerFields("[Composer]\r\nFontSize=" + std::string(size) + "\r\n").fontSize) << size;
    EXPECT_EQ(LoadComposerFields("[Composer]\r\nFontSize=32\r\n").fontSize, L"32");
}

TEST(ComposerSection, SavingReplacesTheWholeSectionAndLeavesTheRestOfTheFileByteForByte) {
    const std::string file =
        "; mine\r\n[Composer]\r\nStale=1\r\nLabel=old\r\n[AutoReply]\r\nNames=a b\r\n"
        "[Composer]\r\nSlot=9\r\n";
    ComposerFields fields;
    fields.label = L"new";
    EXPECT_EQ(SaveComposerInto(file, fields),
              "; mine\r\n[Composer]\r\nLabel=new\r\n[AutoReply]\r\nNames=a b\r\n[Composer]\r\n");
}

TEST(SettingsPlace, BesideTheExeWhenItsFolderCanBeWrittenOrAlreadyHoldsMsgIni) {
    const std::wstring exe = L"C:\\Program Files\\Velmora";
    const std::wstring appData = L"C:\\Users\\ann\\AppData\\Roaming";
    EXPECT_EQ(SettingsFolderFor(exe, appData, false, true), exe);
    EXPECT_EQ(SettingsFolderFor(exe, appData, true, false), exe);
    EXPECT_EQ(SettingsFolderFor(exe, appData, false, false), appData + L"\\Velmora");
    EXPECT_EQ(SettingsPathFor(SettingsFolderFor(exe, appData + L"\\", false, false)), appData + L"\\Velmora\\Msg.ini");
    // Nowhere else to go: beside the exe, where a save then says why it failed.
    EXPECT_EQ(SettingsFolderFor(exe, L"", false, false), exe);
}

TEST(SavedMessage, TheStartNoticeNamesTheFileTheLengthAndThatItIsKept) {
    const std::wstring notice = TooLongToRestoreNotice(3'000'001, L"D:\\Velmora\\Msg.ini");
    EXPECT_NE(notice.find(L"D:\\Velmora\\Msg.ini is 3,000,001 characters long"), std::wstring::npos) << notice;
    EXPECT_NE(notice.find(L"(1,048,576)"), std::wstring::npos) << notice;
    EXPECT_NE(notice.find(L"stays saved"), std::wstring::npos) << notice;
}

TEST(SavedMessage, AMessageTooLongForTheBoxIsStillReadWhole) {
    const std::wstring message(kMaxRestoredMessage + 1, L'x');
    const std::string file = SaveMessageInto("", message + L"\r\n", kAscii);
    EXPECT_EQ(LoadSavedMessage(file, kAscii), L"");
    EXPECT_EQ(LoadWholeSavedMessage(file, kAscii), message + L"\r\n");
}

}  // namespace
}  // namespace velmora
