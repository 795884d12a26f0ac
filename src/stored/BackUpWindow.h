#pragma once
// The window "Back Up Stored Messages": the stored messages of the screen names ticked (all at
// first) written byte for byte to a file in the registry editor's own format, which Restore,
// a double-click in Windows or "reg import" brings back.
#include <string>
#include <vector>

#include "misc/TableWindow.h"

namespace velmora {

class BackUpWindow final : public TableWindow {
public:
    BackUpWindow(HINSTANCE instance, std::vector<std::wstring> screenNames, HWND beside);

private:
    LRESULT HandleOwnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnCreate() override;
    HWND OpensBeside() const noexcept override { return beside_; }

    void OnCommand(int id, int notification);
    void OnBrowseClicked();  // Browse
    void OnBackUpClicked();  // BackUp

    std::vector<std::wstring> screenNames_;
    HWND beside_;
};

}  // namespace velmora
