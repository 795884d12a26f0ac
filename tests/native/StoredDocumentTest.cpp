#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <string_view>

#include "app/AwayDocument.h"
#include "stored/StoredDocument.h"

namespace velmora {
namespace {

std::wstring Rebuilt(const StoredComposition& read) {
    return BuildAwayDocument(read.label.value_or(L"?"), read.bodyColour.value_or(L"?"), read.fontColour.value_or(L"?"),
                             read.fontSize.value_or(L"?"), read.message.value_or(L"?"),
                             read.song ? std::optional<std::wstring_view>(*read.song) : std::nullopt);
}

TEST(StoredDocument, LunchComesBackFieldByField) {
    const StoredComposition read =
        ReadAwayDocument(BuildAwayDocument(L"Lunch", L"FFFFFF", L"000080", L"2", L"Back soon", std::nullopt));
    EXPECT_TRUE(read.ownShape);
    EXPECT_EQ(read.label, L"Lunch");
    EXPECT_EQ(read.bodyColour, L"FFFFFF");
    EXPECT_EQ(read.fontColour, L"000080");
    EXPECT_EQ(read.fontSize, L"2");
    EXPECT_EQ(read.message, L"Back soon");
    EXPECT_FALSE(read.song.has_value());
}

TEST(StoredDocument, SongLineGivesTheSongAndLeavesTheMessageWithoutIt) {
    const StoredComposition read = ReadAwayDocument(
        BuildAwayDocument(L"Out", L"000000", L"FFFF00", L"12", L"Gone\r\n<b>fishing</b>", L"Artist - Title"));
    EXPECT_TRUE(read.ownShape);
    EXPECT_EQ(read.message, L"Gone\r\n<b>fishing</b>");
    EXPECT_EQ(read.song, L"Artist - Title");
    EXPECT_EQ(read.fontSize, L"12");
}

TEST(StoredDocument, EmptyPiecesAndAnEmptySongComeBackEmpty) {
    const StoredComposition read = ReadAwayDocument(BuildAwayDocument(L"", L"", L"", L"", L"", std::wstring_view{}));
    EXPECT_TRUE(read.ownShape);
    for (const auto& field : {read.label, read.bodyColour, read.fontColour, read.fontSize, read.message, read.song})
        EXPECT_EQ(field, L"");
}

// Fields made of the document's own pieces, cut and whole, so that every separator the reader
// looks for also turns up inside the fields.
class FieldMaker {
public:
    explicit FieldMaker(unsigned seed) : random_(seed) {}

