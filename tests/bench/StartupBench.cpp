// Start-up to a visible main window and peak working set of velmora.exe beside the minimal
// window program, each started the same number of times, in one run; and the size of the exe.
// Usage: velmora_startup_bench [RUNS]
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
    const std::wstring programs[] = {Beside(L"velmora.exe"), Beside(L"minimal-window.exe")};
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::vector<double> times[2], memory[2];
    // Interleaved, so both see the same machine.
    for (int run = 0; run < runs; ++run) {
        for (int which = 0; which < 2; ++which) {
            Sample sample{};
            if (!Measure(programs[which], temp, sample)) {
                std::fwprintf(stderr, L"%ls showed no window\n", programs[which].c_str());
                return 1;
            }
            times[which].push_back(sample.milliseconds);
            memory[which].push_back(static_cast<double>(sample.peakWorkingSet) / 1024.0);
        }
    }
    const double velmoraMs = Median(times[0]), minimalMs = Median(times[1]);
    const double velmoraKb = Median(memory[0]), minimalKb = Median(memory[1]);
    std::printf("start-up to a visible window (median of %d): velmora %.1f ms, minimal window %.1f ms, ratio %.2f\n",
                runs, velmoraMs, minimalMs, velmoraMs / minimalMs);
    std::printf("peak working set (median): velmora %.0f KB, minimal window %.0f KB, ratio %.2f\n", velmoraKb,
                minimalKb, velmoraKb / minimalKb);
    WIN32_FILE_ATTRIBUTE_DATA attributes{};
    GetFileAttributesExW(programs[0].c_str(), GetFileExInfoStandard, &attributes);
    std::printf("velmora.exe: %lu bytes\n", attributes.nFileSizeLow);
    return 0;
}
