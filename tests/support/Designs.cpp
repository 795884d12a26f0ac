#include "support/Designs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>

#include "about/AboutControls.h"
#include "about/HelpControls.h"
#include "aim/PersonalControls.h"
#include "app/AwayControls.h"
#include "autoreply/AutoReplyControls.h"
#include "colour/ColourPickerControls.h"
#include "preview/PreviewControls.h"
#include "stored/StoredControls.h"
#include "support/TestSupport.h"

namespace velmora::testing {
namespace {

// The main window; its controls sit on a panel at 8,16.
constexpr int kPanelX = 8;
constexpr int kPanelY = 16;
constexpr ControlDesign OnPanel(ControlDesign design) {
    design.x += kPanelX;
    design.y += kPanelY;
    return design;
}

using namespace AwayIds;
const ControlDesign kMainWindow[] = {
    OnPanel({Label1_4, L"Static", L"Screen name to update", 8, 56, 137, 17, 825, true}),
    OnPanel({Text5, L"Edit", L"Harlowpine", 8, 72, 145, 19, 825, true}),
    OnPanel({Label6_0, L"Static", L"%n - Persons Screename", 176, 64, 129, 17, 675, true}),
    OnPanel({Label6_1, L"Static", L"%d - Current date", 176, 80, 97, 17, 675, true}),
    OnPanel({Label6_2, L"Static", L"%t - Current time", 176, 96, 97, 17, 675, true}),
    OnPanel({Label1_2, L"Static", L"Labels for message", 8, 96, 137, 17, 825, true}),
    OnPanel({Text1, L"Edit", L"My Velmora Message", 8, 112, 145, 19, 825, true}),
    OnPanel({Label2, L"Static", L"Options", 192, 112, 41, 17, 675, true}),
    OnPanel({Label1_0, L"Static", L"Message", 8, 136, 97, 17, 825, true}),
    OnPanel({Text2_0, L"Edit", L"", 8, 152, 209, 129, 825, false}),
    OnPanel({Label4_0, L"Static", L"Font Color", 224, 144, 57, 9, 675, true}),
    OnPanel({Text6, L"Edit", L"FFFFFF", 224, 160, 49, 19, 825, false}),
    OnPanel({Command7, L"Button", L"..", 280, 160, 17, 17, 825, false}),
    OnPanel({Label4_1, L"Static", L"Body Color", 224, 192, 57, 17, 675, true}),
    OnPanel({Text7, L"Edit", L"FFFFFF", 224, 208, 49, 19, 825, false}),
    OnPanel({Command8, L"Button", L"..", 280, 208, 17, 17, 825, false}),
    OnPanel({Label5_0, L"Static", L"Font Size", 224, 240, 49, 17, 675, true}),
    OnPanel({Combo1, L"ComboBox", L"1", 224, 256, 41, 21, 825, false}),
    OnPanel({Label5_1, L"Static", L"Msg #", 8, 288, 49, 17, 675, true}),
    OnPanel({Combo2, L"ComboBox", L"1", 40, 288, 49, 21, 825, true}),
    OnPanel({Command2, L"Button", L"Delete", 96, 288, 57, 17, 825, false}),
    OnPanel({Check1, L"Button", L"Brodcast Winamp", 200, 304, 121, 17, 675, true}),
    OnPanel({Command5, L"Button", L"Update", 8, 320, 49, 25, 825, false}),
    OnPanel({Command3, L"Button", L"Clear", 56, 320, 49, 25, 825, false}),
    OnPanel({Check2, L"Button", L"Save Last Msg", 200, 320, 113, 17, 675, true}),
};

const ControlDesign kAbout[] = {
    {AboutIds::Label2, L"Static", L"About Velmora", 16, 16, 273, 33, 975, true},
    {AboutIds::Label3, L"Static", L"Written by the Velmora developers", 24, 56, 233, 17, 825, true},
    {AboutIds::Label4, L"Static", L"Velmora (c) 2026", 24, 72, 233, 25, 825, true},
    {AboutIds::Label5, L"Static", L"Visit My Website:", 24, 96, 97, 17, 825, true},
    {AboutIds::Label6, L"Static", L"https://velmora.github.io", 128, 96, 153, 17, 825, true},
};

// The notes keep their runs of blanks: the text is the design's, blanks counted out.
const std::wstring kNote1 = L"1. This saves to your AIM registry as your default Away" + std::wstring(6, L' ') +
                            L"msg's. New messages are saved everytime you" + std::wstring(17, L' ') + L"upload";
const std::wstring kNote2 = L"2. Broadcast winamp. only works with winamp 2.8" + std::wstring(10, L' ') +
                            L"and lower. This will save the current song your" + std::wstring(11, L' ') +
                            L"listening to" + std::wstring(2, L' ') + L"at the time you upload your Away Msg ";
const std::wstring kNote3 = L"3. Personal Msg." + std::wstring(2, L' ') + L"Do not use your regular AIM Away" +
                            std::wstring(6, L' ') + L"messages to properly use this. It sends a message" +
                            std::wstring(6, L' ') + L"back to a specific person you enter.";

const ControlDesign kHelp[] = {
    {HelpIds::Label2, L"Static", L"Velmora Help", 64, 16, 169, 25, 975, true},
    {HelpIds::Label3, L"Static", kNote1.c_str(), 16, 56, 281, 33, 675, true},
    {HelpIds::Label4, L"Static", kNote2.c_str(), 16, 96, 265, 41, 675, true},
    {HelpIds::Label5, L"Static", kNote3.c_str(), 16, 136, 265, 33, 675, true},
};

// The colour pickers: alike but for where their number boxes lie (below the visible area).
struct Spot {
    int x, y;
};
constexpr std::array<ControlDesign, 10> PickerControls(Spot red, Spot green, Spot blue) {
    using namespace ColourPickerIds;
    return {{
        {H1_0, L"ScrollBar", L"", 8, 8, 89, 17, 0, false},
        {H1_1, L"ScrollBar", L"", 8, 32, 89, 17, 0, false},
        {H1_2, L"ScrollBar", L"", 8, 56, 89, 17, 0, false},
        {Shape1, L"Static", L"", 136, 8, 65, 65, 825, false},
        {ColourPickerIds::Command2, L"Button", L"Cancel", 112, 80, 49, 25, 825, false},
        {ColourPickerIds::Command1, L"Button", L"OK", 168, 80, 33, 25, 825, false},
        {ColourPickerIds::Label1, L"Static", L"000000", 40, 152, 65, 17, 675, true},
        {Text1_0, L"Edit", L"0", red.x, red.y, 25, 17, 825, false},
        {Text1_1, L"Edit", L"0", green.x, green.y, 25, 17, 825, false},
        {Text1_2, L"Edit", L"0", blue.x, blue.y, 25, 17, 825, false},
    }};
}
constexpr auto kFontColour = PickerControls({112, 224}, {120, 208}, {144, 192});
constexpr auto kBodyColour = PickerControls({32, 152}, {120, 152}, {136, 152});

const ControlDesign kPersonal[] = {
    {PersonalIds::Text1, L"Edit", L"Pellbrook", 16, 32, 161, 19, 675, true},
    {PersonalIds::Label2, L"Static", L"Off", 208, 28, 57, 17, 825, true},
    {PersonalIds::Text3, L"Edit", L"Personal Message - I'll  Be right back\r\n", 16, 64, 273, 113, 675, true},
    {PersonalIds::Text2, L"Edit", L"", 16, 248, 145, 19, 825, false, L"MS Sans Serif"},
};

// Opened on the main window as it starts: its label, white on white, no message.
const ControlDesign kPreview[] = {
    {PreviewIds::TextReader, L"Edit", L"Buddy", 52, 8, 121, 21, 825, false},
    {PreviewIds::LabelReader, L"Static", L"&Reader", 8, 11, 42, 17, 825, false},
    {PreviewIds::LabelTitle, L"Static", L"My Velmora Message", 8, 36, 344, 17, 825, true},
    {PreviewIds::Pane, L"VelmoraRenderPane", L"", 8, 56, 344, 206, 0, false},
    {PreviewIds::LabelContrast, L"Static", L"Contrast 1.0 : 1", 8, 268, 344, 17, 825, false},
    {PreviewIds::LabelWarning, L"Static", L"Hard to read: the text colour is too close to the page colour.", 8, 286,
     344, 17, 825, false},
    {PreviewIds::LabelLineBreaks, L"Static", L"", 8, 304, 344, 17, 825, false},
};

// The controls whose text does not depend on what the registry holds.
const ControlDesign kStored[] = {
    {StoredIds::ScreenNameCaption, L"Static", L"&Screen name", 8, 11, 76, 17, 825, false},
    {StoredIds::Messages, L"ListBox", L"", 8, 40, 176, 248, 825, false},
    {StoredIds::Load, L"Button", L"&Load", 8, 296, 75, 25, 825, false},
    {StoredIds::Delete, L"Button", L"&Delete", 91, 296, 75, 25, 825, false},
    {StoredIds::CopyTo, L"Button", L"&Copy...", 8, 327, 56, 25, 825, false},
    {StoredIds::BackUp, L"Button", L"&Back up...", 68, 327, 56, 25, 825, false},
    {StoredIds::RestoreFrom, L"Button", L"&Restore...", 128, 327, 56, 25, 825, false},
};

// Switched off, as a window opens with no Msg.ini beside the exe.
const ControlDesign kAutoReply[] = {
    {AutoReplyIds::Rules, L"ListBox", L"", 8, 28, 376, 96, 825, false},
    {AutoReplyIds::Add, L"Button", L"&Add", 392, 28, 80, 24, 825, false},
    {AutoReplyIds::Remove, L"Button", L"Re&move", 392, 58, 80, 24, 825, false},
    {AutoReplyIds::EveryoneElse, L"Button", L"&Everyone else", 392, 92, 84, 20, 825, false},
    {AutoReplyIds::Names, L"Edit", L"", 64, 132, 408, 21, 825, false},
    {AutoReplyIds::Reply, L"Edit", L"", 64, 160, 408, 72, 825, false},
    {AutoReplyIds::Switch, L"Button", L"Off", 24, 296, 57, 23, 825, false},
    {AutoReplyIds::Log, L"ListBox", L"", 8, 348, 464, 92, 825, false},
    {AutoReplyIds::RulesCaption, L"Static", L"R&ules: the first row whose names match the sender answers", 8, 8, 376,
     17, 825, false},
    {AutoReplyIds::NamesCaption, L"Static", L"&Names\r\n(a, b, c)", 8, 134, 52, 28, 825, false},
    {AutoReplyIds::ReplyCaption, L"Static", L"&Reply", 8, 163, 52, 17, 825, false},
    {AutoReplyIds::AnswerAgainCaption, L"Static", L"Answer again af&ter", 8, 243, 140, 17, 825, false},
    {AutoReplyIds::IdleCaption, L"Static", L"Only when I am away from the &keyboard", 8, 271, 236, 17, 825, false},
    {AutoReplyIds::LogCaption, L"Static", L"Replies sent, newest &first", 8, 330, 300, 17, 825, false},
};

const WindowDesignSheet kSheets[] = {
    {L"Velmora", 0, false, 332, 386, kMainWindow},
    {L"Font Color", Command7, true, 210, 113, kFontColour},
    {L"Body Color", Command8, true, 209, 112, kBodyColour},
    {L"Personal Away Msg", MenuPerna, false, 314, 203, kPersonal},
    {L"Help", MenuHlpe, false, 312, 198, kHelp},
    {L"About", MenuAbast, false, 312, 129, kAbout},
    {L"Preview", MenuPreview, false, 360, 326, kPreview},
    {L"Stored Messages", MenuStored, false, 480, 360, kStored},
    {L"Auto Reply", MenuAutoReply, false, 480, 448, kAutoReply},
};

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

bool IsLabel(const ControlDesign& design) { return std::wstring(design.className) == L"Static" && *design.text; }
bool IsButton(const ControlDesign& design) { return std::wstring(design.className) == L"Button" && *design.text; }
// The boxes made as wide as their content needs: a colour's six digits, a size, a slot.
bool HoldsKnownContent(const WindowDesignSheet& sheet, const ControlDesign& design) {
    return sheet.openedBy == 0 &&
           (design.id == Text6 || design.id == Text7 || design.id == Combo1 || design.id == Combo2);
}

// Whether a label's text, drawn in its designed font as a left-aligned label draws it, shows
// whole in a box of the given size. The font is made here, as the label may belong to another
// process; ExpectFontsAsDesigned checks that the label has this font.
bool TextShowsWhole(const ControlDesign& design, UINT dpi, int width, int height) {
    const std::wstring text = design.text;
    LOGFONTW logFont{};
    logFont.lfHeight = -MulDiv(design.centiPoints, static_cast<int>(dpi), 7200);
    logFont.lfWeight = design.bold ? FW_BOLD : FW_NORMAL;
    logFont.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(logFont.lfFaceName, design.face, LF_FACESIZE - 1);
    HFONT font = CreateFontIndirectW(&logFont);
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    RECT drawn{0, 0, width, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &drawn,
              DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_EXPANDTABS);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    DeleteObject(font);
    if (IsButton(design)) {
        // On one line, with room to spare for a check box's box and gap (under 24 pixels at
        // 96 DPI): a button that needs no more than that keeps its designed box.
        return drawn.bottom <= metrics.tmHeight && drawn.right <= width - MulDiv(24, static_cast<int>(dpi), 96);
    }
    return drawn.right <= width && drawn.bottom <= height;
}

}  // namespace

const std::span<const WindowDesignSheet> kWindowDesigns{kSheets};

UINT DpiOfThisRun() {
    const char* dpi = std::getenv("VELMORA_TEST_DPI");
    return dpi && *dpi ? static_cast<UINT>(std::atoi(dpi)) : 96;
}

void OpenFromMainWindow(HWND main, const WindowDesignSheet& sheet) {
    if (!sheet.openedBy) return;
    if (sheet.openedByButton)
        SendMessageW(GetDlgItem(main, sheet.openedBy), BM_CLICK, 0, 0);
    else
        SendMessageW(main, WM_COMMAND, MAKEWPARAM(sheet.openedBy, 0), 0);
}

RECT RectOnParent(HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void ExpectLaidOutAsDesigned(HWND window, const WindowDesignSheet& sheet, UINT dpi) {
    SCOPED_TRACE(Narrow(sheet.title));
    ASSERT_NE(window, nullptr);
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_NEAR(client.right, MulDiv(sheet.clientWidth, static_cast<int>(dpi), 96), 1);
    EXPECT_NEAR(client.bottom, MulDiv(sheet.clientHeight, static_cast<int>(dpi), 96), 1);
    ExpectControlsAsDesigned(window, sheet, dpi);
}

void ExpectControlsAsDesigned(HWND window, const WindowDesignSheet& sheet, UINT dpi) {
    SCOPED_TRACE(Narrow(sheet.title));
    ASSERT_NE(window, nullptr);
    const auto scaled = [dpi](int pixels) { return MulDiv(pixels, static_cast<int>(dpi), 96); };
    for (const ControlDesign& design : sheet.controls) {
        SCOPED_TRACE(Narrow(design.text));
        HWND control = GetDlgItem(window, design.id);
        ASSERT_NE(control, nullptr);
        wchar_t className[64]{};
        GetClassNameW(control, className, 64);
        EXPECT_EQ(CompareStringOrdinal(className, -1, design.className, -1, TRUE), CSTR_EQUAL) << Narrow(className);
        EXPECT_EQ(WindowText(control), design.text);
        const RECT rect = RectOnParent(control);
        EXPECT_NEAR(rect.left, scaled(design.x), 1);
        // A label may sit lower where the label above it needed the room for its lines.
        if (IsLabel(design) && rect.top > scaled(design.y) + 1) {
            EXPECT_LE(rect.top - scaled(design.y), scaled(design.height)) << "moved far down";
        } else {
            EXPECT_NEAR(rect.top, scaled(design.y), 1);
        }
        const bool mayGrow = IsLabel(design) || IsButton(design) || HoldsKnownContent(sheet, design);
        if (!mayGrow || (!HoldsKnownContent(sheet, design) &&
                         TextShowsWhole(design, dpi, scaled(design.width), scaled(design.height)))) {
            EXPECT_NEAR(rect.right - rect.left, scaled(design.width), 1);
            EXPECT_NEAR(rect.bottom - rect.top, scaled(design.height), 1);
            continue;
        }
        // Made larger for this system's fonts, to the right or down: never over a control beside it.
        EXPECT_GE(rect.right - rect.left, scaled(design.width));
        EXPECT_GE(rect.bottom - rect.top, scaled(design.height));
        // A button between fitting with room to spare and not fitting at all may keep its box.
        if (IsLabel(design)) {
            EXPECT_TRUE(rect.right - rect.left > scaled(design.width) ||
                        rect.bottom - rect.top > scaled(design.height));
        }
        // It reaches no deeper into another control than its designed box does (some designs
        // let two boxes share an edge pixel or two), within rounding: a box widened along a
        // label's edge it already shares is fine, one that grows down into the label is not.
        const RECT designedRect{scaled(design.x), scaled(design.y), scaled(design.x + design.width),
                                scaled(design.y + design.height)};
        const auto common = [](const RECT& a, const RECT& b) {
            RECT part{};
            if (!IntersectRect(&part, &a, &b)) return SIZE{0, 0};
            return SIZE{part.right - part.left, part.bottom - part.top};
        };
        for (const ControlDesign& other : sheet.controls) {
            if (&other == &design) continue;
            const RECT place{scaled(other.x), scaled(other.y), scaled(other.x + other.width),
                             scaled(other.y + other.height)};
            const SIZE was = common(designedRect, place);
            const SIZE now = common(rect, RectOnParent(GetDlgItem(window, other.id)));
            const bool deeperDown = now.cy - was.cy > 1 && now.cx > 2;
            const bool deeperRight = now.cx - was.cx > 1 && now.cy > was.cy + 2;
            EXPECT_FALSE(deeperDown || deeperRight) << "over " << Narrow(other.text);
        }
    }
}

void ExpectLabelsShowTheirText(HWND window, const WindowDesignSheet& sheet, UINT dpi) {
    SCOPED_TRACE(Narrow(sheet.title));
    for (const ControlDesign& design : sheet.controls) {
        if (!IsLabel(design)) continue;
        HWND label = GetDlgItem(window, design.id);
        ASSERT_NE(label, nullptr);
        RECT client{};
        GetClientRect(label, &client);
        EXPECT_TRUE(TextShowsWhole(design, dpi, client.right, client.bottom)) << Narrow(design.text);
    }
}

void ExpectFontsAsDesigned(HWND window, const WindowDesignSheet& sheet, UINT dpi) {
    SCOPED_TRACE(Narrow(sheet.title));
    for (const ControlDesign& design : sheet.controls) {
        SCOPED_TRACE(Narrow(design.text));
        HWND control = GetDlgItem(window, design.id);
        ASSERT_NE(control, nullptr);
        if (design.centiPoints == 0) continue;
        LOGFONTW font{};
        ASSERT_TRUE(GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font));
        EXPECT_EQ(std::wstring(font.lfFaceName), design.face);
        // Points to pixels: -points * dpi / 72.
        EXPECT_EQ(font.lfHeight, -MulDiv(design.centiPoints, static_cast<int>(dpi), 7200));
        EXPECT_EQ(font.lfWeight >= FW_BOLD, design.bold);
    }
}

}  // namespace velmora::testing
