#pragma once
// The main window as the other windows may use it: they read its fields and write a few of
// them, and know nothing else of it.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "compose/AwayDocument.h"

namespace velmora {

class Composer {
public:
    // False once the main window has closed; then nothing else here may be asked.
    virtual bool IsOpen() const noexcept = 0;
    virtual HWND Handle() const noexcept = 0;
    // The fields the document is made of, as they stand now.
    virtual AwayFields ComposedFields() const = 0;
    virtual std::wstring ScreenName() const = 0;
    // The colour pickers write their result here.
    virtual void SetFontColour(std::wstring_view colour) = 0;
    virtual void SetBodyColour(std::wstring_view colour) = 0;
    // Fills the composer from a stored message; writes nothing anywhere. A missing field stays
    // as it is; a font size that is not one of the list's leaves the size as it is.
    virtual void LoadComposition(const SomeAwayFields& fields, const std::optional<std::wstring>& slot,
                                 bool songWanted) = 0;

protected:
    Composer() = default;
    ~Composer() = default;
    Composer(const Composer&) = default;
    Composer& operator=(const Composer&) = default;
};

}  // namespace velmora
