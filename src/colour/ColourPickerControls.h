#pragma once
// Control ids of the two colour pickers, "Font Color" and "Body Color" (both use the same ids).
// Tests drive the pickers through these ids, as a user's clicks, scrolls and typing would.
// No id is 1 or 2: those are IDOK and IDCANCEL, which Enter and Esc send, and neither button
// of a picker may answer to them.
namespace velmora::ColourPickerIds {

enum : int {
    // The channel bars, red, green, blue from top to bottom.
    H1_0 = 101,
    H1_1,
    H1_2,
    // The number boxes of the same channels; they lie below the visible client area.
    Text1_0 = 111,
    Text1_1,
    Text1_2,
    Command1 = 121,  // "OK"
    Command2,        // "Cancel"
    Label1 = 131,    // the colour string, below the visible client area
    Shape1,          // the preview square
};

}  // namespace velmora::ColourPickerIds
