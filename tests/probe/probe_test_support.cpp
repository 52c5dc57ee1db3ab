#include "probe/probe_test_support.h"

#include "fixtures/frame_number_blocks.h"

#include <cstring>
#include <stdexcept>
#include <vector>

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
    const int width = picture.Width();
    const int height = picture.Height();
    if (width == 0 || height == 0) return -1;
    // The blocks are grey levels, so any channel mix serves as luma.
    std::vector<uint8_t> luma(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = picture.ScanLine(y);
        for (int x = 0; x < width; ++x)
            luma[static_cast<size_t>(y) * width + x] =
                static_cast<uint8_t>((row[x * 3] + row[x * 3 + 1] + row[x * 3 + 2]) / 3);
    }
    return fixtures::ReadNumberBlocks(luma.data(), width, width, height);
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
