#include "stored/CopyWindow.h"

#include <commctrl.h>

#include <array>

#include "misc/SystemError.h"
#include "misc/Text.h"
#include "res/resource.h"
#include "stored/CopyControls.h"
#include "stored/StoredNames.h"
#include "stored/TravelText.h"
#include "travel/TravelStore.h"

namespace velmora {
namespace {

using namespace CopyIds;

constexpr DWORD kRadio = WS_TABSTOP | BS_AUTORADIOBUTTON;
constexpr DWORD kLabel = SS_LEFT | SS_NOPREFIX;
constexpr wchar_t kTitle[] = L"Copy Stored Messages";

constexpr DWORD kCaption = SS_LEFT;  // with its access key

// Table order is creation order: the Tab order of the controls that take the keys, and each
// of them follows the label that names it (for a screen reader and its access key).
constexpr std::array kControls{
    ControlSpec{ThisMessage, WC_BUTTONW, L"&This message", kRadio | WS_GROUP, 0, 8, 8, 304, 17, kOwnFont, kNone, kNone},
    ControlSpec{AllMessages, WC_BUTTONW, L"&All messages", kRadio, 0, 8, 28, 304, 17, kOwnFont, kNone, kNone},
    ControlSpec{ToCaption, WC_STATICW, L"To screen &name", kCaption, 0, 8, 57, 92, 17, kOwnFont, kNone, kNone},
    ControlSpec{ToScreenName, WC_COMBOBOXW, L"", WS_TABSTOP | WS_GROUP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, 0,
                104, 54, 208, 200, kOwnFont, kNone, kNone},
    ControlSpec{SlotForSlot, WC_BUTTONW, L"&Slot for slot", kRadio | WS_GROUP, 0, 8, 86, 120, 17, kOwnFont, kNone,
                kNone},
    ControlSpec{IntoSlot, WC_BUTTONW, L"&Into slot", kRadio, 0, 8, 108, 90, 17, kOwnFont, kNone, kNone},
    ControlSpec{SlotBox, WC_EDITW, L"", WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 104, 106, 48, 21,
                kOwnFont, kNone, kNone},
    ControlSpec{Copy, WC_BUTTONW, L"&Copy", kButton | BS_DEFPUSHBUTTON, 0, 156, 176, 75, 25, kOwnFont, kNone, kNone},
    ControlSpec{Close, WC_BUTTONW, L"C&lose", kButton, 0, 237, 176, 75, 25, kOwnFont, kNone, kNone},
    ControlSpec{Outcome, WC_STATICW, L"", kLabel, 0, 8, 136, 304, 34, kOwnFont, kNone, kNone},
};

// The slot box stands after its radio button, which a screen reader does not take as its label.
constexpr std::array kNames{AccessibleName{SlotBox, L"Slot to copy into"}};

// Enter copies (from the screen name typed, as from anywhere in the window).
constexpr TableDesign kDesign{
    {L"VelmoraCopyStored", kTitle, 320, 209, true, IDI_TOOLS},
    kControls,
    Tahoma(825),
    {},
    {},
    Side::Right,
    false,
    true,
    kNames,
    Copy,
};

constexpr std::size_t kMostNameShown = 60;

// As the registry compares names (for the names a screen name is made of).
bool SameName(std::wstring_view left, std::wstring_view right) { return AsciiLower(left) == AsciiLower(right); }

// A screen name or a label shown in a caption with access keys: its "&" shown as it is.
std::wstring ShownAsTyped(std::wstring_view text) {
    std::wstring shown;
    for (const wchar_t character : text) {
        if (character == L'&') shown += L'&';
        shown += character;
    }
    return shown;
}

bool Checked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }
void Check(HWND button, bool checked) { SendMessageW(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0); }

std::wstring Count(std::size_t count, const wchar_t* one, const wchar_t* many) {
    return DecimalText(static_cast<long long>(count)) + L" " + (count == 1 ? one : many);
}

}  // namespace

CopyWindow::CopyWindow(HINSTANCE instance, CopySource source, HWND beside)
    : TableWindow(instance, kDesign), source_(std::move(source)), beside_(beside) {}

LRESULT CopyWindow::HandleOwnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    }
    return TableWindow::HandleOwnMessage(message, wParam, lParam);
}

