#include "misc/Placement.h"

#include <algorithm>

namespace velmora {

Spot PlaceBeside(const Box& other, const Box& work, int width, int height, int gap, Spot put, Side preferred,
                 bool elseAtEdge) noexcept {
    const int left = other.left - gap - width;
    const int right = other.right + gap;
    const bool leftFits = left >= work.left;
    const bool rightFits = right + width <= work.right;
    Spot place = put;
    if (preferred == Side::Left ? leftFits : !rightFits && leftFits)
        place.x = left;
    else if (rightFits)
        place.x = right;
    else if (!elseAtEdge)
        return put;
    else
        place.x = preferred == Side::Left ? work.left : std::max(work.left, work.right - width);
    place.y = std::clamp(other.top, work.top, std::max(work.top, work.bottom - height));
    return place;
}

}  // namespace velmora
