#include <gtest/gtest.h>

#include "compose/AwayDocument.h"
#include "stored/TravelText.h"

namespace velmora {
namespace {

TravellingMessage Stored(std::wstring screenName, std::wstring valueName, std::wstring_view label) {
    const std::wstring document = BuildAwayDocument(label, L"#ffffff", L"#000000", L"2", L"back soon", std::nullopt);
    return {std::move(screenName), std::move(valueName), TextData(document)};
}

TEST(TravelText, TheReplaceQuestionNamesBothMessagesAndBothScreenNames) {
    EXPECT_EQ(ReplaceQuestion(Stored(L"pal42", L"GoneMsg3", L"Lunch"), Stored(L"Harlowpine", L"GoneMsg7", L"Weekend")),
              L"Replace 'Lunch' (slot 3) of pal42 with 'Weekend' of Harlowpine?");
    // Text that is no document of Velmora's, and a name of hundreds of characters: one line each.
    const TravellingMessage foreign{L"pal42", L"GoneMsg12b", TextData(L"plain\r\ntext")};
    const std::wstring question = ReplaceQuestion(foreign, Stored(std::wstring(500, L'n'), L"GoneMsg1", L"a\nb"));
    EXPECT_EQ(question.find(L'\n'), std::wstring::npos);
    EXPECT_LT(question.size(), 300u);
    EXPECT_NE(question.find(L"(slot 12b) of pal42 with 'a b' of nnn"), std::wstring::npos);
}

TEST(TravelText, ACopyGoesSlotForSlotOrOneMessageIntoTheChosenSlot) {
    const std::vector<TravellingMessage> chosen = {Stored(L"Harlowpine", L"GoneMsg1", L"a"),
                                                   Stored(L"Harlowpine", L"GoneMsg12b", L"b")};
    const auto all = CopiedInto(chosen, L"pal42", std::nullopt);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[1].screenName, L"pal42");
    EXPECT_EQ(all[1].valueName, L"GoneMsg12b");
    EXPECT_EQ(all[1].data, chosen[1].data);
    EXPECT_EQ(CopiedInto({chosen[1]}, L"pal42", L"4")[0].valueName, L"GoneMsg4");
    // Several messages cannot share one slot: they keep theirs.
    EXPECT_EQ(CopiedInto(chosen, L"pal42", L"4")[0].valueName, L"GoneMsg1");
}

TEST(TravelText, TheSameBytesAreLeftAloneAnyOtherReplaces) {
    const std::string text("a\0\0", 4), longer("a\0\0\0\0", 6);
    EXPECT_EQ(LandingOf(text, false, ""), Landing::New);
    EXPECT_EQ(LandingOf(text, true, text), Landing::Same);
    // The same text to the client, other bytes in the store: replaced, so the copy is exact.
    EXPECT_EQ(LandingOf(text, true, longer), Landing::Replaces);
    EXPECT_EQ(LandingOf("", true, text), Landing::Replaces);
}

TEST(TravelText, ASkippedLineSaysWhereAndWhy) {
    EXPECT_EQ(SkippedLineText({12, SkipReason::KeyDeletion, L"[-HKEY_CURRENT_USER\\x]"}),
              L"Line 12: removes a key; Velmora never deletes anything: [-HKEY_CURRENT_USER\\x]");
}

}  // namespace
}  // namespace velmora
