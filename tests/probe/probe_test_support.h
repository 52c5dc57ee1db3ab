#pragma once
// What the probe suites share: a fixture with the libraries loaded and a temporary folder,
// and reading the drawn frame number out of a decoded picture.

#include "platform/bitmap24.h"
#include "support/scoped_time_zone.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace tarnwick::test {

class ProbeTest : public ::testing::Test {
protected:
    void SetUp() override { LoadLibrariesOrFail(); }
    TempFolder folder_;
};

// The text of the std::runtime_error the action raises; empty when it raises nothing.
std::string RaisedText(const std::function<void()>& action);

// The number the fixture writer drew into the picture, -1 when it cannot be read.
int DrawnFrameNumber(const platform::Bitmap24& picture);
// Whether every pixel of the picture is black.
bool AllBlack(const platform::Bitmap24& picture);
// Whether both pictures have the same size and pixels.
bool SamePicture(const platform::Bitmap24& a, const platform::Bitmap24& b);

} // namespace tarnwick::test
