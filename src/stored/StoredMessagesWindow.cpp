#include "stored/StoredMessagesWindow.h"

#include <commctrl.h>

#include <algorithm>
#include <array>

#include "compose/Composer.h"
#include "compose/Messages.h"
#include "misc/Ansi.h"
#include "misc/SystemError.h"
#include "res/resource.h"
#include "stored/BackUpWindow.h"
#include "stored/CopyWindow.h"
#include "stored/LoadLimits.h"
#include "stored/RestoreWindow.h"
#include "stored/StoredControls.h"
#include "stored/StoredDocument.h"
#include "stored/StoredNames.h"

namespace velmora {
namespace {

using namespace StoredIds;

constexpr FontSpec kBold = Tahoma(825, true);

constexpr DWORD kLabel = SS_LEFT | SS_NOPREFIX;
constexpr DWORD kCaption = SS_LEFT;  // with its access key

// Table order is creation order: the Tab order of the controls that take the keys, and each
// of them follows the label that names it (for a screen reader and its access key).
constexpr std::array kControls{
    ControlSpec{ScreenNameCaption, WC_STATICW, L"&Screen name", kCaption, 0, 8, 11, 76, 17, kOwnFont, kNone, kNone},
    // A drop-down list's height is its list's: about ten names.
    ControlSpec{ScreenNames, WC_COMBOBOXW, L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, 88, 8, 200, 200,
                kOwnFont, kNone, kNone},
    ControlSpec{Messages, WC_LISTBOXW, L"",
                WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_USETABSTOPS | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE, 8, 40,
                176, 248, kOwnFont, kNone, kNone},
    ControlSpec{Load, WC_BUTTONW, L"&Load", WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 8, 296, 75, 25, kOwnFont, kNone, kNone},
    ControlSpec{Delete, WC_BUTTONW, L"&Delete", kButton, 0, 91, 296, 75, 25, kOwnFont, kNone, kNone},
    ControlSpec{CopyTo, WC_BUTTONW, L"&Copy...", kButton, 0, 8, 327, 56, 25, kOwnFont, kNone, kNone},
    ControlSpec{BackUp, WC_BUTTONW, L"&Back up...", kButton, 0, 68, 327, 56, 25, kOwnFont, kNone, kNone},
    ControlSpec{RestoreFrom, WC_BUTTONW, L"&Restore...", kButton, 0, 128, 327, 56, 25, kOwnFont, kNone, kNone},
    ControlSpec{LabelShown, WC_STATICW, L"", kLabel | SS_ENDELLIPSIS, 0, 192, 40, 280, 17, kBold, kNone, kNone},
};

// The rendering, below the label.
constexpr int kRenderingX = 192;
constexpr int kRenderingY = 60;
constexpr int kRenderingWidth = 280;
constexpr int kRenderingHeight = 261;

constexpr std::array kNames{AccessibleName{Messages, L"Stored messages"}};

constexpr TableDesign kDesign{
    {L"VelmoraStored", L"Stored Messages", 480, 360, true, IDI_TOOLS},
    kControls,
    Tahoma(825),
    {},
    {},
    // Beside the main window rather than over the fields Load fills: to its left (the preview
    // opens to its right), else to its right; where neither fits, where it was put.
    Side::Left,
    false,
    true,
    kNames,
    Load,
};

// A label is one line of the window; a megabyte label still shows its start.
constexpr std::size_t kMostLabelShown = 300;

// A reading of a large registry takes seconds. With the list empty the label tells of it at
// once; over a list shown, only a reading that lasts, so a short one after a change leaves the
// window as it was.
constexpr const wchar_t* kReadingText = L"Reading the stored messages...";
constexpr UINT_PTR kReadingTimer = 1;
constexpr UINT kTellReadingAfterMs = 300;

}  // namespace

StoredMessagesWindow::StoredMessagesWindow(HINSTANCE instance, Composer& composer)
    : TableWindow(instance, kDesign), composer_(composer) {}

LRESULT StoredMessagesWindow::HandleOwnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DESTROY: OnDestroy(); return 0;
        case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
        case kStoreChangedMessage: OnStoreChanged(); return 0;
        case kStoreReadMessage: OnStoreRead(); return 0;
        case WM_TIMER: OnTimer(wParam); return 0;
        case kMainWindowClosedMessage: UpdateButtons(); return 0;
        default: return TableWindow::HandleOwnMessage(message, wParam, lParam);
    }
}

