// The renderer's command line, read without running anything.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/render/render_options.h"

namespace {

bool Parse(std::vector<std::string> arguments, RenderOptions& options, std::string& error) {
    std::vector<const char*> argv = {"orlentic-render"};
    for (const std::string& argument : arguments)
        argv.push_back(argument.c_str());
    options = MakeDefaultRenderOptions();
    return ParseRenderOptions(static_cast<int>(argv.size()), argv.data(), options, error);
}

TEST(RenderOptions, ReadsEveryOption) {
    RenderOptions options;
    std::string error;
    ASSERT_TRUE(Parse({"--size", "400x300", "--time=23:05:09", "--elapsed", "2147483647", "--pose",
                       "-5.5,180", "--view=1,-2.5e0,-40", "--wireframe", "--no-glass", "--no-dial",
                       "--no-case", "--bench", "7", "--output", "y.png"},
                      options, error))
        << error;
    EXPECT_EQ(options.Width, 400);
    EXPECT_EQ(options.Height, 300);
    EXPECT_TRUE(options.FixedTime);
    EXPECT_EQ(options.Hour, 23);
    EXPECT_EQ(options.Minute, 5);
    EXPECT_EQ(options.Second, 9);
    EXPECT_EQ(options.ElapsedMs, 2147483647);
    EXPECT_TRUE(options.FixedPose);
    EXPECT_EQ(options.TiltX, -5.5f);
    EXPECT_EQ(options.SpinY, 180.0f);
    EXPECT_EQ(options.ViewX, 1.0f);
    EXPECT_EQ(options.ViewY, -2.5f);
    EXPECT_EQ(options.ViewZ, -40.0f);
    EXPECT_TRUE(options.Wireframe && options.NoGlass && options.NoDial && options.NoCase);
    EXPECT_EQ(options.BenchFrames, 7);
    EXPECT_EQ(options.OutputPath, "y.png");
}

TEST(RenderOptions, BenchNeedsNoOutputAndHelpNeedsNothing) {
    RenderOptions options;
    std::string error;
    EXPECT_TRUE(Parse({"--bench", "1"}, options, error)) << error;
    EXPECT_TRUE(Parse({"--help"}, options, error)) << error;
    EXPECT_TRUE(options.Help);
}

// Each case comes after "-o x.png", so only the named option is wrong.
TEST(RenderOptions, RefusesBadCommandLines) {
    RenderOptions options;
    std::string error;
    EXPECT_FALSE(Parse({}, options, error));
    EXPECT_NE(error.find("nothing to do"), std::string::npos) << error;
    const struct {
        std::vector<std::string> arguments;
        const char* said; // part of the one-line error
    } cases[] = {
        {{"--size", "0x300"}, "--size"},
        {{"--size", "8193x300"}, "--size"},
        {{"--size", "400"}, "--size"},
        {{"--size", "400x300x2"}, "--size"},
        {{"--size", "40ax300"}, "--size"},
        {{"--size", " 400x300"}, "--size"},
        {{"--time", "24:00:00"}, "--time"},
        {{"--time", "12:60:00"}, "--time"},
        {{"--time", "12:00:60"}, "--time"},
        {{"--time", "12:00"}, "--time"},
        {{"--time", "012:00:00"}, "--time"},
        {{"--time", "12::00"}, "--time"},
        {{"--elapsed", "-1"}, "--elapsed"},
        {{"--elapsed", "2147483648"}, "--elapsed"},
        {{"--elapsed", "1e3"}, "--elapsed"},
        {{"--pose", "5"}, "--pose"},
        {{"--pose", "5,nan"}, "--pose"},
        {{"--pose", "5,1e39"}, "--pose"},
        {{"--pose", "5,"}, "--pose"},
        {{"--view", "1,2"}, "--view"},
        {{"--view", "1,2,3,4"}, "--view"},
        {{"--view", "1,2,inf"}, "--view"},
        {{"--bench", "0"}, "--bench"},
        {{"--bench", "1000001"}, "--bench"},
        {{"-o", ""}, "-o"},
        {{"-o"}, "needs a value"},
        {{"--size"}, "needs a value"},
        {{"--wireframe=1"}, "takes no value"},
        {{"-x"}, "unknown option -x"},
        {{"--frobnicate"}, "unknown option --frobnicate"},
        {{"stray"}, "unexpected argument 'stray'"},
    };
    for (const auto& bad : cases) {
        std::vector<std::string> arguments = {"-o", "x.png"};
        arguments.insert(arguments.end(), bad.arguments.begin(), bad.arguments.end());
        SCOPED_TRACE(arguments.back());
        EXPECT_FALSE(Parse(arguments, options, error));
        EXPECT_NE(error.find(bad.said), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }
}

} // namespace
