#include "app/AwayWindow.h"

#include <commctrl.h>

#include <array>
#include <string>

#include "app/AwayControls.h"
#include "app/Program.h"
#include "compose/AwayDocument.h"
#include "misc/Ansi.h"
#include "misc/SystemError.h"
#include "misc/Text.h"
#include "preview/HtmlColour.h"
#include "res/resource.h"
#include "storage/INI.h"
#include "storage/Reg.h"
#include "storage/SavedMessage.h"
#include "winamp/Winamp.h"

namespace velmora {
namespace {

using namespace AwayIds;

constexpr FontSpec kWindowFont = Tahoma(825);
constexpr FontSpec kBold = Tahoma(825, true);
constexpr FontSpec kSmallBold = Tahoma(675, true);

constexpr Paint kDesktop = Paint::System(COLOR_DESKTOP);
constexpr Paint kNavy = Paint::Rgb(0x000080);
constexpr Paint kBlue = Paint::Rgb(0x0000C0);
constexpr Paint kDarkRed = Paint::Rgb(0xC00000);
constexpr Paint kPanelWhite = Paint::Rgb(0xFFFFFF);
constexpr Paint kSystemWindow = Paint::System(COLOR_WINDOW);

constexpr DWORD kEdit = WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD kCheck = WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD kLabel = SS_LEFT;

// The panel Picture1 sits at 8,16; every control below is placed by its spot on the panel.
constexpr int kPanelX = 8;
constexpr int kPanelY = 16;
constexpr ControlSpec OnPanel(ControlSpec spec) {
    spec.x += kPanelX;
    spec.y += kPanelY;
    return spec;
}

// Table order is creation order: the Tab order of the controls that take the keys, and each
// box follows the label that names it for a screen reader (labels lie on the white panel and
// take no keys, so they leave the Tab order as it is).
constexpr std::array kControls{
    OnPanel({Label1_2, WC_STATICW, L"Labels for message", kLabel, 0, 8, 96, 137, 17, kBold, kDesktop, kPanelWhite}),
    OnPanel({Text1, WC_EDITW, L"My Velmora Message", kEdit, WS_EX_CLIENTEDGE, 8, 112, 145, 19, kBold, kNone, kNone}),
    OnPanel({Label1_0, WC_STATICW, L"Message", kLabel, 0, 8, 136, 97, 17, kBold, kDesktop, kPanelWhite}),
    OnPanel({Text2_0, WC_EDITW, L"", WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL,
             WS_EX_CLIENTEDGE, 8, 152, 209, 129, kOwnFont, kNone, kNone}),
    OnPanel({Label1_4, WC_STATICW, L"Screen name to update", kLabel, 0, 8, 56, 137, 17, kBold, kDesktop, kPanelWhite}),
    OnPanel({Text5, WC_EDITW, L"Harlowpine", kEdit, WS_EX_CLIENTEDGE, 8, 72, 145, 19, kBold, kNone, kNone}),
    OnPanel({Label4_0, WC_STATICW, L"Font Color", kLabel, 0, 224, 144, 57, 9, kSmallBold, kBlue, kPanelWhite}),
    OnPanel(
        {Text6, WC_EDITW, L"FFFFFF", kEdit, WS_EX_CLIENTEDGE, 224, 160, 49, 19, kOwnFont, kNone, kNone, kSixHexDigits}),
    OnPanel({Command7, WC_BUTTONW, L"..", kButton, 0, 280, 160, 17, 17, kOwnFont, kNone, kNone}),
    OnPanel({Label5_0, WC_STATICW, L"Font Size", kLabel, 0, 224, 240, 49, 17, kSmallBold, kBlue, kPanelWhite}),
    OnPanel({Combo1, WC_COMBOBOXW, L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, 224, 256, 41, 21, kOwnFont,
             kNone, kNone, Digits(2)}),
    OnPanel({Label4_1, WC_STATICW, L"Body Color", kLabel, 0, 224, 192, 57, 17, kSmallBold, kBlue, kPanelWhite}),
    OnPanel(
        {Text7, WC_EDITW, L"FFFFFF", kEdit, WS_EX_CLIENTEDGE, 224, 208, 49, 19, kOwnFont, kNone, kNone, kSixHexDigits}),
    OnPanel({Command8, WC_BUTTONW, L"..", kButton, 0, 280, 208, 17, 17, kOwnFont, kNone, kNone}),
    OnPanel({Label5_1, WC_STATICW, L"Msg #", kLabel, 0, 8, 288, 49, 17, kSmallBold, kDesktop, kPanelWhite}),
    OnPanel({Combo2, WC_COMBOBOXW, L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, 0, 40, 288, 49, 21,
             kBold, kNone, kNone, Digits(2)}),
    OnPanel(
        {Check1, WC_BUTTONW, L"Brodcast Winamp", kCheck, 0, 200, 304, 121, 17, kSmallBold, kDarkRed, kSystemWindow}),
    OnPanel({Command2, WC_BUTTONW, L"Delete", kButton, 0, 96, 288, 57, 17, kOwnFont, kNone, kNone}),
    OnPanel({Command5, WC_BUTTONW, L"Update", kButton, 0, 8, 320, 49, 25, kOwnFont, kNone, kNone}),
    OnPanel({Command3, WC_BUTTONW, L"Clear", kButton, 0, 56, 320, 49, 25, kOwnFont, kNone, kNone}),
    OnPanel({Check2, WC_BUTTONW, L"Save Last Msg", kCheck, 0, 200, 320, 113, 17, kSmallBold, kDarkRed, kSystemWindow}),
    // The labels that name no box.
    OnPanel(
        {Label6_0, WC_STATICW, L"%n - Persons Screename", kLabel, 0, 176, 64, 129, 17, kSmallBold, kNavy, kPanelWhite}),
    OnPanel({Label6_1, WC_STATICW, L"%d - Current date", kLabel, 0, 176, 80, 97, 17, kSmallBold, kNavy, kPanelWhite}),
    OnPanel({Label6_2, WC_STATICW, L"%t - Current time", kLabel, 0, 176, 96, 97, 17, kSmallBold, kNavy, kPanelWhite}),
    OnPanel({Label2, WC_STATICW, L"Options", kLabel | SS_NOTIFY, 0, 192, 112, 41, 17, kSmallBold, Paint::Rgb(0x000000),
             kPanelWhite}),
};

// The main window's own: the notice about the saved message, once the window is shown.
constexpr UINT kShowStartNoticeMessage = WM_APP + 60;
// The names the IM client holds, read beside the window, are ready to be taken.
constexpr UINT kScreenNamesReadMessage = WM_APP + 61;

// Below this the font colour is hardly told from the body colour: "Contrast 1.4 : 1".
constexpr double kUnreadableContrast = 1.5;
constexpr std::wstring_view kUnreadableTitle = L"Hard to read";

constexpr FileCodePage kAnsi{[](std::wstring_view text) { return ToAnsi(text); },
                             [](std::string_view bytes) { return FromAnsi(bytes); }};

constexpr Paint kGrey80 = Paint::Rgb(0x808080);
constexpr Paint kGreyC0 = Paint::Rgb(0xC0C0C0);
constexpr Paint kGreyE0 = Paint::Rgb(0xE0E0E0);

// Picture1 (the white panel), the Picture2 banner and Shape1 (the bullet before "Options").
constexpr std::array kRects{
    PaintedRect{kPanelX, kPanelY, 313, 361, kPanelWhite, kNone},
    PaintedRect{kPanelX + 8, kPanelY + 8, 297, 41, kGreyE0, kNone},
    PaintedRect{kPanelX + 176, kPanelY + 112, 9, 9, Paint::Rgb(0x0000FF), kGreyC0},
};

// Picture2 shows the banner (298 x 38) from its top-left corner, cut at the box's width.
constexpr int kBannerX = kPanelX + 8;
constexpr int kBannerY = kPanelY + 8;
constexpr int kBannerWidth = 297;
constexpr int kBannerHeight = 38;

// A sunken frame round the panel, and one round the banner.
constexpr std::array kLines{
    PaintedLine{7, 15, 321, 15, kGrey80},   PaintedLine{7, 15, 7, 377, kGrey80},
    PaintedLine{7, 377, 321, 377, kGreyC0}, PaintedLine{321, 15, 321, 377, kGreyC0},
    PaintedLine{15, 23, 313, 23, kGrey80},  PaintedLine{15, 23, 15, 65, kGrey80},
    PaintedLine{313, 23, 313, 65, kGreyC0}, PaintedLine{15, 65, 313, 65, kGreyE0},
};

// The ".." buttons keep their caption; a screen reader says what they open.
constexpr std::array kNames{AccessibleName{Command7, L"Mix the font colour..."},
                            AccessibleName{Command8, L"Mix the body colour..."}};

constexpr TableDesign kDesign{
    {L"VelmoraAway", L"Velmora", 332, 386, true, IDI_VELMORA},
    kControls,
    kWindowFont,
    kRects,
    kLines,
    Side::Right,
    false,
    false,
    kNames,
};

// The panel clips the controls on it, as a container would: what passes its inner edge
// ("Brodcast Winamp", by 8 px) does not paint over the frame. The designed rectangles stay.
void ClipToPanel(const ControlSet& controls) {
    const PaintedRect& panel = kRects.front();
    const RECT inner = controls.ScaleRect(panel.x, panel.y, panel.width, panel.height);
    for (const ControlSpec& spec : kControls) {
        HWND control = controls.Control(spec.id);
        RECT own{};
        GetWindowRect(control, &own);
        MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&own), 2);
        RECT shown{};
        IntersectRect(&shown, &own, &inner);
        const bool inside = EqualRect(&shown, &own) != FALSE;
        OffsetRect(&shown, -own.left, -own.top);
        // The control owns the region from here on.
        SetWindowRgn(control, inside ? nullptr : CreateRectRgnIndirect(&shown), TRUE);
    }
}

}  // namespace

