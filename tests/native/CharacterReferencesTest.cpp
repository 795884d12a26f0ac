#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "misc/CharacterReferences.h"

namespace velmora {
namespace {

// Code pages as the rule sees them: Latin-1 (close to the Western 1252), plain ASCII, UTF-8.
bool Latin1(char32_t c) { return c < 0x100; }
bool Ascii(char32_t c) { return c < 0x80; }
bool Everything(char32_t) { return true; }

std::wstring Characters(std::u32string_view characters) {
    std::wstring text;
    for (char32_t c : characters) AppendCharacter(text, c);
    return text;
}

TEST(CharacterReferences, CharactersTheCodePageLacksBecomeDecimalReferencesAndTheRestStaysAsTyped) {
    EXPECT_EQ(
        WithCharacterReferences(L"\u041f\u0440\u0438\u0432\u0435\u0442, \u0395\u03bb\u03ad\u03bd\u03b7 \u263a", Latin1),
        L"&#1055;&#1088;&#1080;&#1074;&#1077;&#1090;, &#917;&#955;&#941;&#957;&#951; &#9786;");
    // Full-width letters and the set-minus are no "B" and no "\": references too.
    EXPECT_EQ(WithCharacterReferences(L"\uff22ob \u2216 \u65e5\u672c", Latin1), L"&#65314;ob &#8726; &#26085;&#26412;");
    // What the code page carries comes out as it went in, references typed by the user too.
    for (const wchar_t* kept : {L"", L"Caf\u00e9 \u00fcber <b>&amp;</b> &#65; &#1055; 100%\r\n", L"\u00ff\u0080"})
        EXPECT_EQ(WithCharacterReferences(kept, Latin1), kept);
    EXPECT_EQ(WithCharacterReferences(L"Caf\u00e9", Ascii), L"Caf&#233;");
    EXPECT_EQ(WithCharacterReferences(L"\u041f\u263a", Everything), L"\u041f\u263a");
}

TEST(CharacterReferences, ACharacterBeyondThePlaneIsOneReferenceAndALoneHalfIsTheReplacementCharacter) {
    // The two halves of U+1F600 are one character, however wide wchar_t is.
    const std::wstring pair{static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)};
    EXPECT_EQ(WithCharacterReferences(L"a" + pair + L"b", Latin1), L"a&#128512;b");
    EXPECT_EQ(WithCharacterReferences(Characters(U"\U0001F600\U00010000\U0010FFFF"), Latin1),
              L"&#128512;&#65536;&#1114111;");
    // Halves out of their pair, at the ends, doubled, swapped.
    const auto half = [](unsigned unit) { return std::wstring(1, static_cast<wchar_t>(unit)); };
    EXPECT_EQ(WithCharacterReferences(L"a" + half(0xD800) + L"b", Latin1), L"a&#65533;b");
    EXPECT_EQ(WithCharacterReferences(half(0xDC00) + half(0xD83D), Latin1), L"&#65533;&#65533;");
    EXPECT_EQ(WithCharacterReferences(half(0xD83D) + half(0xD83D) + half(0xDE00), Latin1), L"&#65533;&#128512;");
    // A code page with U+FFFD (UTF-8) gets the character itself: still no half is stored.
    EXPECT_EQ(WithCharacterReferences(L"a" + half(0xDFFF), Everything), L"a\uFFFD");
    EXPECT_EQ(UncarriedCharacters(L"x" + half(0xD800) + L"\u041f\uFFFD\u041f" + pair + half(0xDC01), Latin1),
              (std::vector<char32_t>{0xFFFD, 0x41F, 0x1F600}));
    EXPECT_TRUE(UncarriedCharacters(L"Caf\u00e9 &#1055;", Latin1).empty());
}

TEST(CharacterReferences, TheWayBackReadsOnlyTheReferencesOfCharactersTheCodePageLacks) {
    EXPECT_EQ(WithoutCharacterReferences(L"&#1055;&#1088;!&#128512;&#65533;", Latin1),
              Characters(U"\u041f\u0440!\U0001F600\uFFFD"));
    // Every other reference stays as typed: of a character the code page carries, hexadecimal,
    // with a leading zero, without its ";", a half, beyond the last character, far too long.
    for (const wchar_t* kept :
         {L"&#65;", L"&#233;", L"&#x41F;", L"&#01055;", L"&#1055", L"&#1055 ;", L"&#55357;", L"&#57344x", L"&#1114112;",
          L"&#99999999;", L"&#0;", L"&#;", L"&#", L"&", L"&amp;#1055;"})
        EXPECT_EQ(WithoutCharacterReferences(kept, Latin1), kept) << "for " << ::testing::PrintToString(kept);
    EXPECT_EQ(WithoutCharacterReferences(L"&&#1055;;&#1055;&#65;", Latin1), L"&\u041f;\u041f&#65;");
    EXPECT_EQ(WithoutCharacterReferences(L"&#233;", Ascii), L"\u00e9");
    EXPECT_EQ(WithoutCharacterReferences(L"&#1055;", Everything), L"&#1055;");
}

// Text of any characters: the code page's and others, beyond the plane, lone halves, and the
// makings of references (typed ones, broken ones, ones the rule writes).
std::wstring AnyText(std::mt19937& random, bool withReferences) {
    static const char32_t characters[] = {L'a',   L' ',   L'\r',   L'\n',   L'<',     L'&',   L'#',   L';',   L'0',
                                          L'5',   L'9',   0xE9,    0xFF,    0x41F,    0x3B5,  0x263A, 0x65E5, 0xFF22,
                                          0x2216, 0xFFFD, 0x1F600, 0x10000, 0x10FFFF, 0xD800, 0xDBFF, 0xDC00, 0xDFFF};
    static const wchar_t* references[] = {L"&#1055;", L"&#65;", L"&#128512;", L"&#55357;", L"&#x41F;", L"&#01055;"};
    std::wstring text;
    for (int i = std::uniform_int_distribution<int>(0, 24)(random); i > 0; --i) {
        if (withReferences && random() % 6 == 0) {
            text += references[random() % std::size(references)];
            continue;
        }
        AppendCharacter(text, characters[random() % std::size(characters)]);
    }
    return text;
}

// What the rule makes of a lone half: U+FFFD. A pair stays as it stands where the code page
// carries it, and otherwise comes back as the one character it stands for (a single unit where
// wchar_t has 32 bits).
std::wstring HalvesReplaced(std::wstring_view text, bool (*carries)(char32_t)) {
    std::wstring out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto unit = static_cast<char32_t>(text[i]);
        const bool high = unit >= 0xD800 && unit <= 0xDBFF;
        const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
        const bool pairs = high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
        if (pairs) {
            const char32_t character =
                0x10000 + ((unit - 0xD800) << 10) + (static_cast<char32_t>(text[i + 1]) - 0xDC00);
            if (carries(character))
                out += text.substr(i, 2);
            else
                AppendCharacter(out, character);
            ++i;
        } else {
            out += high || low ? static_cast<wchar_t>(0xFFFD) : text[i];
        }
    }
    return out;
}

TEST(CharacterReferences, EveryTextComesBackAndWhatIsStoredAgainIsTheSame) {
    std::mt19937 random(17);
    for (const auto carries : {&Latin1, &Ascii, &Everything}) {
        for (int round = 0; round < 3000; ++round) {
            SCOPED_TRACE(round);
            const std::wstring typed = AnyText(random, false);
            const std::wstring stored = WithCharacterReferences(typed, carries);
            // The stored text is the code page's alone.
            EXPECT_TRUE(UncarriedCharacters(stored, carries).empty());
            // Without a typed reference, every character comes back (a lone half as U+FFFD).
            EXPECT_EQ(WithoutCharacterReferences(stored, carries), HalvesReplaced(typed, carries));

            // With typed references too, read back and stored again gives the very same text.
            const std::wstring mixed = WithCharacterReferences(AnyText(random, true), carries);
            EXPECT_EQ(WithCharacterReferences(WithoutCharacterReferences(mixed, carries), carries), mixed);
        }
    }
}

}  // namespace
}  // namespace velmora
