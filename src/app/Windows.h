#pragma once

namespace velmora {

class Program;

// Tells the program how each of its other windows is made.
void InstallWindows(Program& program);

}  // namespace velmora
