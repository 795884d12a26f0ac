// A window's own cleanup runs however it goes: closed by the user, or deleted by its owner while
// still open (the program giving up, or ending with windows open).
#include <gtest/gtest.h>

#include <memory>

#include "autoreply/AutoReplyControls.h"
#include "autoreply/AutoReplySettings.h"
#include "autoreply/AutoReplyWindow.h"
#include "misc/SingleWindow.h"
#include "storage/INI.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

TEST(AutoReplyCleanup, AnOpenWindowItsOwnerDeletesStillSavesWhatWasTyped) {
    testing::TempFolder folder;
    const std::wstring path = folder.File(L"Msg.ini");
    {
        SingleWindow holder;
        HWND window = nullptr;
        holder.Show([&] {
            auto made = std::make_unique<AutoReplyWindow>(GetModuleHandleW(nullptr), nullptr, path);
            EXPECT_TRUE(made->Open());
            window = made->Handle();
            return std::unique_ptr<Window>(std::move(made));
        });
        ASSERT_NE(window, nullptr);
        // The save waits for a pause in the typing; the owner lets go before it comes.
        testing::TypeInto(GetDlgItem(window, AutoReplyIds::Names), L"pal42");
        testing::TypeInto(GetDlgItem(window, AutoReplyIds::Reply), L"out to lunch");
    }
    const AutoReplySettings saved = ReadAutoReplySettings(ReadSettingsFile(path));
    ASSERT_EQ(saved.rules.size(), 1u);
    EXPECT_EQ(saved.rules[0].names, L"pal42");
    EXPECT_EQ(saved.rules[0].reply, L"out to lunch");
}

}  // namespace
}  // namespace velmora
