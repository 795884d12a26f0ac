#include "support/StandIn.h"

#include <algorithm>
#include <utility>

#include "tools/LineEscape.h"

namespace velmora::testing {
namespace {

std::string Describe(const char* what, DWORD error) {
    return std::string(what) + " (Windows error " + std::to_string(error) + ")";
}

// Only for messages: the path in the ANSI code page.
std::string Narrow(const std::wstring& text) {
    const int size =
        WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), narrow.data(), size, nullptr,
                            nullptr);
    return narrow;
}

void CloseIfOpen(HANDLE& handle) noexcept {
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    handle = nullptr;
}

// The write end of the stand-in's standard error: ours, so that its usage
// messages reach the test log; the null device when we have none.
HANDLE InheritableErrorHandle() {
    HANDLE duplicate = nullptr;
    HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if (error != nullptr && error != INVALID_HANDLE_VALUE &&
        DuplicateHandle(GetCurrentProcess(), error, GetCurrentProcess(), &duplicate, 0, TRUE, DUPLICATE_SAME_ACCESS))
        return duplicate;
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    return CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING, 0,
                       nullptr);
}

}  // namespace

StandInProcess StandInProcess::Start(const std::wstring& exePath, const std::wstring& arguments) {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    HANDLE childInput = nullptr;
    HANDLE childOutput = nullptr;
    StandInProcess standIn;  // owns what is made below, so a throw cleans up

    if (!CreatePipe(&childInput, &standIn.input_, &inheritable, 0))
        throw StandInError(Describe("cannot create the input pipe", GetLastError()));
    if (!CreatePipe(&standIn.output_, &childOutput, &inheritable, 0)) {
        CloseHandle(childInput);
        throw StandInError(Describe("cannot create the output pipe", GetLastError()));
    }
    SetHandleInformation(standIn.input_, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(standIn.output_, HANDLE_FLAG_INHERIT, 0);
    HANDLE childError = InheritableErrorHandle();

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = childInput;
    startup.hStdOutput = childOutput;
    startup.hStdError = childError;

    std::wstring commandLine = QuoteArgument(exePath);
    if (!arguments.empty()) commandLine += L" " + arguments;
    PROCESS_INFORMATION created{};
    const BOOL started = CreateProcessW(exePath.c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                        nullptr, nullptr, &startup, &created);
    const DWORD startError = GetLastError();
    // The child has its own copies now; ours would keep the pipes from
    // reporting that the stand-in has gone.
    CloseHandle(childInput);
    CloseHandle(childOutput);
    CloseIfOpen(childError);
    if (!started) throw StandInError(Describe(("cannot start " + Narrow(exePath)).c_str(), startError));
    CloseHandle(created.hThread);
    standIn.process_ = created.hProcess;
    standIn.processId_ = created.dwProcessId;

    const std::string first = standIn.ReadLine(kStartTimeoutMs);
    if (first != "ready") throw StandInError("stand-in did not get ready: " + first);
    return standIn;
}

StandInProcess::StandInProcess(StandInProcess&& other) noexcept
    : process_(std::exchange(other.process_, nullptr)),
      input_(std::exchange(other.input_, nullptr)),
      output_(std::exchange(other.output_, nullptr)),
      processId_(std::exchange(other.processId_, 0)),
      unreadOutput_(std::move(other.unreadOutput_)) {}

StandInProcess& StandInProcess::operator=(StandInProcess&& other) noexcept {
    if (this != &other) {
        Release();
        process_ = std::exchange(other.process_, nullptr);
        input_ = std::exchange(other.input_, nullptr);
        output_ = std::exchange(other.output_, nullptr);
        processId_ = std::exchange(other.processId_, 0);
        unreadOutput_ = std::move(other.unreadOutput_);
    }
    return *this;
}

StandInProcess::~StandInProcess() { Release(); }

void StandInProcess::Release() noexcept {
    CloseIfOpen(input_);
    CloseIfOpen(output_);
    if (process_ != nullptr) {
        if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_, 1);
            WaitForSingleObject(process_, kExitTimeoutMs);
        }
        CloseIfOpen(process_);
    }
    processId_ = 0;
    unreadOutput_.clear();
}

