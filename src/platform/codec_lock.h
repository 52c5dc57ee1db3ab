#pragma once

#include <mutex>

namespace tarnwick::platform {

// Process-wide lock held around every codec open and close and the stream-information read of
// input opening: several jobs run at once on their own threads.
std::mutex& CodecLock();

} // namespace tarnwick::platform
