#pragma once
// Control and menu ids of the main window "Velmora". Tests drive the window from outside
// through these ids, as a user's clicks and typing would.
namespace velmora::AwayIds {

enum : int {
    // In Tab order.
    Text1 = 101,  // label of the message
    Text2_0,      // the message
    Text5,        // screen name
    Text6,        // font colour
    Command7,     // ".." font colour picker
    Combo1,       // font size
    Text7,        // body colour
    Command8,     // ".." body colour picker
    Combo2,       // message slot
    Check1,       // "Brodcast Winamp"
    Command2,     // "Delete"
    Command5,     // "Update"
    Command3,     // "Clear"
    Check2,       // "Save Last Msg"
    // Labels.
    Label1_4 = 131,
    Label6_0,
    Label6_1,
    Label6_2,
    Label1_2,
    Label2,  // "Options": pops up the menu
    Label1_0,
    Label4_0,
    Label4_1,
    Label5_0,
    Label5_1,
};

// Entries of the pop-up menu "File".
enum : int {
    MenuPerna = 201,  // "Personal Msg"
    MenuHlpe = 203,   // "Help"
    MenuAbast = 204,  // "About"
    // Velmora's own windows, after a separator.
    MenuPreview = 210,    // "Preview"
    MenuStored = 211,     // "Stored Messages"
    MenuAutoReply = 212,  // "Auto Reply"
};

}  // namespace velmora::AwayIds
