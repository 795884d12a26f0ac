#include "autoreply/AutoReplyRules.h"

#include "aim/ReplyRule.h"

namespace velmora {
namespace {

constexpr wchar_t kNameSeparator = L',';
constexpr std::wstring_view kImTitleEnd = L" - Instant Message";

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == 0xA0; }

bool HasNonBlank(std::wstring_view text) {
    for (wchar_t c : text)
        if (!IsBlank(c)) return true;
    return false;
}

// Calls found(name) for each name of a row, without the blanks around it, until it returns true.
template <typename Found>
bool ForEachName(std::wstring_view names, Found&& found) {
    std::size_t at = 0;
    while (at < names.size()) {
        std::size_t end = names.find(kNameSeparator, at);
        if (end == std::wstring_view::npos) end = names.size();
        std::size_t first = at;
        std::size_t last = end;
        while (first < last && IsBlank(names[first])) ++first;
        while (last > first && IsBlank(names[last - 1])) --last;
        if (last > first && found(names.substr(first, last - first))) return true;
        at = end + 1;
    }
    return false;
}

}  // namespace

std::vector<std::wstring_view> NamesOf(std::wstring_view names) {
    std::vector<std::wstring_view> found;
    ForEachName(names, [&found](std::wstring_view name) {
        found.push_back(name);
        return false;
    });
    return found;
}

bool RuleMatches(std::wstring_view names, std::wstring_view sender) {
    if (!HasNonBlank(sender)) return false;
    // Walked in place: a row may list thousands of names, and is asked once per new line.
    return ForEachName(names, [sender](std::wstring_view name) { return SameScreenName(name, sender); });
}

std::wstring CommaNamesFromBlankNames(std::wstring_view blankNames) {
    std::wstring commaNames;
    std::size_t at = 0;
    while (at < blankNames.size()) {
        while (at < blankNames.size() && IsBlank(blankNames[at])) ++at;
        const std::size_t start = at;
        while (at < blankNames.size() && !IsBlank(blankNames[at])) ++at;
        if (at == start) break;
        if (!commaNames.empty()) commaNames += L", ";
        commaNames += blankNames.substr(start, at - start);
    }
    return commaNames;
}

std::optional<std::wstring_view> BuddyOfImTitle(std::wstring_view title) {
    const std::size_t end = title.find(kImTitleEnd);
    if (end == std::wstring_view::npos) return std::nullopt;
    const std::wstring_view buddy = title.substr(0, end);
    if (!HasNonBlank(buddy)) return std::nullopt;
    return buddy;
}

std::optional<std::wstring_view> ReplyFor(const AutoReplySettings& settings, std::wstring_view sender, std::size_t* row,
                                          SenderCheck check) {
    if (!HasNonBlank(sender)) return std::nullopt;
    for (std::size_t i = 0; i < settings.rules.size(); ++i) {
        if (!RuleMatches(settings.rules[i].names, sender)) continue;
        if (row) *row = i;
        return settings.rules[i].reply;
    }
    if (!settings.everyoneElse || check == SenderCheck::Unchecked) return std::nullopt;
    if (row) *row = settings.rules.size();
    return settings.everyoneElseReply;
}

bool SaysNothing(std::wstring_view reply) { return !HasNonBlank(reply); }

std::wstring FirstWords(std::wstring_view reply, std::size_t most) {
    std::wstring words;
    bool blankBefore = false;
    for (wchar_t c : reply) {
        if (IsBlank(c)) {
            blankBefore = true;
            continue;
        }
        if (blankBefore && !words.empty()) words += L' ';
        blankBefore = false;
        words += c;
        if (words.size() > most) {
            // Cut after the last whole word that fits; a first word longer than that is cut.
            const std::size_t blank = words.rfind(L' ', most);
            words.resize(blank != std::wstring::npos && blank > 0 ? blank : most);
            return words + L"...";
        }
    }
    return words;
}

}  // namespace velmora
