#pragma once
// The window "Stored Messages": the away messages the IM client holds for each screen name,
// each shown as a buddy sees it, loaded back into the main window or removed.
#include <memory>
#include <string>
#include <vector>

#include "misc/TableWindow.h"
#include "preview/RenderPane.h"
#include "storage/RegStore.h"
#include "stored/StoredReading.h"

namespace velmora {

class Composer;

class StoredMessagesWindow final : public TableWindow {
public:
    StoredMessagesWindow(HINSTANCE instance, Composer& composer);

private:
    LRESULT HandleOwnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnCreate() override;
    void OnLayout(UINT dpi) override;
    HWND OpensBeside() const noexcept override;

    void OnDestroy();
    void OnCommand(int id, int notification);
    HWND FirstFocus() const noexcept override;

    void OnScreenNameChosen();  // ScreenNames
    void OnMessageChosen();     // Messages
    void OnLoadClicked();       // Load
    void OnDeleteClicked();     // Delete
    void OnCopyClicked();       // CopyTo
    void OnBackUpClicked();     // BackUp
    void OnRestoreClicked();    // RestoreFrom
    void OnStoreChanged();      // the watch's message
    void OnStoreRead();         // the reader's message
    void OnTimer(UINT_PTR id);

    // Asks for the registry to be read again; the window answers meanwhile, and says it reads.
    void Reload();
    // Shows a reading, keeping the chosen name and message where they remain.
    void Show(StoreReading& reading);
    void ChooseFirstMessage();
    void ShowSelected();
    // The label: the chosen message's, or while a reading is told, that one is under way.
    void ShowLabel();
    void UpdateButtons();
    const StoredValue* Selected() const noexcept;
    RECT RenderingRect() const noexcept;

    Composer& composer_;
    // The windows that move messages, each open once; closed with this one.
    std::unique_ptr<TableWindow> copyWindow_;
    std::unique_ptr<TableWindow> backUpWindow_;
    std::unique_ptr<TableWindow> restoreWindow_;
    RenderPane rendering_;
    AwayStoreWatch watch_;
    StoreReader reader_;
    std::vector<std::wstring> screenNames_;
    std::vector<std::wstring> heldNames_;  // every name the client holds: Copy offers them all
    std::vector<StoredValue> values_;
    std::wstring screenName_;     // the chosen name, kept while its key is away
    std::wstring selectedValue_;  // the chosen value's name
    std::wstring labelShown_;     // the chosen message's label, as the label shows it
    // The reading asked last, and what is left to do when it has come.
    ReadingAsked asked_;
    unsigned long askedSerial_ = 0;
    bool opening_ = true;      // until the first reading: a name without messages gives the first name
    bool chooseFirst_ = true;  // a name newly chosen: its first message is chosen when its list comes
    bool reading_ = false;
    bool saysReading_ = false;  // the label tells of the reading under way
};

}  // namespace velmora
