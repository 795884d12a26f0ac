#include "autoreply/AutoReplySettings.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "compose/AwayDocument.h"
#include "storage/ProfileFile.h"
#include "storage/SavedMessage.h"
#include "stored/LoadLimits.h"

namespace velmora {
namespace {

std::string PartKey(const std::string& key, std::size_t part) {
    return part == 0 ? key : key + std::to_string(part + 1);
}

std::wstring ReadText(const ProfileSection& section, const std::string& key) {
    std::string escaped;
    for (std::size_t part = 0;; ++part) {
        const std::optional<std::string_view> value = section.Value(PartKey(key, part));
        if (!value || (part > 0 && value->empty())) break;
        escaped += *value;
    }
    return UnescapeExactText(escaped);
}

void WriteText(std::string& lines, const std::string& key, std::wstring_view text) {
    const std::string escaped = EscapeExactText(text);
    std::size_t part = 0;
    do {
        lines += PartKey(key, part) + "=" +
                 escaped.substr(std::min(escaped.size(), part * kMaxProfileValue), kMaxProfileValue) + "\r\n";
        ++part;
    } while (part * kMaxProfileValue < escaped.size());
}

std::optional<std::size_t> Number(const ProfileSection& section, const std::string& key) {
    const std::optional<std::string_view> value = section.Value(key);
    if (!value || value->empty() || value->size() > 6) return std::nullopt;
    std::size_t number = 0;
    for (char c : *value) {
        if (c < '0' || c > '9') return std::nullopt;
        number = number * 10 + static_cast<std::size_t>(c - '0');
    }
    return number;
}

template <std::size_t N>
int Choice(const ProfileSection& section, const std::string& key, const int (&choices)[N]) {
    const std::optional<std::size_t> number = Number(section, key);
    if (number && std::find(std::begin(choices), std::end(choices), static_cast<int>(*number)) != std::end(choices))
        return static_cast<int>(*number);
    return choices[0];
}

std::string RuleKey(std::size_t row, const char* what) { return "Rule" + std::to_string(row + 1) + what; }

bool AnyKey(std::string_view) { return true; }

// How many of the rows a count claims the file really has: up to the last row with a line.
std::size_t RowsPresent(const ProfileSection& section, std::size_t claimed) {
    while (claimed > 0 && !section.Value(RuleKey(claimed - 1, "Names")) &&
           !section.Value(RuleKey(claimed - 1, "Reply")))
        --claimed;
    return claimed;
}

// Which rows of `base` are still in `other`, and where `other`'s new rows stand.
struct RowMatch {
    std::vector<bool> kept;                         // per row of base
    std::vector<std::vector<std::size_t>> addedAt;  // per gap: before base row g, or at the end
};

using Rows = std::vector<AutoReplyRule>;
using Pairs = std::vector<std::pair<std::size_t, std::size_t>>;  // (base row, other row), both rising

// Beyond this many cells the rows in the middle are matched greedily, in one pass.
constexpr std::size_t kMostExactMatchCells = std::size_t{1} << 22;

// The longest run of rows common to both middles, row by row (the middles are small: an edit
// touches a few rows, and the rows alike at both ends are taken off first).
void MatchExactly(const Rows& base, std::size_t b0, std::size_t b1, const Rows& other, std::size_t o0, std::size_t o1,
                  Pairs& pairs) {
    const std::size_t rows = b1 - b0, columns = o1 - o0;
    std::vector<std::uint32_t> length((rows + 1) * (columns + 1), 0);
    const auto at = [&](std::size_t i, std::size_t j) -> std::uint32_t& { return length[i * (columns + 1) + j]; };
    for (std::size_t i = rows; i-- > 0;)
        for (std::size_t j = columns; j-- > 0;)
            at(i, j) = base[b0 + i] == other[o0 + j] ? at(i + 1, j + 1) + 1 : std::max(at(i + 1, j), at(i, j + 1));
    for (std::size_t i = 0, j = 0; i < rows && j < columns;) {
        if (base[b0 + i] == other[o0 + j]) {
            pairs.emplace_back(b0 + i, o0 + j);
            ++i, ++j;
        } else if (at(i + 1, j) >= at(i, j + 1)) {
            ++i;
        } else {
            ++j;
        }
    }
}

// Each base row taken by the first equal row after the last one taken.
void MatchGreedily(const Rows& base, std::size_t b0, std::size_t b1, const Rows& other, std::size_t o0, std::size_t o1,
                   Pairs& pairs) {
    std::map<std::pair<std::wstring_view, std::wstring_view>, std::vector<std::size_t>> where;
    for (std::size_t j = o0; j < o1; ++j) where[{other[j].names, other[j].reply}].push_back(j);
    std::size_t next = o0;
    for (std::size_t i = b0; i < b1; ++i) {
        const auto found = where.find({base[i].names, base[i].reply});
        if (found == where.end()) continue;
        const auto j = std::lower_bound(found->second.begin(), found->second.end(), next);
        if (j == found->second.end()) continue;
        pairs.emplace_back(i, *j);
        next = *j + 1;
    }
}

RowMatch Match(const Rows& base, const Rows& other) {
    std::size_t head = 0;
    while (head < base.size() && head < other.size() && base[head] == other[head]) ++head;
    std::size_t tail = 0;
    while (tail < base.size() - head && tail < other.size() - head &&
           base[base.size() - 1 - tail] == other[other.size() - 1 - tail])
        ++tail;
    Pairs pairs;
    for (std::size_t i = 0; i < head; ++i) pairs.emplace_back(i, i);
    const std::size_t b1 = base.size() - tail, o1 = other.size() - tail;
    if ((b1 - head + 1) * (o1 - head + 1) <= kMostExactMatchCells)
        MatchExactly(base, head, b1, other, head, o1, pairs);
    else
        MatchGreedily(base, head, b1, other, head, o1, pairs);
    for (std::size_t k = tail; k > 0; --k) pairs.emplace_back(base.size() - k, other.size() - k);

    RowMatch match{std::vector<bool>(base.size(), false), std::vector<std::vector<std::size_t>>(base.size() + 1)};
    // A new row stands right after the base row before it, so a changed row stays in its place
    // when the other copy adds rows after it.
    std::size_t gap = 0, j = 0;
    for (const auto& [i, o] : pairs) {
        for (; j < o; ++j) match.addedAt[gap].push_back(j);
        match.kept[i] = true;
        j = o + 1;
        gap = i + 1;
    }
    for (; j < other.size(); ++j) match.addedAt[gap].push_back(j);
    return match;
}

Rows MergeRows(const Rows& base, const Rows& mine, const Rows& theirs) {
    const RowMatch mineMatch = Match(base, mine);
    const RowMatch theirMatch = Match(base, theirs);
    Rows merged;
    merged.reserve(std::max(mine.size(), theirs.size()));
    for (std::size_t gap = 0; gap <= base.size(); ++gap) {
        const std::vector<std::size_t>& theirsAdded = theirMatch.addedAt[gap];
        const std::vector<std::size_t>& mineAdded = mineMatch.addedAt[gap];
        for (std::size_t j : theirsAdded) merged.push_back(theirs[j]);
        // The same rows added on both sides in the same place are one change, made twice.
        const bool same = std::equal(mineAdded.begin(), mineAdded.end(), theirsAdded.begin(), theirsAdded.end(),
                                     [&](std::size_t a, std::size_t b) { return mine[a] == theirs[b]; });
        if (!same)
            for (std::size_t j : mineAdded) merged.push_back(mine[j]);
        if (gap < base.size() && mineMatch.kept[gap] && theirMatch.kept[gap]) merged.push_back(base[gap]);
    }
    // There is always one row to fill in.
    if (merged.empty()) merged.push_back({});
    return merged;
}

template <typename T>
const T& Changed(const T& base, const T& mine, const T& theirs) {
    return mine == base ? theirs : mine;
}

}  // namespace

AutoReplySettings ReadAutoReplySettings(std::string_view file) {
    // A file an editor saved as UTF-16 or marked UTF-8 is read as the profile calls read it.
    const ProfileText decoded = DecodeProfileFile(file);
    const ProfileSection section(decoded.text, kAutoReplySection);
    AutoReplySettings settings;
    // A section without the mark was written when blanks separated the names.
    const bool commaNames = Number(section, "Format") >= std::optional<std::size_t>(kAutoReplyFormat);
    const std::optional<std::size_t> claimed = Number(section, "Rules");
    const std::size_t rows = claimed ? RowsPresent(section, *claimed) : 0;
    if (rows > 0) {
        settings.rules.clear();
        settings.rules.reserve(rows);
        for (std::size_t row = 0; row < rows; ++row) {
            std::wstring names = ReadText(section, RuleKey(row, "Names"));
            if (!commaNames) names = CommaNamesFromBlankNames(names);
            settings.rules.push_back({std::move(names), ReadText(section, RuleKey(row, "Reply"))});
        }
    }
    settings.everyoneElse = Number(section, "EveryoneElse") == std::optional<std::size_t>(1);
    settings.everyoneElseReply = ReadText(section, "EveryoneElseReply");
    settings.answerAgainMinutes = Choice(section, "AnswerAgain", kAnswerAgainChoices);
    settings.idleMinutes = Choice(section, "Idle", kIdleChoices);
    const std::optional<std::string_view> on = section.Value("Switch");
    settings.on = on && EqualsIgnoringAsciiCase(*on, "On");
    return settings;
}

std::string WriteAutoReplySettingsInto(std::string_view file, const AutoReplySettings& settings) {
    std::string lines;
    lines += "Format=" + std::to_string(kAutoReplyFormat) + "\r\n";
    lines += std::string("Switch=") + (settings.on ? "On" : "Off") + "\r\n";
    lines += "AnswerAgain=" + std::to_string(settings.answerAgainMinutes) + "\r\n";
    lines += "Idle=" + std::to_string(settings.idleMinutes) + "\r\n";
    lines += "Rules=" + std::to_string(settings.rules.size()) + "\r\n";
    for (std::size_t row = 0; row < settings.rules.size(); ++row) {
        WriteText(lines, RuleKey(row, "Names"), settings.rules[row].names);
        WriteText(lines, RuleKey(row, "Reply"), settings.rules[row].reply);
    }
    lines += std::string("EveryoneElse=") + (settings.everyoneElse ? "1" : "0") + "\r\n";
    WriteText(lines, "EveryoneElseReply", settings.everyoneElseReply);
    // The keys are plain ASCII, so the file stays in the encoding it has.
    const ProfileText decoded = DecodeProfileFile(file);
    return EncodeProfileFile(decoded.encoding, ReplaceProfileKeys(decoded.text, kAutoReplySection, AnyKey, lines));
}

AutoReplySettings MergeAutoReplySettings(const AutoReplySettings& base, const AutoReplySettings& mine,
                                         const AutoReplySettings& theirs) {
    AutoReplySettings merged;
    merged.rules = MergeRows(base.rules, mine.rules, theirs.rules);
    merged.everyoneElse = Changed(base.everyoneElse, mine.everyoneElse, theirs.everyoneElse);
    merged.everyoneElseReply = Changed(base.everyoneElseReply, mine.everyoneElseReply, theirs.everyoneElseReply);
    merged.answerAgainMinutes = Changed(base.answerAgainMinutes, mine.answerAgainMinutes, theirs.answerAgainMinutes);
    merged.idleMinutes = Changed(base.idleMinutes, mine.idleMinutes, theirs.idleMinutes);
    merged.on = Changed(base.on, mine.on, theirs.on);
    return merged;
}

std::string MergeAutoReplySettingsInto(std::string_view file, const AutoReplySettings& base,
                                       const AutoReplySettings& mine, AutoReplySettings* merged) {
    AutoReplySettings result = MergeAutoReplySettings(base, mine, ReadAutoReplySettings(file));
    std::string written = WriteAutoReplySettingsInto(file, result);
    if (merged) *merged = std::move(result);
    return written;
}

ReplyInBox ReplyShownInBox(std::wstring_view reply) {
    SomeAwayFields fields;
    fields.message = std::wstring(reply);
    const std::optional<std::wstring> why = WhyNotLoadable(fields);
    if (!why) return {std::wstring(reply), true};
    // The start cut into lines no longer than a line the box lays out at once.
    std::wstring start;
    std::size_t lineLength = 0;
    for (const wchar_t c : reply.substr(0, kReplyStartShown)) {
        lineLength = c == L'\n' ? 0 : lineLength + 1;
        if (lineLength > 200) {
            start += L"\r\n";
            lineLength = 1;
        }
        start += c;
    }
    // A half of a surrogate pair or of CR LF at the cut stays out.
    if (!start.empty() && (start.back() == L'\r' || (start.back() >= 0xD800 && start.back() < 0xDC00)))
        start.pop_back();
    std::wstring reason = *why;
    constexpr std::wstring_view kIts = L"its message";
    if (reason.starts_with(kIts)) reason.replace(0, kIts.size(), L"the reply");
    return {L"(Too long to show or edit here: " + reason +
                L" It stays in Msg.ini as it is and is sent whole. Its start:)\r\n" + start + L"...",
            false};
}

std::wstring RulesNotSavedText(std::wstring_view filePath, std::wstring_view reason, bool closing) {
    std::wstring text = L"Auto Reply's rules could not be saved for the next start in\r\n";
    text += filePath;
    text += L"\r\n\r\nWhy: ";
    text += reason;
    text += closing ? L"\r\n\r\nClose anyway? Yes closes Auto Reply and the changes are lost; No goes back to them."
                    : L"\r\n\r\nThe rules stay in the Auto Reply window and are used while Velmora runs; each "
                      L"change tries to save them again.";
    return text;
}

}  // namespace velmora