std::string StandInProcess::ReadLine(DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        const std::size_t lineEnd = unreadOutput_.find('\n');
        if (lineEnd != std::string::npos) {
            std::string line = unreadOutput_.substr(0, lineEnd);
            unreadOutput_.erase(0, lineEnd + 1);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            return line;
        }
        if (output_ == nullptr) throw StandInError("the stand-in's output is closed");

        // Anonymous pipes have no timed read: look before reading so that the
        // read never blocks.
        DWORD available = 0;
        if (!PeekNamedPipe(output_, nullptr, 0, nullptr, &available, nullptr))
            throw StandInError("the stand-in ended before answering; unanswered output: " + unreadOutput_);
        if (available > 0) {
            char buffer[4096];
            DWORD read = 0;
            if (!ReadFile(output_, buffer, (std::min)(available, static_cast<DWORD>(sizeof buffer)), &read, nullptr))
                throw StandInError(Describe("cannot read the stand-in's output", GetLastError()));
            unreadOutput_.append(buffer, read);
            continue;
        }
        if (GetTickCount64() >= deadline) throw StandInError("the stand-in did not answer in time");
        Sleep(2);
    }
}

std::vector<std::string> StandInProcess::Command(const std::string& line) {
    if (line.find_first_of("\r\n") != std::string::npos)
        throw StandInError("a command is one line; escape CR and LF in it");
    if (input_ == nullptr) throw StandInError("the stand-in's input is closed");

    const std::string sent = line + "\n";
    DWORD written = 0;
    if (!WriteFile(input_, sent.data(), static_cast<DWORD>(sent.size()), &written, nullptr) || written != sent.size())
        throw StandInError(Describe(("cannot send \"" + line + "\"").c_str(), GetLastError()));

    std::vector<std::string> replies;
    for (;;) {
        std::string reply = ReadLine(kReplyTimeoutMs);
        if (reply == "ok") return replies;
        if (reply.rfind("error", 0) == 0) throw StandInError("\"" + line + "\" failed: " + reply);
        replies.push_back(std::move(reply));
    }
}

void StandInProcess::Quit() {
    Command("quit");
    const DWORD exitCode = WaitForExit(kExitTimeoutMs);
    if (exitCode != 0) throw StandInError("the stand-in ended with exit code " + std::to_string(exitCode));
}

void StandInProcess::CloseInput() { CloseIfOpen(input_); }

DWORD StandInProcess::WaitForExit(DWORD timeoutMs) {
    if (process_ == nullptr) throw StandInError("no stand-in process");
    if (WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) throw StandInError("the stand-in is still running");
    DWORD exitCode = 0;
    GetExitCodeProcess(process_, &exitCode);
    return exitCode;
}

bool StandInProcess::IsRunning() const {
    return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

DWORD StandInProcess::ProcessId() const { return processId_; }

std::wstring StandInPath(std::wstring_view exeName) {
    std::wstring folder(MAX_PATH, L'\0');
    DWORD length = GetEnvironmentVariableW(L"VELMORA_STANDIN_DIR", folder.data(), static_cast<DWORD>(folder.size()));
    if (length >= folder.size()) {
        folder.resize(length);
        length = GetEnvironmentVariableW(L"VELMORA_STANDIN_DIR", folder.data(), static_cast<DWORD>(folder.size()));
    }
    if (length > 0 && length < folder.size()) {
        folder.resize(length);
    } else {
        std::wstring exe(32768, L'\0');
        exe.resize(GetModuleFileNameW(nullptr, exe.data(), static_cast<DWORD>(exe.size())));
        folder = exe.substr(0, exe.find_last_of(L"\\/"));
    }
    if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
    return folder + std::wstring(exeName);
}

std::wstring QuoteArgument(std::wstring_view argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring_view::npos)
        return std::wstring(argument);
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes count double only before a quote.
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');  // they precede the closing quote
    quoted += L'"';
    return quoted;
}

std::string EscapeLine(std::string_view text) { return standin::EscapeLine(text); }

std::string UnescapeLine(std::string_view text) { return standin::UnescapeLine(text); }

}  // namespace velmora::testing