std::span<const ControlSpec> AwayControlTable() noexcept { return kControls; }
FontSpec AwayControlFont() noexcept { return kWindowFont; }

AwayWindow::AwayWindow(Program& program) : TableWindow(program.Instance(), kDesign), program_(program) {}

LRESULT AwayWindow::HandleOwnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE: OnClose(); return 0;
        case WM_DESTROY: OnDestroy(); return 0;
        case WM_MOVE:
            startBalloon_.Follow();
            contrastBalloon_.Follow();
            return 0;
        case kShowStartNoticeMessage: ShowStartNotice(); return 0;
        case kScreenNamesReadMessage: OnScreenNamesRead(); return 0;
        case WM_QUERYENDSESSION: return TRUE;
        case WM_ENDSESSION: OnEndSession(wParam != FALSE); return 0;
        case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
        default: return TableWindow::HandleOwnMessage(message, wParam, lParam);
    }
}

void AwayWindow::OnCreate() {
    banner_.reset(static_cast<HBITMAP>(
        LoadImageW(Instance(), MAKEINTRESOURCEW(IDB_BANNER), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    FitComboHeights();
    ClipToPanel(Controls());
    LoadLists();
    RestoreLastComposition();
    namesReader_.Start(Handle(), kScreenNamesReadMessage);
}

void AwayWindow::LoadLists() {
    HWND sizes = Control(Combo1);
    for (int size = 1; size <= 32; ++size)
        SendMessageW(sizes, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(DecimalText(size).c_str()));
    HWND slots = Control(Combo2);
    for (int slot = 1; slot <= 15; ++slot)
        SendMessageW(slots, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(DecimalText(slot).c_str()));
    SendMessageW(slots, CB_SETCURSEL, 0, 0);
    SendMessageW(sizes, CB_SETCURSEL, 0, 0);
}

std::wstring AwayWindow::SettingsPath() const { return program_.SettingsPath(); }

void AwayWindow::RestoreLastComposition() {
    // One reading of the file for the fields and the message.
    const std::string file = ReadSettingsFile(SettingsPath());
    if (file.empty()) return;
    RestoreFields(LoadComposerFields(file));
    std::wstring message = LoadWholeSavedMessage(file, kAnsi);
    // An edit box takes minutes to fill with tens of megabytes, and no away message is that
    // long: such a message is not put back, but it is not lost either.
    if (message.size() > kMaxRestoredMessage) {
        keepSavedMessage_ = true;
        startNotice_ = TooLongToRestoreNotice(message.size(), SettingsPath());
        // Said once the window is on the screen, where the balloon can point at the box.
        PostMessageW(Handle(), kShowStartNoticeMessage, 0, 0);
        return;
    }
    if (!message.empty()) SetField(Text2_0, message);
    savedMessage_ = message;
}

void AwayWindow::RestoreFields(const ComposerFields& fields) {
    ChangeFromCode([&] {
        if (fields.screenName) SetField(Text5, *fields.screenName);
        if (fields.label) SetField(Text1, *fields.label);
        if (fields.fontColour) SetField(Text6, *fields.fontColour);
        if (fields.bodyColour) SetField(Text7, *fields.bodyColour);
        if (fields.fontSize) ChooseFontSize(*fields.fontSize);
        if (fields.slot) SetField(Combo2, *fields.slot);
        if (fields.songWanted)
            SendMessageW(Control(Check1), BM_SETCHECK, *fields.songWanted ? BST_CHECKED : BST_UNCHECKED, 0);
    });
}

ComposerFields AwayWindow::CurrentFields() const {
    ComposerFields fields;
    fields.screenName = Text(Text5);
    fields.label = Text(Text1);
    fields.fontColour = Text(Text6);
    fields.bodyColour = Text(Text7);
    fields.fontSize = Text(Combo1);
    fields.slot = Text(Combo2);
    fields.songWanted = IsTicked(Check1);
    return fields;
}

unsigned long AwayWindow::SaveLastMessageIfWanted() {
    if (!IsTicked(Check2)) return ERROR_SUCCESS;
    // The message and the fields in one replacement of the file.
    std::optional<std::wstring> message;
    if (!keepSavedMessage_) message = Text(Text2_0);
    const ComposerFields fields = CurrentFields();
    // A message this copy did not change leaves the one the file holds by then (another copy's).
    const unsigned long error = RewriteSettingsFile(SettingsPath(), [&](std::string_view file) {
        return SaveComposerInto(message ? SaveMessageOver(file, savedMessage_, *message, kAnsi) : std::string(file),
                                fields);
    });
    if (error == ERROR_SUCCESS && message) savedMessage_ = *message;
    return error;
}

void AwayWindow::ShowStartNotice() {
    if (!startNotice_.empty()) startBalloon_.Show(Control(Text2_0), kTooLongToRestoreTitle, startNotice_);
}

void AwayWindow::OnMessageChanged() {
    // The box no longer stands for the saved message: a close saves what it holds.
    keepSavedMessage_ = false;
    startNotice_.clear();
    startBalloon_.Hide();
}

void AwayWindow::TellIfUnreadable(const AwayFields& fields) {
    // Read as a buddy's client and the preview read them.
    const Rgb text = ParseLegacyColour(L"#" + fields.fontColour).value_or(0x000000);
    const Rgb page = ParseLegacyColour(L"#" + fields.bodyColour).value_or(0xFFFFFF);
    const double ratio = ContrastRatio(text, page);
    if (ratio >= kUnreadableContrast) {
        contrastBalloon_.Hide();
        return;
    }
    std::wstring notice = L"The message was stored, but its font colour #" + fields.fontColour +
                          L" can hardly be told from its body colour #" + fields.bodyColour + L" (" +
                          ContrastText(ratio) + L"). Buddies will not be able to read it: pick other colours" +
                          L" with the \"..\" buttons and press Update again.";
    contrastBalloon_.Show(Control(Text6), kUnreadableTitle, notice);
}

void AwayWindow::OnClose() {
    // A close asked for while the question below is open waits for its answer.
    if (askingToClose_) return;
    if (const unsigned long error = SaveLastMessageIfWanted()) {
        askingToClose_ = true;
        const int answer = MessageBoxW(Handle(), SaveFailureQuestion(SettingsPath(), SystemErrorText(error)).c_str(),
                                       L"Velmora", MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2);
        askingToClose_ = false;
        if (answer != IDYES) return;
    }
    DestroyWindow(Handle());
}

void AwayWindow::OnScreenNamesRead() {
    if (std::optional<StoreReading> reading = namesReader_.Take())
        screenNames_.Offer(Control(Text5), std::move(reading->screenNames));
}

void AwayWindow::OnDestroy() {
    namesReader_.Stop();
    startBalloon_.Destroy();
    contrastBalloon_.Destroy();
    program_.MainWindowClosing();
}

void AwayWindow::OnEndSession(bool ending) {
    // Windows ends the program after this without a WM_CLOSE, and there is no time to ask:
    // one attempt, and nothing shown.
    if (ending) SaveLastMessageIfWanted();
}

void AwayWindow::TellIfNotDone(bool update, const StoreResult& result, std::wstring_view screenName,
                               std::wstring_view slot) {
    if (result.Done()) return;
    const std::wstring text =
        StoreFailureText(update, result, screenName, slot, SystemErrorText(static_cast<unsigned long>(result.error)));
    MessageBoxW(Handle(), text.c_str(), L"Velmora", MB_OK | MB_ICONWARNING);
}

namespace {

// The fields that make the document Update would store.
bool MakesDocument(int id) {
    switch (id) {
        case Text1:
        case Text2_0:
        case Text6:
        case Text7:
        case Combo1:
        case Check1: return true;
        default: return false;
    }
}

// A user's change of such a field, as the field tells it.
bool ChangesComposition(int id, int notification) {
    if (!MakesDocument(id)) return false;
    switch (id) {
        case Combo1: return notification == CBN_SELCHANGE || notification == CBN_EDITCHANGE;
        case Check1: return notification == BN_CLICKED;
        default: return notification == EN_CHANGE;
    }
}

}  // namespace

void AwayWindow::ChangeFromCode(const std::function<void()>& change) {
    // A multi-line box tells nothing of text set from code, and a one-line box tells it in the
    // middle of the change: the fields' own notices count only for the user's changes, and a
    // change from code tells the preview once, when it is done.
    {
        ++changingFromCode_;
        struct Done {
            int& depth;
            ~Done() { --depth; }
        } done{changingFromCode_};
        change();
    }
    if (changingFromCode_ == 0) program_.CompositionChanged();
}

void AwayWindow::OnCommand(int id, int notification) {
    if (changingFromCode_ == 0 && ChangesComposition(id, notification)) program_.CompositionChanged();
    if (id == Text2_0 && notification == EN_CHANGE) OnMessageChanged();
    if ((id == Text6 || id == Text7) && notification == EN_CHANGE) contrastBalloon_.Hide();
    // The names the client holds now, read again each time the box is entered, beside the
    // window: a large registry takes seconds, and the box takes typing meanwhile.
    if (id == Text5 && notification == EN_SETFOCUS) namesReader_.Ask(ReadingAsked{});
    switch (id) {
        case Label2:
            // A second click soon after the first arrives as a double-click: it is a click too.
            if (notification == STN_CLICKED || notification == STN_DBLCLK) OnOptionsClicked();
            break;
        case Command7: program_.Show(ChildWindow::FontColour); break;
        case Command8: program_.Show(ChildWindow::BodyColour); break;
        case MenuPerna: program_.Show(ChildWindow::PersonalMessage); break;
        case MenuHlpe: program_.Show(ChildWindow::Help); break;
        case MenuAbast: program_.Show(ChildWindow::About); break;
        case MenuPreview: program_.Show(ChildWindow::Preview); break;
        case MenuStored: program_.Show(ChildWindow::StoredMessages); break;
        case MenuAutoReply: program_.Show(ChildWindow::AutoReply); break;
        case Command5: OnUpdateClicked(); break;
        case Command2: OnDeleteClicked(); break;
        case Command3: OnClearClicked(); break;
        default: break;
    }
}

namespace {

bool IsTextBox(HWND control) {
    wchar_t className[16]{};
    GetClassNameW(control, className, static_cast<int>(std::size(className)));
    return lstrcmpiW(className, WC_EDITW) == 0;
}

// F10 from any control; Shift+F10 and the context-menu key from any but a text box, which
// keeps its own menu on them. Down and up alike, so the key's release reaches no one.
bool OpensOptions(const MSG& message) {
    const auto key = message.wParam;
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    if (key == VK_F10 && !shift) return GetKeyState(VK_CONTROL) >= 0;
    if ((key == VK_F10 && shift) || key == VK_APPS) return !IsTextBox(message.hwnd);
    return false;
}

}  // namespace

bool AwayWindow::OnKey(const MSG& message) {
    if (!OpensOptions(message)) return false;
    if (message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) {
        // Under the label, as a click opens it under the pointer.
        RECT label{};
        GetWindowRect(Control(Label2), &label);
        ShowOptionsMenu({label.left, label.bottom});
    }
    return true;
}

void AwayWindow::OnOptionsClicked() {
    POINT pointer{};
    GetCursorPos(&pointer);
    ShowOptionsMenu(pointer);
}

void AwayWindow::ShowOptionsMenu(POINT screen) {
    UniqueMenu menu(CreatePopupMenu());
    AppendMenuW(menu.get(), MF_STRING, MenuPerna, L"Personal Msg");
    AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu.get(), MF_STRING, MenuHlpe, L"Help");
    AppendMenuW(menu.get(), MF_STRING, MenuAbast, L"About");
    // Velmora's own windows follow the entries above, which keep their places.
    AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu.get(), MF_STRING, MenuPreview, L"Preview");
    AppendMenuW(menu.get(), MF_STRING, MenuStored, L"Stored Messages");
    AppendMenuW(menu.get(), MF_STRING, MenuAutoReply, L"Auto Reply");
    // The choice arrives as WM_COMMAND once the menu has closed.
    TrackPopupMenu(menu.get(), 0, screen.x, screen.y, 0, Handle(), nullptr);
}

void AwayWindow::OnUpdateClicked() {
    // Every field is read as it stands now; the song last of all.
    const AwayFields fields = ComposedFields();
    const std::wstring screenName = Text(Text5);
    const std::wstring slot = Text(Combo2);
    // No song to be read (no Winamp, a stopped player) stores the message without a song line.
    const std::optional<std::wstring> song = fields.songWanted ? GetWinampSong() : std::nullopt;
    const StoreResult stored = WriteAwayMessage(screenName, slot, BuildAwayDocument(fields, song, AnsiCarries));
    TellIfNotDone(true, stored, screenName, slot);
    if (stored.Done()) TellIfUnreadable(fields);
}

AwayFields AwayWindow::ComposedFields() const {
    AwayFields fields;
    fields.label = Text(Text1);
    fields.bodyColour = Text(Text7);
    fields.fontColour = Text(Text6);
    fields.fontSize = Text(Combo1);
    fields.message = Text(Text2_0);
    fields.songWanted = IsTicked(Check1);
    return fields;
}

void AwayWindow::OnDeleteClicked() {
    const std::wstring screenName = Text(Text5);
    const std::wstring slot = Text(Combo2);
    TellIfNotDone(false, RemoveAwayMessage(screenName, slot), screenName, slot);
}

void AwayWindow::OnClearClicked() { SetField(Text2_0, L""); }

void AwayWindow::PaintMore(HDC dc) {
    Controls().PaintBitmap(dc, banner_.get(), kBannerX, kBannerY, kBannerWidth, kBannerHeight);
}

void AwayWindow::OnLayout(UINT /*dpi*/) {
    FitComboHeights();
    ClipToPanel(Controls());
    // The boxes the balloons point at have moved with the new DPI.
    startBalloon_.Follow();
    contrastBalloon_.Follow();
}

void AwayWindow::FitComboHeights() {
    // A combo box's own height is its list's; its closed height follows the item height.
    for (int id : {Combo1, Combo2}) {
        HWND combo = Control(id);
        const int wanted = Controls().Scale(21);
        // Corrected by what is shown, not by the item height read back: some systems report
        // it a little off from what was set.
        LRESULT item = SendMessageW(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
        for (int attempt = 0; attempt < 3; ++attempt) {
            RECT rect{};
            GetWindowRect(combo, &rect);
            const int shown = rect.bottom - rect.top;
            if (shown == wanted) break;
            item += wanted - shown;
            SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), item);
        }
        RECT rect{};
        GetWindowRect(combo, &rect);
        MapWindowPoints(HWND_DESKTOP, Handle(), reinterpret_cast<POINT*>(&rect), 2);
        // The dropped list gets room for about ten items.
        SetWindowPos(combo, nullptr, 0, 0, rect.right - rect.left, Controls().Scale(21 + 160),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void AwayWindow::LoadComposition(const SomeAwayFields& fields, const std::optional<std::wstring>& slot,
                                 bool songWanted) {
    // The preview hears of it once, with every field loaded.
    ChangeFromCode([&] {
        if (fields.label) SetField(Text1, *fields.label);
        if (fields.fontColour) SetField(Text6, *fields.fontColour);
        if (fields.bodyColour) SetField(Text7, *fields.bodyColour);
        if (fields.fontSize) ChooseFontSize(*fields.fontSize);
        if (slot) SetField(Combo2, *slot);
        if (fields.message) SetField(Text2_0, *fields.message);
        SendMessageW(Control(Check1), BM_SETCHECK, songWanted ? BST_CHECKED : BST_UNCHECKED, 0);
    });
}

std::wstring AwayWindow::ScreenName() const { return Text(Text5); }

void AwayWindow::SetFontColour(std::wstring_view colour) { SetField(Text6, colour); }
void AwayWindow::SetBodyColour(std::wstring_view colour) { SetField(Text7, colour); }

void AwayWindow::ChooseFontSize(const std::wstring& size) {
    // A size that is not one of the list's leaves the size as it is.
    const LRESULT item = SendMessageW(Control(Combo1), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                      reinterpret_cast<LPARAM>(size.c_str()));
    if (item != CB_ERR) SendMessageW(Control(Combo1), CB_SETCURSEL, static_cast<WPARAM>(item), 0);
}

void AwayWindow::SetField(int id, std::wstring_view text) {
    // A multi-line box tells nothing of text set from code.
    if (id == Text2_0) OnMessageChanged();
    if (MakesDocument(id))
        ChangeFromCode([&] { SetText(id, text); });
    else
        SetText(id, text);
}

bool AwayWindow::IsTicked(int id) const { return SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

}  // namespace velmora
