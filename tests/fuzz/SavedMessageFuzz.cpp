// The saved-message encoding: any message reads back exactly, and no stored value can hold a
// line break or lose characters at its ends to the profile reader.
#include "FuzzInput.h"
#include "storage/SavedMessage.h"

namespace {

bool SafeProfileValue(const std::wstring& value) {
    if (value.find_first_of(L"\r\n") != std::wstring::npos) return false;
    if (value.size() > velmora::kMaxProfileValue) return false;
    auto edgeSafe = [](wchar_t c) { return c != L' ' && c != L'\t' && c != L'"' && c != L'\''; };
    return value.empty() || (edgeSafe(value.front()) && edgeSafe(value.back()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    const std::wstring message = fuzz::WideFrom(data, size);
    const SavedMessageEntries entries = EncodeSavedMessage(message);
    VELMORA_FUZZ_CHECK(SafeProfileValue(entries.message));
    std::wstring exact;
    for (const std::wstring& part : entries.exactParts) {
        VELMORA_FUZZ_CHECK(!part.empty() && SafeProfileValue(part));
        exact += part;
    }
    VELMORA_FUZZ_CHECK(DecodeSavedMessage(entries.message, exact) == message);
    return 0;
}
