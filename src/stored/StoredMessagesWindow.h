#pragma once
// The window "Stored Messages": the away messages the IM client holds for each screen name,
// each shown as a buddy sees it, loaded back into the main window or removed.
#include <string>
#include <vector>

#include "misc/TableWindow.h"
#include "preview/RenderPane.h"
#include "storage/RegStore.h"

namespace velmora {

class Composer;

class StoredMessagesWindow final : public TableWindow {
public:
    StoredMessagesWindow(HINSTANCE instance, Composer& composer);

private:
    LRESULT HandleOwnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnCreate() override;
    void OnLayout(UINT dpi) override;

    void OnDestroy();
    void OnPlacing(WINDOWPOS& place);
    void OnCommand(int id, int notification);
    HWND FirstFocus() const noexcept override;

    void OnScreenNameChosen();  // ScreenNames
    void OnMessageChosen();     // Messages
    void OnLoadClicked();       // Load
    void OnDeleteClicked();     // Delete
    void OnStoreChanged();      // the watch's message

    // Reads the registry again and shows it, keeping the chosen name and message where they remain.
    void Reload(bool onlyWhenChanged = false);
    void ChooseFirstMessage();
    void ShowSelected();
    void UpdateButtons();
    const StoredValue* Selected() const noexcept;
    RECT RenderingRect() const noexcept;

    Composer& composer_;
    RenderPane rendering_;
    AwayStoreWatch watch_;
    std::vector<std::wstring> screenNames_;
    std::vector<StoredValue> values_;
    std::wstring screenName_;     // the chosen name, kept while its key is away
    std::wstring selectedValue_;  // the chosen value's name
};

}  // namespace velmora
