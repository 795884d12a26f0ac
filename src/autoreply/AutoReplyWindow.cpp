#include "autoreply/AutoReplyWindow.h"

#include <commctrl.h>

#include <array>
#include <iterator>
#include <memory>
#include <span>

#include "autoreply/AutoReplyControls.h"
#include "autoreply/AutoReplySettings.h"
#include "compose/Composer.h"
#include "compose/Messages.h"
#include "misc/SystemError.h"
#include "misc/Text.h"
#include "res/resource.h"
#include "storage/INI.h"

namespace velmora {
namespace {

using namespace AutoReplyIds;

constexpr DWORD kList = WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_USETABSTOPS | LBS_NOINTEGRALHEIGHT;
constexpr DWORD kChoice = WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;

constexpr DWORD kCaption = SS_LEFT;  // with its access key, naming the control after it

// Table order is creation order: the Tab order of the controls that take the keys, and each
// follows the label that names it (for a screen reader and its access key).
constexpr std::array kControls{
    ControlSpec{RulesCaption, WC_STATICW, L"R&ules: the first row whose names match the sender answers", kCaption, 0, 8,
                8, 376, 17, kOwnFont, kNone, kNone},
    ControlSpec{Rules, WC_LISTBOXW, L"", kList, WS_EX_CLIENTEDGE, 8, 28, 376, 96, kOwnFont, kNone, kNone},
    ControlSpec{Add, WC_BUTTONW, L"&Add", kButton, 0, 392, 28, 80, 24, kOwnFont, kNone, kNone},
    ControlSpec{Remove, WC_BUTTONW, L"Re&move", kButton, 0, 392, 58, 80, 24, kOwnFont, kNone, kNone},
    ControlSpec{EveryoneElse, WC_BUTTONW, L"&Everyone else", WS_TABSTOP | BS_AUTOCHECKBOX, 0, 392, 92, 84, 20, kOwnFont,
                kNone, kNone},
    // Two lines: the names are separated by commas, as a screen name cannot hold one.
    ControlSpec{NamesCaption, WC_STATICW, L"&Names\r\n(a, b, c)", kCaption, 0, 8, 134, 52, 28, kOwnFont, kNone, kNone},
    ControlSpec{Names, WC_EDITW, L"", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 64, 132, 408, 21, kOwnFont, kNone,
                kNone},
    ControlSpec{ReplyCaption, WC_STATICW, L"&Reply", kCaption, 0, 8, 163, 52, 17, kOwnFont, kNone, kNone},
    ControlSpec{Reply, WC_EDITW, L"", WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
                WS_EX_CLIENTEDGE, 64, 160, 408, 72, kOwnFont, kNone, kNone},
    ControlSpec{AnswerAgainCaption, WC_STATICW, L"Answer again af&ter", kCaption, 0, 8, 243, 140, 17, kOwnFont, kNone,
                kNone},
    // A drop-down list's height is its list's.
    ControlSpec{AnswerAgain, WC_COMBOBOXW, L"", kChoice, 0, 152, 240, 120, 120, kOwnFont, kNone, kNone},
    ControlSpec{IdleCaption, WC_STATICW, L"Only when I am away from the &keyboard", kCaption, 0, 8, 271, 236, 17,
                kOwnFont, kNone, kNone},
    ControlSpec{Idle, WC_COMBOBOXW, L"", kChoice, 0, 248, 268, 120, 120, kOwnFont, kNone, kNone},
    ControlSpec{Switch, WC_BUTTONW, L"Off", WS_TABSTOP | BS_AUTOCHECKBOX | BS_PUSHLIKE, 0, 24, 296, 57, 23, kOwnFont,
                kNone, kNone},
    ControlSpec{LogCaption, WC_STATICW, L"Replies sent, newest &first", kCaption, 0, 8, 330, 300, 17, kOwnFont, kNone,
                kNone},
    ControlSpec{Log, WC_LISTBOXW, L"", kList, WS_EX_CLIENTEDGE, 8, 348, 464, 92, kOwnFont, kNone, kNone},
};

// The lamp beside the switch, as the personal window's: dark red when off, blue when on.
constexpr PaintedRect kLamp{8, 303, 9, 9, Paint::Rgb(0xC00000), Paint::Rgb(0xC0C0C0)};
constexpr Paint kLampOn = Paint::Rgb(0x0000FF);

constexpr TableDesign kDesign{
    {L"VelmoraAutoReply", L"Auto Reply", 480, 448, true, IDI_TOOLS},
    kControls,
    Tahoma(825),
    {},
    {},
    Side::Right,
    false,
    // Esc closes it; no default button: Enter belongs to the reply box.
    true,
};

constexpr std::wstring_view kEveryoneElseRow = L"Everyone else";
// Rows are one line of the list: a thousand names still show their start.
constexpr std::size_t kMostNamesShown = 40;

std::wstring ChoiceText(int minutes, const wchar_t* zero) {
    return minutes == 0 ? std::wstring(zero) : DecimalText(minutes) + L" minutes";
}

template <std::size_t N>
void FillChoices(HWND combo, const int (&choices)[N], const wchar_t* zero, int chosen) {
    for (std::size_t i = 0; i < N; ++i) {
        const std::wstring text = ChoiceText(choices[i], zero);
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        if (choices[i] == chosen) SendMessageW(combo, CB_SETCURSEL, i, 0);
    }
}

template <std::size_t N>
int ChosenChoice(HWND combo, const int (&choices)[N]) {
    const LRESULT index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    return index >= 0 && static_cast<std::size_t>(index) < N ? choices[index] : choices[0];
}

void SetTabStops(HWND list, std::span<const int> stops) {
    SendMessageW(list, LB_SETTABSTOPS, stops.size(), reinterpret_cast<LPARAM>(stops.data()));
}

}  // namespace

AutoReplyWindow::AutoReplyWindow(HINSTANCE instance, Composer* composer, std::wstring settingsPath, WatchClock clock,
                                 AutoReplyLog& log)
    : TableWindow(instance, kDesign),
      composer_(composer),
      settingsPath_(std::move(settingsPath)),
      watch_(clock),
      log_(log),
      ticksDoneQuery_(RegisterWindowMessageW(kTicksDoneQueryName)) {}

LRESULT AutoReplyWindow::HandleOwnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == ticksDoneQuery_ && ticksDoneQuery_ != 0) return static_cast<LRESULT>(watch_.TicksDone());
    switch (message) {
        case WM_CLOSE: OnClose(); return 0;
        case WM_DESTROY: OnDestroy(); return 0;
        case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
        case WM_TIMER: OnTimer(wParam); return 0;
        case kReplySentMessage: OnReplySent(); return 0;
        default: return TableWindow::HandleOwnMessage(message, wParam, lParam);
    }
}

