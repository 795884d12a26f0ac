#include <windows.h>

#include "app/Program.h"
#include "app/Windows.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    velmora::Program program(instance);
    velmora::InstallWindows(program);
    if (!program.Start()) return 1;
    return program.Run();
}