void StoredMessagesWindow::OnCreate() {
    rendering_.Create(Handle(), Rendering, RenderingRect());
    // Watched before the first reading, so no change between the two is missed.
    watch_.Start(Handle(), kStoreChangedMessage);
    reader_.Start(Handle(), kStoreReadMessage);
    // It opens at the main window's screen name when that one has stored messages, else at the
    // first name that has some.
    screenName_ = composer_.IsOpen() ? composer_.ScreenName() : std::wstring();
    // Nothing is chosen until the first reading arrives.
    UpdateButtons();
    Reload();
}

void StoredMessagesWindow::OnDestroy() {
    for (auto* window : {&copyWindow_, &backUpWindow_, &restoreWindow_})
        if (*window) (*window)->Destroy();
    reader_.Stop();
    watch_.Stop();
}

HWND StoredMessagesWindow::OpensBeside() const noexcept { return composer_.IsOpen() ? composer_.Handle() : nullptr; }

HWND StoredMessagesWindow::FirstFocus() const noexcept {
    // The keys work at once on the messages; the names chooser is a Shift+Tab away.
    return Control(Messages);
}

void StoredMessagesWindow::OnCommand(int id, int notification) {
    if (id == ScreenNames && notification == CBN_SELCHANGE) OnScreenNameChosen();
    if (id == Messages && notification == LBN_SELCHANGE) OnMessageChosen();
    if (id == Load && notification == BN_CLICKED) OnLoadClicked();
    if (id == Delete && notification == BN_CLICKED) OnDeleteClicked();
    if (id == CopyTo && notification == BN_CLICKED) OnCopyClicked();
    if (id == BackUp && notification == BN_CLICKED) OnBackUpClicked();
    if (id == RestoreFrom && notification == BN_CLICKED) OnRestoreClicked();
}

void StoredMessagesWindow::OnScreenNameChosen() {
    const LRESULT chosen = SendMessageW(Control(ScreenNames), CB_GETCURSEL, 0, 0);
    if (chosen < 0 || static_cast<std::size_t>(chosen) >= screenNames_.size()) return;
    screenName_ = screenNames_[static_cast<std::size_t>(chosen)];
    selectedValue_.clear();
    chooseFirst_ = true;
    // Nothing of the name left stays shown while the chosen one's list is read.
    values_.clear();
    SendMessageW(Control(Messages), LB_RESETCONTENT, 0, 0);
    Reload();
    ShowSelected();
    UpdateButtons();
}

void StoredMessagesWindow::ChooseFirstMessage() {
    if (values_.empty()) return;
    selectedValue_ = values_.front().name;
    SendMessageW(Control(Messages), LB_SETCURSEL, 0, 0);
    ShowSelected();
    UpdateButtons();
}

void StoredMessagesWindow::OnMessageChosen() {
    const StoredValue* value = Selected();
    selectedValue_ = value ? value->name : std::wstring();
    ShowSelected();
    UpdateButtons();
}

void StoredMessagesWindow::OnLoadClicked() {
    const StoredValue* value = Selected();
    if (!composer_.IsOpen() || !value || !value->IsMessage()) return;
    const StoredComposition read = ReadAwayDocument(value->text, AnsiCarries);
    if (const std::optional<std::wstring> why = WhyNotLoadable(read)) {
        const std::wstring text =
            NotLoadedText(value->name, read.label ? std::optional<std::wstring_view>(*read.label) : std::nullopt, *why);
        MessageBoxW(Handle(), text.c_str(), L"Stored Messages", MB_OK | MB_ICONWARNING);
        return;
    }
    composer_.LoadComposition(read, SlotTextOf(value->name), read.song.has_value());
}

