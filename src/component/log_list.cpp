#include "component/log_list.h"

namespace tarnwick::component {

TLogList::~TLogList() { Clear(); }

TLogItem& TLogList::FindOrAdd(std::thread::id threadId) {
    if (head_.ThreadId == std::thread::id() || head_.ThreadId == threadId) {
        head_.ThreadId = threadId;
        return head_;
    }
    for (TLogItem* item = head_.Next.get(); item; item = item->Next.get())
        if (item->ThreadId == threadId) return *item;
    auto item = std::make_unique<TLogItem>();
    item->ThreadId = threadId;
    item->Next = std::move(head_.Next);
    head_.Next = std::move(item);
    return *head_.Next;
}

void TLogList::Clear() {
    head_.ThreadId = std::thread::id();
    head_.Pending.clear();
    // Unlink one by one: a long chain freed recursively could exhaust the stack.
    std::unique_ptr<TLogItem> chain = std::move(head_.Next);
    while (chain) chain = std::move(chain->Next);
}

} // namespace tarnwick::component
