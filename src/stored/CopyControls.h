#pragma once
// Control ids of the window "Copy Stored Messages". Tests drive the window through these ids.
namespace velmora::CopyIds {

enum : int {
    // In Tab order.
    ThisMessage = 601,  // radio: the message chosen in Stored Messages
    AllMessages,        // radio: every message of the chosen screen name
    ToScreenName,       // the screen name to copy to: chosen from the list or typed
    SlotForSlot,        // radio: each into its own slot
    IntoSlot,           // radio: the one message into the slot typed beside
    SlotBox,            // that slot
    Copy,               // "Copy"
    Close,              // "Close"
    // Labels.
    ToCaption = 621,  // "To screen name"
    Outcome,          // what the last copy did
};

}  // namespace velmora::CopyIds
