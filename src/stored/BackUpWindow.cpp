#include "stored/BackUpWindow.h"

#include <commctrl.h>

#include <array>

#include "misc/SystemError.h"
#include "misc/Text.h"
#include "res/resource.h"
#include "stored/BackUpControls.h"
#include "stored/StoredNames.h"
#include "travel/FileDialog.h"
#include "travel/TravelStore.h"

namespace velmora {
namespace {

using namespace BackUpIds;

constexpr DWORD kLabel = SS_LEFT | SS_NOPREFIX;
constexpr wchar_t kTitle[] = L"Back Up Stored Messages";

constexpr DWORD kCaption = SS_LEFT;  // with its access key

// Table order is creation order: the Tab order of the controls that take the keys, and each
// of them follows the label that names it (for a screen reader and its access key).
constexpr std::array kControls{
    ControlSpec{Names, WC_LISTVIEWW, L"", WS_TABSTOP | LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SHOWSELALWAYS,
                WS_EX_CLIENTEDGE, 8, 8, 344, 180, kOwnFont, kNone, kNone},
    ControlSpec{FileCaption, WC_STATICW, L"&File", kCaption, 0, 8, 200, 34, 17, kOwnFont, kNone, kNone},
    ControlSpec{FilePath, WC_EDITW, L"", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 44, 197, 227, 21, kOwnFont,
                kNone, kNone},
    ControlSpec{Browse, WC_BUTTONW, L"B&rowse...", kButton, 0, 277, 196, 75, 23, kOwnFont, kNone, kNone},
    ControlSpec{BackUp, WC_BUTTONW, L"&Back up", kButton | BS_DEFPUSHBUTTON, 0, 196, 264, 75, 25, kOwnFont, kNone,
                kNone},
    ControlSpec{Close, WC_BUTTONW, L"C&lose", kButton, 0, 277, 264, 75, 25, kOwnFont, kNone, kNone},
    ControlSpec{Outcome, WC_STATICW, L"", kLabel, 0, 8, 226, 344, 34, kOwnFont, kNone, kNone},
};

// The list of screen names has no label on the screen.
constexpr std::array kNames{AccessibleName{Names, L"Screen names to back up"}};

// Enter backs up (from the file typed, as from the list).
constexpr TableDesign kDesign{
    {L"VelmoraBackUpStored", kTitle, 360, 297, true, IDI_TOOLS},
    kControls,
    Tahoma(825),
    {},
    {},
    Side::Right,
    false,
    true,
    kNames,
    BackUp,
};

std::wstring Count(std::size_t count, const wchar_t* one, const wchar_t* many) {
    return DecimalText(static_cast<long long>(count)) + L" " + (count == 1 ? one : many);
}

}  // namespace

BackUpWindow::BackUpWindow(HINSTANCE instance, std::vector<std::wstring> screenNames, HWND beside)
    : TableWindow(instance, kDesign), screenNames_(std::move(screenNames)), beside_(beside) {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&classes);
}

LRESULT BackUpWindow::HandleOwnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    }
    return TableWindow::HandleOwnMessage(message, wParam, lParam);
}

void BackUpWindow::OnCreate() {
    HWND list = Control(Names);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT,
                 LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = Controls().Scale(320);
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    for (std::size_t i = 0; i < screenNames_.size(); ++i) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = const_cast<wchar_t*>(screenNames_[i].c_str());
        const auto row = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        ListView_SetCheckState(list, row, TRUE);
    }
}

void BackUpWindow::OnCommand(int id, int notification) {
    if (notification != BN_CLICKED) return;
    if (id == Browse) OnBrowseClicked();
    if (id == BackUp) OnBackUpClicked();
    if (id == Close) Destroy();
}

void BackUpWindow::OnBrowseClicked() {
    const std::wstring current = Text(FilePath);
    if (const std::optional<std::wstring> path =
            ChooseFileToSave(Handle(), current.empty() ? std::wstring(L"Away messages.reg") : current))
        SetText(FilePath, *path);
}

void BackUpWindow::OnBackUpClicked() {
    if (Text(FilePath).empty()) OnBrowseClicked();
    const std::wstring path = Text(FilePath);
    if (path.empty()) return;
    HWND list = Control(Names);
    std::vector<TravellingMessage> messages;
    std::size_t names = 0;
    for (std::size_t i = 0; i < screenNames_.size(); ++i) {
        if (!ListView_GetCheckState(list, static_cast<int>(i))) continue;
        ++names;
        for (TravellingMessage& message : StoredMessagesExactly(screenNames_[i]))
            messages.push_back(std::move(message));
    }
    if (messages.empty()) {
        MessageBoxW(Handle(), L"Tick the screen names whose stored messages you want in the backup.", kTitle,
                    MB_OK | MB_ICONINFORMATION);
        return;
    }
    const RegFileWriting file = WriteRegFile(messages);
    if (const DWORD error = WriteFileAt(path, file.bytes)) {
        const std::wstring text =
            L"The backup was not written.\r\n\r\nFile: " + OneLine(path, 200) + L"\r\nWhy: " + SystemErrorText(error);
        MessageBoxW(Handle(), text.c_str(), kTitle, MB_OK | MB_ICONWARNING);
        return;
    }
    std::wstring outcome = Count(messages.size() - file.leftOut.size(), L"message", L"messages") + L" of " +
                           Count(names, L"screen name", L"screen names") + L" backed up.";
    if (!file.leftOut.empty()) {
        outcome += L" Left out, as no registry file can name them:";
        for (std::size_t index : file.leftOut)
            outcome += L" " + MessageNamed(messages[index].valueName, std::nullopt, 30) + L" of " +
                       OneLine(messages[index].screenName, 30) + L";";
    }
    SetText(Outcome, outcome);
}

}  // namespace velmora
