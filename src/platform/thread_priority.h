#pragma once

namespace tarnwick::platform {

// Priority of a worker thread. tpNormal runs at nice 0, tpLower at nice 5, tpLowest at
// nice 10 and tpIdle under SCHED_IDLE.
enum TConvertPriority { tpIdle, tpLowest, tpLower, tpNormal };

// Applies the priority to the calling thread only. Returns false when the system refused.
bool ApplyPriorityToCurrentThread(TConvertPriority priority);

} // namespace tarnwick::platform
