#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

#include "compose/AwayDocument.h"

namespace velmora {
namespace {

std::size_t CountOf(std::wstring_view text, std::wstring_view piece) {
    std::size_t count = 0;
    for (std::size_t at = text.find(piece); at != std::wstring_view::npos; at = text.find(piece, at + 1)) {
        ++count;
    }
    return count;
}

bool EndsWith(std::wstring_view text, std::wstring_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

TEST(AwayDocument, LunchExampleWithoutSongMatchesByteForByte) {
    EXPECT_EQ(BuildAwayDocument(L"Lunch", L"FFFFFF", L"000000", L"2", L"Back soon", std::nullopt),
              L"<title>Lunch</title><HTML><BODY BGCOLOR=\"#FFFFFF\"><B><FONT COLOR=\"#000000\"FACE=\"Tahoma\""
              L"LANG=\"0\"SIZE=2>Back soon</FONT></BODY></HTML>");
}

TEST(AwayDocument, LunchExampleWithSongMatchesByteForByte) {
    EXPECT_EQ(BuildAwayDocument(L"Lunch", L"FFFFFF", L"000000", L"2", L"Back soon", L"Artist - Title"),
              L"<title>Lunch</title><HTML><BODY BGCOLOR=\"#FFFFFF\"><B><FONT COLOR=\"#000000\"FACE=\"Tahoma\""
              L"LANG=\"0\"SIZE=2>Back soon</FONT></BODY></HTML><BR><HTML><BODY BGCOLOR=\"#FFFFFF\"><B>"
              L"<FONT COLOR=\"#000000\"FACE=\"Tahoma\"LANG=\"0\"SIZE=2>Last Song Played on winamp:  Artist - Title");
}

TEST(AwayDocument, EmptyFieldsLeaveEmptyPiecesAndNothingElse) {
    EXPECT_EQ(BuildAwayDocument(L"", L"", L"", L"", L"", std::nullopt),
              L"<title></title><HTML><BODY BGCOLOR=\"#\"><B><FONT COLOR=\"#\"FACE=\"Tahoma\"LANG=\"0\"SIZE=>"
              L"</FONT></BODY></HTML>");
}

TEST(AwayDocument, EmptyLabelStillOpensTheDocumentWithTheTitlePart) {
    const std::wstring document = BuildAwayDocument(L"", L"FFFFFF", L"000000", L"2", L"hi", std::nullopt);
    EXPECT_EQ(document.rfind(L"<title></title><HTML>", 0), 0u);
}

TEST(AwayDocument, EmptyMessagePutsClosingTagsRightBehindTheStyleHeader) {
    const std::wstring document = BuildAwayDocument(L"x", L"FFFFFF", L"000000", L"2", L"", std::nullopt);
    EXPECT_TRUE(EndsWith(document, L"SIZE=2></FONT></BODY></HTML>"));
}

TEST(AwayDocument, BodyColourGoesIntoBodyTagAndFontColourIntoFontTag) {
    const std::wstring document = BuildAwayDocument(L"x", L"000080", L"FF0000", L"2", L"m", std::nullopt);
    EXPECT_NE(document.find(L"<BODY BGCOLOR=\"#000080\">"), std::wstring::npos);
    EXPECT_NE(document.find(L"<FONT COLOR=\"#FF0000\"FACE="), std::wstring::npos);
    EXPECT_LT(document.find(L"000080"), document.find(L"FF0000"));
}

TEST(AwayDocument, EmptyFontSizeLeavesNothingBetweenSizeAndTheClosingBracket) {
    const std::wstring document = BuildAwayDocument(L"x", L"FFFFFF", L"000000", L"", L"m", std::nullopt);
    EXPECT_NE(document.find(L"LANG=\"0\"SIZE=>m</FONT>"), std::wstring::npos);
}

TEST(AwayDocument, SongLineRepeatsTheStyleHeaderAndEndsWithTheSong) {
    const std::wstring document = BuildAwayDocument(L"x", L"112233", L"445566", L"7", L"m", L"Band - Song");
    EXPECT_EQ(CountOf(document,
                      L"<HTML><BODY BGCOLOR=\"#112233\"><B><FONT COLOR=\"#445566\"FACE=\"Tahoma\"LANG=\"0\"SIZE=7>"),
              2u);
    EXPECT_EQ(CountOf(document, L"</FONT></BODY></HTML>"), 1u);
    EXPECT_TRUE(EndsWith(document,
                         L"</HTML><BR><HTML><BODY BGCOLOR=\"#112233\"><B><FONT COLOR=\"#445566\"FACE=\"Tahoma\""
                         L"LANG=\"0\"SIZE=7>Last Song Played on winamp:  Band - Song"));
}

TEST(AwayDocument, EmptySongStillAddsTheSongLineEndingInTwoBlanks) {
    const std::wstring document = BuildAwayDocument(L"x", L"FFFFFF", L"000000", L"2", L"m", std::wstring_view{});
    EXPECT_TRUE(EndsWith(document, L"SIZE=2>Last Song Played on winamp:  "));
    EXPECT_EQ(CountOf(document, L"<BR>"), 1u);
}

TEST(AwayDocument, NoSongMeansNoSongLine) {
    const std::wstring document = BuildAwayDocument(L"x", L"FFFFFF", L"000000", L"2", L"m", std::nullopt);
    EXPECT_EQ(document.find(L"Last Song"), std::wstring::npos);
    EXPECT_EQ(document.find(L"<BR>"), std::wstring::npos);
    EXPECT_TRUE(EndsWith(document, L"</HTML>"));
}

TEST(AwayDocument, DocumentWithSongStartsWithTheDocumentWithoutIt) {
    const std::wstring without = BuildAwayDocument(L"L", L"A", L"B", L"3", L"msg", std::nullopt);
    const std::wstring with = BuildAwayDocument(L"L", L"A", L"B", L"3", L"msg", L"S");
    EXPECT_EQ(with.substr(0, without.size()), without);
    EXPECT_GT(with.size(), without.size());
}

TEST(AwayDocument, FieldsGoInUnescapedAndLineBreaksAreKept) {
    struct Case {
        const wchar_t* name;
        std::wstring_view label;
        std::wstring_view colour;
        std::wstring_view message;
        std::wstring_view expectedPiece;
    };
    const Case cases[] = {
        {L"two-line message keeps CR LF", L"x", L"FFFFFF", L"line one\r\nline two", L">line one\r\nline two</FONT>"},
        {L"markup in the message", L"x", L"FFFFFF", L"<i>a & \"b\"</i>", L"><i>a & \"b\"</i></FONT>"},
        {L"markup in the label", L"<b>&</b>", L"FFFFFF", L"m", L"<title><b>&</b></title>"},
        {L"colour that is no hex", L"x", L"red!", L"m", L"BGCOLOR=\"#red!\">"},
        {L"message with <BR> stays as typed", L"x", L"FFFFFF", L"a<BR>b", L">a<BR>b</FONT>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring document = BuildAwayDocument(c.label, c.colour, L"000000", L"2", c.message, std::nullopt);
        EXPECT_NE(document.find(c.expectedPiece), std::wstring::npos) << std::wstring(c.expectedPiece);
    }
}

TEST(AwayDocument, NonAsciiTextPassesThroughUnchanged) {
    const std::wstring document =
        BuildAwayDocument(L"Caf\u00e9", L"FFFFFF", L"000000", L"2", L"Gr\u00fc\u00dfe", L"Bj\u00f6rk - J\u00f3ga");
    EXPECT_NE(document.find(L"<title>Caf\u00e9</title>"), std::wstring::npos);
    EXPECT_NE(document.find(L">Gr\u00fc\u00dfe</FONT>"), std::wstring::npos);
    EXPECT_TRUE(EndsWith(document, L"winamp:  Bj\u00f6rk - J\u00f3ga"));
}

TEST(AwayDocument, LongMessageIsCopiedWhole) {
    const std::wstring message(200000, L'm');
    const std::wstring document = BuildAwayDocument(L"x", L"FFFFFF", L"000000", L"2", message, L"song");
    EXPECT_EQ(CountOf(document, L"m</FONT>"), 1u);
    EXPECT_NE(document.find(L">" + message + L"</FONT>"), std::wstring::npos);
    EXPECT_TRUE(EndsWith(document, L"winamp:  song"));
}

// What Update stores: the document of the fields, with references for what the code page lacks.
TEST(AwayDocument, TheStoredDocumentCarriesEveryCharacterOfLabelMessageAndSongAsAReference) {
    const auto latin1 = [](char32_t c) { return c < 0x100; };
    AwayFields fields;
    fields.label = L"\u041f\u0440\u0438";
    fields.bodyColour = L"FFFFFF";
    fields.fontColour = L"000080";
    fields.fontSize = L"2";
    fields.message = L"Caf\u00e9 \u263a &#65;";
    fields.songWanted = true;
    EXPECT_EQ(BuildAwayDocument(fields, std::wstring(L"\u65e5 - \u00e9"), latin1),
              L"<title>&#1055;&#1088;&#1080;</title><HTML><BODY BGCOLOR=\"#FFFFFF\"><B><FONT COLOR=\"#000080\"FACE="
              L"\"Tahoma\"LANG=\"0\"SIZE=2>Caf\u00e9 &#9786; &#65;</FONT></BODY></HTML><BR><HTML><BODY BGCOLOR="
              L"\"#FFFFFF\"><B><FONT COLOR=\"#000080\"FACE=\"Tahoma\"LANG=\"0\"SIZE=2>Last Song Played on winamp:  "
              L"&#26085; - \u00e9");
    // A message the code page carries is stored exactly as the plain document.
    fields.label = L"Lunch";
    fields.message = L"Gr\u00fc\u00dfe & <b>bye</b>";
    fields.songWanted = false;
    EXPECT_EQ(BuildAwayDocument(fields, std::wstring(L"\u65e5"), latin1),
              BuildAwayDocument(L"Lunch", L"FFFFFF", L"000080", L"2", fields.message, std::nullopt));
}

}  // namespace
}  // namespace velmora
