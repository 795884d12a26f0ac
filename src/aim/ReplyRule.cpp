#include "aim/ReplyRule.h"

#include <algorithm>

namespace velmora {

namespace {

constexpr std::wstring_view kOffCaption = L"Off";
constexpr std::wstring_view kOnCaption = L"On";
constexpr std::uint32_t kOffLampRgb = 0xC00000;  // dark red
constexpr std::uint32_t kOnLampRgb = 0x0000FF;   // blue

constexpr wchar_t kLatin1MultiplicationSign = 0xD7;
constexpr wchar_t kLatinCapitalYWithDiaeresis = 0x178;
constexpr wchar_t kLatinSmallYWithDiaeresis = 0xFF;

}  // namespace

wchar_t FoldLetterCase(wchar_t c) {
    if (c >= L'A' && c <= L'Z') {
        return static_cast<wchar_t>(c - L'A' + L'a');
    }
    // Latin-1 capitals sit 0x20 below their small letters, apart from the
    // multiplication sign in their midst.
    if (c >= 0xC0 && c <= 0xDE && c != kLatin1MultiplicationSign) {
        return static_cast<wchar_t>(c + 0x20);
    }
    if (c == kLatinCapitalYWithDiaeresis) {
        return kLatinSmallYWithDiaeresis;
    }
    return c;
}

bool ReplyTestHolds(std::wstring_view names, std::wstring_view sender) {
    if (names.empty() || sender.empty()) {
        return false;
    }
    const auto sameLetter = [](wchar_t a, wchar_t b) { return FoldLetterCase(a) == FoldLetterCase(b); };
    return std::search(names.begin(), names.end(), sender.begin(), sender.end(), sameLetter) != names.end();
}

WatchState AfterSwitchClick(WatchState state) {
    return state == WatchState::SwitchedOff ? WatchState::Watching : WatchState::SwitchedOff;
}

SenderOutcome AfterSenderChange(WatchState state, std::wstring_view names, std::wstring_view sender) {
    if (!ReplyTestHolds(names, sender)) {
        return {false, state};
    }
    return {true, state == WatchState::Watching ? WatchState::Answered : state};
}

WatchLook LookOf(WatchState state) {
    switch (state) {
        case WatchState::Watching: return {kOnCaption, kOnLampRgb, true};
        case WatchState::Answered: return {kOnCaption, kOnLampRgb, false};
        case WatchState::SwitchedOff: break;
    }
    return {kOffCaption, kOffLampRgb, false};
}

WatchState StateFromLook(std::wstring_view caption, bool timerRuns) {
    if (caption == kOffCaption) {
        return WatchState::SwitchedOff;
    }
    return timerRuns ? WatchState::Watching : WatchState::Answered;
}

}  // namespace velmora
