#pragma once
// Module INI: Velmora's settings file, read once whole and replaced whole in one step.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// The last message, exactly as it was saved (see SavedMessage.h for how it is kept), from one
// read of the whole file. Empty when the file is missing or unreadable, or the message is too
// long for the box.
std::wstring LoadLastMessage(std::wstring_view filePath);
// Writes the file's new text beside it and moves it over the old file in one step, so a reader
// (another Velmora closing at the same time, a kill in the middle) finds one complete message,
// the last one saved; other sections and keys of the file stay. Returns 0 when the message is
// stored, otherwise the system's error code (a read-only or locked file, a folder Velmora may
// not write); the file is then unchanged. `asLoaded` is the message as this copy loaded or last
// saved it: when the message is still that, the message the file holds by then stays (one
// another copy of Velmora saved meanwhile, or one too long for the box to have loaded).
unsigned long SaveLastMessage(std::wstring_view filePath, std::wstring_view message,
                              std::optional<std::wstring_view> asLoaded = std::nullopt);

// The same for any of Velmora's sections: the whole file's text, read once (empty when the
// file is missing or cannot be read) ...
std::string ReadSettingsFile(std::wstring_view filePath);
// ... and the file replaced in one step by what `edit` makes of its text, as SaveLastMessage
// replaces it. The text handed to `edit` is the file as it is at that moment: no other save of
// the same file, by this copy of Velmora or another, comes between its reading and the
// replace, so an edit that merges its changes into it loses nobody's. Returns 0 when stored,
// otherwise the system's error code (the file unchanged).
unsigned long RewriteSettingsFile(std::wstring_view filePath, const std::function<std::string(std::string_view)>& edit);

}  // namespace velmora