void AutoReplyWindow::OnCreate() {
    settings_ = ReadAutoReplySettings(ReadSettingsFile(settingsPath_));
    saved_ = settings_;
    AddTip(EveryoneElse,
           L"Ticked, a buddy whom no row names gets the \"Everyone else\" row's reply; unticked, no reply");
    constexpr int kRowStops[] = {96};
    constexpr int kLogStops[] = {36, 110};
    SetTabStops(Control(Rules), kRowStops);
    SetTabStops(Control(Log), kLogStops);
    FillChoices(Control(AnswerAgain), kAnswerAgainChoices, L"never", settings_.answerAgainMinutes);
    FillChoices(Control(Idle), kIdleChoices, L"always", settings_.idleMinutes);
    SendMessageW(Control(EveryoneElse), BM_SETCHECK, settings_.everyoneElse ? BST_CHECKED : BST_UNCHECKED, 0);
    ShowRows();
    SendMessageW(Control(Rules), LB_SETCURSEL, 0, 0);
    ShowChosenRow();
    for (const std::wstring& row : log_.Rows())
        SendMessageW(Control(Log), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
    watch_.Start(Handle(), kReplySentMessage);  // a failure to start is reported there
    // The switch comes back as it was left: watching again, the lines shown now taken as read.
    ShowSwitch();
    if (settings_.on) {
        watch_.SwitchOn();
        SetTimer(Handle(), TickTimer, TickIntervalMs, nullptr);
    }
}

void AutoReplyWindow::OnClose() {
    // A close asked for while the question below is open waits for its answer.
    if (askingToClose_) return;
    if (savePending_) {
        if (const unsigned long error = Save(false)) {
            // The last chance for the changes, asked as the main window asks for its message.
            askingToClose_ = true;
            const std::wstring question = RulesNotSavedText(settingsPath_, SystemErrorText(error), true);
            const int answer =
                MessageBoxW(Handle(), question.c_str(), L"Velmora", MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2);
            askingToClose_ = false;
            if (answer != IDYES) return;
            savePending_ = false;
        }
    }
    DestroyWindow(Handle());
}

void AutoReplyWindow::OnDestroy() {
    watch_.Stop();
    KillTimer(Handle(), TickTimer);
    KillTimer(Handle(), SaveTimer);
    if (savePending_) Save(false);
}

// Beside the main window, to its right, else to its left; where neither fits, where it was put.
HWND AutoReplyWindow::OpensBeside() const noexcept {
    return composer_ && composer_->IsOpen() ? composer_->Handle() : nullptr;
}

void AutoReplyWindow::OnCommand(int id, int notification) {
    if (id == Rules && notification == LBN_SELCHANGE) OnRowChosen();
    if (id == Add && notification == BN_CLICKED) OnAddClicked();
    if (id == Remove && notification == BN_CLICKED) OnRemoveClicked();
    if (id == EveryoneElse && notification == BN_CLICKED) OnEveryoneElseTicked();
    if ((id == Names || id == Reply) && notification == EN_CHANGE) OnRowTextChanged();
    if ((id == AnswerAgain || id == Idle) && notification == CBN_SELCHANGE) OnChoiceMade();
    if (id == Switch && notification == BN_CLICKED) OnSwitchClicked();
}

void AutoReplyWindow::OnTimer(UINT_PTR id) {
    if (id == TickTimer && settings_.on) watch_.Tick(settings_);
    if (id == SaveTimer) {
        KillTimer(Handle(), SaveTimer);
        Save();
    }
}

void AutoReplyWindow::OnReplySent() {
    for (const AutoReplyLogRow& row : watch_.TakeLog()) {
        std::wstring text = row.time + L"\t" + row.buddy + L"\t" + row.words;
        if (!row.senderChecked) text += L" (the sender could not be checked)";
        text += OutcomeWords(row);
        SendMessageW(Control(Log), LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        if (SendMessageW(Control(Log), LB_GETCOUNT, 0, 0) > static_cast<LRESULT>(kMostLogRows))
            SendMessageW(Control(Log), LB_DELETESTRING, kMostLogRows, 0);
        log_.Add(std::move(text));
    }
}

std::size_t AutoReplyWindow::ChosenRow() const noexcept {
    const LRESULT index = SendMessageW(Control(Rules), LB_GETCURSEL, 0, 0);
    return index < 0 ? settings_.rules.size() + 1 : static_cast<std::size_t>(index);
}

void AutoReplyWindow::ShowRows() {
    HWND list = Control(Rules);
    const LRESULT chosen = SendMessageW(list, LB_GETCURSEL, 0, 0);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const AutoReplyRule& rule : settings_.rules) {
        const std::wstring row = FirstWords(rule.names, kMostNamesShown) + L"\t" + FirstWords(rule.reply);
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
    }
    std::wstring everyone(kEveryoneElseRow);
    everyone += settings_.everyoneElse ? L"\t" + FirstWords(settings_.everyoneElseReply) : L"\t(not answered)";
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(everyone.c_str()));
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(chosen), 0);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void AutoReplyWindow::ShowChosenRow() {
    const std::size_t row = ChosenRow();
    const bool everyone = row == settings_.rules.size();
    // A reply too long for the box shows its start and a note, and is not edited here.
    const ReplyInBox reply = ReplyShownInBox(row < settings_.rules.size() ? settings_.rules[row].reply
                                             : everyone                   ? settings_.everyoneElseReply
                                                                          : L"");
    replyWhole_ = reply.whole;
    showing_ = true;
    SetText(Names, row < settings_.rules.size() ? settings_.rules[row].names : L"");
    SetText(Reply, reply.text);
    showing_ = false;
    SendMessageW(Control(Reply), EM_SETREADONLY, !replyWhole_, 0);
    // "Everyone else" has no names, and is not removed; its tick says whether it answers.
    EnableWindow(Control(Names), row < settings_.rules.size());
    EnableWindow(Control(Reply), row <= settings_.rules.size());
    EnableWindow(Control(Remove), row < settings_.rules.size());
}

