#pragma once
// The window "Help": three notes on what Velmora does.
#include "misc/TableWindow.h"

namespace velmora {

class HelpWindow final : public TableWindow {
public:
    explicit HelpWindow(HINSTANCE instance);
};

}  // namespace velmora
