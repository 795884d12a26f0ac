// The saved message put into any settings file: it reads back exactly, whatever else the file
// holds, its stored values stay safe profile values, and saving again changes nothing.
#include "FuzzInput.h"
#include "storage/SavedMessage.h"

namespace {

// The code page of a Western system: Latin-1, anything else "?".
std::string ToLatin1(std::wstring_view text) {
    std::string bytes;
    for (wchar_t c : text) bytes += c < 0x100 ? static_cast<char>(c) : '?';
    return bytes;
}
std::wstring FromLatin1(std::string_view bytes) {
    std::wstring text;
    for (char c : bytes) text += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return text;
}

bool SafeProfileValue(const std::wstring& value) {
    if (value.find_first_of(L"\r\n") != std::wstring::npos) return false;
    if (value.size() > velmora::kMaxProfileValue) return false;
    auto edgeSafe = [](wchar_t c) { return c > L' ' && c != L'"' && c != L'\''; };
    return value.empty() || (edgeSafe(value.front()) && edgeSafe(value.back()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    const std::vector<std::wstring> fields = fuzz::Fields(data, size, 2);
    const std::string file = ToLatin1(fields[0]);
    std::wstring message = fields[1];
    // The top bytes stand for characters beyond the code page (Cyrillic).
    for (wchar_t& c : message)
        if (c >= 0xF8) c = static_cast<wchar_t>(0x400 + c);
    const SavedMessageEntries entries = EncodeSavedMessage(message);
    VELMORA_FUZZ_CHECK(SafeProfileValue(entries.message));
    for (const std::wstring& part : entries.exactParts) {
        VELMORA_FUZZ_CHECK(!part.empty() && SafeProfileValue(part));
        for (wchar_t c : part) VELMORA_FUZZ_CHECK(c > L' ' && c < 0x7F);  // the same in every code page
    }

    const FileCodePage latin1{ToLatin1, FromLatin1};
    const std::string saved = SaveMessageInto(file, message, latin1);
    VELMORA_FUZZ_CHECK(LoadSavedMessage(saved, latin1) == message);
    VELMORA_FUZZ_CHECK(SaveMessageInto(saved, message, latin1) == saved);
    return 0;
}
