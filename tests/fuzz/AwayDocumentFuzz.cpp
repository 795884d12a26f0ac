// The away document from any field contents: every piece in its place, nothing escaped or lost.
#include "FuzzInput.h"
#include "compose/AwayDocument.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    const auto fields = fuzz::Fields(data, size, 7);
    const bool songWanted = !fields[6].empty() && fields[6][0] == L'y';
    const std::wstring song = songWanted ? fields[6].substr(1) : L"";
    const std::wstring document = BuildAwayDocument(fields[0], fields[1], fields[2], fields[3], fields[4],
                                                    songWanted ? std::optional<std::wstring_view>(song) : std::nullopt);
    const std::wstring header = L"<HTML><BODY BGCOLOR=\"#" + fields[1] + L"\"><B><FONT COLOR=\"#" + fields[2] +
                                L"\"FACE=\"Tahoma\"LANG=\"0\"SIZE=" + fields[3] + L">";
    std::wstring expected = L"<title>" + fields[0] + L"</title>" + header + fields[4] + L"</FONT></BODY></HTML>";
    if (songWanted) expected += L"<BR>" + header + L"Last Song Played on winamp:  " + song;
    VELMORA_FUZZ_CHECK(document == expected);
    return 0;
}
