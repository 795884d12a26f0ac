#pragma once
// Where a window opens beside another: the rule of Window::OpenBeside without the window
// system, so it is tested with any screens.

namespace velmora {

struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;
};
struct Spot {
    int x = 0, y = 0;
};
enum class Side { Left, Right };

// A window of width x height opens beside `other`, `gap` pixels from it, on the preferred side,
// else on the other side, within `work` (the work area of the screen `other` is on). Where
// neither side has room it stays at `put`, or with `elseAtEdge` goes as near the preferred
// edge of `work` as it fits. Its top is level with the other's, kept within `work`.
Spot PlaceBeside(const Box& other, const Box& work, int width, int height, int gap, Spot put, Side preferred,
                 bool elseAtEdge) noexcept;

}  // namespace velmora
