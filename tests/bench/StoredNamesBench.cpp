// Finding the screen names with stored away messages under Wine's registry, in a Users key as
// an IM client's per-user area looks: each screen name beside the keys of its other settings.
// The search has no bound on keys, so its time grows with them. Median of several runs.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "storage/RegStore.h"
#include "support/TestSupport.h"

namespace {

double Milliseconds(LARGE_INTEGER begin, LARGE_INTEGER end) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1e3 * static_cast<double>(end.QuadPart - begin.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void Make(const std::wstring& path) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) ==
        ERROR_SUCCESS)
        RegCloseKey(key);
}

void Measure(int screenNames) {
    using namespace velmora;
    const std::wstring users = L"Software\\VelmoraBench\\" + testing::UniqueScreenName(L"users");
    for (int i = 0; i < screenNames; ++i) {
        const std::wstring name = users + L"\\user" + std::to_wstring(i);
        for (const wchar_t* part :
             {L"\\IAmGoneList", L"\\Buddy Info", L"\\Preferences\\Sounds", L"\\Preferences\\Windows"})
            Make(name + part);
    }
    HKEY key = nullptr;
    RegOpenKeyExW(HKEY_CURRENT_USER, users.c_str(), 0, KEY_READ, &key);
    std::vector<double> runs;
    std::size_t found = 0;
    for (int run = 0; run < 7; ++run) {
        LARGE_INTEGER begin, end;
        QueryPerformanceCounter(&begin);
        found = ScreenNamesBelow(key).size();
        QueryPerformanceCounter(&end);
        runs.push_back(Milliseconds(begin, end));
    }
    RegCloseKey(key);
    testing::DeleteRegistryTree(HKEY_CURRENT_USER, users);
    std::sort(runs.begin(), runs.end());
    std::printf(
        "Stored screen names: %d names beside 4 settings keys each (%d keys): %zu found in %.1f ms "
        "(median of 7)\n",
        screenNames, screenNames * 6, found, runs[runs.size() / 2]);
}

}  // namespace

int main() {
    Measure(2000);
    Measure(20000);
    return 0;
}
