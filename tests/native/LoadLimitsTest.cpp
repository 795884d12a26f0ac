// What Load puts into the main window's boxes, and what it tells when it puts nothing.
#include <gtest/gtest.h>

#include <string>

#include "stored/LoadLimits.h"

namespace velmora {
namespace {

SomeAwayFields WithMessage(std::wstring message) {
    SomeAwayFields fields;
    fields.label = L"Lunch";
    fields.fontColour = L"000080";
    fields.message = std::move(message);
    return fields;
}

std::wstring Lines(std::size_t count, std::size_t length) {
    std::wstring text;
    for (std::size_t i = 0; i < count; ++i) text += std::wstring(length, L'x') + L"\r\n";
    return text;
}

TEST(LoadLimits, TheBoxesTakeWhatTheyLayOutQuicklyUpToTheirBoundsExactly) {
    EXPECT_EQ(WhyNotLoadable(SomeAwayFields{}), std::nullopt);  // nothing to load is no fault
    EXPECT_EQ(WhyNotLoadable(WithMessage(L"Out to lunch,\r\nback at %t")), std::nullopt);
    // One line of the longest length, or many short lines up to the message bound.
    EXPECT_EQ(WhyNotLoadable(WithMessage(std::wstring(kLongestMessageLine, L'x'))), std::nullopt);
    EXPECT_EQ(WhyNotLoadable(WithMessage(Lines(kMostInMessageBox / 2, 0))), std::nullopt);
    EXPECT_EQ(WhyNotLoadable(WithMessage(Lines(kMostInMessageBox / 64, 62))), std::nullopt);
    // Two lines of half the longest cost half of one whole one.
    EXPECT_EQ(WhyNotLoadable(WithMessage(Lines(2, kLongestMessageLine / 2))), std::nullopt);
    SomeAwayFields colours;
    colours.fontColour = std::wstring(kMostInOneLineBox, L'A');
    colours.bodyColour = std::wstring(kMostInOneLineBox, L'B');
    EXPECT_EQ(WhyNotLoadable(colours), std::nullopt);
}

TEST(LoadLimits, WhatWouldHoldTheWindowIsRefusedWithTheReasonInPlainWords) {
    EXPECT_EQ(WhyNotLoadable(WithMessage(std::wstring(kMostInMessageBox + 1, L'\n'))),
              L"its message is 32,769 characters long, and the message box takes at most 32,768.");
    // A lone LF breaks no line of the box.
    EXPECT_EQ(WhyNotLoadable(WithMessage(L"a\r\n" + std::wstring(kLongestMessageLine, L'x') + L"\n")),
              L"its message has a line of 4,097 characters, and the message box takes lines of at most 4,096.");
    EXPECT_EQ(WhyNotLoadable(WithMessage(Lines(5, 2000))),
              L"its message has too many long lines (the longest has 2,000 characters), and the message box takes "
              L"one line of 4,096 characters or several shorter ones.");
    SomeAwayFields label = WithMessage(L"short");
    label.label = std::wstring(kMostInOneLineBox + 1, L'L');
    EXPECT_EQ(WhyNotLoadable(label),
              L"its label is 1,048,577 characters long, and the label box takes at most 1,048,576.");
    SomeAwayFields colour;
    colour.bodyColour = std::wstring(kMostInOneLineBox + 1000, L'F');
    EXPECT_EQ(WhyNotLoadable(colour),
              L"its body colour is 1,049,576 characters long, and the body colour box takes at most 1,048,576.");
}

TEST(LoadLimits, TheNoticeNamesTheMessageBySlotAndLabelOnOneReadableLine) {
    EXPECT_EQ(NotLoadedText(L"GoneMsg3", L"Lunch", L"why."),
              L"'Lunch' (slot 3) was not loaded: why.\r\n\r\nThe stored message stays as it is.");
    // Without a label, the value's name; a name outside the slots is its own slot text.
    EXPECT_EQ(NotLoadedText(L"Other", std::nullopt, L"why."),
              L"'Other' (slot Other) was not loaded: why.\r\n\r\nThe stored message stays as it is.");
    const std::wstring notice = NotLoadedText(L"GoneMsg1", std::wstring(100000, L'\n'), L"why.");
    EXPECT_EQ(notice.substr(0, 66), L"'" + std::wstring(60, L' ') + L"...' ");
}

}  // namespace
}  // namespace velmora
