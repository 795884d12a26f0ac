#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "colour/ColourRules.h"
#include "misc/Text.h"

namespace velmora {
namespace {

struct ParseCase {
    std::wstring_view text;
    std::optional<int> value;
};

void ExpectParses(std::initializer_list<ParseCase> cases) {
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "text \"" << std::wstring(c.text) << "\"");
        const std::optional<std::int16_t> parsed = ParseChannelText(c.text);
        ASSERT_EQ(parsed.has_value(), c.value.has_value());
        if (c.value) {
            EXPECT_EQ(*parsed, *c.value);
        }
    }
}

TEST(ParseChannelText, WholeNumbersSignsAndBlanks) {
    ExpectParses({
        {L"0", 0},
        {L"12", 12},
        {L"255", 255},
        {L"007", 7},
        {L"300", 300},  // converts; the bar refuses it later
        {L"-1", -1},
        {L"+5", 5},
        {L"-0", 0},
        {L"  42", 42},
        {L"42  ", 42},
        {L"\t42\t", 42},
        {L" \t -17 \t ", -17},
    });
}

TEST(ParseChannelText, FractionsRoundHalvesToEven) {
    ExpectParses({
        {L"12.5", 12}, {L"13.5", 14},     {L"-2.5", -2},     {L"-3.5", -4},
        {L"0.5", 0},   {L"1.5", 2},       {L"-0.5", 0},      {L"12.4", 12},
        {L"12.6", 13}, {L"12.49999", 12}, {L"12.50001", 13}, {L"12.500000", 12},
        {L"12.", 12},  {L".5", 0},        {L".6", 1},        {L"-.6", -1},
        {L"+.5", 0},   {L"0.0", 0},       {L" 7.9 ", 8},     {L"12.500000000000000000000000000000000000000001", 13},
    });
}

TEST(ParseChannelText, BoundariesOfSixteenBits) {
    ExpectParses({
        {L"32767", 32767},
        {L"32768", std::nullopt},
        {L"-32768", -32768},
        {L"-32769", std::nullopt},
        {L"32767.4", 32767},
        {L"32767.5", std::nullopt},
        {L"32766.5", 32766},
        {L"-32768.5", -32768},
        {L"-32768.6", std::nullopt},
        {L"-32767.5", -32768},
        {L"99999", std::nullopt},
        {L"999999", std::nullopt},
        {L"000000000000000000032767", 32767},
        {L"100000", std::nullopt},
        {L"4294967296", std::nullopt},            // 2^32: would wrap to 0 in 32 bits
        {L"-4294967295", std::nullopt},           // would wrap to 1
        {L"18446744073709551616", std::nullopt},  // 2^64: would wrap to 0 in 64 bits
    });
}

TEST(ParseChannelText, TextsThatAreNoNumber) {
    ExpectParses({
        {L"", std::nullopt},
        {L"   ", std::nullopt},
        {L"abc", std::nullopt},
        {L"1 2", std::nullopt},
        {L"+", std::nullopt},
        {L"-", std::nullopt},
        {L".", std::nullopt},
        {L"-.", std::nullopt},
        {L"1e3", std::nullopt},
        {L"0x10", std::nullopt},
        {L"12a", std::nullopt},
        {L"a12", std::nullopt},
        {L"1.2.3", std::nullopt},
        {L"+-1", std::nullopt},
        {L"--1", std::nullopt},
        {L"- 1", std::nullopt},
        {L"1,5", std::nullopt},
        {L"12 .5", std::nullopt},
        {L"\u0661\u0662", std::nullopt},  // only ASCII digits count
        {L"\n12", std::nullopt},          // only spaces and tabs are blanks
    });
}

TEST(ParseChannelText, VeryLongDigitStringsDoNotOverflow) {
    const std::wstring fourHundredNines(400, L'9');
    EXPECT_FALSE(ParseChannelText(fourHundredNines).has_value());
    EXPECT_FALSE(ParseChannelText(L"-" + fourHundredNines).has_value());
    EXPECT_FALSE(ParseChannelText(L"1" + std::wstring(400, L'0')).has_value());

    EXPECT_EQ(ParseChannelText(std::wstring(400, L'0') + L"12"), std::optional<std::int16_t>(12));
    EXPECT_EQ(ParseChannelText(L"12." + fourHundredNines), std::optional<std::int16_t>(13));
    EXPECT_EQ(ParseChannelText(L"12.5" + std::wstring(400, L'0')), std::optional<std::int16_t>(12));
    EXPECT_EQ(ParseChannelText(L"12.5" + std::wstring(400, L'0') + L"1"), std::optional<std::int16_t>(13));
}

