#include "storage/ComposerSection.h"

#include <array>

#include "misc/Text.h"
#include "storage/ProfileFile.h"
#include "storage/SavedMessage.h"

namespace velmora {
namespace {

using TextField = std::optional<std::wstring> ComposerFields::*;

struct TextKey {
    std::string_view key;
    TextField field;
};

constexpr std::array<TextKey, 6> kTextKeys{{
    {"ScreenName", &ComposerFields::screenName},
    {"Label", &ComposerFields::label},
    {"FontColour", &ComposerFields::fontColour},
    {"BodyColour", &ComposerFields::bodyColour},
    {"FontSize", &ComposerFields::fontSize},
    {"Slot", &ComposerFields::slot},
}};
constexpr std::string_view kSongKey = "BroadcastWinamp";

// A value the window may be given: not too long, and no NUL (which would end it early in a box).
std::optional<std::wstring> Acceptable(std::wstring value) {
    if (value.size() > kMaxComposerValue || value.find(L'\0') != std::wstring::npos) return std::nullopt;
    return value;
}

bool IsFontSize(std::wstring_view size) {
    if (size.empty() || size.size() > 2 || size.front() == L'0') return false;
    int value = 0;
    for (wchar_t c : size) {
        if (!IsAsciiDigit(c)) return false;
        value = value * 10 + (c - L'0');
    }
    return value >= 1 && value <= 32;
}

bool IsComposerKey(std::string_view) { return true; }

}  // namespace

ComposerFields LoadComposerFields(std::string_view bytes) {
    const ProfileText file = DecodeProfileFile(bytes);
    const ProfileSection section(file.text, kComposerSection);
    ComposerFields fields;
    for (const TextKey& key : kTextKeys) {
        const std::optional<std::string_view> value = section.Value(key.key);
        // The escaped text is at least as long as the text: a value far longer is not unescaped.
        if (!value || value->size() > 6 * kMaxComposerValue) continue;
        fields.*key.field = Acceptable(UnescapeExactText(*value));
    }
    if (fields.fontSize && !IsFontSize(*fields.fontSize)) fields.fontSize.reset();
    if (const std::optional<std::string_view> song = section.Value(kSongKey)) {
        if (*song == "1") fields.songWanted = true;
        if (*song == "0") fields.songWanted = false;
    }
    return fields;
}

std::string SaveComposerInto(std::string_view bytes, const ComposerFields& fields) {
    const ProfileText file = DecodeProfileFile(bytes);
    std::string lines;
    for (const TextKey& key : kTextKeys) {
        const std::optional<std::wstring>& value = fields.*key.field;
        if (!value) continue;
        lines += key.key;
        lines += '=';
        lines += EscapeExactText(*value);
        lines += "\r\n";
    }
    if (fields.songWanted) {
        lines += kSongKey;
        lines += *fields.songWanted ? "=1\r\n" : "=0\r\n";
    }
    return EncodeProfileFile(file.encoding, ReplaceProfileKeys(file.text, kComposerSection, IsComposerKey, lines));
}

}  // namespace velmora
