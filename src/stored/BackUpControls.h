#pragma once
// Control ids of the window "Back Up Stored Messages". Tests drive the window through these ids.
namespace velmora::BackUpIds {

enum : int {
    // In Tab order.
    Names = 801,  // the screen names, one ticked row each (all at first)
    FilePath,     // the file to write
    Browse,       // "Browse...": the system's save dialog fills FilePath
    BackUp,       // "Back up": writes the file (asking for one when FilePath is empty)
    Close,        // "Close"
    // Labels.
    FileCaption = 821,  // "File"
    Outcome,            // what the last backup wrote
};

}  // namespace velmora::BackUpIds
