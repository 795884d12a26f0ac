#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <tuple>

#include "compose/AwayDocument.h"
#include "stored/StoredDocument.h"

namespace velmora {
namespace {

using Song = std::optional<std::wstring_view>;

std::wstring Rebuilt(const StoredComposition& read) {
    return BuildAwayDocument(read.label.value_or(L"?"), read.bodyColour.value_or(L"?"), read.fontColour.value_or(L"?"),
                             read.fontSize.value_or(L"?"), read.message.value_or(L"?"),
                             read.song ? Song(*read.song) : std::nullopt);
}

TEST(StoredDocument, WorkedExamplesComeBackFieldByField) {
    StoredComposition read =
        ReadAwayDocument(BuildAwayDocument(L"Lunch", L"FFFFFF", L"000080", L"2", L"Back soon", {}));
    EXPECT_TRUE(read.ownShape);
    EXPECT_EQ(read.label, L"Lunch");
    EXPECT_EQ(read.bodyColour, L"FFFFFF");
    EXPECT_EQ(read.fontColour, L"000080");
    EXPECT_EQ(read.fontSize, L"2");
    EXPECT_EQ(read.message, L"Back soon");
    EXPECT_EQ(read.song, std::nullopt);
    read = ReadAwayDocument(BuildAwayDocument(L"", L"0", L"F", L"12", L"Gone\r\n<b>\"x\"</b>", L"Artist - Title"));
    EXPECT_EQ(read.label, L"");
    EXPECT_EQ(read.message, L"Gone\r\n<b>\"x\"</b>");
    EXPECT_EQ(read.song, L"Artist - Title");
}

// Fields made of the document's own pieces, whole and cut, so every separator the reader looks
// for also turns up inside the fields; empty fields come up too.
std::wstring MakeField(std::mt19937& random, int mostPieces) {
    static const std::wstring_view pieces[] = {
        L"</title>",
        L"<HTML><BODY BGCOLOR=\"#",
        L"\"><B><FONT COLOR=\"#",
        L"\"FACE=\"Tahoma\"LANG=\"0\"SIZE=",
        L">",
        L"</FONT></BODY></HTML>",
        L"<BR>",
        L"Last Song Played on winamp:  ",
        L"\r\n",
        L"\"",
        L"a",
        L"\u00e9",
    };
    std::wstring field;
    for (int i = std::uniform_int_distribution<int>(0, mostPieces)(random); i > 0; --i) {
        std::wstring_view piece = pieces[std::uniform_int_distribution<std::size_t>(0, std::size(pieces) - 1)(random)];
        if (piece.size() > 1 && random() % 4 == 0) piece = piece.substr(0, 1 + random() % (piece.size() - 1));
        field += piece;
    }
    return field;
}

TEST(StoredDocument, EveryDocumentVelmoraWritesIsBuiltAgainByteForByte) {
    std::mt19937 random(20261207);
    for (int round = 0; round < 10000; ++round) {
        const std::wstring label = MakeField(random, 4), body = MakeField(random, 3), font = MakeField(random, 3),
                           size = MakeField(random, 2), message = MakeField(random, 8), song = MakeField(random, 4);
        const std::wstring document =
            BuildAwayDocument(label, body, font, size, message, random() % 2 ? Song(song) : std::nullopt);
        const StoredComposition read = ReadAwayDocument(document);
        ASSERT_TRUE(read.ownShape) << "round " << round;
        ASSERT_EQ(Rebuilt(read), document) << "round " << round;
    }
}

// The Western code page as the rule sees it.
bool Latin1(char32_t c) { return c < 0x100; }

// A field of characters the code page lacks and some it has; with the document's own pieces and
// typed references too, when asked (a user may type "&#65;" or "&#1055;" as text).
std::wstring MakeFieldOfAnyCharacters(std::mt19937& random, int mostPieces, bool piecesAndReferences) {
    static const std::wstring_view others[] = {
        L"\u041f\u0440\u0438",
        L"\u0395\u03bb",
        L"\u65e5\u672c",
        L"\uff22",
        L"\u2216",
        L"\uFFFD",
        L"&",
        L"#",
        L";",
        L"1",
    };
    static const std::wstring_view typed[] = {L"&#65;", L"&#1055;", L"&#x41F;", L"&#0233;", L"&#128512;"};
    std::wstring field;
    for (int i = std::uniform_int_distribution<int>(0, mostPieces)(random); i > 0; --i) {
        switch (random() % 4) {
            case 0: field += piecesAndReferences ? MakeField(random, 1) : L"a\u00e9 "; break;
            case 1: field += others[random() % std::size(others)]; break;
            case 2: AppendCharacter(field, 0x1F600 + static_cast<char32_t>(random() % 16)); break;
            default:
                if (piecesAndReferences) field += typed[random() % std::size(typed)];
                break;
        }
    }
    return field;
}

TEST(StoredDocument, EveryCharacterComesBackFromItsReferenceAndIsStoredAgainTheSame) {
    std::mt19937 random(17);
    for (int round = 0; round < 4000; ++round) {
        SCOPED_TRACE(round);
        // Fields of the document's pieces may be read back split otherwise (building them gives
        // the same text), so only plain fields are compared one by one.
        const bool typedReferences = round % 2 == 1;
        AwayFields fields;
        fields.label = MakeFieldOfAnyCharacters(random, 3, typedReferences);
        fields.bodyColour = MakeFieldOfAnyCharacters(random, 2, typedReferences);
        fields.fontColour = MakeFieldOfAnyCharacters(random, 2, typedReferences);
        fields.fontSize = MakeFieldOfAnyCharacters(random, 1, typedReferences);
        fields.message = MakeFieldOfAnyCharacters(random, 8, typedReferences);
        fields.songWanted = random() % 2 == 0;
        const std::optional<std::wstring> song = MakeFieldOfAnyCharacters(random, 3, typedReferences);
        const std::wstring stored = BuildAwayDocument(fields, song, Latin1);
        ASSERT_TRUE(UncarriedCharacters(stored, Latin1).empty());

        const StoredComposition read = ReadAwayDocument(stored, Latin1);
        ASSERT_TRUE(read.ownShape);
        if (!typedReferences) {
            EXPECT_EQ(std::tie(read.label, read.bodyColour, read.fontColour, read.fontSize, read.message),
                      std::tie(fields.label, fields.bodyColour, fields.fontColour, fields.fontSize, fields.message));
            EXPECT_EQ(read.song, fields.songWanted ? song : std::nullopt);
        }
        // Loaded and stored again: the very same document.
        AwayFields loaded;
        loaded.label = *read.label;
        loaded.bodyColour = *read.bodyColour;
        loaded.fontColour = *read.fontColour;
        loaded.fontSize = *read.fontSize;
        loaded.message = *read.message;
        loaded.songWanted = read.song.has_value();
        ASSERT_EQ(BuildAwayDocument(loaded, read.song, Latin1), stored);
    }
    // A reference the user typed of a character the code page has stays as typed.
    EXPECT_EQ(ReadAwayDocument(L"<title>&#65;&#1055;</title>&#65;&#1055;", Latin1).message, L"&#65;\u041f");
}

TEST(StoredDocument, ForeignTextGivesWhatItHoldsAndLeavesTheRest) {
    using Field = std::optional<std::wstring>;
    const struct {
        std::wstring_view text;
        Field label, body, font, size, message;
    } cases[] = {
        {L"<HTML><BODY BGCOLOR=\"#ffffff\"><FONT COLOR=\"#ff0000\" SIZE=3>Away</FONT></BODY></HTML>",
         {},
         L"ffffff",
         L"ff0000",
         L"3",
         L"<FONT COLOR=\"#ff0000\" SIZE=3>Away</FONT>"},
        {L"<TITLE>Gone</TITLE>back <b>soon</b>", L"Gone", {}, {}, {}, L"back <b>soon</b>"},
        {L"<title>T</title><body bgcolor=navy><font size='+1'><Font Color=red>x</font></font>", L"T", L"navy", L"red",
         L"+1", L"<font size='+1'><Font Color=red>x</font></font>"},
        // A quote that never closes holds the rest of the text in the tag.
        {L"<body bgcolor=\"#123>never", {}, {}, {}, {}, L"<body bgcolor=\"#123>never"},
        {L"<bodyx bgcolor=1><fontsize size=2><title>open",
         {},
         {},
         {},
         {},
         L"<bodyx bgcolor=1><fontsize size=2><title>open"},
        // Velmora's shape with one piece changed is read as foreign text.
        {L"<title>L</title><HTML><BODY BGCOLOR=\"#FFFFFF\"><B><FONT COLOR=\"#0\"FACE=\"Arial\"SIZE=2>m</FONT></BODY>",
         L"L", L"FFFFFF", L"0", L"2", L"<B><FONT COLOR=\"#0\"FACE=\"Arial\"SIZE=2>m</FONT>"},
    };
    for (const auto& c : cases) {
        const StoredComposition read = ReadAwayDocument(c.text);
        EXPECT_EQ(std::tie(read.label, read.bodyColour, read.fontColour, read.fontSize, read.message),
                  std::tie(c.label, c.body, c.font, c.size, c.message))
            << std::string(c.text.begin(), c.text.end());
        EXPECT_FALSE(read.ownShape || read.song);
    }
}

// Megabyte texts built to make a careless reader go over the text again and again.
TEST(StoredDocument, MegabyteTextsOfRepeatedPiecesAreReadInOnePass) {
    const std::wstring_view header = L"<HTML><BODY BGCOLOR=\"#\"><B><FONT COLOR=\"#\"FACE=\"Tahoma\"LANG=\"0\"SIZE=>";
    const std::wstring pieces[] = {
        L"<font color=\"", L"<body bgcolor=", L"</title>" + std::wstring(header),
        L"</FONT></BODY></HTML><BR>" + std::wstring(header) + L"Last Song Played on winamp:  "};
    for (const std::wstring& piece : pieces) {
        std::wstring text = L"<title>";
        while (text.size() < 1000000) text += piece;
        EXPECT_TRUE(ReadAwayDocument(text).message.has_value());
    }
    const std::wstring message(1 << 20, L'm');
    EXPECT_EQ(ReadAwayDocument(BuildAwayDocument(L"L", L"1", L"2", L"3", message, L"s")).message, message);
}

}  // namespace
}  // namespace velmora
