// The song rule on any window title.
#include "FuzzInput.h"
#include "winamp/SongRule.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring title = velmora::fuzz::WideFrom(data, size);
    const std::optional<std::wstring> song = velmora::ExtractSongFromTitle(title);
    const size_t marker = title.find(L" - Winamp");
    if (marker == std::wstring::npos) {
        VELMORA_FUZZ_CHECK(!song.has_value());
        return 0;
    }
    if (!song) return 0;
    // The song starts at the title's start or right after a playlist number "12. ", and runs
    // to the first " - Winamp", less at most one blank.
    size_t start = 0;
    const size_t digits = title.find_first_not_of(L"0123456789");
    if (digits != std::wstring::npos && digits > 0 && title.compare(digits, 2, L". ") == 0) start = digits + 2;
    VELMORA_FUZZ_CHECK(start <= marker);
    const std::wstring_view slice = std::wstring_view(title).substr(start, marker - start);
    VELMORA_FUZZ_CHECK(slice == *song || (slice.size() == song->size() + 1 && slice.substr(0, song->size()) == *song &&
                                          slice.back() == L' '));
    return 0;
}
