// The away-message store read back, removal and change watch against Wine's real registry.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "storage/Reg.h"
#include "storage/RegStore.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

using testing::ReadRegistryValue;
using testing::RegistryKeyExists;

class StoredListTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (const std::wstring& name : made_)
            testing::DeleteRegistryTree(HKEY_CURRENT_USER, UsersKeyPath() + L"\\" + name);
    }
    // A screen name of this test; removed at the end.
    std::wstring Name(const wchar_t* stem) {
        made_.push_back(testing::UniqueScreenName(stem));
        return made_.back();
    }
    // A value written with the wide call exactly as given: any type, any bytes.
    static void Put(const std::wstring& screenName, const std::wstring& valueName, DWORD type, const void* data,
                    DWORD bytes) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, AwayKeyPath(screenName).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                  &key, nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExW(key, valueName.c_str(), 0, type, static_cast<const BYTE*>(data), bytes),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
    static std::vector<std::wstring> NamesOf(const std::vector<StoredValue>& values) {
        std::vector<std::wstring> names;
        for (const StoredValue& value : values) names.push_back(value.name);
        return names;
    }
    std::vector<std::wstring> made_;
};

TEST_F(StoredListTest, ValuesWithOddNamesTypesAndSizesAreReadSafely) {
    const std::wstring name = Name(L"stored");
    for (const wchar_t* slot : {L"10", L"2", L"", L"12b"}) WriteAwayMessage(name, slot, L"text");
    const DWORD number = 7;
    Put(name, L"GoneMsg5", REG_DWORD, &number, sizeof number);
    Put(name, L"GoneMsg7", REG_SZ, L"abc", 6);  // no NUL stored
    Put(name, L"GoneMsg8", REG_SZ, nullptr, 0);
    const std::wstring odd = L"GoneMsg\u4e2d";  // outside the ANSI code page, as its text
    Put(name, odd, REG_SZ, odd.c_str(), static_cast<DWORD>(odd.size() * sizeof(wchar_t)));
    const std::wstring big(1 << 20, L'b');
    Put(name, L"GoneMsg1", REG_SZ, big.c_str(), static_cast<DWORD>((big.size() + 1) * sizeof(wchar_t)));

    const std::vector<StoredValue> values = StoredValues(name);
    std::vector<std::wstring> names = NamesOf(values);
    std::sort(names.begin(), names.end());
    ASSERT_EQ(names, (std::vector<std::wstring>{L"GoneMsg", L"GoneMsg1", L"GoneMsg10", L"GoneMsg12b", L"GoneMsg2",
                                                L"GoneMsg5", L"GoneMsg7", L"GoneMsg8", odd}));
    const auto of = [&](const std::wstring& valueName) {
        return *std::find_if(values.begin(), values.end(), [&](const StoredValue& v) { return v.name == valueName; });
    };
    EXPECT_EQ(of(L"GoneMsg1").text, big);
    EXPECT_FALSE(of(L"GoneMsg5").IsMessage());
    EXPECT_EQ(of(L"GoneMsg7").text, L"abc");
    EXPECT_TRUE(of(L"GoneMsg8").IsMessage() && of(L"GoneMsg8").text.empty());
    EXPECT_EQ(of(odd).text, odd);
    EXPECT_EQ(of(L"GoneMsg12b").text, L"text");
}

TEST_F(StoredListTest, ScreenNamesHoldAListAndRemovalTakesOneValueByItsExactName) {
    const std::wstring with = Name(L"with"), without = Name(L"without"), nested = Name(L"outer");
    const std::wstring wide = Name(L"\u0416wide");
    WriteAwayMessage(with, L"1", L"x");
    WriteAwayMessage(nested + L"\\inner", L"1", L"x");
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, (UsersKeyPath() + L"\\" + without + L"\\Other").c_str(), 0, nullptr, 0,
                    KEY_WRITE, nullptr, &key, nullptr);
    RegCloseKey(key);
    // A value name outside the ANSI code page, and the name it becomes there.
    const wchar_t text[] = L"x";
    for (const wchar_t* valueName : {L"GoneMsg\u4e2d", L"GoneMsg?", L"GoneMsg3"})
        Put(wide, valueName, REG_SZ, text, sizeof text);

    const std::vector<std::wstring> names = StoredScreenNames();
    for (const std::wstring& name : {with, nested + L"\\inner", wide})
        EXPECT_NE(std::find(names.begin(), names.end(), name), names.end());
    for (const std::wstring& name : {without, nested})
        EXPECT_EQ(std::find(names.begin(), names.end(), name), names.end());
    const std::wstring absent = testing::UniqueScreenName(L"absent");
    EXPECT_TRUE(StoredValues(absent).empty());
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, UsersKeyPath() + L"\\" + absent));

    EXPECT_TRUE(RemoveStoredValue(wide, L"GoneMsg\u4e2d").Done());
    EXPECT_TRUE(RemoveStoredValue(wide, L"GoneMsg3").Done());
    EXPECT_TRUE(RemoveStoredValue(wide, L"GoneMsg3").Done());  // nothing left to remove
    EXPECT_EQ(NamesOf(StoredValues(wide)), std::vector<std::wstring>{L"GoneMsg?"});
}