    std::wstring Field(int mostPieces) {
        static const std::wstring_view pieces[] = {
            L"<title>",
            L"</title>",
            L"<HTML><BODY BGCOLOR=\"#",
            L"\"><B><FONT COLOR=\"#",
            L"\"FACE=\"Tahoma\"LANG=\"0\"SIZE=",
            L">",
            L"</FONT></BODY></HTML>",
            L"<BR>",
            L"Last Song Played on winamp:  ",
            L"</title><HTML><BODY BGCOLOR=\"#",
            L"</FONT></BODY></HTML><BR><HTML><BODY BGCOLOR=\"#",
            L"\r\n",
            L"\"",
            L"#",
            L"FFFFFF",
            L"2",
            L"a",
            L" ",
            L"\u00e9",
            L"<",
            L"SIZE=",
            L"winamp:  ",
            L"</HTML>",
        };
        std::wstring field;
        const int count = std::uniform_int_distribution<int>(0, mostPieces)(random_);
        for (int i = 0; i < count; ++i) {
            std::wstring_view piece =
                pieces[std::uniform_int_distribution<std::size_t>(0, std::size(pieces) - 1)(random_)];
            // Now and then only a part of a piece, so near-misses are tried too.
            if (piece.size() > 1 && std::uniform_int_distribution<int>(0, 3)(random_) == 0)
                piece = piece.substr(0, std::uniform_int_distribution<std::size_t>(1, piece.size() - 1)(random_));
            field += piece;
        }
        return field;
    }
    bool Coin() { return std::uniform_int_distribution<int>(0, 1)(random_) == 1; }

private:
    std::mt19937 random_;
};

TEST(StoredDocument, EveryDocumentVelmoraWritesIsBuiltAgainByteForByte) {
    FieldMaker maker(20261207);
    for (int round = 0; round < 10000; ++round) {
        const std::wstring label = maker.Field(4), body = maker.Field(3), font = maker.Field(3), size = maker.Field(2),
                           message = maker.Field(8), song = maker.Field(4);
        const bool withSong = maker.Coin();
        const std::wstring document = BuildAwayDocument(
            label, body, font, size, message, withSong ? std::optional<std::wstring_view>(song) : std::nullopt);
        const StoredComposition read = ReadAwayDocument(document);
        ASSERT_TRUE(read.ownShape) << "round " << round;
        ASSERT_EQ(Rebuilt(read), document) << "round " << round;
    }
}

TEST(StoredDocument, FieldsWithoutTheDocumentsPiecesComeBackExactly) {
    FieldMaker maker(7);
    const std::wstring_view plain[] = {L"Lunch", L"", L"a\r\nb", L"<i>x</i> & y", L"%n at %t", L"\"quoted\""};
    for (int round = 0; round < 2000; ++round) {
        const auto pick = [&](int salt) { return std::wstring(plain[(round * 7 + salt) % std::size(plain)]); };
        const std::wstring label = pick(1), message = pick(2) + pick(3), song = pick(4);
        const bool withSong = maker.Coin();
        const StoredComposition read =
            ReadAwayDocument(BuildAwayDocument(label, L"C0C0C0", L"000080", L"3", message,
                                               withSong ? std::optional<std::wstring_view>(song) : std::nullopt));
        ASSERT_EQ(read.label, label);
        ASSERT_EQ(read.message, message);
        ASSERT_EQ(read.song, withSong ? std::optional<std::wstring>(song) : std::nullopt);
    }
}

TEST(StoredDocument, AMessageQuotingASongLineKeepsItsQuote) {
    const std::wstring quoted = BuildAwayDocument(L"q", L"FFFFFF", L"000000", L"2", L"inner", L"Old - Song");
    const std::wstring document = BuildAwayDocument(L"L", L"FFFFFF", L"000000", L"2", quoted, L"New - Song");
    const StoredComposition read = ReadAwayDocument(document);
    EXPECT_EQ(read.song, L"New - Song");
    EXPECT_EQ(Rebuilt(read), document);
}

TEST(StoredDocument, ForeignDocumentsGiveWhatTheyHoldAndLeaveTheRest) {
    struct Case {
        const char* name;
        std::wstring_view document;
        std::optional<std::wstring> label, body, font, size, message;
    };
    const Case cases[] = {
        {"client's own editor",
         L"<HTML><BODY BGCOLOR=\"#ffffff\"><FONT COLOR=\"#ff0000\" SIZE=3>Away</FONT></BODY></HTML>", std::nullopt,
         L"ffffff", L"ff0000", L"3", L"<FONT COLOR=\"#ff0000\" SIZE=3>Away</FONT>"},
        {"plain text", L"just text", std::nullopt, std::nullopt, std::nullopt, std::nullopt, L"just text"},
        {"title without body", L"<TITLE>Gone</TITLE>back <b>soon</b>", L"Gone", std::nullopt, std::nullopt,
         std::nullopt, L"back <b>soon</b>"},
        {"any letter case, unquoted and single-quoted",
         L"<title>T</title><body bgcolor=navy><font size='+1'>"
         L"<Font Color=red>x</font></font></body>",
         L"T", L"navy", L"red", L"+1", L"<font size='+1'><Font Color=red>x</font></font>"},
        {"body never closed", L"<BODY BGCOLOR=\"#000000\">rest", std::nullopt, L"000000", std::nullopt, std::nullopt,
         L"rest"},
        {"a quote that never closes ends nothing", L"<title>a</title><body bgcolor=\"#123>never", L"a", std::nullopt,
         std::nullopt, std::nullopt, L"<body bgcolor=\"#123>never"},
        {"tag names must end", L"<bodyx bgcolor=1><fontsize size=2>t", std::nullopt, std::nullopt, std::nullopt,
         std::nullopt, L"<bodyx bgcolor=1><fontsize size=2>t"},
        {"title never closed is no label", L"<title>open", std::nullopt, std::nullopt, std::nullopt, std::nullopt,
         L"<title>open"},
        {"Velmora's shape with a piece changed",
         L"<title>L</title><HTML><BODY BGCOLOR=\"#FFFFFF\"><B><FONT "
         L"COLOR=\"#000000\"FACE=\"Arial\"LANG=\"0\"SIZE=2>m</FONT></BODY></HTML>",
         L"L", L"FFFFFF", L"000000", L"2", L"<B><FONT COLOR=\"#000000\"FACE=\"Arial\"LANG=\"0\"SIZE=2>m</FONT>"},
        {"empty", L"", std::nullopt, std::nullopt, std::nullopt, std::nullopt, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const StoredComposition read = ReadAwayDocument(c.document);
        EXPECT_FALSE(read.ownShape);
        EXPECT_EQ(read.label, c.label);
        EXPECT_EQ(read.bodyColour, c.body);
        EXPECT_EQ(read.fontColour, c.font);
        EXPECT_EQ(read.fontSize, c.size);
        EXPECT_EQ(read.message, c.message);
        EXPECT_FALSE(read.song.has_value());
    }
}

// Texts of a megabyte built to make a careless reader go back over the text again and again.
TEST(StoredDocument, MegabyteTextsOfRepeatedPiecesAreReadInOnePass) {
    const auto repeated = [](std::wstring_view head, std::wstring_view piece, std::wstring_view tail) {
        std::wstring text(head);
        while (text.size() < 1000000) text += piece;
        return text + std::wstring(tail);
    };
    const std::wstring texts[] = {
        repeated(L"", L"<font color=\"", L""),
        repeated(L"", L"<font ", L""),
        repeated(L"<title>", L"</title><HTML><BODY BGCOLOR=\"#", L""),
        repeated(L"<title>x</title><HTML><BODY BGCOLOR=\"#\"><B><FONT COLOR=\"#\"FACE=\"Tahoma\"LANG=\"0\"SIZE=>",
                 L"</FONT></BODY></HTML><BR><HTML><BODY BGCOLOR=\"#", L"Last Song Played on winamp:  "),
        repeated(L"<title>", L"</title><HTML><BODY BGCOLOR=\"#\"><B><FONT COLOR=\"#\"FACE=\"Tahoma\"LANG=\"0\"SIZE=>",
                 L"</FONT></BODY></HTML><BR>"),
        repeated(L"", L"<body bgcolor=", L""),
        repeated(L"<title>", L"<", L""),
    };
    for (const std::wstring& text : texts) {
        const StoredComposition read = ReadAwayDocument(text);
        EXPECT_TRUE(read.message.has_value());
    }
    // A megabyte message of Velmora's own still comes back whole.
    const std::wstring message(1 << 20, L'm');
    EXPECT_EQ(ReadAwayDocument(BuildAwayDocument(L"L", L"1", L"2", L"3", message, L"s")).message, message);
}

}  // namespace
}  // namespace velmora
