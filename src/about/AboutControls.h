#pragma once
// Control ids of the window "About". Tests find the labels through these ids. The white
// panel (Label1) and the frame lines are painted by the window itself.
namespace velmora::AboutIds {

enum : int {
    Label2 = 101,  // "About Velmora"
    Label3,        // author credit
    Label4,        // maker and years
    Label5,        // "Visit My Website:"
    Label6,        // the website address; a click opens it
};

}  // namespace velmora::AboutIds
