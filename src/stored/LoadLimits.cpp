#include "stored/LoadLimits.h"

#include <algorithm>
#include <utility>

#include "misc/Text.h"
#include "stored/StoredNames.h"

namespace velmora {
namespace {

constexpr std::size_t kMostNamePiece = 60;

// 102456 as "102,456": a length the user reads at a glance.
std::wstring Grouped(std::size_t number) {
    std::wstring digits = DecimalText(static_cast<long long>(number));
    for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, 1, L',');
    return digits;
}

// What laying out the message's lines costs, each line by the square of its length, and its
// longest line. The sum is capped, so a text of any length cannot overflow it.
struct LineCost {
    std::size_t longest = 0;
    std::size_t cost = 0;
};

LineCost CostOf(std::wstring_view message) {
    constexpr std::size_t kBudget = kLongestMessageLine * kLongestMessageLine;
    LineCost total;
    while (true) {
        const std::size_t end = message.find(L"\r\n");
        const std::size_t length = end == std::wstring_view::npos ? message.size() : end;
        total.longest = std::max(total.longest, length);
        const std::size_t counted = std::min(length, kLongestMessageLine + 1);
        total.cost = std::min(total.cost + counted * counted, kBudget + 1);
        if (end == std::wstring_view::npos) return total;
        message.remove_prefix(end + 2);
    }
}

}  // namespace

std::optional<std::wstring> WhyNotLoadable(const SomeAwayFields& fields) {
    const std::pair<const std::optional<std::wstring>*, const wchar_t*> oneLine[] = {
        {&fields.label, L"label"}, {&fields.fontColour, L"font colour"}, {&fields.bodyColour, L"body colour"}};
    for (const auto& [field, name] : oneLine) {
        if (*field && (*field)->size() > kMostInOneLineBox)
            return std::wstring(L"its ") + name + L" is " + Grouped((*field)->size()) + L" characters long, and the " +
                   name + L" box takes at most " + Grouped(kMostInOneLineBox) + L".";
    }
    if (!fields.message) return std::nullopt;
    const std::wstring_view message = *fields.message;
    if (message.size() > kMostInMessageBox)
        return L"its message is " + Grouped(message.size()) + L" characters long, and the message box takes at most " +
               Grouped(kMostInMessageBox) + L".";
    const LineCost cost = CostOf(message);
    if (cost.longest > kLongestMessageLine)
        return L"its message has a line of " + Grouped(cost.longest) +
               L" characters, and the message box takes lines of at most " + Grouped(kLongestMessageLine) + L".";
    if (cost.cost > kLongestMessageLine * kLongestMessageLine)
        return L"its message has too many long lines (the longest has " + Grouped(cost.longest) +
               L" characters), and the message box takes one line of " + Grouped(kLongestMessageLine) +
               L" characters or several shorter ones.";
    return std::nullopt;
}

std::wstring NotLoadedText(std::wstring_view valueName, std::optional<std::wstring_view> label, std::wstring_view why) {
    std::wstring text = MessageNamed(valueName, label, kMostNamePiece);
    text += L" was not loaded: ";
    text += why;
    text += L"\r\n\r\nThe stored message stays as it is.";
    return text;
}

}  // namespace velmora
