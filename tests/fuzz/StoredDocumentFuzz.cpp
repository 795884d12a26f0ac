// Reading a stored document back: any document Velmora builds is built again byte for byte from
// what is read, and any other text is read without a fault (and called Velmora's own only when
// building its reading gives it back). Documents of any characters, stored for a code page that
// lacks some, are read back and stored again as the very same text.
#include <optional>
#include <vector>

#include "FuzzInput.h"
#include "compose/AwayDocument.h"
#include "misc/CharacterReferences.h"
#include "stored/StoredDocument.h"

namespace {

std::wstring Rebuilt(const velmora::StoredComposition& read) {
    return velmora::BuildAwayDocument(read.label.value_or(L""), read.bodyColour.value_or(L""),
                                      read.fontColour.value_or(L""), read.fontSize.value_or(L""),
                                      read.message.value_or(L""),
                                      read.song ? std::optional<std::wstring_view>(*read.song) : std::nullopt);
}

// Code pages as the rule sees them, chosen by the input.
bool Latin1(char32_t c) { return c < 0x100; }
bool Ascii(char32_t c) { return c < 0x80; }
bool Everything(char32_t) { return true; }

// Fields of any 16-bit units, separated by the unit 0x001F.
std::vector<std::wstring> WideFields(const std::wstring& units, std::size_t count) {
    std::vector<std::wstring> fields(count);
    std::size_t field = 0;
    for (wchar_t unit : units) {
        if (unit == 0x1F && field + 1 < count) {
            ++field;
            continue;
        }
        fields[field] += unit;
    }
    return fields;
}

void CheckAnyCharacters(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    if (size == 0) return;
    bool (*const carries)(char32_t) = data[0] % 3 == 0 ? &Latin1 : data[0] % 3 == 1 ? &Ascii : &Everything;
    const std::wstring units = velmora::fuzz::WideUnitsFrom(data + 1, size - 1);
    const auto parts = WideFields(units, 7);
    AwayFields fields;
    fields.label = parts[0];
    fields.bodyColour = parts[1];
    fields.fontColour = parts[2];
    fields.fontSize = parts[3];
    fields.message = parts[4];
    fields.songWanted = !parts[5].empty();
    const std::optional<std::wstring> song = parts[6];
    const std::wstring stored = BuildAwayDocument(fields, song, carries);
    VELMORA_FUZZ_CHECK(UncarriedCharacters(stored, carries).empty());
    const StoredComposition read = ReadAwayDocument(stored, carries);
    VELMORA_FUZZ_CHECK(read.ownShape);
    AwayFields loaded;
    loaded.label = read.label.value_or(L"");
    loaded.bodyColour = read.bodyColour.value_or(L"");
    loaded.fontColour = read.fontColour.value_or(L"");
    loaded.fontSize = read.fontSize.value_or(L"");
    loaded.message = read.message.value_or(L"");
    loaded.songWanted = read.song.has_value();
    VELMORA_FUZZ_CHECK(BuildAwayDocument(loaded, read.song, carries) == stored);

    // Any text the code page carries, read as a stored message: a reading called Velmora's own
    // is stored again as the same text.
    const std::wstring foreign = WithCharacterReferences(units, carries);
    const StoredComposition other = ReadAwayDocument(foreign, carries);
    VELMORA_FUZZ_CHECK(other.message.has_value());
    if (other.ownShape) VELMORA_FUZZ_CHECK(WithCharacterReferences(Rebuilt(other), carries) == foreign);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    const auto fields = fuzz::Fields(data, size, 7);
    const bool songWanted = !fields[6].empty() && fields[6][0] == L'y';
    const std::wstring song = songWanted ? fields[6].substr(1) : L"";
    const std::wstring document = BuildAwayDocument(fields[0], fields[1], fields[2], fields[3], fields[4],
                                                    songWanted ? std::optional<std::wstring_view>(song) : std::nullopt);
    const StoredComposition read = ReadAwayDocument(document);
    VELMORA_FUZZ_CHECK(read.ownShape);
    VELMORA_FUZZ_CHECK(Rebuilt(read) == document);

    const std::wstring text = fuzz::WideFrom(data, size);
    const StoredComposition foreign = ReadAwayDocument(text);
    VELMORA_FUZZ_CHECK(foreign.message.has_value());
    if (foreign.ownShape) VELMORA_FUZZ_CHECK(Rebuilt(foreign) == text);

    CheckAnyCharacters(data, size);
    return 0;
}
