#pragma once
// The window "Copy Stored Messages": the message chosen in Stored Messages, or all of its screen
// name's, copied byte for byte into another screen name, slot for slot or into a chosen slot,
// asking before a different message is replaced.
#include <optional>
#include <string>
#include <vector>

#include "misc/TableWindow.h"

namespace velmora {

struct CopySource {
    std::wstring screenName;
    std::optional<std::wstring> valueName;  // the message chosen, if one is
    std::wstring messageNamed;              // how the choice names it: "'Weekend' (slot 3)"
    std::vector<std::wstring> screenNames;  // offered to copy to
};

class CopyWindow final : public TableWindow {
public:
    CopyWindow(HINSTANCE instance, CopySource source, HWND beside);

private:
    LRESULT HandleOwnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnCreate() override;
    HWND OpensBeside() const noexcept override { return beside_; }
    HWND FirstFocus() const noexcept override;

    void OnCommand(int id, int notification);
    void OnCopyClicked();  // Copy
    void UpdateControls();

    CopySource source_;
    HWND beside_;
};

}  // namespace velmora