TEST_F(StoredListTest, AKeyRemovedWhileItIsReadEndsTheReading) {
    // Removed between opening and reading, as a removal in the middle of a reading looks to the
    // loop: every index of a removed key answers ERROR_KEY_DELETED, never "no more items".
    const std::wstring name = Name(L"removed");
    for (const wchar_t* slot : {L"1", L"2", L"3"}) WriteAwayMessage(name, slot, L"text");
    WriteAwayMessage(name + L"\\nested", L"1", L"text");
    HKEY list = nullptr, names = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, AwayKeyPath(name).c_str(), 0, KEY_READ, &list), ERROR_SUCCESS);
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, (UsersKeyPath() + L"\\" + name).c_str(), 0, KEY_READ, &names),
              ERROR_SUCCESS);
    EXPECT_EQ(ValuesOf(list).size(), 3u);
    EXPECT_EQ(ScreenNamesBelow(names), std::vector<std::wstring>{L"nested"});
    testing::DeleteRegistryTree(HKEY_CURRENT_USER, UsersKeyPath() + L"\\" + name);
    EXPECT_TRUE(ValuesOf(list).empty());
    EXPECT_TRUE(ScreenNamesBelow(names).empty());
    RegCloseKey(list);
    RegCloseKey(names);
}

TEST_F(StoredListTest, AReadingNoLongerWantedEndsBeforeItsNextKeyOrValue) {
    // As the window's reader ends a reading when the user has chosen another name meanwhile.
    const std::wstring name = Name(L"abandoned");
    for (const wchar_t* slot : {L"1", L"2"}) WriteAwayMessage(name, slot, L"text");
    WriteAwayMessage(name + L"\\nested", L"1", L"text");
    HKEY list = nullptr, names = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, AwayKeyPath(name).c_str(), 0, KEY_READ, &list), ERROR_SUCCESS);
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, (UsersKeyPath() + L"\\" + name).c_str(), 0, KEY_READ, &names),
              ERROR_SUCCESS);
    Abandoned abandoned{false};
    EXPECT_EQ(ValuesOf(list, &abandoned).size(), 2u);
    EXPECT_EQ(ScreenNamesBelow(names, &abandoned), std::vector<std::wstring>{L"nested"});
    abandoned = true;
    EXPECT_TRUE(ValuesOf(list, &abandoned).empty());
    EXPECT_TRUE(ScreenNamesBelow(names, &abandoned).empty());
    EXPECT_TRUE(StoredValues(name, &abandoned).empty());
    RegCloseKey(list);
    RegCloseKey(names);
}

TEST(StoredNamesSearch, EveryScreenNameIsListedHoweverManyKeysLieBesideThem) {
    // A Users key of its own, as an IM client's per-user area looks: each screen name beside
    // the keys of its other settings.
    const std::wstring users = L"Software\\VelmoraTest\\" + testing::UniqueScreenName(L"users");
    const auto make = [&](const std::wstring& path) {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, (users + L"\\" + path).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                  &key, nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    };
    constexpr int kNames = 2000;
    std::vector<std::wstring> expected;
    for (int i = 0; i < kNames; ++i) {
        const std::wstring name = L"user" + std::to_wstring(10000 + i);
        for (const wchar_t* part :
             {L"\\IAmGoneList", L"\\Buddy Info", L"\\Preferences\\Sounds", L"\\Preferences\\Windows"})
            make(name + part);
        expected.push_back(name);
    }
    make(L"nobody\\Preferences\\Sounds");  // settings without a list: no screen name
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, users.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
    const std::vector<std::wstring> names = ScreenNamesBelow(key);
    RegCloseKey(key);
    testing::DeleteRegistryTree(HKEY_CURRENT_USER, users);
    ASSERT_EQ(names.size(), expected.size());
    EXPECT_EQ(names, expected);
}

// A window that counts the watch's messages and acknowledges each, as the Stored Messages window does.
constexpr UINT kChangedMessage = WM_APP + 7;
int g_changes = 0;
AwayStoreWatch* g_watch = nullptr;
LRESULT CALLBACK CountingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kChangedMessage) {
        ++g_changes;
        g_watch->Acknowledge();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(StoredListTest, TheWatchTellsOfWritesRemovalsAndARemovedScreenNameThenStops) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = CountingProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"VelmoraWatchCounter";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowW(L"VelmoraWatchCounter", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    const std::wstring name = Name(L"watched");
    {
        AwayStoreWatch watch;
        g_watch = &watch;
        g_changes = 0;
        ASSERT_TRUE(watch.Start(window, kChangedMessage));
        const std::function<void()> changes[] = {
            [&] { WriteAwayMessage(name, L"1", L"first"); },
            [&] { WriteAwayMessage(name, L"1", L"changed text"); },
            [&] { RemoveStoredValue(name, L"GoneMsg1"); },
            [&] { testing::DeleteRegistryTree(HKEY_CURRENT_USER, UsersKeyPath() + L"\\" + name); },
        };
        for (const auto& change : changes) {
            const int before = g_changes;
            change();
            EXPECT_TRUE(testing::WaitUntil([&] { return g_changes > before; }));
        }
        // Leaving the scope ends the thread; a thread that did not end would hang the test here.
    }
    g_watch = nullptr;
    DestroyWindow(window);
}

}  // namespace
}  // namespace velmora
