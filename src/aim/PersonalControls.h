#pragma once
// Control ids of the personal-message window "Personal Away Msg". Tests drive the window
// through these ids, as a user's clicks and typing would.
namespace velmora::PersonalIds {

enum : int {
    // In Tab order.
    Text1 = 301,  // the names box: whom to answer
    Text2,        // the sender box, below the visible area: written by the timer
    Text3,        // the reply
    // Labels.
    Label2 = 311,  // the On/Off switch
};

// Timer1, the watch clock: its WM_TIMER carries this id.
enum : int {
    Timer1 = 1,
    Timer1IntervalMs = 1100,
};

}  // namespace velmora::PersonalIds
