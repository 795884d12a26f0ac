// Characters outside the ANSI code page, through the main window made in this process: Update
// stores them as character references, the preview shows them, Stored Messages gives them back
// and Update stores the same bytes again. The test prefixes run the Western code page 1252.
#include <gtest/gtest.h>

#include <string>

#include "app/AwayControls.h"
#include "app/AwayWindow.h"
#include "app/Program.h"
#include "preview/PreviewControls.h"
#include "stored/StoredControls.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

using namespace AwayIds;
using testing::TypeInto;
using testing::WindowText;

const std::wstring kUsers = L"SOFTWARE\\America Online\\AOL Instant Messenger (TM)\\CurrentVersion\\Users\\";
const wchar_t kLoneHalf[] = {static_cast<wchar_t>(0xD800), 0};
const std::wstring kEmoji = L"\U0001F600";

// Cyrillic, Greek, CJK, an emoji, a lone half of a pair, full-width letters and the set-minus.
const std::wstring kLabel = L"\u041f\u0440\u0438\u0432\u0435\u0442";
const std::wstring kMessage = L"\u041f\u0440\u0438\u0432\u0435\u0442, \u0395\u03bb\u03ad\u03bd\u03b7 \u65e5\u672c " +
                              kEmoji + L" " + kLoneHalf + L" \uff22\uff4f\uff42 \u2216 caf\u00e9";
const std::string kLabelStored = "&#1055;&#1088;&#1080;&#1074;&#1077;&#1090;";
const std::string kMessageStored =
    "&#1055;&#1088;&#1080;&#1074;&#1077;&#1090;, &#917;&#955;&#941;&#957;&#951; &#26085;&#26412; &#128512; &#65533; "
    "&#65314;&#65359;&#65346; &#8726; caf\xE9";
// The message as the buddy reads it: the lone half is U+FFFD.
const std::wstring kMessageShown =
    L"\u041f\u0440\u0438\u0432\u0435\u0442, \u0395\u03bb\u03ad\u03bd\u03b7 \u65e5\u672c " + kEmoji +
    L" \uFFFD \uff22\uff4f\uff42 \u2216 caf\u00e9";

// The document as stored for a label and message, with the window's first colours and size.
std::string Document(const std::string& label, const std::string& message) {
    return "<title>" + label +
           "</title><HTML><BODY BGCOLOR=\"#FFFFFF\"><B><FONT COLOR=\"#FFFFFF\"FACE=\"Tahoma\""
           "LANG=\"0\"SIZE=1>" +
           message + "</FONT></BODY></HTML>" + '\0';
}

class OutsideCodePageTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (GetACP() != 1252) GTEST_SKIP() << "the expected bytes are those of code page 1252, not " << GetACP();
        ASSERT_TRUE(program_.Start());
        main_ = program_.OpenMainWindow();
        ASSERT_NE(main_, nullptr);
        Type(Text5, screenName_);
    }
    void TearDown() override {
        testing::DeleteRegistryTree(HKEY_CURRENT_USER, kUsers + screenName_);
        MSG quit{};
        PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }
    void Type(int id, const std::wstring& text) { TypeInto(main_->Control(id), text); }
    void Update(int slotIndex) {
        SendMessageW(main_->Control(Combo2), CB_SETCURSEL, static_cast<WPARAM>(slotIndex), 0);
        SendMessageW(main_->Control(Command5), BM_CLICK, 0, 0);
    }
    std::string Stored(const std::wstring& valueName) const {
        const auto value =
            testing::ReadRegistryValue(HKEY_CURRENT_USER, kUsers + screenName_ + L"\\IAmGoneList", valueName);
        if (!value) return "(no value)";
        return std::string(value->data.begin(), value->data.end());
    }
    HWND Open(int menuId, const wchar_t* title) {
        SendMessageW(main_->Handle(), WM_COMMAND, MAKEWPARAM(menuId, 0), 0);
        return testing::FindWindowOfProcess(GetCurrentProcessId(), title);
    }
    // Stored Messages' first message loaded into the main window, as its Load button does.
    void LoadFirstStored() {
        HWND stored = Open(MenuStored, L"Stored Messages");
        ASSERT_NE(stored, nullptr);
        HWND list = GetDlgItem(stored, StoredIds::Messages);
        // The list is read beside the window and arrives a moment later.
        ASSERT_TRUE(testing::WaitUntil([&] { return SendMessageW(list, LB_GETCOUNT, 0, 0) > 0; }));
        SendMessageW(list, LB_SETCURSEL, 0, 0);
        SendMessageW(stored, WM_COMMAND, MAKEWPARAM(StoredIds::Messages, LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
        SendMessageW(GetDlgItem(stored, StoredIds::Load), BM_CLICK, 0, 0);
    }

    Program program_{GetModuleHandleW(nullptr)};
    AwayWindow* main_ = nullptr;
    std::wstring screenName_ = testing::UniqueScreenName(L"codepage");
};

TEST_F(OutsideCodePageTest, UpdateStoresEveryCharacterTheCodePageLacksAsAReferenceAndNoQuestionMark) {
    Type(Text1, kLabel);
    Type(Text2_0, kMessage);
    Update(0);
    const std::string stored = Stored(L"GoneMsg1");
    EXPECT_EQ(stored, Document(kLabelStored, kMessageStored));
    EXPECT_EQ(stored.find('?'), std::string::npos);

    // The preview shows what the buddy will read: the characters themselves.
    HWND preview = Open(MenuPreview, L"Preview");
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(WindowText(GetDlgItem(preview, PreviewIds::Pane)), kMessageShown);
    EXPECT_EQ(WindowText(GetDlgItem(preview, PreviewIds::LabelTitle)), kLabel);
}

TEST_F(OutsideCodePageTest, AsciiAndLatinMessagesStoreTheSameBytesAsEver) {
    Type(Text1, L"Lunch & more");
    Type(Text2_0, L"Back <b>soon</b> &amp; &#65; &#1055; 100% ?\r\nsee you");
    Update(0);
    EXPECT_EQ(Stored(L"GoneMsg1"), Document("Lunch & more", "Back <b>soon</b> &amp; &#65; &#1055; 100% ?\r\nsee you"));
    Type(Text1, L"Caf\u00e9");
    Type(Text2_0, L"Gr\u00fc\u00dfe \u00ff \u20ac \u0152");
    Update(1);
    EXPECT_EQ(Stored(L"GoneMsg2"), Document("Caf\xE9",
                                            "Gr\xFC\xDF"
                                            "e \xFF \x80 \x8C"));
}

TEST_F(OutsideCodePageTest, LoadGivesTheCharactersBackAndUpdateThenStoresTheSameBytes) {
    Type(Text1, kLabel);
    // With references the user typed: of a character the code page has, and of one it lacks.
    Type(Text2_0, kMessage + L" &#65; &#1055;");
    Update(0);
    const std::string first = Stored(L"GoneMsg1");
    ASSERT_EQ(first, Document(kLabelStored, kMessageStored + " &#65; &#1055;"));

    Type(Text1, L"other");
    Type(Text2_0, L"other");
    LoadFirstStored();
    EXPECT_EQ(WindowText(main_->Control(Text1)), kLabel);
    // The lone half was stored as U+FFFD; the typed "&#1055;" comes back as the letter it names.
    EXPECT_EQ(WindowText(main_->Control(Text2_0)), kMessageShown + L" &#65; \u041f");
    Update(1);
    EXPECT_EQ(Stored(L"GoneMsg2"), first);
}

}  // namespace
}  // namespace velmora
