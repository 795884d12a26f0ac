#pragma once
// The composer's fields kept in Msg.ini, section "Composer", when "Save Last Msg" is ticked
// at close: everything the user set but the message (which stays in "General") and the box's
// own tick. Each value is written with the exact keys' escapes (plain ASCII, the same in every
// code page and every encoding of the file). A file without the section, or without a key,
// leaves that field as the window's design has it.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

inline constexpr std::string_view kComposerSection = "Composer";
// Longer values are nobody's screen name, label, colour, size or slot: a field that long is
// left as the design has it rather than filled with it.
inline constexpr std::size_t kMaxComposerValue = 1024;

struct ComposerFields {
    std::optional<std::wstring> screenName;  // Text5
    std::optional<std::wstring> label;       // Text1
    std::optional<std::wstring> fontColour;  // Text6
    std::optional<std::wstring> bodyColour;  // Text7
    std::optional<std::wstring> fontSize;    // Combo1: one of "1" to "32", or absent
    std::optional<std::wstring> slot;        // Combo2
    std::optional<bool> songWanted;          // Check1
    bool operator==(const ComposerFields&) const = default;
};

// The fields the file's bytes hold (any encoding the settings file may have); all absent when
// the file has no such section.
ComposerFields LoadComposerFields(std::string_view file);
// The file's new bytes with the section holding exactly these fields (an absent one is not
// written); every other section and line stays as it was, and the file keeps its encoding.
std::string SaveComposerInto(std::string_view file, const ComposerFields& fields);

}  // namespace velmora
