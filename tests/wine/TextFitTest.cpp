// No window of Velmora cuts a text, whatever font the system gives it: every label, button and
// check box, and every box whose content is known (a colour's six digits, a size, a slot), is
// wide enough for its text measured in the control's own font. The cases run in the Tahoma
// prefixes at 96 and 144 DPI, and in two prefixes without Tahoma (VELMORA_TEST_NO_TAHOMA),
// where Wine draws in a wider stand-in font.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/AwayControls.h"
#include "app/AwayWindow.h"
#include "app/Program.h"
#include "support/Designs.h"
#include "support/TestSupport.h"

namespace velmora {
namespace {

using testing::kWindowDesigns;
using testing::WindowDesignSheet;

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

std::wstring ClassOf(HWND control) {
    wchar_t name[64]{};
    GetClassNameW(control, name, 64);
    return name;
}

bool IsClass(HWND control, const wchar_t* name) {
    return CompareStringOrdinal(ClassOf(control).c_str(), -1, name, -1, TRUE) == CSTR_EQUAL;
}

// A text measured in the control's own font (WM_GETFONT): one line, or wrapped at a width.
class ControlFont {
public:
    explicit ControlFont(HWND control) : dc_(GetDC(control)), control_(control) {
        old_ = SelectObject(dc_, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
        GetTextMetricsW(dc_, &metrics_);
    }
    ~ControlFont() {
        SelectObject(dc_, old_);
        ReleaseDC(control_, dc_);
    }
    ControlFont(const ControlFont&) = delete;
    ControlFont& operator=(const ControlFont&) = delete;

    SIZE Line(const std::wstring& text, UINT more = 0) const { return Drawn(text, 0, DT_SINGLELINE | more); }
    SIZE Wrapped(const std::wstring& text, int width, UINT more = 0) const {
        return Drawn(text, width, DT_WORDBREAK | DT_EXPANDTABS | more);
    }
    int LineHeight() const { return metrics_.tmHeight > 0 ? metrics_.tmHeight : 1; }

private:
    SIZE Drawn(const std::wstring& text, int width, UINT format) const {
        RECT rect{0, 0, width, 0};
        DrawTextW(dc_, text.c_str(), static_cast<int>(text.size()), &rect, DT_CALCRECT | DT_LEFT | format);
        return {rect.right - rect.left, rect.bottom - rect.top};
    }

    HDC dc_;
    HWND control_;
    HGDIOBJ old_;
    TEXTMETRICW metrics_{};
};

int Scaled(int pixels, UINT dpi) { return MulDiv(pixels, static_cast<int>(dpi), 96); }

// Every text of one control that must show whole, checked against what the control has room for.
void ExpectShownWhole(HWND control, UINT dpi) {
    const std::wstring text = testing::WindowText(control);
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    RECT client{};
    GetClientRect(control, &client);
    // A control its window clips (the main window's panel) shows only its region.
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    if (GetWindowRgn(control, region) != ERROR) {
        RECT box{};
        GetRgnBox(region, &box);
        if (box.right < client.right) client.right = box.right;
        if (box.bottom < client.bottom) client.bottom = box.bottom;
    }
    DeleteObject(region);
    const ControlFont font(control);
    SCOPED_TRACE(Narrow(ClassOf(control)) + " \"" + Narrow(text) + "\"");
    if (IsClass(control, L"Static")) {
        if (text.empty()) return;
        const UINT prefix = (style & SS_NOPREFIX) ? DT_NOPREFIX : 0;
        const SIZE drawn = font.Wrapped(text, client.right, prefix);
        EXPECT_LE(drawn.cx, client.right);
        EXPECT_LE(drawn.cy, client.bottom);
    } else if (IsClass(control, L"Button")) {
        const LONG type = style & BS_TYPEMASK;
        if (text.empty() || type == BS_GROUPBOX) return;
        const bool pushLike = type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || (style & BS_PUSHLIKE);
        // A push button's raised edge on each side; a check box's box (13 pixels at 96 DPI) and
        // the gap after it.
        const int beside = pushLike ? 2 * GetSystemMetrics(SM_CXEDGE) : Scaled(13, dpi) + Scaled(2, dpi);
        const int room = client.right - beside;
        if (style & BS_MULTILINE) {
            EXPECT_LE(font.Wrapped(text, room).cx, room);
            EXPECT_LE(font.Wrapped(text, room).cy, client.bottom);
        } else {
            EXPECT_LE(font.Line(text).cx, room);
            EXPECT_LE(font.LineHeight(), client.bottom);
        }
    } else if (IsClass(control, L"Edit") && !(style & ES_MULTILINE)) {
        // The text a one-line box starts with (the label "My Velmora Message", the example name).
        RECT shown{};
        SendMessageW(control, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&shown));
        EXPECT_LE(font.Line(text).cx, shown.right - shown.left);
    } else if (IsClass(control, L"ComboBox")) {
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        ASSERT_TRUE(GetComboBoxInfo(control, &info));
        const int room = info.rcItem.right - info.rcItem.left;
        const LRESULT count = SendMessageW(control, CB_GETCOUNT, 0, 0);
        for (WPARAM item = 0; item < static_cast<WPARAM>(count); ++item) {
            std::wstring itemText(static_cast<size_t>(SendMessageW(control, CB_GETLBTEXTLEN, item, 0)) + 1, L'\0');
            itemText.resize(static_cast<size_t>(
                SendMessageW(control, CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(itemText.data()))));
            EXPECT_LE(font.Line(itemText).cx, room) << Narrow(itemText);
        }
    }
}

// A one-line text box holding each of these texts shows it whole.
void ExpectBoxShows(HWND box, const std::vector<std::wstring>& texts) {
    ASSERT_NE(box, nullptr);
    const std::wstring before = testing::WindowText(box);
    const ControlFont font(box);
    for (const std::wstring& text : texts) {
        SetWindowTextW(box, text.c_str());
        RECT shown{};
        SendMessageW(box, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&shown));
        EXPECT_LE(font.Line(text).cx, shown.right - shown.left) << Narrow(text);
    }
    SetWindowTextW(box, before.c_str());
}

// What a colour box shows: six hexadecimal digits, typed in either case.
const std::vector<std::wstring> kColours{L"000000", L"0000FF", L"0000Ff", L"000080", L"FFFFFF",
                                         L"DDDDDD", L"808080", L"A0B0C0", L"dddddd"};

// A named procedure: a lambda is no stdcall callback in the 32-bit build.
int CALLBACK NoteFontFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool HasFont(const wchar_t* face) {
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(wanted.lfFaceName, face, LF_FACESIZE - 1);
    HDC dc = GetDC(nullptr);
    bool found = false;
    EnumFontFamiliesExW(dc, &wanted, NoteFontFound, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, dc);
    return found;
}

class TextFit : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(program_.Start());
        main_ = program_.OpenMainWindow()->Handle();
    }
    void TearDown() override {
        MSG quit{};
        PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }
    HWND Open(const WindowDesignSheet& sheet) {
        testing::OpenFromMainWindow(main_, sheet);
        return testing::FindWindowOfProcess(GetCurrentProcessId(), sheet.title);
    }
    // After a move to a screen at another DPI, or back.
    static void MoveToDpi(HWND window, UINT from, UINT dpi) {
        RECT place{};
        GetWindowRect(window, &place);
        RECT client{};
        GetClientRect(window, &client);
        place.right += MulDiv(client.right, static_cast<int>(dpi), static_cast<int>(from)) - client.right;
        place.bottom += MulDiv(client.bottom, static_cast<int>(dpi), static_cast<int>(from)) - client.bottom;
        SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&place));
    }

    Program program_{GetModuleHandleW(nullptr)};
    HWND main_ = nullptr;
};