void CopyWindow::OnCreate() {
    const std::wstring from = ShownAsTyped(OneLine(source_.screenName, kMostNameShown));
    SetText(ThisMessage, L"&This message: " + ShownAsTyped(source_.messageNamed) + L" of " + from);
    SetText(AllMessages, L"&All messages of " + from);
    HWND names = Control(ToScreenName);
    for (const std::wstring& name : source_.screenNames)
        SendMessageW(names, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    Check(Control(ThisMessage), source_.valueName.has_value());
    Check(Control(AllMessages), !source_.valueName);
    EnableWindow(Control(ThisMessage), source_.valueName.has_value());
    Check(Control(SlotForSlot), true);
    UpdateControls();
}

HWND CopyWindow::FirstFocus() const noexcept { return Control(ToScreenName); }

void CopyWindow::OnCommand(int id, int notification) {
    if (notification != BN_CLICKED) return;
    if (id == ThisMessage || id == AllMessages || id == SlotForSlot || id == IntoSlot) UpdateControls();
    if (id == Copy) OnCopyClicked();
    if (id == Close) Destroy();
}

void CopyWindow::UpdateControls() {
    // Several messages cannot share one slot: they go slot for slot.
    const bool one = Checked(Control(ThisMessage));
    if (!one && Checked(Control(IntoSlot))) {
        Check(Control(IntoSlot), false);
        Check(Control(SlotForSlot), true);
    }
    EnableWindow(Control(IntoSlot), one);
    EnableWindow(Control(SlotBox), one && Checked(Control(IntoSlot)));
}

void CopyWindow::OnCopyClicked() {
    const std::wstring to = Text(ToScreenName);
    const bool one = Checked(Control(ThisMessage));
    const std::optional<std::wstring> slot =
        one && Checked(Control(IntoSlot)) ? std::optional<std::wstring>(Text(SlotBox)) : std::nullopt;
    const auto tell = [&](const std::wstring& text) {
        MessageBoxW(Handle(), text.c_str(), kTitle, MB_OK | MB_ICONWARNING);
    };
    if (to.empty()) return tell(L"Choose or type the screen name to copy to.");
    if (slot && slot->empty()) return tell(L"Type the slot to copy into, such as 3.");
    if (!slot && SameName(to, source_.screenName))
        return tell(
            L"Slot for slot, the messages of a screen name are already its own. Choose another screen "
            L"name, or a slot to copy into.");

    // What is stored now, exactly: the list shown may be a moment old.
    std::vector<TravellingMessage> chosen;
    for (TravellingMessage& message : StoredMessagesExactly(source_.screenName))
        if (!one || SameName(message.valueName, *source_.valueName)) chosen.push_back(std::move(message));
    if (chosen.empty()) return tell(L"Nothing to copy: the message is no longer stored.");

    std::vector<TravellingMessage> copies = CopiedInto(chosen, to, slot);
    std::vector<TravellingMessage> kept;
    std::size_t same = 0, declined = 0;
    for (std::size_t i = 0; i < copies.size(); ++i) {
        const HeldNow held = StoredNow(to, copies[i].valueName);
        switch (LandingOf(copies[i].data, held.present && held.type == REG_SZ, held.data)) {
            case Landing::Same: ++same; continue;
            case Landing::New: break;
            case Landing::Replaces: {
                const std::wstring question = ReplaceQuestion({to, copies[i].valueName, held.data}, chosen[i]);
                const int answer = MessageBoxW(Handle(), question.c_str(), kTitle, MB_YESNOCANCEL | MB_ICONQUESTION);
                if (answer == IDCANCEL) return;
                if (answer == IDNO) {
                    ++declined;
                    continue;
                }
                break;
            }
        }
        kept.push_back(std::move(copies[i]));
    }
    const TravelWriting written = WriteMessagesExactly(kept);
    if (!written.Done()) {
        MessageBoxW(
            Handle(),
            TravelFailureText(written, kept, SystemErrorText(static_cast<unsigned long>(written.error))).c_str(),
            kTitle, MB_OK | MB_ICONWARNING);
        return;
    }
    std::wstring outcome = Count(kept.size(), L"message", L"messages") + L" copied to " + OneLine(to, kMostNameShown);
    if (same) outcome += L"; " + Count(same, L"was", L"were") + L" there already";
    if (declined) outcome += L"; " + Count(declined, L"kept as it was", L"kept as they were");
    SetText(Outcome, outcome + L".");
}

}  // namespace velmora