TEST(ChannelRange, OnlyZeroTo255) {
    struct Case {
        int value;
        bool inRange;
    };
    const Case cases[] = {{-32768, false}, {-1, false},  {0, true},    {1, true},     {128, true},
                          {255, true},     {256, false}, {300, false}, {32767, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(IsChannelValue(c.value), c.inRange);
    }
}

TEST(ColourString, TwoUpperCaseHexDigitsPerChannel) {
    struct Case {
        int red;
        int green;
        int blue;
        std::wstring_view colour;
    };
    const Case cases[] = {
        {255, 0, 128, L"FF0080"}, {10, 11, 12, L"0A0B0C"},    {255, 255, 255, L"FFFFFF"},
        {0, 0, 0, L"000000"},     {171, 205, 239, L"ABCDEF"}, {1, 16, 15, L"01100F"},
        {0, 200, 0, L"00C800"},   {-5, 300, 128, L"00FF80"},  // out of range is clamped, the string keeps six digits
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.red << "," << c.green << "," << c.blue);
        EXPECT_EQ(ColourString(c.red, c.green, c.blue), c.colour);
    }
}

TEST(PreviewColour, RedIsTheLowByte) {
    struct Case {
        int red;
        int green;
        int blue;
        std::uint32_t colour;
    };
    const Case cases[] = {
        {255, 0, 128, 0x8000FFu}, {10, 11, 12, 0x0C0B0Au}, {255, 255, 255, 0xFFFFFFu}, {0, 0, 0, 0u}, {1, 0, 0, 1u},
        {0, 1, 0, 256u},          {0, 0, 1, 65536u},       {-1, 256, 0, 0x00FF00u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.red << "," << c.green << "," << c.blue);
        EXPECT_EQ(PreviewColour(c.red, c.green, c.blue), c.colour);
    }
}

TEST(ChannelText, PlainDecimal) {
    EXPECT_EQ(ChannelText(0), L"0");
    EXPECT_EQ(ChannelText(7), L"7");
    EXPECT_EQ(ChannelText(200), L"200");
    EXPECT_EQ(ChannelText(255), L"255");
}

TEST(ChannelText, ReadsBackToTheSameValue) {
    // The number box's rewrite after a bar change must not change the bar again.
    for (int value = 0; value <= 255; ++value) {
        SCOPED_TRACE(value);
        const std::optional<std::int16_t> parsed = ParseChannelText(ChannelText(value));
        ASSERT_TRUE(parsed.has_value());
        EXPECT_EQ(*parsed, value);
    }
}

TEST(PadLeftZeros, PadsShortTexts) {
    struct Case {
        std::wstring_view text;
        int width;
        std::wstring_view padded;
    };
    const Case cases[] = {
        {L"A", 2, L"0A"},    {L"", 2, L"00"},  {L"7", 3, L"007"}, {L"FF", 2, L"FF"},  // as long as the width: unchanged
        {L"123", 2, L"123"},  // longer: unchanged, nothing is cut
        {L"x", 0, L"x"},     {L"x", -3, L"x"}, {L"", 0, L""},     {L"ab", 5, L"000ab"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "\"" << std::wstring(c.text) << "\" to " << c.width);
        EXPECT_EQ(PadLeftZeros(c.text, c.width), c.padded);
    }
}

TEST(DecimalText, WritesWhatToWstringWrites) {
    for (long long value = -1000; value <= 100000; ++value) {
        ASSERT_EQ(DecimalText(value), std::to_wstring(value));
    }
    for (long long value : {std::numeric_limits<long long>::min(), std::numeric_limits<long long>::max(),
                            static_cast<long long>(std::numeric_limits<int>::min()), 4294967296LL}) {
        EXPECT_EQ(DecimalText(value), std::to_wstring(value));
    }
}

}  // namespace
}  // namespace velmora
