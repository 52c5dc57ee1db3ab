// Pictures as their stream displays them: a display matrix that turns or mirrors the stored
// pictures is applied before anything else sees them, and a re-encoded output stores upright
// pictures with no matrix of its own; a copied stream keeps the matrix, since its pictures stay
// as they were stored.
#include "engine/conversion_runner.h"

#include "fixtures/fixture_writer.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace tarnwick;
using test::Conversion;

namespace {

struct Corner {
    bool right = false;
    bool bottom = false;
    bool operator==(const Corner&) const = default;
};
constexpr Corner TopLeft{false, false}, TopRight{true, false}, BottomLeft{false, true},
    BottomRight{true, true};

std::ostream& operator<<(std::ostream& out, const Corner& corner) {
    return out << (corner.bottom ? "bottom " : "top ") << (corner.right ? "right" : "left");
}

Corner CornerOf(double x, double y, const fixtures::Picture& picture) {
    return {x > picture.width / 2.0, y > picture.height / 2.0};
}

// 96 x 64 stored pictures with the orientation marks: white top left, red top right.
fixtures::ClipSpec MarkedClip(std::vector<int32_t> displayMatrix) {
    fixtures::ClipSpec spec;
    spec.video = fixtures::VideoSpec{};
    spec.video->width = 96;
    spec.video->height = 64;
    spec.video->frameCount = 3;
    spec.video->orientationMarks = true;
    spec.video->displayMatrix = std::move(displayMatrix);
    return spec;
}

class UprightPicturesTest : public ::testing::Test {
protected:
    void SetUp() override { test::LoadLibrariesOrFail(); }
    test::TempFolder folder;
    std::string In() const { return folder.File("in.mp4"); }
    std::string Out() const { return folder.File("out.mp4"); }
};

} // namespace

TEST_F(UprightPicturesTest, EveryQuarterTurnAndMirrorComesOutAsDisplayed) {
    struct Case {
        const char* name;
        double clockwiseDegrees;
        bool mirror;
        std::string options;
        Corner white, red;
    };
    const Case cases[] = {
        {"upright", 0, false, "", TopLeft, TopRight},
        {"turned 90 clockwise (a phone's portrait clip)", 90, false, "", TopRight, BottomRight},
        {"turned 180", 180, false, "", BottomRight, BottomLeft},
        {"turned 270 clockwise", 270, false, "", BottomLeft, TopLeft},
        {"mirrored", 0, true, "", TopRight, TopLeft},
        {"turned 90 and mirrored", 90, true, "", TopLeft, BottomLeft},
        {"turned 90, through a filter graph", 90, false, "vfilters=null", TopRight, BottomRight},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        fixtures::WriteClip(In(),
                            MarkedClip(fixtures::DisplayMatrix(k.clockwiseDegrees, k.mirror)));
        Conversion c;
        c.Input(In());
        c.Output(Out(), k.options);
        ASSERT_TRUE(c.Run()) << c.Error();

        const bool sideways = static_cast<int>(k.clockwiseDegrees) % 180 != 0;
        const fixtures::FileInfo info = fixtures::ReadFileInfo(Out(), false);
        ASSERT_NE(info.First(AVMEDIA_TYPE_VIDEO), nullptr);
        EXPECT_TRUE(info.First(AVMEDIA_TYPE_VIDEO)->displayMatrix.empty());
        const std::vector<fixtures::Picture> pictures = fixtures::ReadPictures(Out());
        ASSERT_EQ(pictures.size(), 3u);
        for (const fixtures::Picture& picture : pictures) {
            EXPECT_EQ(picture.width, sideways ? 64 : 96);
            EXPECT_EQ(picture.height, sideways ? 96 : 64);
            const fixtures::OrientationMarks marks = fixtures::FindOrientationMarks(picture);
            ASSERT_GE(marks.whiteX, 0);
            ASSERT_GE(marks.redX, 0);
            EXPECT_EQ(CornerOf(marks.whiteX, marks.whiteY, picture), k.white);
            EXPECT_EQ(CornerOf(marks.redX, marks.redY, picture), k.red);
        }
    }
}

TEST_F(UprightPicturesTest, ACopiedStreamKeepsItsDisplayMatrix) {
    const std::vector<int32_t> matrix = fixtures::DisplayMatrix(90);
    fixtures::WriteClip(In(), MarkedClip(matrix));
    Conversion c;
    c.Input(In());
    c.Output(Out(), "vcodec=copy");
    ASSERT_TRUE(c.Run()) << c.Error();
    const fixtures::FileInfo info = fixtures::ReadFileInfo(Out(), false);
    const fixtures::StreamInfo* video = info.First(AVMEDIA_TYPE_VIDEO);
    ASSERT_NE(video, nullptr);
    EXPECT_EQ(video->width, 96);
    EXPECT_EQ(video->displayMatrix, matrix);
}
