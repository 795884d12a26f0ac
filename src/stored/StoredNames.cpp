#include "stored/StoredNames.h"

#include <algorithm>

#include "misc/Text.h"

namespace velmora {
namespace {

constexpr std::wstring_view kValuePrefix = L"GoneMsg";
constexpr std::size_t kMostRowLabel = 120;
constexpr std::size_t kMostQuestionPiece = 80;

bool HasPrefix(std::wstring_view name) {
    if (name.size() < kValuePrefix.size()) return false;
    for (std::size_t i = 0; i < kValuePrefix.size(); ++i)
        if (AsciiLower(name[i]) != AsciiLower(kValuePrefix[i])) return false;
    return true;
}

// Letter case aside first, so "gonemsgx" sits beside "GoneMsgX"; then as written, so the order is total.
int CompareNames(std::wstring_view left, std::wstring_view right) {
    const std::size_t common = std::min(left.size(), right.size());
    for (std::size_t i = 0; i < common; ++i) {
        const wchar_t l = AsciiLower(left[i]), r = AsciiLower(right[i]);
        if (l != r) return l < r ? -1 : 1;
    }
    if (left.size() != right.size()) return left.size() < right.size() ? -1 : 1;
    return left.compare(right);
}

}  // namespace

std::optional<int> SlotNumberOf(std::wstring_view valueName) {
    if (!HasPrefix(valueName)) return std::nullopt;
    const std::wstring_view digits = valueName.substr(kValuePrefix.size());
    if (digits.empty() || digits.size() > 2 || digits[0] == L'0') return std::nullopt;
    int slot = 0;
    for (wchar_t c : digits) {
        if (c < L'0' || c > L'9') return std::nullopt;
        slot = slot * 10 + (c - L'0');
    }
    if (slot < 1 || slot > 15) return std::nullopt;
    return slot;
}

std::optional<std::wstring> SlotTextOf(std::wstring_view valueName) {
    if (!HasPrefix(valueName)) return std::nullopt;
    return std::wstring(valueName.substr(kValuePrefix.size()));
}

bool ListedBefore(std::wstring_view left, std::wstring_view right) {
    const auto leftSlot = SlotNumberOf(left), rightSlot = SlotNumberOf(right);
    if (leftSlot && rightSlot) return *leftSlot != *rightSlot ? *leftSlot < *rightSlot : left.compare(right) < 0;
    if (leftSlot || rightSlot) return leftSlot.has_value();
    return CompareNames(left, right) < 0;
}

std::wstring OneLine(std::wstring_view text, std::size_t most) {
    const bool cut = text.size() > most;
    std::wstring line(text.substr(0, cut ? most : text.size()));
    for (wchar_t& c : line)
        if (c < L' ' || c == 0x7F) c = L' ';
    if (cut) line += L"...";
    return line;
}

std::wstring RowText(std::wstring_view valueName, bool isMessage, std::wstring_view label) {
    const auto slot = SlotTextOf(valueName);
    std::wstring row = slot ? OneLine(*slot, kMostQuestionPiece) : OneLine(valueName, kMostQuestionPiece);
    row += L"\t";
    row += isMessage ? OneLine(label, kMostRowLabel) : std::wstring(L"not a message");
    return row;
}

std::wstring MessageNamed(std::wstring_view valueName, std::optional<std::wstring_view> label, std::size_t most) {
    const auto slot = SlotTextOf(valueName);
    std::wstring named = L"'";
    named += OneLine(label ? *label : valueName, most);
    named += L"' (slot ";
    named += OneLine(slot ? std::wstring_view(*slot) : valueName, most);
    named += L")";
    return named;
}

std::wstring RemoveQuestion(std::wstring_view valueName, std::optional<std::wstring_view> label,
                            std::wstring_view screenName) {
    std::wstring question = L"Remove ";
    question += MessageNamed(valueName, label, kMostQuestionPiece);
    question += L" of ";
    question += OneLine(screenName, kMostQuestionPiece);
    question += L"?";
    return question;
}

}  // namespace velmora
