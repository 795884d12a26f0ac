// Reading and saving a hostile 10 MB Msg.ini under Wine: one read and one replacing write each,
// so both stay linear in the file's size. Median of several runs.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "storage/INI.h"
#include "support/TestSupport.h"

namespace {

double Milliseconds(LARGE_INTEGER begin, LARGE_INTEGER end) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1e3 * static_cast<double>(end.QuadPart - begin.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void Measure(const char* what, const std::string& file) {
    using namespace velmora;
    testing::TempFolder folder;
    const std::wstring path = folder.File(L"Msg.ini");
    std::vector<double> loads, saves;
    size_t restored = 0;
    for (int run = 0; run < 7; ++run) {
        testing::WriteWholeFile(path, file);
        LARGE_INTEGER begin, loaded, saved;
        QueryPerformanceCounter(&begin);
        restored = LoadLastMessage(path).size();
        QueryPerformanceCounter(&loaded);
        // What a close with "Save Last Msg" ticked does to the same file.
        const unsigned long error = SaveLastMessage(path, L"Back at 3\r\nsee you");
        QueryPerformanceCounter(&saved);
        if (error) std::printf("save failed, error %lu\n", error);
        loads.push_back(Milliseconds(begin, loaded));
        saves.push_back(Milliseconds(loaded, saved));
    }
    std::printf("%s (%.1f MB): read %.1f ms, save %.1f ms (median of 7; %zu characters restored)\n", what,
                static_cast<double>(file.size()) / (1 << 20), Median(loads), Median(saves), restored);
}

}  // namespace

int main() {
    std::string keys = "[General]\r\nMsg=a\r\nMsgExact=a\\r\\n\r\n";
    for (int part = 2; keys.size() < (10u << 20); ++part)
        keys += "MsgExact" + std::to_string(part) + "=" + std::string(560, 'k') + "\r\n";
    Measure("Msg.ini with 18,000 exact keys", keys);
    Measure("Msg.ini holding one 10 MB message",
            "[General]\r\nMsg=a\r\nMsgExact=a\\r\\n" + std::string(10u << 20, 'm') + "\r\n");
    Measure("Msg.ini of 10 MB in another section",
            "[Other]\r\nPad=" + std::string(10u << 20, 'p') + "\r\n[General]\r\nMsg=Out to lunch\r\n");
    return 0;
}
