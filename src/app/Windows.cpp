#include "app/Windows.h"

#include <memory>

#include "app/Program.h"
#include "colour/ColourPickerWindow.h"

namespace velmora {

void InstallWindows(Program& program) {
    // Each window registers itself here as it is built:
    // program.SetFactory(ChildWindow::..., [&program] { ... });
    program.SetFactory(ChildWindow::FontColour, [&program] {
        auto w = std::make_unique<ColourPickerWindow>(program, ColourPickerWindow::Kind::FontColour);
        w->Open();
        return w;
    });
    program.SetFactory(ChildWindow::BodyColour, [&program] {
        auto w = std::make_unique<ColourPickerWindow>(program, ColourPickerWindow::Kind::BodyColour);
        w->Open();
        return w;
    });
}

}  // namespace velmora
