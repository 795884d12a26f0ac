#include <windows.h>

#include <exception>
#include <new>
#include <string>

#include "misc/Failure.h"

namespace velmora {
namespace {

volatile LONG g_failures = 0;

// Written without allocating: the failure may be that memory ran out.
void WriteOut(std::wstring_view where, const char* detail) noexcept {
    wchar_t line[512];
    std::size_t at = 0;
    const auto append = [&](std::wstring_view part) {
        for (wchar_t c : part)
            if (at + 2 < std::size(line)) line[at++] = c;
    };
    append(L"Velmora failure: ");
    append(where);
    if (detail && *detail) {
        append(L": ");
        for (const char* c = detail; *c && at + 2 < std::size(line); ++c)
            line[at++] = static_cast<wchar_t>(static_cast<unsigned char>(*c));
    }
    line[at++] = L'\n';
    line[at] = L'\0';
    OutputDebugStringW(line);
}

}  // namespace

void ReportFailure(std::wstring_view where) noexcept {
    InterlockedIncrement(&g_failures);
    WriteOut(where, nullptr);
}

void ReportCaughtFailure(std::wstring_view where) noexcept {
    InterlockedIncrement(&g_failures);
    const char* detail = "an exception of unknown type";
    try {
        throw;
    } catch (const std::bad_alloc&) {
        detail = "out of memory";
    } catch (const std::exception& error) {
        detail = error.what();
    } catch (...) {
    }
    WriteOut(where, detail);
}

long FailureCount() noexcept { return InterlockedCompareExchange(&g_failures, 0, 0); }

}  // namespace velmora
