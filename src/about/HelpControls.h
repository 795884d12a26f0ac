#pragma once
// Control ids of the window "Help". Tests find the labels through these ids. The white
// panel (Label1) and the frame lines are painted by the window itself.
namespace velmora::HelpIds {

enum : int {
    Label2 = 101,  // "Velmora Help"
    Label3,        // note 1
    Label4,        // note 2
    Label5,        // note 3
};

}  // namespace velmora::HelpIds
