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

// How the system's profile calls take a file's bytes: a file that starts with a UTF-16
// byte-order mark is UTF-16 text in that byte order throughout, and they write it back so;
// one that starts with the UTF-8 mark is UTF-8 (so Wine's calls read and write it, and so the
// editor that put the mark meant it); any other file is 8-bit text in its code page.
enum class ProfileEncoding { CodePage, Utf8, Utf16LittleEndian, Utf16BigEndian };

// A file as the 8-bit text the section reader and ReplaceProfileKeys take. UTF-16 text comes
// as UTF-8, a lone surrogate as its own three bytes, so that every code unit goes back as it
// was: each line of the file the same, and nothing of it in another encoding. The mark is not
// part of the text; an odd last byte of UTF-16 (half a character) is none either.
struct ProfileText {
    ProfileEncoding encoding = ProfileEncoding::CodePage;
    std::string text;
};
ProfileText DecodeProfileFile(std::string_view bytes);
// The file's bytes for that text: the mark and the text in its encoding, or the text itself.
std::string EncodeProfileFile(ProfileEncoding encoding, std::string_view text);

// Text to and from the UTF-8 of a UTF-16 file, with the same care for lone surrogates.
std::string Utf8FromWide(std::wstring_view text);
std::wstring WideFromUtf8(std::string_view bytes);

}  // namespace velmora
