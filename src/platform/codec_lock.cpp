#include "platform/codec_lock.h"

namespace tarnwick::platform {

std::mutex& CodecLock() {
    static std::mutex lock;
    return lock;
}

} // namespace tarnwick::platform