void AutoReplyWindow::ShowSwitch() {
    SendMessageW(Control(Switch), BM_SETCHECK, settings_.on ? BST_CHECKED : BST_UNCHECKED, 0);
    SetText(Switch, settings_.on ? L"On" : L"Off");
    const RECT lamp = Controls().ScaleRect(kLamp.x, kLamp.y, kLamp.width, kLamp.height);
    InvalidateRect(Handle(), &lamp, FALSE);
}

void AutoReplyWindow::OnRowChosen() { ShowChosenRow(); }

void AutoReplyWindow::OnAddClicked() {
    if (settings_.rules.size() >= kMostAutoReplyRules) {
        const std::wstring text =
            L"Auto Reply takes at most " + DecimalText(static_cast<long long>(kMostAutoReplyRules)) +
            L" rows, and this list has " + DecimalText(static_cast<long long>(settings_.rules.size())) +
            L". Remove a row, or add the names to a row that has the same reply.";
        MessageBoxW(Handle(), text.c_str(), L"Velmora", MB_OK | MB_ICONINFORMATION);
        return;
    }
    settings_.rules.push_back({});
    ShowRows();
    SendMessageW(Control(Rules), LB_SETCURSEL, settings_.rules.size() - 1, 0);
    ShowChosenRow();
    SetFocus(Control(Names));
    Save();
}

