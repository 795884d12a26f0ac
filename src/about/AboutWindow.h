#pragma once
// The window "About": Velmora's name, its makers, and a link to its home page.
#include "misc/TableWindow.h"

namespace velmora {

class AboutWindow final : public TableWindow {
public:
    explicit AboutWindow(HINSTANCE instance);

private:
    LRESULT HandleOwnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnCreate() override;
    bool OnKey(const MSG& message) override;  // Enter: the link
    void OnLinkClicked();                     // Label6
};

}  // namespace velmora
