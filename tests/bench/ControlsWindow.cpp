#include "ControlsWindow.h"

#include <vector>

#include "app/AwayWindow.h"
#include "misc/Dpi.h"
#include "misc/Scale.h"

namespace {

struct MadeFont {
    velmora::FontSpec spec;
    HFONT font;
};

HFONT FontFor(std::vector<MadeFont>& made, const velmora::FontSpec& spec, int dpi) {
    for (const MadeFont& font : made)
        if (font.spec == spec) return font.font;
    LOGFONTW logFont{};
    logFont.lfHeight = velmora::FontHeightForDpi(spec.centiPoints, dpi);
    logFont.lfWeight = spec.bold ? FW_BOLD : FW_NORMAL;
    logFont.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(logFont.lfFaceName, spec.face, LF_FACESIZE);
    made.push_back({spec, CreateFontIndirectW(&logFont)});
    return made.back().font;
}

}  // namespace

void MakeAwayControls(HWND window, HINSTANCE instance) {
    const int dpi = static_cast<int>(velmora::DpiForWindow(window));
    std::vector<MadeFont> fonts;  // live as long as the program
    for (const velmora::ControlSpec& spec : velmora::AwayControlTable()) {
        const int x = velmora::ScaleForDpi(spec.x, dpi), y = velmora::ScaleForDpi(spec.y, dpi);
        HWND control =
            CreateWindowExW(spec.exStyle, spec.className, spec.text, spec.style | WS_CHILD | WS_VISIBLE, x, y,
                            velmora::ScaleForDpi(spec.width, dpi), velmora::ScaleForDpi(spec.height, dpi), window,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)), instance, nullptr);
        const velmora::FontSpec& font = spec.font.face ? spec.font : velmora::AwayControlFont();
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(fonts, font, dpi)), FALSE);
    }
}
