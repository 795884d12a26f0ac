#include "autoreply/AutoReplySettings.h"

#include <algorithm>
#include <iterator>
#include <optional>

#include "storage/ProfileFile.h"
#include "storage/SavedMessage.h"

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

}  // namespace

AutoReplySettings ReadAutoReplySettings(std::string_view file) {
    // A file an editor saved as UTF-16 or marked UTF-8 is read as the profile calls read it.
    const ProfileText decoded = DecodeProfileFile(file);
    const ProfileSection section(decoded.text, kAutoReplySection);
    AutoReplySettings settings;
    const std::optional<std::size_t> rows = Number(section, "Rules");
    if (rows && *rows > 0) {
        settings.rules.clear();
        for (std::size_t row = 0; row < std::min(*rows, kMostAutoReplyRules); ++row)
            settings.rules.push_back(
                {ReadText(section, RuleKey(row, "Names")), ReadText(section, RuleKey(row, "Reply"))});
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

}  // namespace velmora
