#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "aim/ReplyRule.h"

namespace velmora {
namespace {

const char* NameOf(WatchState state) {
    switch (state) {
        case WatchState::SwitchedOff: return "SwitchedOff";
        case WatchState::Watching: return "Watching";
        case WatchState::Answered: return "Answered";
    }
    return "?";
}

constexpr WatchState kAllStates[] = {WatchState::SwitchedOff, WatchState::Watching, WatchState::Answered};

TEST(ReplyTest, WorkedExamples) {
    struct Case {
        std::wstring_view names;
        std::wstring_view sender;
        bool holds;
    };
    const Case cases[] = {
        {L"Pellbrook", L"pellbrook", true},
        {L"Pellbrook", L"brook", true},  // a part of a name is enough
        {L"pal42 me99", L"me99", true},  // several names may be listed
        {L"pal42", L"pal421", false},
        {L"pal42", L"", false},  // no readable sender answers nobody
        {L"", L"pal42", false},
        {L"", L"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "names \"" << std::wstring(c.names) << "\", sender \""
                                        << std::wstring(c.sender) << "\"");
        EXPECT_EQ(ReplyTestHolds(c.names, c.sender), c.holds);
    }
}

TEST(ReplyTest, LetterCaseAndPlacement) {
    struct Case {
        std::wstring_view names;
        std::wstring_view sender;
        bool holds;
    };
    const Case cases[] = {
        {L"pellbrook", L"PELLBROOK", true},
        {L"PeLlBrOoK", L"pEllbRook", true},
        {L"pal42, me99", L"PAL42", true},
        {L"pal42 me99", L"42 ME", true},  // blanks are compared like letters
        {L"pal42", L" pal42", false},     // nothing is trimmed
        {L"pal42", L"pal42 ", false},
        {L"me99", L"me 99", false},
        {L"a", L"A", true},
        {L"abc", L"abcd", false},
        {L"xxxpal", L"pal", true},  // at the very end
        {L"palxxx", L"pal", true},  // at the very start
        {L"papal", L"pal", true},   // after a false start
        {L"1234", L"34", true},
        {L"1234", L"13", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "names \"" << std::wstring(c.names) << "\", sender \""
                                        << std::wstring(c.sender) << "\"");
        EXPECT_EQ(ReplyTestHolds(c.names, c.sender), c.holds);
    }
}

TEST(ReplyTest, Latin1LettersMatchAcrossCase) {
    EXPECT_TRUE(ReplyTestHolds(L"J\u00d6RG", L"j\u00f6rg"));
    EXPECT_TRUE(ReplyTestHolds(L"\u00e7\u00e9line", L"\u00c7\u00c9LINE"));
    EXPECT_TRUE(ReplyTestHolds(L"\u00dewen", L"\u00fewen"));  // thorn
    EXPECT_FALSE(ReplyTestHolds(L"o", L"\u00f6"));            // a diaeresis is not ignored
    EXPECT_FALSE(ReplyTestHolds(L"\u00d7", L"\u00f7"));       // times and divide signs are no letters
}

TEST(ReplyTest, LettersOfEveryCodePageMatchAcrossCase) {
    EXPECT_TRUE(
        ReplyTestHolds(L"\u0412\u0410\u0421\u042f \u041f\u0415\u0422\u0420\u041e\u0412", L"\u0432\u0430\u0441\u044f"));
    EXPECT_TRUE(ReplyTestHolds(L"\u0391\u0398\u0397\u039d\u0391", L"\u03b1\u03b8\u03b7\u03bd\u03b1"));
    EXPECT_TRUE(ReplyTestHolds(L"\u0141UKASZ", L"\u0142ukasz"));
    EXPECT_FALSE(ReplyTestHolds(L"\u0430", L"a"));  // Cyrillic a is no Latin a
}

// Beyond Latin-1 too: Latin Extended, Greek, Cyrillic, Georgian, full-width, Roman numerals;
// letters whose case does not map back (dotted and dotless i, final sigma, micro sign) stay.
TEST(FoldLetterCase, FoldsCapitalsOnly) {
    struct Case {
        wchar_t in;
        wchar_t out;
    };
    const Case cases[] = {
        {L'A', L'a'},     {L'Z', L'z'},     {L'a', L'a'},     {L'z', L'z'},     {L'@', L'@'},     {L'[', L'['},
        {L'`', L'`'},     {L'{', L'{'},     {L'0', L'0'},     {L' ', L' '},     {0xC0, 0xE0},     {0xDE, 0xFE},
        {0xC9, 0xE9},     {0xD7, 0xD7},     {0xDF, 0xDF},     {0xF7, 0xF7},     {0xE9, 0xE9},     {0xFF, 0xFF},
        {0x178, 0xFF},    {0xBF, 0xBF},     {0x141, 0x142},   {0x142, 0x142},   {0x150, 0x151},   {0x15E, 0x15F},
        {0x17D, 0x17E},   {0x130, 0x130},   {0x131, 0x131},   {0x17F, 0x17F},   {0x1C4, 0x1C6},   {0x1C5, 0x1C5},
        {0x1C6, 0x1C6},   {0x386, 0x3AC},   {0x3A3, 0x3C3},   {0x3C2, 0x3C2},   {0x3A2, 0x3A2},   {0x401, 0x451},
        {0x410, 0x430},   {0x42F, 0x44F},   {0x490, 0x491},   {0xB5, 0xB5},     {0x3BC, 0x3BC},   {0x10A0, 0x2D00},
        {0xFF21, 0xFF41}, {0x2160, 0x2170}, {0xFFFF, 0xFFFF}, {0x3000, 0x3000}, {0x0660, 0x0660},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "U+" << std::hex << static_cast<unsigned>(c.in));
        EXPECT_EQ(static_cast<unsigned>(FoldLetterCase(c.in)), static_cast<unsigned>(c.out));
    }
}

TEST(WatchState, SwitchClicks) {
    EXPECT_EQ(AfterSwitchClick(WatchState::SwitchedOff), WatchState::Watching);
    EXPECT_EQ(AfterSwitchClick(WatchState::Watching), WatchState::SwitchedOff);
    EXPECT_EQ(AfterSwitchClick(WatchState::Answered), WatchState::SwitchedOff);
}

TEST(WatchState, AfterAnAnswerTwoClicksArmTheWindowAgain) {
    WatchState state = AfterSenderChange(WatchState::Watching, L"Pellbrook", L"pellbrook").next;
    ASSERT_EQ(state, WatchState::Answered);
    state = AfterSwitchClick(state);
    EXPECT_EQ(state, WatchState::SwitchedOff);
    state = AfterSwitchClick(state);
    EXPECT_EQ(state, WatchState::Watching);
}

TEST(WatchState, SenderChangeInEveryState) {
    struct Case {
        WatchState from;
        std::wstring_view sender;
        bool sendReply;
        WatchState next;
    };
    const Case cases[] = {
        {WatchState::Watching, L"pal42", true, WatchState::Answered},
        {WatchState::Watching, L"stranger", false, WatchState::Watching},
        {WatchState::Watching, L"", false, WatchState::Watching},  // IM window gone: no reply
        {WatchState::SwitchedOff, L"pal42", true, WatchState::SwitchedOff},
        {WatchState::SwitchedOff, L"stranger", false, WatchState::SwitchedOff},
        {WatchState::Answered, L"PAL42", true, WatchState::Answered},
        {WatchState::Answered, L"stranger", false, WatchState::Answered},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << NameOf(c.from) << " with sender \"" << std::wstring(c.sender) << "\"");
        const SenderOutcome outcome = AfterSenderChange(c.from, L"pal42 me99", c.sender);
        EXPECT_EQ(outcome.sendReply, c.sendReply);
        EXPECT_EQ(outcome.next, c.next) << NameOf(outcome.next);
    }
}

