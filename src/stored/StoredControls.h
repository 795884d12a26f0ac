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
    CopyTo,             // "Copy...": the chosen message, or all of the name's, to another screen name
    BackUp,             // "Back up...": screen names' messages to a registry file
    RestoreFrom,        // "Restore...": messages back from such a file
    // Labels and the rendering.
    ScreenNameCaption = 511,  // "Screen name"
    LabelShown,               // the selected message's label
    Rendering,                // the message as a buddy sees it
};

}  // namespace velmora::StoredIds
