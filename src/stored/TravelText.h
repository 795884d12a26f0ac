#pragma once
// What the windows that move stored messages say and decide: which value a copy lands in,
// whether it replaces something, and the question asked before it does.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "travel/RegFile.h"

namespace velmora {

// The messages a copy writes: each into the other screen name, slot for slot, or a single one
// into the slot chosen (its value "GoneMsg" + slot).
std::vector<TravellingMessage> CopiedInto(const std::vector<TravellingMessage>& chosen, std::wstring_view toScreenName,
                                          std::optional<std::wstring_view> intoSlot);

// What writing a message does to the value there now.
enum class Landing {
    New,       // nothing of that name is there
    Same,      // the very same bytes are there: left alone
    Replaces,  // another message is there: asked first
};
Landing LandingOf(std::string_view data, bool present, std::string_view dataNow);

// "Replace 'Lunch' (slot 3) of pal42 with 'Weekend' of Harlowpine?" A message without a label
// is named by its value.
std::wstring ReplaceQuestion(const TravellingMessage& there, const TravellingMessage& coming);
// A message as a row names it: its label, else the value's name; one line.
std::wstring LabelOf(const TravellingMessage& message);

// One line per skipped line of a file: "Line 12: <reason>: <text>".
std::wstring SkippedLineText(const SkippedLine& line);

}  // namespace velmora
