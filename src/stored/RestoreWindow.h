#pragma once
// The window "Restore Stored Messages": a registry file read on a thread of its own (a large
// one never holds the window), its messages shown per screen name and slot beside what is
// stored now, and the ticked ones written back, asking before a different message is replaced.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "misc/Background.h"
#include "misc/TableWindow.h"
#include "travel/TravelStore.h"

namespace velmora {

class RestoreWindow final : public TableWindow {
public:
    RestoreWindow(HINSTANCE instance, HWND beside);

private:
    // A file read, with what the store holds now for each of its messages.
    struct Reading {
        std::wstring path;
        FileReading file;
        std::vector<HeldNow> now;
    };
    using ReadingBox = Mailbox<std::optional<Reading>>;

    LRESULT HandleOwnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnCreate() override;
    HWND OpensBeside() const noexcept override { return beside_; }

    void OnDestroy();
    LRESULT OnDefaultButtonAsked() const;  // DM_GETDEFID
    void EnableRestore(bool enabled);
    void OnCommand(int id, int notification);
    void OnBrowseClicked();   // Browse
    void OnReadClicked();     // ReadFile
    void OnRestoreClicked();  // Restore
    void OnFileRead();        // the reader's message

    void ShowRows();
    std::vector<std::size_t> TickedRows() const;

    HWND beside_;
    // Each reading has a mailbox of its own: a reading left behind by a newer one posts nothing.
    std::shared_ptr<ReadingBox> box_;
    BackgroundThread<StopPolicy::AbandonAfterBound, 200> reader_;
    std::optional<Reading> shown_;
};

}  // namespace velmora
