// The composer's section read from any settings file and saved into any: reading never fails,
// the fields come back as saved, saving again changes nothing, and the message beside it in
// "General" reads the same before and after.
#include "FuzzInput.h"
#include "storage/ComposerSection.h"
#include "storage/SavedMessage.h"

namespace {

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    const std::vector<std::wstring> parts = fuzz::Fields(data, size, 5);
    const std::string file = ToLatin1(parts[0]);
    const ComposerFields read = LoadComposerFields(file);
    if (read.fontSize) VELMORA_FUZZ_CHECK(!read.fontSize->empty() && read.fontSize->size() <= 2);
    for (const auto* field : {&read.screenName, &read.label, &read.fontColour, &read.bodyColour, &read.slot})
        if (*field) VELMORA_FUZZ_CHECK((*field)->size() <= kMaxComposerValue);

    ComposerFields fields;
    fields.screenName = parts[1];
    // The top bytes stand for characters beyond Latin-1 (Cyrillic).
    fields.label = parts[2];
    for (wchar_t& c : *fields.label)
        if (c >= 0xF8) c = static_cast<wchar_t>(0x400 + c);
    fields.fontColour = parts[3];
    fields.slot = parts[4];
    fields.fontSize = L"12";
    fields.songWanted = size % 2 == 0;
    for (auto* field : {&fields.screenName, &fields.label, &fields.fontColour, &fields.slot})
        if ((*field)->size() > kMaxComposerValue || (*field)->find(L'\0') != std::wstring::npos) field->reset();

    const std::string saved = SaveComposerInto(file, fields);
    VELMORA_FUZZ_CHECK(LoadComposerFields(saved) == fields);
    VELMORA_FUZZ_CHECK(SaveComposerInto(saved, fields) == saved);
    const FileCodePage latin1{ToLatin1, FromLatin1};
    VELMORA_FUZZ_CHECK(LoadSavedMessage(saved, latin1) == LoadSavedMessage(file, latin1));
    return 0;
}
