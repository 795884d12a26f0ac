#pragma once
// Control ids of the window "Stored Messages". Tests drive the window through these ids, as a
// user's clicks and typing would.
namespace velmora::StoredIds {

enum : int {
    // In Tab order.
    ScreenNames = 501,  // the screen-name chooser
    Messages,           // the list: slot and label per row
    Load,               // "Load"
    Delete,             // "Delete"
    // Labels and the rendering.
    ScreenNameCaption = 511,  // "Screen name"
    LabelShown,               // the selected message's label
    Rendering,                // the message as a buddy sees it
};

}  // namespace velmora::StoredIds
