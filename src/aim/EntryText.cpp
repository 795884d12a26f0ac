#include "aim/EntryText.h"

namespace velmora {

std::wstring ReplyForHtmlEntry(std::wstring_view reply, const CarriesCharacter& carries) {
    std::wstring escaped;
    escaped.reserve(reply.size());
    for (wchar_t c : reply) {
        switch (c) {
            case L'&': escaped += L"&amp;"; break;
            case L'<': escaped += L"&lt;"; break;
            case L'>': escaped += L"&gt;"; break;
            default: escaped += c; break;
        }
    }
    // After the escapes: the references' own "&" are markup and stay as written.
    return WithCharacterReferences(escaped, carries);
}

}  // namespace velmora
