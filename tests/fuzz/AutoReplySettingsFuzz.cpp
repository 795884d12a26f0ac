// Auto Reply's section written into any settings file reads back as it was, and the merge of
// two copies' saves keeps every row either copy added, whatever the rows are.
#include <algorithm>

#include "FuzzInput.h"
#include "autoreply/AutoReplySettings.h"

namespace {

using velmora::AutoReplyRule;
using velmora::AutoReplySettings;

// Rows one a line, the names before a tab and the reply after it (a reply's line breaks as \v).
AutoReplySettings RowsFrom(const std::wstring& field) {
    AutoReplySettings settings;
    settings.rules.clear();
    std::size_t start = 0;
    while (start <= field.size()) {
        const std::size_t end = std::min(field.find(L'\n', start), field.size());
        const std::wstring line = field.substr(start, end - start);
        const std::size_t tab = line.find(L'\t');
        std::wstring reply = tab == std::wstring::npos ? L"" : line.substr(tab + 1);
        std::replace(reply.begin(), reply.end(), L'\v', L'\n');
        settings.rules.push_back({line.substr(0, std::min(tab, line.size())), reply});
        start = end + 1;
    }
    settings.on = field.size() % 2 == 1;
    settings.idleMinutes = velmora::kIdleChoices[field.size() % 4];
    return settings;
}

bool Has(const AutoReplySettings& settings, const AutoReplyRule& row) {
    return std::find(settings.rules.begin(), settings.rules.end(), row) != settings.rules.end();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    const std::vector<std::wstring> fields = fuzz::Fields(data, size, 4);
    std::string file;
    for (wchar_t c : fields[0]) file += static_cast<char>(c);
    const AutoReplySettings base = RowsFrom(fields[1]), mine = RowsFrom(fields[2]), theirs = RowsFrom(fields[3]);

    for (const AutoReplySettings* settings : {&base, &mine, &theirs})
        VELMORA_FUZZ_CHECK(ReadAutoReplySettings(WriteAutoReplySettingsInto(file, *settings)) == *settings);

    // A side that changed nothing takes the other's as it is.
    VELMORA_FUZZ_CHECK(MergeAutoReplySettings(base, mine, base) == mine);
    VELMORA_FUZZ_CHECK(MergeAutoReplySettings(base, base, theirs) == theirs);
    // No row either side added is lost.
    const AutoReplySettings merged = MergeAutoReplySettings(base, mine, theirs);
    for (const AutoReplySettings* side : {&mine, &theirs})
        for (const AutoReplyRule& row : side->rules)
            if (!Has(base, row)) VELMORA_FUZZ_CHECK(Has(merged, row));
    // Saved through the file, the merge is the same.
    const std::string saved = MergeAutoReplySettingsInto(WriteAutoReplySettingsInto(file, theirs), base, mine);
    VELMORA_FUZZ_CHECK(ReadAutoReplySettings(saved) == merged);
    return 0;
}
