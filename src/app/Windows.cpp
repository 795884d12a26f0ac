#include "app/Windows.h"

#include "app/Program.h"

namespace velmora {

void InstallWindows(Program& /*program*/) {
    // Each window registers itself here as it is built:
    // program.SetFactory(ChildWindow::..., [&program] { ... });
}

}  // namespace velmora
