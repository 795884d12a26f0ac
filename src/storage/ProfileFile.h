#pragma once
// A profile (INI) file's text, read and rewritten in one piece, so Msg.ini is read once and
// replaced whole rather than touched one key at a time. The text is the file's bytes in its
// code page; section and key names are compared as ASCII, as Velmora's own names are.
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace velmora {

// The keys of one section, as the profile calls give them: the first line of a name wins
// (also across repeated headers of the section), names compare without regard to ASCII case,
// and a value loses the blanks at its ends and one pair of quote marks round it.
class ProfileSection {
public:
    ProfileSection(std::string_view file, std::string_view section);
    std::optional<std::string_view> Value(std::string_view key) const;

private:
    std::unordered_map<std::string, std::string_view> values_;  // by lower-case name
};

// The file with every key line of the section that isReplaced picks taken out and lines (whole
// lines, each ending in CR LF) put right below the section's first header; a file without the
// section gets it at its end. Every other line stays as it was, byte for byte.
std::string ReplaceProfileKeys(std::string_view file, std::string_view section,
                               bool (*isReplaced)(std::string_view key), std::string_view lines);

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace velmora
