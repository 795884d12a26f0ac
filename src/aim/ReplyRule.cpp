#include "aim/ReplyRule.h"

#include <algorithm>
#include <iterator>

#include "misc/CharacterReferences.h"
#include "misc/Text.h"

namespace velmora {

namespace {

constexpr std::wstring_view kOffCaption = L"Off";
constexpr std::wstring_view kOnCaption = L"On";
constexpr std::uint32_t kOffLampRgb = 0xC00000;  // dark red
constexpr std::uint32_t kOnLampRgb = 0x0000FF;   // blue
constexpr std::wstring_view kTitleEnd = L" - Instant Message";

bool IsNameBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == 0xA0; }

// Letters whose case-free form differs from themselves, as runs: from `first` to `last`, every
// `stride`-th character folds to itself plus `delta`. Made from the Unicode character data
// (version 14) for the Basic Multilingual Plane as the system's case tables take it: a letter's
// upper case, then that one's lower case, each only where one character maps to one and back
// (so the sharp s, the final sigma, the micro sign and the Turkish dotted and dotless i stay).
struct FoldRun {
    char16_t first;
    char16_t last;
    std::int32_t delta;
    std::uint8_t stride;
};

// clang-format off
constexpr FoldRun kFoldRuns[] = {
    {0x0041, 0x005A, 32, 1},
    {0x00C0, 0x00D6, 32, 1},
    {0x00D8, 0x00DE, 32, 1},
    {0x0100, 0x012E, 1, 2},
    {0x0132, 0x0136, 1, 2},
    {0x0139, 0x0147, 1, 2},
    {0x014A, 0x0176, 1, 2},
    {0x0178, 0x0178, -121, 1},
    {0x0179, 0x017D, 1, 2},
    {0x0181, 0x0181, 210, 1},
    {0x0182, 0x0184, 1, 2},
    {0x0186, 0x0186, 206, 1},
    {0x0187, 0x0187, 1, 1},
    {0x0189, 0x018A, 205, 1},
    {0x018B, 0x018B, 1, 1},
    {0x018E, 0x018E, 79, 1},
    {0x018F, 0x018F, 202, 1},
    {0x0190, 0x0190, 203, 1},
    {0x0191, 0x0191, 1, 1},
    {0x0193, 0x0193, 205, 1},
    {0x0194, 0x0194, 207, 1},
    {0x0196, 0x0196, 211, 1},
    {0x0197, 0x0197, 209, 1},
    {0x0198, 0x0198, 1, 1},
    {0x019C, 0x019C, 211, 1},
    {0x019D, 0x019D, 213, 1},
    {0x019F, 0x019F, 214, 1},
    {0x01A0, 0x01A4, 1, 2},
    {0x01A6, 0x01A6, 218, 1},
    {0x01A7, 0x01A7, 1, 1},
    {0x01A9, 0x01A9, 218, 1},
    {0x01AC, 0x01AC, 1, 1},
    {0x01AE, 0x01AE, 218, 1},
    {0x01AF, 0x01AF, 1, 1},
    {0x01B1, 0x01B2, 217, 1},
    {0x01B3, 0x01B5, 1, 2},
    {0x01B7, 0x01B7, 219, 1},
    {0x01B8, 0x01B8, 1, 1},
    {0x01BC, 0x01BC, 1, 1},
    {0x01C4, 0x01C4, 2, 1},
    {0x01C7, 0x01C7, 2, 1},
    {0x01CA, 0x01CA, 2, 1},
    {0x01CD, 0x01DB, 1, 2},
    {0x01DE, 0x01EE, 1, 2},
    {0x01F1, 0x01F1, 2, 1},
    {0x01F4, 0x01F4, 1, 1},
    {0x01F6, 0x01F6, -97, 1},
    {0x01F7, 0x01F7, -56, 1},
    {0x01F8, 0x021E, 1, 2},
    {0x0220, 0x0220, -130, 1},
    {0x0222, 0x0232, 1, 2},
    {0x023A, 0x023A, 10795, 1},
    {0x023B, 0x023B, 1, 1},
    {0x023D, 0x023D, -163, 1},
    {0x023E, 0x023E, 10792, 1},
    {0x0241, 0x0241, 1, 1},
    {0x0243, 0x0243, -195, 1},
    {0x0244, 0x0244, 69, 1},
    {0x0245, 0x0245, 71, 1},
    {0x0246, 0x024E, 1, 2},
    {0x0370, 0x0372, 1, 2},
    {0x0376, 0x0376, 1, 1},
    {0x037F, 0x037F, 116, 1},
    {0x0386, 0x0386, 38, 1},
    {0x0388, 0x038A, 37, 1},
    {0x038C, 0x038C, 64, 1},
    {0x038E, 0x038F, 63, 1},
    {0x0391, 0x03A1, 32, 1},
    {0x03A3, 0x03AB, 32, 1},
    {0x03CF, 0x03CF, 8, 1},
    {0x03D8, 0x03EE, 1, 2},
    {0x03F7, 0x03F7, 1, 1},
    {0x03F9, 0x03F9, -7, 1},
    {0x03FA, 0x03FA, 1, 1},
    {0x03FD, 0x03FF, -130, 1},
    {0x0400, 0x040F, 80, 1},
    {0x0410, 0x042F, 32, 1},
    {0x0460, 0x0480, 1, 2},
    {0x048A, 0x04BE, 1, 2},
    {0x04C0, 0x04C0, 15, 1},
    {0x04C1, 0x04CD, 1, 2},
    {0x04D0, 0x052E, 1, 2},
    {0x0531, 0x0556, 48, 1},
    {0x10A0, 0x10C5, 7264, 1},
    {0x10C7, 0x10C7, 7264, 1},
    {0x10CD, 0x10CD, 7264, 1},
    {0x13A0, 0x13EF, 38864, 1},
    {0x13F0, 0x13F5, 8, 1},
    {0x1C90, 0x1CBA, -3008, 1},
    {0x1CBD, 0x1CBF, -3008, 1},
    {0x1E00, 0x1E94, 1, 2},
    {0x1EA0, 0x1EFE, 1, 2},
    {0x1F08, 0x1F0F, -8, 1},
    {0x1F18, 0x1F1D, -8, 1},
    {0x1F28, 0x1F2F, -8, 1},
    {0x1F38, 0x1F3F, -8, 1},
    {0x1F48, 0x1F4D, -8, 1},
    {0x1F59, 0x1F5F, -8, 2},
    {0x1F68, 0x1F6F, -8, 1},
    {0x1FB8, 0x1FB9, -8, 1},
    {0x1FBA, 0x1FBB, -74, 1},
    {0x1FC8, 0x1FCB, -86, 1},
    {0x1FD8, 0x1FD9, -8, 1},
    {0x1FDA, 0x1FDB, -100, 1},
    {0x1FE8, 0x1FE9, -8, 1},
    {0x1FEA, 0x1FEB, -112, 1},
    {0x1FEC, 0x1FEC, -7, 1},
    {0x1FF8, 0x1FF9, -128, 1},
    {0x1FFA, 0x1FFB, -126, 1},
    {0x2132, 0x2132, 28, 1},
    {0x2160, 0x216F, 16, 1},
    {0x2183, 0x2183, 1, 1},
    {0x24B6, 0x24CF, 26, 1},
    {0x2C00, 0x2C2F, 48, 1},
    {0x2C60, 0x2C60, 1, 1},
    {0x2C62, 0x2C62, -10743, 1},
    {0x2C63, 0x2C63, -3814, 1},
    {0x2C64, 0x2C64, -10727, 1},
    {0x2C67, 0x2C6B, 1, 2},
    {0x2C6D, 0x2C6D, -10780, 1},
    {0x2C6E, 0x2C6E, -10749, 1},
    {0x2C6F, 0x2C6F, -10783, 1},
    {0x2C70, 0x2C70, -10782, 1},
    {0x2C72, 0x2C72, 1, 1},
    {0x2C75, 0x2C75, 1, 1},
    {0x2C7E, 0x2C7F, -10815, 1},
    {0x2C80, 0x2CE2, 1, 2},
    {0x2CEB, 0x2CED, 1, 2},
    {0x2CF2, 0x2CF2, 1, 1},
    {0xA640, 0xA66C, 1, 2},
    {0xA680, 0xA69A, 1, 2},
    {0xA722, 0xA72E, 1, 2},
    {0xA732, 0xA76E, 1, 2},
    {0xA779, 0xA77B, 1, 2},
    {0xA77D, 0xA77D, -35332, 1},
    {0xA77E, 0xA786, 1, 2},
    {0xA78B, 0xA78B, 1, 1},
    {0xA78D, 0xA78D, -42280, 1},
    {0xA790, 0xA792, 1, 2},
    {0xA796, 0xA7A8, 1, 2},
    {0xA7AA, 0xA7AA, -42308, 1},
    {0xA7AB, 0xA7AB, -42319, 1},
    {0xA7AC, 0xA7AC, -42315, 1},
    {0xA7AD, 0xA7AD, -42305, 1},
    {0xA7AE, 0xA7AE, -42308, 1},
    {0xA7B0, 0xA7B0, -42258, 1},
    {0xA7B1, 0xA7B1, -42282, 1},
    {0xA7B2, 0xA7B2, -42261, 1},
    {0xA7B3, 0xA7B3, 928, 1},
    {0xA7B4, 0xA7C2, 1, 2},
    {0xA7C4, 0xA7C4, -48, 1},
    {0xA7C5, 0xA7C5, -42307, 1},
    {0xA7C6, 0xA7C6, -35384, 1},
    {0xA7C7, 0xA7C9, 1, 2},
    {0xA7D0, 0xA7D0, 1, 1},
    {0xA7D6, 0xA7D8, 1, 2},
    {0xA7F5, 0xA7F5, 1, 1},
    {0xFF21, 0xFF3A, 32, 1},
};
// clang-format on

}  // namespace