void StoredMessagesWindow::OnDeleteClicked() {
    const StoredValue* value = Selected();
    if (!value) return;
    // Copied: the list may be read again while the question is open.
    const std::wstring valueName = value->name;
    const std::wstring screenName = screenName_;
    const std::optional<std::wstring> label =
        value->IsMessage() ? ReadAwayDocument(value->text, AnsiCarries).label : std::nullopt;
    const std::wstring question =
        RemoveQuestion(valueName, label ? std::optional<std::wstring_view>(*label) : std::nullopt, screenName);
    if (MessageBoxW(Handle(), question.c_str(), L"Stored Messages", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) !=
        IDYES)
        return;
    const StoreResult removed = RemoveStoredValue(screenName, valueName);
    if (!removed.Done()) {
        // As the main window tells it; the value stays chosen.
        const std::optional<std::wstring> slot = SlotTextOf(valueName);
        const std::wstring text =
            RemoveFailureText(removed, screenName, slot ? std::optional<std::wstring_view>(*slot) : std::nullopt,
                              valueName, SystemErrorText(static_cast<unsigned long>(removed.error)));
        MessageBoxW(Handle(), text.c_str(), L"Stored Messages", MB_OK | MB_ICONWARNING);
        return;
    }
    // The removed one is no longer chosen while the list is read again.
    selectedValue_.clear();
    SendMessageW(Control(Messages), LB_SETCURSEL, static_cast<WPARAM>(LB_ERR), 0);
    ShowSelected();
    UpdateButtons();
    Reload();
}

namespace {

// A window that moves messages opens afresh for what is chosen now; an open one is closed first.
void OpenAfresh(std::unique_ptr<TableWindow>& slot, std::unique_ptr<TableWindow> window) {
    if (slot) slot->Destroy();
    slot = std::move(window);
    slot->Open();
}

}  // namespace

void StoredMessagesWindow::OnCopyClicked() {
    if (screenName_.empty()) return;
    // Every screen name the client holds, also one that has no stored message yet.
    std::vector<std::wstring> offered = screenNames_;
    for (const std::wstring& held : heldNames_)
        if (std::none_of(offered.begin(), offered.end(), [&](const std::wstring& name) {
                return CompareStringOrdinal(name.c_str(), -1, held.c_str(), -1, TRUE) == CSTR_EQUAL;
            }))
            offered.push_back(held);
    CopySource source{screenName_, std::nullopt, L"", std::move(offered)};
    if (const StoredValue* value = Selected(); value && value->IsMessage()) {
        source.valueName = value->name;
        const std::optional<std::wstring> label = ReadAwayDocument(value->text, AnsiCarries).label;
        source.messageNamed =
            MessageNamed(value->name, label ? std::optional<std::wstring_view>(*label) : std::nullopt, 40);
    }
    OpenAfresh(copyWindow_, std::make_unique<CopyWindow>(Instance(), std::move(source), Handle()));
}

void StoredMessagesWindow::OnBackUpClicked() {
    OpenAfresh(backUpWindow_, std::make_unique<BackUpWindow>(Instance(), screenNames_, Handle()));
}

void StoredMessagesWindow::OnRestoreClicked() {
    if (restoreWindow_ && restoreWindow_->IsOpen()) return restoreWindow_->BringToFront();
    OpenAfresh(restoreWindow_, std::make_unique<RestoreWindow>(Instance(), Handle()));
}

void StoredMessagesWindow::OnStoreChanged() {
    // Taken before asking, so a change during the reading brings another message.
    watch_.Acknowledge();
    Reload();
}

void StoredMessagesWindow::Reload() {
    asked_ = ReadingAsked{screenName_, opening_};
    const bool wasReading = reading_;
    askedSerial_ = reader_.Ask(asked_);
    if (!askedSerial_) {
        // No thread to read on: read here, as before there was one.
        StoreReading reading = ReadStore(asked_);
        Show(reading);
        return;
    }
    reading_ = true;
    if (saysReading_) return;
    if (values_.empty()) {
        saysReading_ = true;
        ShowLabel();
    } else if (!wasReading) {
        SetTimer(Handle(), kReadingTimer, kTellReadingAfterMs, nullptr);
    }
}

void StoredMessagesWindow::OnTimer(UINT_PTR id) {
    if (id != kReadingTimer) return;
    KillTimer(Handle(), kReadingTimer);
    if (!reading_) return;
    saysReading_ = true;
    ShowLabel();
}

