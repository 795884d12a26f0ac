// HtmlToPlainText, the last line, the sender and the newest message on any conversation markup.
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

    // The newest message: a trimmed name without a colon, and its text is the plain text's end.
    const ImMessage newest = NewestImMessageOf(markup);
    VELMORA_FUZZ_CHECK(newest.sender.find_first_of(L":<>") == std::wstring::npos);
    VELMORA_FUZZ_CHECK(newest.sender.empty() || (newest.sender.front() != L' ' && newest.sender.back() != L' '));
    VELMORA_FUZZ_CHECK(!newest.sender.empty() || newest.text.empty());
    const ImMessage fromNearTheEnd = NewestImMessageOf(markup, window);
    VELMORA_FUZZ_CHECK(fromNearTheEnd.sender == newest.sender && fromNearTheEnd.text == newest.text);
    VELMORA_FUZZ_CHECK(plain.size() >= newest.text.size() &&
                       plain.compare(plain.size() - newest.text.size(), newest.text.size(), newest.text) == 0);
    // A line without a name under it belongs to the same message; a sender's line starts another.
    // (Markup ending inside a tag would swallow what is added.)
    if (HtmlToPlainText(markup + L"<BR>x") == plain + L"\r\nx") {
        const ImMessage longer = NewestImMessageOf(markup + L"<BR>note: more");
        VELMORA_FUZZ_CHECK(longer.sender == newest.sender);
        VELMORA_FUZZ_CHECK(newest.sender.empty() || longer.text == newest.text + L"\r\nnote: more");
        const ImMessage next = NewestImMessageOf(markup + L"<BR><B>pal42</B>: hi");
        VELMORA_FUZZ_CHECK(next.sender == L"pal42" && next.text == L"hi");
    }
    return 0;
}