wchar_t FoldLetterCase(wchar_t c) {
    // Beyond the Basic Multilingual Plane (where wchar_t is wider than 16 bits): no letters here.
    if ((static_cast<std::uint32_t>(c) >> 16) != 0) return c;
    const auto code = static_cast<char16_t>(c);
    // The last run that starts at or before the character.
    const FoldRun* run = std::upper_bound(std::begin(kFoldRuns), std::end(kFoldRuns), code,
                                          [](char16_t value, const FoldRun& item) { return value < item.first; });
    if (run == std::begin(kFoldRuns)) return c;
    --run;
    if (code > run->last || (code - run->first) % run->stride != 0) return c;
    return static_cast<wchar_t>(code + run->delta);
}

bool ReplyTestHolds(std::wstring_view names, std::wstring_view sender) {
    if (names.empty() || sender.empty()) {
        return false;
    }
    const auto sameLetter = [](wchar_t a, wchar_t b) { return FoldLetterCase(a) == FoldLetterCase(b); };
    return std::search(names.begin(), names.end(), sender.begin(), sender.end(), sameLetter) != names.end();
}

bool SameScreenName(std::wstring_view a, std::wstring_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    for (;;) {
        while (i < a.size() && IsNameBlank(a[i])) ++i;
        while (j < b.size() && IsNameBlank(b[j])) ++j;
        if (i == a.size() || j == b.size()) return i == a.size() && j == b.size();
        if (FoldLetterCase(a[i]) != FoldLetterCase(b[j])) return false;
        ++i;
        ++j;
    }
}

