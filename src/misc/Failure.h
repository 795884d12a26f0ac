#pragma once
// Where every failure inside Velmora goes that the user is not told of: an exception caught at a
// boundary, a worker that could not start, a window that could not open. It is written out for a
// developer (OutputDebugString: a debugger, DebugView, or WINEDEBUG=+debugstr) and counted, so
// tests can assert that nothing failed.
#include <string_view>

namespace velmora {

// `where` names the place, as "Auto Reply's watch: a tick".
void ReportFailure(std::wstring_view where) noexcept;
// ReportFailure for the exception being handled (call inside a catch block); its what() is
// written too when it is a std::exception.
void ReportCaughtFailure(std::wstring_view where) noexcept;
// How many failures were reported in this process so far.
long FailureCount() noexcept;

}  // namespace velmora
