// Start-up to a visible main window and peak working set of velmora.exe beside two yardsticks,
// each started the same number of times, in one run; and the size of the exe. The yardsticks:
// a minimal program that shows an empty window, and a window holding the main window's
// controls and nothing else of Velmora.
// Usage: velmora_startup_bench [RUNS [VELMORA_EXE]]
#include <windows.h>
// psapi.h builds on windows.h.
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Search {
    DWORD processId;
    bool visible;
};

BOOL CALLBACK FindVisible(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window) && !GetWindow(window, GW_OWNER)) {
        search->visible = true;
        return FALSE;
    }
    return TRUE;
}

struct Sample {
    double milliseconds;
    SIZE_T peakWorkingSet;
};

bool Measure(const std::wstring& exe, const std::wstring& folder, Sample& sample) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    std::wstring commandLine = L"\"" + exe + L"\"";
    LARGE_INTEGER frequency, begin, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&begin);
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                        &info))
        return false;
    Search search{info.dwProcessId, false};
    for (int attempt = 0; attempt < 20000 && !search.visible; ++attempt) {
        EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&search));
        if (!search.visible) Sleep(0);
    }
    QueryPerformanceCounter(&end);
    Sleep(300);  // let it settle before its memory is read
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(info.hProcess, &counters, sizeof(counters));
    TerminateProcess(info.hProcess, 0);
    WaitForSingleObject(info.hProcess, 10000);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    sample.milliseconds =
        1000.0 * static_cast<double>(end.QuadPart - begin.QuadPart) / static_cast<double>(frequency.QuadPart);
    sample.peakWorkingSet = counters.PeakWorkingSetSize;
    return search.visible;
}

std::wstring Beside(const std::wstring& name) {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
    return path.substr(0, path.find_last_of(L"\\/") + 1) + name;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int runs = argc > 1 ? _wtoi(argv[1]) : 15;
    struct Program {
        const wchar_t* name;
        std::wstring path;
        std::vector<double> milliseconds, kilobytes;
    };
    Program programs[] = {{L"velmora", argc > 2 ? argv[2] : Beside(L"velmora.exe"), {}, {}},
                          {L"minimal window", Beside(L"minimal-window.exe"), {}, {}},
                          {L"window with Velmora's controls", Beside(L"controls-window.exe"), {}, {}}};
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    // Interleaved, so all see the same machine.
    for (int run = 0; run < runs; ++run) {
        for (Program& program : programs) {
            Sample sample{};
            if (!Measure(program.path, temp, sample)) {
                std::fwprintf(stderr, L"%ls showed no window\n", program.path.c_str());
                return 1;
            }
            program.milliseconds.push_back(sample.milliseconds);
            program.kilobytes.push_back(static_cast<double>(sample.peakWorkingSet) / 1024.0);
        }
    }
    const double velmoraMs = Median(programs[0].milliseconds), velmoraKb = Median(programs[0].kilobytes);
    std::wprintf(L"%ls: %ls\n", programs[0].name, programs[0].path.c_str());
    std::wprintf(L"start-up to a visible window (median of %d): velmora %.1f ms\n", runs, velmoraMs);
    for (size_t which = 1; which < std::size(programs); ++which) {
        const double ms = Median(programs[which].milliseconds);
        std::wprintf(L"  %ls %.1f ms, velmora / it %.2f\n", programs[which].name, ms, velmoraMs / ms);
    }
    std::wprintf(L"peak working set (median): velmora %.0f KB\n", velmoraKb);
    for (size_t which = 1; which < std::size(programs); ++which) {
        const double kb = Median(programs[which].kilobytes);
        std::wprintf(L"  %ls %.0f KB, velmora / it %.2f\n", programs[which].name, kb, velmoraKb / kb);
    }
    WIN32_FILE_ATTRIBUTE_DATA attributes{};
    GetFileAttributesExW(programs[0].path.c_str(), GetFileExInfoStandard, &attributes);
    std::wprintf(L"velmora.exe: %lu bytes\n", attributes.nFileSizeLow);
    return 0;
}
