#include "app/Windows.h"

#include <memory>

#include "about/AboutWindow.h"
#include "about/HelpWindow.h"
#include "aim/PersonalWindow.h"
#include "app/Program.h"
#include "colour/ColourPickerWindow.h"
#include "preview/PreviewWindow.h"
#include "stored/StoredMessagesWindow.h"

namespace velmora {
namespace {

// A factory that makes the window afresh from its design and opens it.
template <typename WindowType, typename... Arguments>
SingleWindow::Factory Opening(Program& program, Arguments... arguments) {
    return [&program, arguments...]() -> std::unique_ptr<Window> {
        auto window = std::make_unique<WindowType>(program, arguments...);
        window->Open();
        return window;
    };
}

}  // namespace

void InstallWindows(Program& program) {
    program.SetFactory(ChildWindow::FontColour,
                       Opening<ColourPickerWindow>(program, ColourPickerWindow::Kind::FontColour));
    program.SetFactory(ChildWindow::BodyColour,
                       Opening<ColourPickerWindow>(program, ColourPickerWindow::Kind::BodyColour));
    program.SetFactory(ChildWindow::PersonalMessage, Opening<PersonalWindow>(program));
    program.SetFactory(ChildWindow::Help, Opening<HelpWindow>(program));
    program.SetFactory(ChildWindow::About, Opening<AboutWindow>(program));
    program.SetFactory(ChildWindow::Preview, Opening<PreviewWindow>(program));
    program.SetFactory(ChildWindow::StoredMessages, Opening<StoredMessagesWindow>(program));
}

}  // namespace velmora
