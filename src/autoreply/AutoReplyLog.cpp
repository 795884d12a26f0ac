#include "autoreply/AutoReplyLog.h"

#include <utility>

namespace velmora {

void AutoReplyLog::Add(std::wstring row) {
    rows_.push_front(std::move(row));
    if (rows_.size() > kMostLogRows) rows_.pop_back();
}

AutoReplyLog& AutoReplyLogOfThisRun() {
    static AutoReplyLog log;
    return log;
}

}  // namespace velmora
