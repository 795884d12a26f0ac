#include "stored/RestoreWindow.h"

#include <commctrl.h>

#include <array>

#include "misc/SystemError.h"
#include "misc/Text.h"
#include "res/resource.h"
#include "stored/RestoreControls.h"
#include "stored/StoredNames.h"
#include "stored/TravelText.h"
#include "travel/FileDialog.h"

namespace velmora {
namespace {

using namespace RestoreIds;

constexpr DWORD kLabel = SS_LEFT | SS_NOPREFIX;
constexpr wchar_t kTitle[] = L"Restore Stored Messages";
// This window's own: a reading waits in the mailbox.
constexpr UINT kFileReadMessage = WM_APP + 60;

constexpr DWORD kCaption = SS_LEFT;  // with its access key

// Table order is creation order: the Tab order of the controls that take the keys, and each
// of them follows the label that names it (for a screen reader and its access key).
constexpr std::array kControls{
    ControlSpec{FileCaption, WC_STATICW, L"&File", kCaption, 0, 8, 11, 34, 17, kOwnFont, kNone, kNone},
    ControlSpec{FilePath, WC_EDITW, L"", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 44, 8, 306, 21, kOwnFont, kNone,
                kNone},
    ControlSpec{Browse, WC_BUTTONW, L"&Browse...", kButton, 0, 356, 7, 75, 23, kOwnFont, kNone, kNone},
    ControlSpec{ReadFile, WC_BUTTONW, L"Rea&d", kButton, 0, 437, 7, 75, 23, kOwnFont, kNone, kNone},
    ControlSpec{Found, WC_LISTVIEWW, L"", WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL, WS_EX_CLIENTEDGE,
                8, 38, 504, 196, kOwnFont, kNone, kNone},
    ControlSpec{Skipped, WC_LISTBOXW, L"", WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT,
                WS_EX_CLIENTEDGE, 8, 262, 504, 62, kOwnFont, kNone, kNone},
    ControlSpec{Restore, WC_BUTTONW, L"&Restore", kButton, 0, 356, 332, 75, 25, kOwnFont, kNone, kNone},
    ControlSpec{Close, WC_BUTTONW, L"C&lose", kButton, 0, 437, 332, 75, 25, kOwnFont, kNone, kNone},
    ControlSpec{Summary, WC_STATICW, L"Choose a backup (a .reg file) and read it.", kLabel | SS_ENDELLIPSIS, 0, 8, 240,
                504, 17, kOwnFont, kNone, kNone},
};

// The lists have no label on the screen that stands before them.
constexpr std::array kNames{AccessibleName{Found, L"Messages in the file"},
                            AccessibleName{Skipped, L"Lines of the file left out"}};

// No default button for the window as a whole: Enter in the file box reads the file typed
// (see OnDefaultButtonAsked); elsewhere it presses nothing, as Restore writes to the registry.
constexpr TableDesign kDesign{
    {L"VelmoraRestoreStored", kTitle, 520, 365, true, IDI_TOOLS},
    kControls,
    Tahoma(825),
    {},
    {},
    Side::Right,
    false,
    true,
    kNames,
};

constexpr std::size_t kMostShown = 80;

// The list's columns: screen name, slot, the file's message, and what is stored now.
constexpr std::array<std::pair<const wchar_t*, int>, 4> kColumns{
    {{L"Screen name", 110}, {L"Slot", 50}, {L"In the file", 160}, {L"Stored now", 160}}};

std::wstring Count(std::size_t count, const wchar_t* one, const wchar_t* many) {
    return DecimalText(static_cast<long long>(count)) + L" " + (count == 1 ? one : many);
}

std::wstring NowText(const TravellingMessage& message, const HeldNow& held) {
    if (!held.present) return L"(nothing)";
    if (held.type != REG_SZ) return L"(no text: left as it is)";
    if (LandingOf(message.data, true, held.data) == Landing::Same) return L"the same";
    return LabelOf({message.screenName, message.valueName, held.data});
}

void SetCell(HWND list, int row, int column, const std::wstring& text) {
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

}  // namespace

RestoreWindow::RestoreWindow(HINSTANCE instance, HWND beside) : TableWindow(instance, kDesign), beside_(beside) {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&classes);
}

LRESULT RestoreWindow::HandleOwnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DESTROY: OnDestroy(); return 0;
        case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
        case kFileReadMessage: OnFileRead(); return 0;
        case DM_GETDEFID: return OnDefaultButtonAsked();
        default: return TableWindow::HandleOwnMessage(message, wParam, lParam);
    }
}

