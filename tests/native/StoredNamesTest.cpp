#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "stored/StoredNames.h"

namespace velmora {
namespace {

TEST(StoredNames, SlotsComeFirstInSlotOrderThenTheOthersByName) {
    std::vector<std::wstring> names{L"GoneMsg10", L"Zeta",      L"GoneMsg12b", L"GoneMsg2",  L"GoneMsg", L"gonemsg3",
                                    L"GoneMsg15", L"GoneMsg16", L"GoneMsg1",   L"GoneMsg01", L"alpha",   L"GoneMsg0"};
    std::sort(names.begin(), names.end(), [](const auto& l, const auto& r) { return ListedBefore(l, r); });
    const std::vector<std::wstring> expected{L"GoneMsg1",  L"GoneMsg2",   L"gonemsg3",  L"GoneMsg10",
                                             L"GoneMsg15", L"alpha",      L"GoneMsg",   L"GoneMsg0",
                                             L"GoneMsg01", L"GoneMsg12b", L"GoneMsg16", L"Zeta"};
    EXPECT_EQ(names, expected);
    EXPECT_TRUE(ListedBefore(L"GoneMsgA", L"GoneMsga") && !ListedBefore(L"GoneMsga", L"GoneMsgA"));
}

TEST(StoredNames, SlotTextIsWhatFollowsTheStartOfTheName) {
    EXPECT_EQ(SlotTextOf(L"GoneMsg3"), L"3");
    EXPECT_EQ(SlotTextOf(L"GONEMSG12b"), L"12b");
    EXPECT_EQ(SlotTextOf(L"GoneMsg"), L"");
    EXPECT_EQ(SlotTextOf(L"Gone"), std::nullopt);
    EXPECT_EQ(SlotTextOf(L"Away3"), std::nullopt);
    EXPECT_EQ(SlotNumberOf(L"GoneMsg15"), 15);
    EXPECT_EQ(SlotNumberOf(L"GoneMsg16"), std::nullopt);
    EXPECT_EQ(SlotNumberOf(L"GoneMsg 3"), std::nullopt);
}

TEST(StoredNames, RowsAndTheQuestionStayOnOneLine) {
    EXPECT_EQ(RowText(L"GoneMsg3", true, L"Lunch"), L"3\tLunch");
    EXPECT_EQ(RowText(L"GoneMsg4", false, L""), L"4\tnot a message");
    EXPECT_EQ(RowText(L"Other", true, L"a\r\nb"), L"Other\ta  b");
    EXPECT_EQ(RemoveQuestion(L"GoneMsg3", std::wstring_view(L"Lunch"), L"Harlowpine"),
              L"Remove 'Lunch' (slot 3) of Harlowpine?");
    EXPECT_EQ(RemoveQuestion(L"Odd", std::nullopt, L"x"), L"Remove 'Odd' (slot Odd) of x?");
    const std::wstring longLabel(5000, L'L');
    EXPECT_LT(RowText(L"GoneMsg1", true, longLabel).size(), 200u);
    EXPECT_LT(RemoveQuestion(L"GoneMsg1", std::wstring_view(longLabel), L"x").size(), 200u);
}

}  // namespace
}  // namespace velmora