void StoredMessagesWindow::OnStoreRead() {
    std::optional<StoreReading> reading = reader_.Take();
    if (!reading) return;
    // A reading asked before the user chose another name shows nothing; the newer one follows.
    if (reading->asked == asked_) Show(*reading);
    if (reading->serial != askedSerial_) return;
    reading_ = false;
    KillTimer(Handle(), kReadingTimer);
    if (!saysReading_) return;
    saysReading_ = false;
    ShowLabel();
}

void StoredMessagesWindow::Show(StoreReading& reading) {
    opening_ = false;
    if (reading.chosen) screenName_ = reading.screenNames[*reading.chosen];  // as the registry spells it
    const LRESULT chosen = reading.chosen ? static_cast<LRESULT>(*reading.chosen) : CB_ERR;
    HWND names = Control(ScreenNames);
    heldNames_ = reading.heldNames;
    if (reading.screenNames != screenNames_) {
        screenNames_ = std::move(reading.screenNames);
        SendMessageW(names, CB_RESETCONTENT, 0, 0);
        for (const std::wstring& name : screenNames_)
            SendMessageW(names, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
    // A name whose key has gone shows nothing, and comes back with its key.
    if (SendMessageW(names, CB_GETCURSEL, 0, 0) != chosen)
        SendMessageW(names, CB_SETCURSEL, static_cast<WPARAM>(chosen), 0);

    // The IM client writes its other settings below the same key: those changes leave the
    // list as it is, scrolled where it was.
    if (reading.values != values_) {
        values_ = std::move(reading.values);
        HWND list = Control(Messages);
        SendMessageW(list, WM_SETREDRAW, FALSE, 0);
        SendMessageW(list, LB_RESETCONTENT, 0, 0);
        LRESULT selected = LB_ERR;
        for (std::size_t i = 0; i < values_.size(); ++i) {
            const LRESULT index =
                SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(reading.rows[i].c_str()));
            if (values_[i].name == selectedValue_) selected = index;
        }
        SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
        SendMessageW(list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list, nullptr, TRUE);
        ShowSelected();
        UpdateButtons();
    }
    if (chooseFirst_) {
        chooseFirst_ = false;
        ChooseFirstMessage();
    }
}

const StoredValue* StoredMessagesWindow::Selected() const noexcept {
    const LRESULT index = SendMessageW(Control(Messages), LB_GETCURSEL, 0, 0);
    if (index < 0 || static_cast<std::size_t>(index) >= values_.size()) return nullptr;
    return &values_[static_cast<std::size_t>(index)];
}

void StoredMessagesWindow::ShowSelected() {
    const StoredValue* value = Selected();
    if (!value || !value->IsMessage()) {
        labelShown_ = value ? L"not a message" : L"";
        ShowLabel();
        rendering_.SetDocument(L"");
        return;
    }
    const StoredComposition read = ReadAwayDocument(value->text, AnsiCarries);
    labelShown_ = OneLine(read.label.value_or(L""), kMostLabelShown);
    ShowLabel();
    rendering_.SetDocument(value->text);
}

void StoredMessagesWindow::ShowLabel() {
    Controls().SetText(LabelShown, saysReading_ ? std::wstring_view(kReadingText) : std::wstring_view(labelShown_));
}

void StoredMessagesWindow::UpdateButtons() {
    const StoredValue* value = Selected();
    const bool canLoad = value && value->IsMessage() && composer_.IsOpen();
    const bool canDelete = value != nullptr;
    // A button about to be disabled gives the focus to the list, so the keys keep working.
    HWND focus = GetFocus();
    if ((!canLoad && focus == Control(Load)) || (!canDelete && focus == Control(Delete))) SetFocus(Control(Messages));
    EnableWindow(Control(Load), canLoad);
    EnableWindow(Control(Delete), canDelete);
    EnableWindow(Control(CopyTo), !values_.empty());
}

RECT StoredMessagesWindow::RenderingRect() const noexcept {
    return Controls().ScaleRect(kRenderingX, kRenderingY, kRenderingWidth, kRenderingHeight);
}

void StoredMessagesWindow::OnLayout(UINT /*dpi*/) { rendering_.Move(RenderingRect()); }

}  // namespace velmora
