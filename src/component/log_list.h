#pragma once
// The start of a log line that a thread has written without its line feed yet, one item per
// thread. The list is not locked itself: the log routing guards it.

#include <memory>
#include <string>
#include <thread>

namespace tarnwick::component {

struct TLogItem {
    std::thread::id ThreadId; // default id: the item is free
    std::string Pending;
    std::unique_ptr<TLogItem> Next;
};

class TLogList {
public:
    TLogList() = default;
    ~TLogList();
    TLogList(const TLogList&) = delete;
    TLogList& operator=(const TLogList&) = delete;

    // The item of the thread: a free head is taken first; a thread not seen yet gets a new
    // item right after the head.
    TLogItem& FindOrAdd(std::thread::id threadId);
    // Frees the head and disposes of every further item; pending text is lost.
    void Clear();

private:
    TLogItem head_;
};

} // namespace tarnwick::component
