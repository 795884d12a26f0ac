#pragma once
// Control ids of the window "Preview". Tests find the controls through these ids.
namespace velmora::PreviewIds {

enum : int {
    // In Tab order.
    TextReader = 301,  // the name %n shows
    Pane,              // the rendering
    // Labels.
    LabelReader = 321,  // "Reader"
    LabelTitle,         // the document's label
    LabelContrast,      // "Contrast 4.4 : 1"
    LabelWarning,       // shown below a readable contrast
    LabelLineBreaks,    // shown when the message's line breaks reach readers as blanks
};

// The preview's clock: the time %t shows, and the song read at most once in this time.
inline constexpr unsigned kClockTimer = 1;
inline constexpr unsigned kClockIntervalMs = 1000;

}  // namespace velmora::PreviewIds
