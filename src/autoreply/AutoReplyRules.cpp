#include "autoreply/AutoReplyRules.h"

#include "aim/ReplyRule.h"

namespace velmora {
namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == 0xA0; }

}  // namespace

std::vector<std::wstring_view> NamesOf(std::wstring_view names) {
    std::vector<std::wstring_view> found;
    std::size_t at = 0;
    while (at < names.size()) {
        while (at < names.size() && IsBlank(names[at])) ++at;
        const std::size_t start = at;
        while (at < names.size() && !IsBlank(names[at])) ++at;
        if (at > start) found.push_back(names.substr(start, at - start));
    }
    return found;
}

bool RuleMatches(std::wstring_view names, std::wstring_view sender) {
    if (sender.empty()) return false;
    // Walked in place: a row may list thousands of names, and is asked once per new line.
    std::size_t at = 0;
    while (at < names.size()) {
        while (at < names.size() && IsBlank(names[at])) ++at;
        const std::size_t start = at;
        while (at < names.size() && !IsBlank(names[at])) ++at;
        if (at > start && ReplyTestHolds(names.substr(start, at - start), sender)) return true;
    }
    return false;
}

std::optional<std::wstring_view> ReplyFor(const AutoReplySettings& settings, std::wstring_view sender,
                                          std::size_t* row) {
    if (sender.empty()) return std::nullopt;
    for (std::size_t i = 0; i < settings.rules.size(); ++i) {
        if (!RuleMatches(settings.rules[i].names, sender)) continue;
        if (row) *row = i;
        return settings.rules[i].reply;
    }
    if (!settings.everyoneElse) return std::nullopt;
    if (row) *row = settings.rules.size();
    return settings.everyoneElseReply;
}

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