void RestoreWindow::OnCreate() {
    HWND list = Control(Found);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT,
                 LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    for (std::size_t i = 0; i < kColumns.size(); ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = const_cast<wchar_t*>(kColumns[i].first);
        column.cx = Controls().Scale(kColumns[i].second);
        SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
    EnableRestore(false);
}

LRESULT RestoreWindow::OnDefaultButtonAsked() const {
    // A path typed and Enter reads that file; Enter in the list leaves the ticks as they are.
    return GetFocus() == Control(FilePath) ? MAKELRESULT(ReadFile, DC_HASDEFID) : 0;
}

void RestoreWindow::OnDestroy() {
    if (box_) box_->Close();
    reader_.Stop();
}

void RestoreWindow::OnCommand(int id, int notification) {
    if (id == FilePath && (notification == EN_SETFOCUS || notification == EN_KILLFOCUS)) {
        // Read looks like the default button while Enter presses it.
        const DWORD look = notification == EN_SETFOCUS ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        SendMessageW(Control(ReadFile), BM_SETSTYLE, look, TRUE);
        return;
    }
    if (notification != BN_CLICKED) return;
    if (id == Browse) OnBrowseClicked();
    if (id == ReadFile) OnReadClicked();
    if (id == Restore) OnRestoreClicked();
    if (id == Close) Destroy();
}

void RestoreWindow::OnBrowseClicked() {
    const std::optional<std::wstring> path = ChooseFileToOpen(Handle(), Text(FilePath));
    if (!path) return;
    SetText(FilePath, *path);
    OnReadClicked();
}

void RestoreWindow::OnReadClicked() {
    const std::wstring path = Text(FilePath);
    if (path.empty()) return OnBrowseClicked();
    if (box_) box_->Close();
    box_ = std::make_shared<ReadingBox>();
    box_->Open(Handle(), kFileReadMessage);
    // The reading owns its share of the mailbox: a thread left behind on closing ends by itself.
    const bool started = reader_.Start(
        [box = box_, path](HANDLE stop) {
            Reading reading{path, ReadRegFileAt(path), {}};
            for (const TravellingMessage& message : reading.file.contents.messages) {
                if (StopAsked(stop)) return;
                reading.now.push_back(StoredNow(message.screenName, message.valueName));
            }
            box->Put([&](std::optional<Reading>& held) { held = std::move(reading); });
        },
        L"Reading a backup");
    if (!started) return;
    shown_.reset();
    ShowRows();
    SetText(Summary, L"Reading the file...");
}

void RestoreWindow::OnFileRead() {
    if (!box_) return;
    std::optional<Reading> reading = box_->Take();
    if (!reading) return;
    shown_ = std::move(reading);
    ShowRows();
}

void RestoreWindow::ShowRows() {
    HWND list = Control(Found);
    HWND skipped = Control(Skipped);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    SendMessageW(skipped, LB_RESETCONTENT, 0, 0);
    if (!shown_) {
        SendMessageW(list, WM_SETREDRAW, TRUE, 0);
        EnableRestore(false);
        return;
    }
    const FileReading& file = shown_->file;
    const RegFileContents& contents = file.contents;
    if (file.error) {
        SetText(Summary, L"The file could not be read: " + SystemErrorText(file.error));
    } else if (contents.problem != RegFileProblem::None) {
        SetText(Summary, RegFileProblemText(contents.problem));
    } else {
        std::wstring summary = Count(contents.messages.size(), L"message", L"messages") + L" in the file";
        if (contents.skippedCount) summary += L"; " + Count(contents.skippedCount, L"line", L"lines") + L" left out:";
        SetText(Summary, summary);
    }
    for (std::size_t i = 0; i < contents.messages.size(); ++i) {
        const TravellingMessage& message = contents.messages[i];
        const std::wstring name = OneLine(message.screenName, kMostShown);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = const_cast<wchar_t*>(name.c_str());
        const auto row = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        const std::optional<std::wstring> slot = SlotTextOf(message.valueName);
        SetCell(list, row, 1, OneLine(slot ? *slot : message.valueName, kMostShown));
        SetCell(list, row, 2, LabelOf(message));
        const HeldNow& held = shown_->now[i];
        SetCell(list, row, 3, NowText(message, held));
        // What is there already, or cannot be replaced, starts unticked.
        const bool ticked = held.present ? held.type == REG_SZ && held.data != message.data : true;
        ListView_SetCheckState(list, row, ticked);
    }
    for (const SkippedLine& line : contents.skipped) {
        const std::wstring text = SkippedLineText(line);
        SendMessageW(skipped, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    if (contents.skippedCount > contents.skipped.size()) {
        const std::wstring more =
            L"... and " + Count(contents.skippedCount - contents.skipped.size(), L"line", L"lines") + L" more";
        SendMessageW(skipped, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(more.c_str()));
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    EnableRestore(!contents.messages.empty());
}

void RestoreWindow::EnableRestore(bool enabled) {
    HWND restore = Control(Restore);
    // A button disabled with the keys on it would leave them nowhere (Esc and Tab then reach
    // nothing): they go to the file box. Left enabled, it keeps them, also after restoring.
    if (!enabled && GetFocus() == restore) SetFocus(Control(FilePath));
    EnableWindow(restore, enabled);
}

std::vector<std::size_t> RestoreWindow::TickedRows() const {
    std::vector<std::size_t> rows;
    HWND list = Control(Found);
    const auto count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row)
        if (ListView_GetCheckState(list, row)) rows.push_back(static_cast<std::size_t>(row));
    return rows;
}

void RestoreWindow::OnRestoreClicked() {
    if (!shown_) return;
    const std::vector<TravellingMessage>& messages = shown_->file.contents.messages;
    std::vector<TravellingMessage> kept;
    std::size_t same = 0, declined = 0;
    for (std::size_t row : TickedRows()) {
        if (row >= messages.size()) continue;
        const TravellingMessage& message = messages[row];
        // What is stored now, again: it may have changed since the file was read.
        const HeldNow held = StoredNow(message.screenName, message.valueName);
        switch (LandingOf(message.data, held.present && held.type == REG_SZ, held.data)) {
            case Landing::Same: ++same; continue;
            case Landing::New: break;
            case Landing::Replaces: {
                const std::wstring question = ReplaceQuestion({message.screenName, message.valueName, held.data},
                                                              {L"the backup", message.valueName, message.data});
                const int answer = MessageBoxW(Handle(), question.c_str(), kTitle, MB_YESNOCANCEL | MB_ICONQUESTION);
                if (answer == IDCANCEL) return;
                if (answer == IDNO) {
                    ++declined;
                    continue;
                }
                break;
            }
        }
        kept.push_back(message);
    }
    const TravelWriting written = WriteMessagesExactly(kept);
    if (!written.Done()) {
        MessageBoxW(
            Handle(),
            TravelFailureText(written, kept, SystemErrorText(static_cast<unsigned long>(written.error))).c_str(),
            kTitle, MB_OK | MB_ICONWARNING);
        return;
    }
    // The rows show what is stored now.
    for (std::size_t i = 0; i < messages.size(); ++i)
        shown_->now[i] = StoredNow(messages[i].screenName, messages[i].valueName);
    ShowRows();
    std::wstring outcome = Count(kept.size(), L"message", L"messages") + L" restored";
    if (same) outcome += L"; " + Count(same, L"was", L"were") + L" there already";
    if (declined) outcome += L"; " + Count(declined, L"kept as it was", L"kept as they were");
    SetText(Summary, outcome + L".");
}

}  // namespace velmora