TEST(WatchState, EmptyNamesNeverAnswer) {
    for (const WatchState state : kAllStates) {
        SCOPED_TRACE(NameOf(state));
        for (const std::wstring_view sender : {std::wstring_view(L"pal42"), std::wstring_view(L"")}) {
            const SenderOutcome outcome = AfterSenderChange(state, L"", sender);
            EXPECT_FALSE(outcome.sendReply);
            EXPECT_EQ(outcome.next, state);
        }
    }
}

TEST(WatchState, LookOfEachState) {
    struct Case {
        WatchState state;
        std::wstring_view caption;
        std::uint32_t lampRgb;
        bool timerRuns;
    };
    const Case cases[] = {
        {WatchState::SwitchedOff, L"Off", 0xC00000, false},
        {WatchState::Watching, L"On", 0x0000FF, true},
        {WatchState::Answered, L"On", 0x0000FF, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(NameOf(c.state));
        const WatchLook look = LookOf(c.state);
        EXPECT_EQ(look.caption, c.caption);
        EXPECT_EQ(look.lampRgb, c.lampRgb);
        EXPECT_EQ(look.timerRuns, c.timerRuns);
    }
}

TEST(WatchState, StateIsRecoveredFromItsOwnLook) {
    for (const WatchState state : kAllStates) {
        SCOPED_TRACE(NameOf(state));
        const WatchLook look = LookOf(state);
        EXPECT_EQ(StateFromLook(look.caption, look.timerRuns), state);
    }
}

TEST(WatchState, StateFromLookNeedsTheExactOffCaption) {
    struct Case {
        std::wstring_view caption;
        bool timerRuns;
        WatchState state;
    };
    const Case cases[] = {
        {L"Off", false, WatchState::SwitchedOff}, {L"Off", true, WatchState::SwitchedOff},
        {L"On", true, WatchState::Watching},      {L"On", false, WatchState::Answered},
        {L"off", false, WatchState::Answered},    {L"OFF", true, WatchState::Watching},
        {L"Off ", false, WatchState::Answered},   {L"", false, WatchState::Answered},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "caption \"" << std::wstring(c.caption) << "\", timer " << c.timerRuns);
        EXPECT_EQ(StateFromLook(c.caption, c.timerRuns), c.state);
    }
}

