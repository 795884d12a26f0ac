#pragma once
// The stand-ins' line protocol keeps every argument and reply on one line: backslash, CR and
// LF travel as \\, \r and \n. Shared by the AIM stand-in and the tests that talk to it.
#include <cstddef>
#include <string>
#include <string_view>

namespace velmora::standin {

inline std::string EscapeLine(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '\\': escaped += "\\\\"; break;
            case '\r': escaped += "\\r"; break;
            case '\n': escaped += "\\n"; break;
            default: escaped += c; break;
        }
    }
    return escaped;
}

// Unknown escapes are kept as they are, so a lone backslash survives.
inline std::string UnescapeLine(std::string_view text) {
    std::string plain;
    plain.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            const char next = text[i + 1];
            if (next == '\\' || next == 'r' || next == 'n') {
                plain += next == '\\' ? '\\' : next == 'r' ? '\r' : '\n';
                ++i;
                continue;
            }
        }
        plain += text[i];
    }
    return plain;
}

}  // namespace velmora::standin
