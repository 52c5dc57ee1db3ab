#include "probe/probe_test_support.h"

#include "fixtures/frame_number_blocks.h"

#include <cstring>
#include <stdexcept>

namespace tarnwick::test {

std::string RaisedText(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return {};
}

int DrawnFrameNumber(const platform::Bitmap24& picture) {
    return fixtures::ReadNumberBlocksBgr(picture.Bits(), picture.Stride(), picture.Width(),
                                         picture.Height());
}

bool AllBlack(const platform::Bitmap24& picture) {
    for (int y = 0; y < picture.Height(); ++y) {
        const uint8_t* row = picture.ScanLine(y);
        for (int x = 0; x < picture.Width() * 3; ++x)
            if (row[x] != 0) return false;
    }
    return true;
}

bool SamePicture(const platform::Bitmap24& a, const platform::Bitmap24& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int y = 0; y < a.Height(); ++y)
        if (std::memcmp(a.ScanLine(y), b.ScanLine(y), static_cast<size_t>(a.Width()) * 3) != 0)
            return false;
    return true;
}

} // namespace tarnwick::test
