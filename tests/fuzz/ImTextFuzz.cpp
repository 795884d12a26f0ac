// HtmlToPlainText, the last line and the sender on any conversation markup.
#include "FuzzInput.h"
#include "aim/ImText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    const std::wstring markup = fuzz::WideFrom(data, size);
    const std::wstring plain = HtmlToPlainText(markup);
    VELMORA_FUZZ_CHECK(plain.size() <= markup.size());
    VELMORA_FUZZ_CHECK(plain.find_first_of(L"<>") == std::wstring::npos);

    const std::wstring line = LastImLineOf(plain);
    // Converting only the last line gives the same line.
    VELMORA_FUZZ_CHECK(LastImLineOfConversation(markup) == line);
    VELMORA_FUZZ_CHECK(line.find(L"\r\n") == std::wstring::npos);
    VELMORA_FUZZ_CHECK(plain.size() >= line.size() &&
                       plain.compare(plain.size() - line.size(), line.size(), line) == 0);

    const std::wstring sender = SenderOfLine(line);
    VELMORA_FUZZ_CHECK(sender.find(L':') == std::wstring::npos);
    VELMORA_FUZZ_CHECK(line.find(sender) != std::wstring::npos);
    // The one-reading path agrees with the three rules applied in turn.
    VELMORA_FUZZ_CHECK(SenderOfConversation(markup) == sender);
    // Also when its walk starts near the end and has to reach back.
    const std::size_t window = size > 0 ? 1 + data[0] % 16 : 1;
    VELMORA_FUZZ_CHECK(SenderOfConversation(markup, window) == sender);
    return 0;
}