TEST_F(TextFit, ThisRunHasTheFontsItIsFor) {
    // A run meant for a system without Tahoma that found it would prove nothing.
    const bool noTahoma = std::getenv("VELMORA_TEST_NO_TAHOMA") != nullptr;
    EXPECT_EQ(HasFont(L"Tahoma"), !noTahoma);
}

TEST_F(TextFit, NoWindowCutsATextAtThisDpiNorAfterAMoveToTheOther) {
    const UINT from = testing::DpiOfThisRun();
    const UINT other = from == 96 ? 144 : 96;
    for (const WindowDesignSheet& sheet : kWindowDesigns) {
        HWND window = Open(sheet);
        ASSERT_NE(window, nullptr);
        for (const UINT dpi : {from, other, from}) {
            SCOPED_TRACE(Narrow(sheet.title) + " at " + std::to_string(dpi) + " DPI");
            int checked = 0;
            for (HWND control = GetWindow(window, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
                // A label never shown (a screen reader's name for a control) shows no text to cut.
                if (!(GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE)) continue;
                ExpectShownWhole(control, dpi);
                ++checked;
            }
            EXPECT_GT(checked, 0);
            const UINT next = dpi == from ? other : from;
            MoveToDpi(window, dpi, next);
        }
    }
}

TEST_F(TextFit, TheColourBoxesShowSixDigitsAndTheListsTheirWidestNumber) {
    const UINT from = testing::DpiOfThisRun();
    const UINT other = from == 96 ? 144 : 96;
    for (const UINT dpi : {from, other}) {
        SCOPED_TRACE(std::to_string(dpi) + " DPI");
        if (dpi != from) MoveToDpi(main_, from, dpi);
        ExpectBoxShows(GetDlgItem(main_, AwayIds::Text6), kColours);
        ExpectBoxShows(GetDlgItem(main_, AwayIds::Text7), kColours);
        ExpectShownWhole(GetDlgItem(main_, AwayIds::Combo1), dpi);
        ExpectShownWhole(GetDlgItem(main_, AwayIds::Combo2), dpi);
    }
}

}  // namespace
}  // namespace velmora