void AutoReplyWindow::OnRemoveClicked() {
    const std::size_t row = ChosenRow();
    if (row >= settings_.rules.size()) return;
    settings_.rules.erase(settings_.rules.begin() + static_cast<std::ptrdiff_t>(row));
    // There is always one row to fill in.
    if (settings_.rules.empty()) settings_.rules.push_back({});
    ShowRows();
    SendMessageW(Control(Rules), LB_SETCURSEL, std::min(row, settings_.rules.size() - 1), 0);
    ShowChosenRow();
    // The keys go back to the rows: a space typed next does not remove another one.
    SetFocus(Control(Rules));
    Save();
}

void AutoReplyWindow::OnEveryoneElseTicked() {
    settings_.everyoneElse = SendMessageW(Control(EveryoneElse), BM_GETCHECK, 0, 0) == BST_CHECKED;
    ShowRows();
    Save();
}

void AutoReplyWindow::OnRowTextChanged() {
    if (showing_) return;
    const std::size_t row = ChosenRow();
    if (row < settings_.rules.size()) {
        settings_.rules[row].names = Text(Names);
        if (replyWhole_) settings_.rules[row].reply = Text(Reply);
    } else if (row == settings_.rules.size()) {
        if (replyWhole_) settings_.everyoneElseReply = Text(Reply);
    } else {
        return;
    }
    ShowRows();
    SaveSoon();
}

void AutoReplyWindow::OnChoiceMade() {
    settings_.answerAgainMinutes = ChosenChoice(Control(AnswerAgain), kAnswerAgainChoices);
    settings_.idleMinutes = ChosenChoice(Control(Idle), kIdleChoices);
    Save();
}

void AutoReplyWindow::OnSwitchClicked() {
    settings_.on = !settings_.on;
    // Before Off shows: no reply goes out after it.
    if (!settings_.on) watch_.SwitchOff();
    ShowSwitch();
    if (settings_.on) {
        watch_.SwitchOn();
        SetTimer(Handle(), TickTimer, TickIntervalMs, nullptr);
    } else {
        KillTimer(Handle(), TickTimer);
    }
    Save();
}

void AutoReplyWindow::PaintMore(HDC dc) {
    PaintedRect lamp = kLamp;
    if (settings_.on) lamp.fill = kLampOn;
    Controls().PaintRects(dc, std::span(&lamp, 1));
}

void AutoReplyWindow::SaveSoon() {
    savePending_ = true;
    SetTimer(Handle(), SaveTimer, SaveDelayMs, nullptr);
}

unsigned long AutoReplyWindow::Save(bool mayTell) {
    savePending_ = false;
    KillTimer(Handle(), SaveTimer);
    // Merged with the file as it is right before it is replaced: another copy of Velmora in this
    // folder may have saved rows, choices or a message since.
    const unsigned long error = RewriteSettingsFile(
        settingsPath_, [this](std::string_view file) { return MergeAutoReplySettingsInto(file, saved_, settings_); });
    if (error == 0) {
        saved_ = settings_;
        failureTold_ = false;
        return 0;
    }
    // The window goes on with these rules, and the next change tries again; what is not saved
    // now is what the next save merges in, measured from what was saved before.
    savePending_ = true;
    if (!mayTell || failureTold_) return error;
    failureTold_ = true;
    const std::wstring text = RulesNotSavedText(settingsPath_, SystemErrorText(error));
    MessageBoxW(Handle(), text.c_str(), L"Velmora", MB_OK | MB_ICONWARNING);
    return error;
}

}  // namespace velmora
