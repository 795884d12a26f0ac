// Reading a registry file: any bytes are read without a fault, what is read is only a screen
// name's GoneMsg values, and writing those again and reading that gives the very same messages.
// Messages of any bytes and names are written and read back exactly (or left out and told).
#include "FuzzInput.h"
#include "travel/RegFile.h"

namespace {

std::wstring Latin1(std::string_view bytes) {
    return velmora::fuzz::WideFrom(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

bool StartsWithGoneMsg(const std::wstring& name) {
    return name.size() >= 7 && (name[0] | 0x20) == L'g' && (name[1] | 0x20) == L'o' && (name[2] | 0x20) == L'n' &&
           (name[3] | 0x20) == L'e' && (name[4] | 0x20) == L'm' && (name[5] | 0x20) == L's' && (name[6] | 0x20) == L'g';
}

void CheckRoundTrip(const std::vector<velmora::TravellingMessage>& messages) {
    using namespace velmora;
    const RegFileWriting written = WriteRegFile(messages);
    std::vector<TravellingMessage> kept;
    for (std::size_t i = 0, left = 0; i < messages.size(); ++i) {
        if (left < written.leftOut.size() && written.leftOut[left] == i) {
            ++left;
            continue;
        }
        kept.push_back(messages[i]);
    }
    const RegFileContents read = ReadRegFile(written.bytes, &Latin1);
    VELMORA_FUZZ_CHECK(read.problem == RegFileProblem::None);
    VELMORA_FUZZ_CHECK(read.skippedCount == 0);
    // Written grouped by screen name, so compare as sets of the messages kept.
    VELMORA_FUZZ_CHECK(read.messages.size() == kept.size());
    for (const TravellingMessage& message : kept) {
        bool found = false;
        for (const TravellingMessage& back : read.messages) found = found || back == message;
        VELMORA_FUZZ_CHECK(found);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const RegFileContents read = ReadRegFile(bytes, &Latin1);
    VELMORA_FUZZ_CHECK(read.skipped.size() <= kMostSkippedLinesTold && read.skipped.size() <= read.skippedCount);
    for (const TravellingMessage& message : read.messages) {
        VELMORA_FUZZ_CHECK(IsValidScreenNameKey(message.screenName));
        VELMORA_FUZZ_CHECK(StartsWithGoneMsg(message.valueName));
    }
    if (read.problem == RegFileProblem::None) {
        // Distinct names only: the file's own repeats are gone already, but letter case of
        // screen names beyond ASCII may still differ.
        CheckRoundTrip(read.messages);
    }

    // Messages of any units: screen name, value name and data from the input's fields.
    if (size > 0) {
        const std::wstring units = fuzz::WideUnitsFrom(data + 1, size - 1);
        std::vector<TravellingMessage> messages;
        std::size_t start = 0;
        for (int field = 0; field < 3 && start <= units.size(); ++field) {
            const std::size_t end = std::min(units.size(), units.find(L'\x1F', start));
            const std::wstring piece = units.substr(start, end - start);
            std::string raw;
            for (wchar_t c : piece) raw += {static_cast<char>(c & 0xFF), static_cast<char>((c >> 8) & 0xFF)};
            if ((data[0] & 1) && !raw.empty()) raw.pop_back();  // odd lengths too
            messages.push_back({piece.empty() ? L"pal42" : piece, L"GoneMsg" + std::to_wstring(field), raw});
            start = end + 1;
        }
        CheckRoundTrip(messages);
    }
    return 0;
}
