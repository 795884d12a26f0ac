#pragma once
// Auto Reply's log for as long as Velmora runs: the window shows it and adds to it, but the rows
// are kept here, so closing and opening the window again shows them. Only the newest rows are
// kept, so a run of days with thousands of replies holds no more than kMostLogRows.
//
// The window's thread alone adds and reads: each row the watch hands the window (its mailbox,
// or a posted row) is added by the window as it takes it.
#include <cstddef>
#include <deque>
#include <string>

namespace velmora {

inline constexpr std::size_t kMostLogRows = 500;

class AutoReplyLog {
public:
    // A row shown as it is: its time, the buddy and what happened, on one line.
    void Add(std::wstring row);
    // Newest first.
    const std::deque<std::wstring>& Rows() const noexcept { return rows_; }

private:
    std::deque<std::wstring> rows_;
};

// The log of this run, which every Auto Reply window opened during it shows.
AutoReplyLog& AutoReplyLogOfThisRun();

}  // namespace velmora
