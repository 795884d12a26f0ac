// Reading a stored document back: any document Velmora builds is built again byte for byte from
// what is read, and any other text is read without a fault (and called Velmora's own only when
// building its reading gives it back).
#include "FuzzInput.h"
#include "compose/AwayDocument.h"
#include "stored/StoredDocument.h"

namespace {

std::wstring Rebuilt(const velmora::StoredComposition& read) {
    return velmora::BuildAwayDocument(read.label.value_or(L""), read.bodyColour.value_or(L""),
                                      read.fontColour.value_or(L""), read.fontSize.value_or(L""),
                                      read.message.value_or(L""),
                                      read.song ? std::optional<std::wstring_view>(*read.song) : std::nullopt);
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
    return 0;
}