std::optional<std::wstring_view> BuddyOfTitle(std::wstring_view title) {
    if (title.size() <= kTitleEnd.size() || title.substr(title.size() - kTitleEnd.size()) != kTitleEnd)
        return std::nullopt;
    const std::wstring_view buddy = title.substr(0, title.size() - kTitleEnd.size());
    for (wchar_t c : buddy)
        if (!IsNameBlank(c)) return buddy;
    return std::nullopt;
}

bool SenderIsTheBuddy(std::wstring_view title, std::wstring_view sender) {
    const std::optional<std::wstring_view> buddy = BuddyOfTitle(title);
    return !buddy || SameScreenName(*buddy, sender);
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

namespace {

// The most characters named; a reply in another alphabet would otherwise list all its letters.
constexpr std::size_t kMostNamed = 8;

std::wstring CodeOf(char32_t character) {
    std::wstring digits;
    for (int shift = character > 0xFFFF ? 20 : 12; shift >= 0; shift -= 4)
        digits += L"0123456789ABCDEF"[(character >> shift) & 0xF];
    if (digits.size() > 4 && digits.front() == L'0') digits.erase(0, 1);
    return L"U+" + digits;
}

}  // namespace

std::wstring UnsendableNotice(const std::vector<char32_t>& characters, unsigned codePage) {
    if (characters.empty()) return {};
    std::wstring notice = L"The IM window takes only the characters of your system's code page (" +
                          DecimalText(codePage) + L"), so " + (characters.size() == 1 ? L"this one" : L"these") +
                          L" would arrive as \"?\": ";
    const std::size_t named = std::min(characters.size(), kMostNamed);
    for (std::size_t i = 0; i < named; ++i) {
        if (i > 0) notice += i + 1 == named && named == characters.size() ? L" and " : L", ";
        AppendCharacter(notice, characters[i]);
        notice += L" (" + CodeOf(characters[i]) + L")";
    }
    if (named < characters.size())
        notice += L" and " + DecimalText(static_cast<long long>(characters.size() - named)) + L" more";
    notice += L'.';
    return notice;
}

}  // namespace velmora
