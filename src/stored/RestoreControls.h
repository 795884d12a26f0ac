#pragma once
// Control ids of the window "Restore Stored Messages". Tests drive the window through these ids.
namespace velmora::RestoreIds {

enum : int {
    // In Tab order.
    FilePath = 701,  // the registry file to read
    Browse,          // "Browse...": the system's dialog fills FilePath and reads it
    ReadFile,        // "Read"
    Found,           // the file's messages, one ticked row each, beside what is stored now
    Skipped,         // the lines of the file that are not restored, and why
    Restore,         // "Restore": writes the ticked rows
    Close,           // "Close"
    // Labels.
    FileCaption = 721,  // "File"
    Summary,            // what the file holds, or why it is refused, or that it is being read
};

}  // namespace velmora::RestoreIds
