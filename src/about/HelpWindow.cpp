#include "about/HelpWindow.h"

#include <commctrl.h>

#include <array>

#include "about/HelpControls.h"
#include "res/resource.h"

namespace velmora {
namespace {

using namespace HelpIds;

constexpr FontSpec kTitleFont = Tahoma(975, true);

constexpr Paint kSeeThrough = Paint::Transparent();
constexpr Paint kButtonText = Paint::System(COLOR_BTNTEXT);

// Word-wrapped at each label's width; the runs of blanks are kept, so they push the words
// after them on to the next line.
constexpr DWORD kNote = SS_LEFT | SS_NOPREFIX;

constexpr std::array kControls{
    ControlSpec{Label2, WC_STATICW, L"Velmora Help", SS_CENTER | SS_NOPREFIX, 0, 64, 16, 169, 25, kTitleFont,
                Paint::Rgb(0x0000C0), kSeeThrough},
    ControlSpec{Label3, WC_STATICW,
                L"1. This saves to your AIM registry as your default Away"
                L"      "  // 6 blanks
                L"msg's. New messages are saved everytime you"
                L"                 "  // 17 blanks
                L"upload",
                kNote, 0, 16, 56, 281, 33, kOwnFont, kButtonText, kSeeThrough},
    ControlSpec{Label4, WC_STATICW,
                L"2. Broadcast winamp. only works with winamp 2.8"
                L"          "  // 10 blanks
                L"and lower. This will save the current song your"
                L"           "  // 11 blanks
                L"listening to"
                L"  "  // 2 blanks
                L"at the time you upload your Away Msg ",
                kNote, 0, 16, 96, 265, 41, kOwnFont, kButtonText, kSeeThrough},
    ControlSpec{Label5, WC_STATICW,
                L"3. Personal Msg."
                L"  "  // 2 blanks
                L"Do not use your regular AIM Away"
                L"      "  // 6 blanks
                L"messages to properly use this. It sends a message"
                L"      "  // 6 blanks
                L"back to a specific person you enter.",
                kNote, 0, 16, 136, 265, 33, kOwnFont, kButtonText, kSeeThrough},
};

// Label1, the white panel.
constexpr std::array kRects{
    PaintedRect{8, 8, 297, 177, Paint::Rgb(0xFFFFFF), kNone},
};

// Line1 under the title, then the frame: dark at the top and left, light at the right and bottom.
constexpr std::array kLines{
    PaintedLine{16, 40, 288, 40, Paint::Rgb(0xC0C0C0)},  PaintedLine{8, 8, 304, 8, Paint::Rgb(0x404040)},
    PaintedLine{304, 8, 304, 184, Paint::Rgb(0xE0E0E0)}, PaintedLine{304, 184, 8, 184, Paint::Rgb(0xE0E0E0)},
    PaintedLine{8, 8, 8, 184, Paint::Rgb(0x404040)},
};

constexpr TableDesign kDesign{
    {L"VelmoraHelp", L"Help", 312, 198, false, IDI_INFO}, kControls, Tahoma(675, true), kRects, kLines,
};

}  // namespace

HelpWindow::HelpWindow(HINSTANCE instance) : TableWindow(instance, kDesign) {}

}  // namespace velmora
