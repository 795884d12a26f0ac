// OpenWithShell against the real shell: the recorder stands in for the browser.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "misc/Shell.h"
#include "support/ShellRecorder.h"

namespace velmora {
namespace {

using testing::ShellCall;

TEST(OpenWithShell, HandsTheTargetToTheShellsOpenShownMaximised) {
    testing::ShellRecorder shell;
    OpenWithShell(L"https://velmora.github.io/help?from=about&page=2");
    EXPECT_EQ(shell.WaitForCalls(1),
              (std::vector<ShellCall>{{SW_SHOWMAXIMIZED, L"https://velmora.github.io/help?from=about&page=2"}}));
}

TEST(OpenWithShell, TheTargetCrossesAsAnsiText) {
    testing::ShellRecorder shell;
    // A letter the ANSI code page has, and one it lacks.
    const std::wstring target = L"https://velmora.github.io/caf\u00e9-\u4e2d";
    OpenWithShell(target);
    char ansi[256]{};
    WideCharToMultiByte(CP_ACP, 0, target.c_str(), -1, ansi, sizeof ansi, nullptr, nullptr);
    wchar_t back[256]{};
    MultiByteToWideChar(CP_ACP, 0, ansi, -1, back, 256);
    const auto calls = shell.WaitForCalls(1);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].target, back);
    if (GetACP() != CP_UTF8) {
        EXPECT_NE(calls[0].target, target);
    }
}

BOOL CALLBACK CountVisible(HWND window, LPARAM count) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == GetCurrentProcessId() && IsWindowVisible(window)) ++*reinterpret_cast<int*>(count);
    return TRUE;
}

TEST(OpenWithShell, ATargetNoProgramTakesIsDroppedQuietly) {
    // Nothing is registered for this scheme: the call returns and no message appears.
    OpenWithShell(L"velmora-nothing-registered:whatever");
    int visible = 0;
    EnumWindows(CountVisible, reinterpret_cast<LPARAM>(&visible));
    EXPECT_EQ(visible, 0);
}

}  // namespace
}  // namespace velmora
