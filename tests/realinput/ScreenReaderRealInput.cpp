// What a screen reader hears, asking from its own process as it does: the running velmora.exe
// answers for the controls whose caption cannot say what they are for.
#include <windows.h>
// (oleacc.h needs windows.h first.)
#include <gtest/gtest.h>
#include <oleacc.h>

#include <string>

#include "app/AwayControls.h"
#include "support/RealInput.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

using namespace AwayIds;
using namespace testing;

std::wstring AccessibleNameOf(HWND control) {
    IAccessible* accessible = nullptr;
    // __uuidof: the IID_IAccessible that MinGW's libraries link is not the interface's.
    if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&accessible))) ||
        !accessible)
        return L"(no object)";
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::wstring found = L"(no name)";
    if (SUCCEEDED(accessible->get_accName(self, &name)) && name) {
        found = name;
        SysFreeString(name);
    }
    accessible->Release();
    return found;
}

TEST(ScreenReaderRealInput, TheColourButtonsAreReadForWhatTheyOpenFromAnotherProcess) {
    CoInitialize(nullptr);
    TempFolder folder;
    VelmoraProcess velmora(folder.Path());
    ASSERT_TRUE(WaitUntil([&] { return velmora.MainWindow() && IsWindowVisible(velmora.MainWindow()); }));
    Settle();
    EXPECT_EQ(AccessibleNameOf(velmora.Control(Command7)), L"Mix the font colour...");
    EXPECT_EQ(AccessibleNameOf(velmora.Control(Command8)), L"Mix the body colour...");
    // The buttons still show "..", and still open their pickers.
    EXPECT_EQ(velmora.Text(Command7), L"..");
    ClickControl(velmora.Control(Command7));
    EXPECT_NE(velmora.WaitForWindowTitled(L"Font Color"), nullptr);
    CoUninitialize();
}

}  // namespace
}  // namespace velmora
