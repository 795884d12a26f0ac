#pragma once

// Starts a stand-in program (tools/winamp-standin, tools/aim-standin) for a
// Windows test and talks to it over its standard input and output: one
// command per line, answered by reply lines and then "ok" or "error <why>".
// Every wait is bounded, so a broken stand-in fails the test instead of
// hanging it, and no test leaves a stand-in running.

#include <windows.h>

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::testing {

// A stand-in that failed to start, answered "error", ended early or did not
// answer in time.
class StandInError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class StandInProcess {
public:
    static constexpr DWORD kStartTimeoutMs = 30000;
    static constexpr DWORD kReplyTimeoutMs = 15000;
    static constexpr DWORD kExitTimeoutMs = 15000;

    // Runs "exePath" arguments with redirected standard input and output and
    // no console window, and waits for its "ready".
    static StandInProcess Start(const std::wstring& exePath, const std::wstring& arguments);

    StandInProcess(StandInProcess&& other) noexcept;
    StandInProcess& operator=(StandInProcess&& other) noexcept;
    StandInProcess(const StandInProcess&) = delete;
    StandInProcess& operator=(const StandInProcess&) = delete;
    ~StandInProcess();  // terminates a stand-in that is still running

    // Sends one command line (no CR or LF in it) and returns the reply lines
    // that came before "ok". Throws StandInError on "error <why>".
    std::vector<std::string> Command(const std::string& line);

    // Sends "quit" and waits for the process to end; throws StandInError
    // unless it ends in time with exit code 0.
    void Quit();

    // Closes the stand-in's standard input (end of input).
    void CloseInput();

    // Waits for the process to end and returns its exit code; throws
    // StandInError when it is still running after timeoutMs.
    DWORD WaitForExit(DWORD timeoutMs);

    bool IsRunning() const;
    DWORD ProcessId() const;

private:
    StandInProcess() = default;
    std::string ReadLine(DWORD timeoutMs);
    void Release() noexcept;

    HANDLE process_ = nullptr;
    HANDLE input_ = nullptr;   // our end of the stand-in's standard input
    HANDLE output_ = nullptr;  // our end of the stand-in's standard output
    DWORD processId_ = 0;
    std::string unreadOutput_;
};

// Full path of a stand-in exe: in the folder named by the environment
// variable VELMORA_STANDIN_DIR when set, else beside the running test exe.
std::wstring StandInPath(std::wstring_view exeName);

// Quotes one command-line argument so that the C runtime's argument parsing
// gives it back unchanged (spaces, quotes and backslashes included).
std::wstring QuoteArgument(std::wstring_view argument);

// The stand-ins' line escapes: backslash, CR and LF as \\, \r and \n.
// Unknown escapes are kept as they are.
std::string EscapeLine(std::string_view text);
std::string UnescapeLine(std::string_view text);

}  // namespace velmora::testing