TEST(ReplyTest, ScreenNamesCompareWithoutCaseAndBlanksAndTitlesNameTheBuddy) {
    EXPECT_TRUE(SameScreenName(L"Pal 42", L"pal42"));
    EXPECT_TRUE(SameScreenName(L" PAL42 ", L"p a l 4 2"));
    EXPECT_FALSE(SameScreenName(L"pal42", L"pal421"));
    EXPECT_FALSE(SameScreenName(L"pal4", L"pal42"));

    EXPECT_EQ(BuddyOfTitle(L"pal42 - Instant Message"), std::optional<std::wstring_view>(L"pal42"));
    EXPECT_EQ(BuddyOfTitle(L"Pal 42 - Instant Message"), std::optional<std::wstring_view>(L"Pal 42"));
    EXPECT_EQ(BuddyOfTitle(L"x - Instant Message - Instant Message"),
              std::optional<std::wstring_view>(L"x - Instant Message"));
    EXPECT_EQ(BuddyOfTitle(L"Chat with pal42"), std::nullopt);
    EXPECT_EQ(BuddyOfTitle(L" - Instant Message"), std::nullopt);
    EXPECT_EQ(BuddyOfTitle(L"   - Instant Message"), std::nullopt);
    EXPECT_EQ(BuddyOfTitle(L"pal42 - instant message"), std::nullopt);
    EXPECT_EQ(BuddyOfTitle(L""), std::nullopt);

    // The guard: only the buddy the title names, unless it names none.
    EXPECT_TRUE(SenderIsTheBuddy(L"pal42 - Instant Message", L"Pal 42"));
    EXPECT_FALSE(SenderIsTheBuddy(L"eve - Instant Message", L"pal42"));
    EXPECT_FALSE(SenderIsTheBuddy(L"eve - Instant Message", L""));
    EXPECT_TRUE(SenderIsTheBuddy(L"Chat with eve", L"pal42"));
    EXPECT_TRUE(SenderIsTheBuddy(L"", L"pal42"));
}

TEST(ReplyRule, TheNoticeNamesTheCharactersThatCannotBeSentWithTheirNumbers) {
    EXPECT_EQ(UnsendableNotice({}, 1252), L"");
    EXPECT_EQ(UnsendableNotice({0x41F}, 1252),
              L"The IM window takes only the characters of your system's code page (1252), so this one would arrive as "
              L"\"?\": \u041f (U+041F).");
    const std::wstring two = UnsendableNotice({0x263A, 0x1F600}, 1253);
    EXPECT_NE(two.find(L"(1253), so these would arrive as \"?\": \u263a (U+263A) and "), std::wstring::npos) << two;
    EXPECT_NE(two.find(L" (U+1F600)."), std::wstring::npos) << two;
    // A reply in another alphabet names its first letters and counts the rest.
    std::vector<char32_t> many;
    for (char32_t c = 0x430; c < 0x440; ++c) many.push_back(c);
    const std::wstring notice = UnsendableNotice(many, 1252);
    EXPECT_NE(notice.find(L"\u0430 (U+0430), \u0431 (U+0431)"), std::wstring::npos) << notice;
    EXPECT_NE(notice.find(L"\u0437 (U+0437) and 8 more."), std::wstring::npos) << notice;
    EXPECT_EQ(notice.find(L"\u0438"), std::wstring::npos) << notice;
}

}  // namespace
}  // namespace velmora
