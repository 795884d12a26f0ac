// Auto Reply's section of Msg.ini: the format mark and older rows, every row a file holds, and
// two copies of Velmora saving into one file without losing each other's changes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "autoreply/AutoReplySettings.h"
#include "storage/ProfileFile.h"
#include "storage/SavedMessage.h"

namespace velmora {
namespace {

using Rows = std::vector<AutoReplyRule>;

AutoReplySettings WithRows(Rows rows) {
    AutoReplySettings settings;
    settings.rules = std::move(rows);
    return settings;
}

Rows ManyRows(std::size_t count) {
    Rows rows;
    for (std::size_t i = 0; i < count; ++i)
        rows.push_back(
            {L"pal" + std::to_wstring(i) + L", Sam " + std::to_wstring(i), L"back at " + std::to_wstring(i)});
    return rows;
}

// One copy of Velmora: what it last read or saved, and what it holds now.
struct Copy {
    AutoReplySettings base;
    AutoReplySettings mine;
    explicit Copy(const std::string& file) : base(ReadAutoReplySettings(file)), mine(base) {}
    void SaveInto(std::string& file) {
        file = MergeAutoReplySettingsInto(file, base, mine);
        base = mine;
    }
};

TEST(AutoReplySettingsFormat, NamesAreKeptWithCommasAndOlderRowsReadAsTheyWereMeant) {
    const AutoReplySettings settings = WithRows({{L"Sam 7, pal42", L"brb"}});
    const std::string written = WriteAutoReplySettingsInto("", settings);
    EXPECT_NE(written.find("[AutoReply]\r\nFormat=2\r\n"), std::string::npos);
    EXPECT_EQ(ReadAutoReplySettings(written), settings) << "a name with a blank stays one name";

    // Saved by a Velmora before the mark: each blank separated two names.
    const AutoReplySettings old = ReadAutoReplySettings(
        "[AutoReply]\r\nRules=3\r\nRule1Names=pal42\\sbob\\t\\r\\n\\s\\sSam7\r\nRule1Reply=hi\r\n"
        "Rule2Names=\\s\r\nRule2Reply=nobody\r\nRule3Names=carol\r\nRule3Reply=c\r\n");
    EXPECT_EQ(old.rules, (Rows{{L"pal42, bob, Sam7", L"hi"}, {L"", L"nobody"}, {L"carol", L"c"}}));
    // Written again, they keep that meaning.
    EXPECT_EQ(ReadAutoReplySettings(WriteAutoReplySettingsInto("", old)), old);
}

TEST(AutoReplySettingsFormat, EveryRowOfTheFileIsReadAndNoneIsMadeUp) {
    for (std::size_t count : {std::size_t{105}, std::size_t{10'000}}) {
        const AutoReplySettings settings = WithRows(ManyRows(count));
        const std::string written = WriteAutoReplySettingsInto("[General]\r\nMsg=x\r\n", settings);
        const AutoReplySettings read = ReadAutoReplySettings(written);
        ASSERT_EQ(read.rules.size(), count);
        EXPECT_EQ(read, settings);
        // A change to one row writes the file back as long as it was, give or take that row.
        Copy copy(written);
        const std::wstring before = copy.mine.rules[count / 2].reply;
        copy.mine.rules[count / 2].reply = L"changed";
        std::string file = written;
        copy.SaveInto(file);
        EXPECT_EQ(file.size() + EscapeExactText(before).size(), written.size() + EscapeExactText(L"changed").size());
        EXPECT_EQ(ReadAutoReplySettings(file).rules.size(), count);
    }
    // A count with no rows behind it is no reason to show thousands of empty ones.
    EXPECT_EQ(ReadAutoReplySettings("[AutoReply]\r\nRules=5000\r\nRule1Names=a\r\n").rules, (Rows{{L"a", L""}}));
    EXPECT_EQ(ReadAutoReplySettings("[AutoReply]\r\nRules=3\r\nRule3Reply=c\r\n").rules.size(), 3u);
}

TEST(AutoReplySettingsMerge, TwoCopiesAddingRowsKeepBoth) {
    std::string file = "[General]\r\nMsg=lunch\r\n";
    Copy a(file), b(file);
    a.mine.rules.push_back({L"alice", L"hi alice"});
    b.mine.rules.push_back({L"bob", L"hi bob"});
    a.SaveInto(file);
    b.SaveInto(file);
    EXPECT_EQ(ReadAutoReplySettings(file).rules, (Rows{{}, {L"alice", L"hi alice"}, {L"bob", L"hi bob"}}));
    // Each typed into the one empty row a new window has.
    std::string other;
    Copy c(other), d(other);
    c.mine.rules[0] = {L"carol", L"c"};
    d.mine.rules[0] = {L"dave", L"d"};
    c.SaveInto(other);
    d.SaveInto(other);
    EXPECT_EQ(ReadAutoReplySettings(other).rules, (Rows{{L"carol", L"c"}, {L"dave", L"d"}}));
    // Both added the same row in the same place: once.
    std::string same;
    Copy e(same), f(same);
    e.mine.rules.push_back({L"erin", L"e"});
    f.mine.rules.push_back({L"erin", L"e"});
    e.SaveInto(same);
    f.SaveInto(same);
    EXPECT_EQ(ReadAutoReplySettings(same).rules, (Rows{{}, {L"erin", L"e"}}));
}

TEST(AutoReplySettingsMerge, ARemovedRowGoesButAnEditOfItByTheOtherCopyStays) {
    const Rows three{{L"a", L"1"}, {L"b", L"2"}, {L"c", L"3"}};
    for (bool removerFirst : {true, false}) {
        std::string file = WriteAutoReplySettingsInto("", WithRows(three));
        Copy remover(file), editor(file);
        remover.mine.rules.erase(remover.mine.rules.begin() + 1);
        editor.mine.rules[1].reply = L"2, edited";
        editor.mine.rules[2].names = L"c, cc";
        if (removerFirst) remover.SaveInto(file);
        editor.SaveInto(file);
        if (!removerFirst) remover.SaveInto(file);
        EXPECT_EQ(ReadAutoReplySettings(file).rules, (Rows{{L"a", L"1"}, {L"b", L"2, edited"}, {L"c, cc", L"3"}}))
            << "remover first: " << removerFirst;
    }
    // Removed by one and untouched by the other: gone, also after the other saves a change.
    std::string file = WriteAutoReplySettingsInto("", WithRows(three));
    Copy remover(file), other(file);
    remover.mine.rules.erase(remover.mine.rules.begin());
    remover.SaveInto(file);
    other.mine.rules[2].reply = L"3!";
    other.SaveInto(file);
    EXPECT_EQ(ReadAutoReplySettings(file).rules, (Rows{{L"b", L"2"}, {L"c", L"3!"}}));
    // Both removed every row: the one empty row to fill in.
    Copy x(file), y(file);
    x.mine.rules = {{}};
    y.mine.rules = {{}};
    x.SaveInto(file);
    y.SaveInto(file);
    EXPECT_EQ(ReadAutoReplySettings(file).rules, (Rows{{}}));
}

TEST(AutoReplySettingsMerge, ChoicesAndSectionsACopyDidNotChangeStayAsTheFileHasThem) {
    std::string file = "; mine\r\n[General]\r\nMsg=lunch\r\n[Other]\r\nKey=kept\r\n";
    Copy a(file), b(file);
    a.mine.on = true;
    a.mine.everyoneElse = true;
    a.mine.everyoneElseReply = L"away";
    b.mine.idleMinutes = 10;
    b.mine.answerAgainMinutes = 30;
    a.SaveInto(file);
    file.replace(file.find("Msg=lunch"), 9, "Msg=dinner");  // the main window's save meanwhile
    b.SaveInto(file);
    const AutoReplySettings read = ReadAutoReplySettings(file);
    EXPECT_TRUE(read.on);
    EXPECT_TRUE(read.everyoneElse);
    EXPECT_EQ(read.everyoneElseReply, L"away");
    EXPECT_EQ(read.idleMinutes, 10);
    EXPECT_EQ(read.answerAgainMinutes, 30);
    EXPECT_EQ(file.substr(0, 60).find("; mine\r\n[General]\r\nMsg=dinner\r\n[Other]\r\nKey=kept\r\n"), 0u);
    // Changed on both sides: the copy that saves last has its way.
    Copy c(file), d(file);
    c.mine.on = false;
    d.mine.on = true;  // unchanged for d
    d.mine.idleMinutes = 5;
    c.SaveInto(file);
    d.SaveInto(file);
    EXPECT_FALSE(ReadAutoReplySettings(file).on);
    EXPECT_EQ(ReadAutoReplySettings(file).idleMinutes, 5);
}

TEST(AutoReplySettingsMerge, AUtf16FileAndAFileOfThousandsOfRowsMergeAlike) {
    const std::wstring text = L"[General]\r\nMsg=\u041f\u0440\u0438\r\n";
    std::string file = "\xFF\xFE";
    for (wchar_t c : text) {
        file += static_cast<char>(c & 0xFF);
        file += static_cast<char>((c >> 8) & 0xFF);
    }
    const std::string start = file;
    Copy a(file), b(file);
    a.mine.rules[0] = {L"\u0410\u043b\u0438\u0441\u0430", L"\U0001F600"};
    b.mine.rules.push_back({L"bob", L"b"});
    a.SaveInto(file);
    b.SaveInto(file);
    EXPECT_EQ(file.substr(0, start.size()), start);
    EXPECT_EQ(DecodeProfileFile(file).encoding, ProfileEncoding::Utf16LittleEndian);
    EXPECT_EQ(ReadAutoReplySettings(file).rules,
              (Rows{{L"\u0410\u043b\u0438\u0441\u0430", L"\U0001F600"}, {L"bob", L"b"}}));

    // Rows changed at both ends of a long list, while the other copy adds one.
    std::string many = WriteAutoReplySettingsInto("", WithRows(ManyRows(2100)));
    Copy c(many), d(many);
    c.mine.rules.front().reply = L"first";
    c.mine.rules.back().reply = L"last";
    d.mine.rules.push_back({L"new", L"n"});
    d.SaveInto(many);
    c.SaveInto(many);
    Rows expected = ManyRows(2100);
    expected.front().reply = L"first";
    expected.back().reply = L"last";
    expected.push_back({L"new", L"n"});
    EXPECT_EQ(ReadAutoReplySettings(many).rules, expected);
}

TEST(AutoReplySettingsFormat, AReplyTooLongForTheBoxShowsItsStartAndANote) {
    const std::wstring lines = std::wstring(100, L'a') + L"\r\n" + std::wstring(100, L'b');
    EXPECT_TRUE(ReplyShownInBox(lines).whole);
    EXPECT_EQ(ReplyShownInBox(lines).text, lines);
    std::wstring words;
    while (words.size() < (std::size_t{1} << 20)) words += std::wstring(4999, L'w') + L" ";
    const std::wstring pair = L"\U0001F600";
    for (const std::wstring& reply : {words, std::wstring(5000, L'x'),
                                      std::wstring(kReplyStartShown - 1, L'y') + pair + std::wstring(40000, L'z')}) {
        const ReplyInBox shown = ReplyShownInBox(reply);
        EXPECT_FALSE(shown.whole);
        EXPECT_EQ(shown.text.rfind(L"(Too long to show or edit here: the reply ", 0), 0u) << shown.text.substr(0, 120);
        EXPECT_NE(shown.text.find(L"sent whole"), std::wstring::npos);
        EXPECT_LT(shown.text.size(), kReplyStartShown + 400);
        // Its lines are short enough for the box to lay out at once, and no half of a pair is left.
        std::size_t line = 0;
        for (const wchar_t c : shown.text) {
            line = c == L'\n' ? 0 : line + 1;
            EXPECT_LE(line, 1000u);
        }
        const std::size_t dots = shown.text.size() - 3;
        EXPECT_FALSE(shown.text[dots - 1] >= 0xD800 && shown.text[dots - 1] < 0xDC00);
    }
}

// The main window's message from two copies: the one that changed it has its way.
TEST(SavedMessageMerge, AMessageThisCopyDidNotChangeLeavesTheFilesOwn) {
    const FileCodePage ascii{[](std::wstring_view text) { return std::string(text.begin(), text.end()); },
                             [](std::string_view bytes) { return std::wstring(bytes.begin(), bytes.end()); }};
    const std::string lunch = SaveMessageInto("[AutoReply]\r\nSwitch=On\r\n", L"lunch", ascii);
    const std::string dinner = SaveMessageInto(lunch, L"dinner", ascii);  // another copy's save
    EXPECT_EQ(SaveMessageOver(dinner, L"lunch", L"lunch", ascii), dinner);
    EXPECT_EQ(SaveMessageOver(dinner, L"lunch", L"tea", ascii), SaveMessageInto(dinner, L"tea", ascii));
    // A file without a message gets this copy's, changed or not, as a close always wrote it.
    EXPECT_EQ(SaveMessageOver("", L"", L"", ascii), SaveMessageInto("", L"", ascii));
    EXPECT_EQ(LoadSavedMessage(SaveMessageOver("[General]\r\n", L"x", L"x", ascii), ascii), L"x");
}

}  // namespace
}  // namespace velmora
