// The renderer as the user runs it: its exit statuses, the PNG it writes, and its frames
// against the committed reference pictures.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/render/render_test_support.h"

namespace {

// The frame of the "default" reference case, to be changed one thing at a time.
const std::vector<std::string> DefaultFrame = {"--size",    "400x300", "--time", "10:10:30",
                                               "--elapsed", "1000",    "--pose", "-5,0"};

std::vector<std::string> With(std::vector<std::string> arguments,
                              const std::vector<std::string>& more) {
    arguments.insert(arguments.end(), more.begin(), more.end());
    return arguments;
}

std::string Describe(const PictureDifference& difference) {
    std::ostringstream text;
    text << "mean difference " << difference.meanChannelDifference[0] << ", "
         << difference.meanChannelDifference[1] << ", " << difference.meanChannelDifference[2]
         << "; strongly different " << difference.stronglyDifferent * 100.0 << "% of pixels";
    return text.str();
}

Picture Render(const std::vector<std::string>& arguments, const std::string& name) {
    const std::string path = GetOutputPath(name);
    const RendererRun run = RunRenderer(With(arguments, {"-o", path}));
    EXPECT_EQ(run.status, 0) << run.errors;
    Picture picture;
    std::string error;
    EXPECT_TRUE(ReadPicture(path, picture, error)) << error;
    return picture;
}

TEST(RenderTool, BadCommandLineGivesOneLineAndTheUsage) {
    const std::vector<std::vector<std::string>> cases = {
        {"--size", "0x300", "-o", GetOutputPath("never.png")},
        {"--frobnicate"},
        {"--time"},
        {},
    };
    for (const std::vector<std::string>& arguments : cases) {
        const RendererRun run = RunRenderer(arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.errors.rfind("orlentic-render: ", 0), 0u) << run.errors;
        const std::string afterFirstLine = run.errors.substr(run.errors.find('\n') + 1);
        EXPECT_EQ(afterFirstLine.rfind("usage: orlentic-render", 0), 0u) << run.errors;
        EXPECT_TRUE(run.output.empty());
    }
    Picture picture;
    std::string error;
    EXPECT_FALSE(ReadPicture(GetOutputPath("never.png"), picture, error));
    const RendererRun help = RunRenderer({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.output.rfind("usage: orlentic-render", 0), 0u);
    EXPECT_TRUE(help.errors.empty());
}

TEST(RenderTool, UnwritableOutputIsAFailure) {
    const RendererRun run =
        RunRenderer(With(DefaultFrame, {"-o", GetOutputPath("no-such-folder/picture.png")}));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.errors.find("no-such-folder/picture.png"), std::string::npos) << run.errors;
}

// The dial's centre lies 2.5 units below the line of sight, so in the stored picture (top
// row first) the grey dial reaches lower than it reaches higher: a picture written upside
// down fails this.
TEST(RenderTool, WritesTheRequestedSizeTheRightWayUp) {
    const Picture picture = Render(
        {"--size", "123x97", "--time", "12:00:00", "--pose", "0,0", "--no-case"}, "size.png");
    ASSERT_EQ(picture.width, 123);
    ASSERT_EQ(picture.height, 97);
    ASSERT_EQ(picture.pixels.size(), 123u * 97u * 3u);
    const int column = picture.width / 2;
    int top = -1, bottom = -1;
    for (int row = 0; row < picture.height; ++row) {
        const uint8_t* pixel =
            &picture.pixels[(static_cast<size_t>(row) * picture.width + column) * 3];
        // The background is blue over red; the dial is grey or its dark print.
        if (pixel[2] < pixel[0] + 20) {
            top = top < 0 ? row : top;
            bottom = row;
        }
    }
    ASSERT_GE(top, 0) << "no dial in the middle column";
    EXPECT_GT(top + bottom, picture.height) << "the dial should sit below the middle";
}

TEST(RenderTool, BenchmarkPrintsItsFiguresWithoutAllocatingInFrames) {
    const RendererRun run = RunRenderer({"--size", "64x48", "--time", "10:10:30", "--bench", "3"});
    ASSERT_EQ(run.status, 0) << run.errors;
    for (const char* figure : {"full frame", "empty frame", "full / empty", "first full frame",
                               "peak memory", "heap allocations"})
        EXPECT_NE(run.output.find(figure), std::string::npos) << figure << "\n" << run.output;
    if (run.output.find("not counted") == std::string::npos) {
        EXPECT_NE(run.output.find("by our code         0 in 3 frames"), std::string::npos)
            << run.output;
    }
}

TEST(RenderTool, FramesMatchTheReferencePictures) {
    const std::vector<ReferenceCase> cases = ReadReferenceCases();
    ASSERT_GE(cases.size(), 5u);
    for (const ReferenceCase& entry : cases) {
        SCOPED_TRACE(entry.name);
        Picture reference;
        std::string error;
        ASSERT_TRUE(ReadPicture(GetReferencePath(entry.name), reference, error)) << error;
        const Picture frame = Render(entry.arguments, "frame-" + entry.name + ".png");
        ASSERT_EQ(frame.width, reference.width);
        ASSERT_EQ(frame.height, reference.height);
        const PictureDifference difference = ComparePictures(frame, reference);
        EXPECT_TRUE(IsSamePicture(difference)) << Describe(difference);
    }
}

// The comparison must not be so tolerant that it misses a real change: a hand moved on, the
// gears a little further round, the glass gone, the watch turned a little.
TEST(RenderTool, ComparisonSeesRealChanges) {
    struct Change {
        const char* name;
        const char* reference;
        std::vector<std::string> arguments; // the reference's, with one thing changed
    };
    const std::vector<std::string> gearsFrame =
        With(DefaultFrame, {"--pose", "10,160", "--view", "0,-1,-22", "--no-case"});
    const Change changes[] = {
        {"minute hand", "default", With(DefaultFrame, {"--time", "10:15:30"})},
        {"seconds hand", "default", With(DefaultFrame, {"--time", "10:10:45"})},
        {"gears", "gears", With(gearsFrame, {"--elapsed", "3000"})},
        {"glass", "default", With(DefaultFrame, {"--no-glass"})},
        {"pose", "default", With(DefaultFrame, {"--pose", "-5,4"})},
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(change.name);
        Picture reference;
        std::string error;
        ASSERT_TRUE(ReadPicture(GetReferencePath(change.reference), reference, error)) << error;
        const Picture frame = Render(change.arguments, "change.png");
        ASSERT_EQ(frame.pixels.size(), reference.pixels.size());
        const PictureDifference difference = ComparePictures(frame, reference);
        EXPECT_FALSE(IsSamePicture(difference)) << Describe(difference);
    }
}

} // namespace
