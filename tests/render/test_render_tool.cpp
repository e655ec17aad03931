// The renderer as a user runs it, in its build folder: exit statuses, and what its frames show.
#include <gtest/gtest.h>
#include <png.h>
#include <webp/demux.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Its output goes to files of this process alone: ctest runs tests at once.
const std::string Suffix = std::to_string(getpid()) + ".txt";
int RunRenderer(const std::string& arguments) {
    const int status = std::system((std::string(ORLENTIC_RENDER_PATH) + " " + arguments +
                                    " >stdout" + Suffix + " 2>stderr" + Suffix)
                                       .c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

using Picture = std::vector<uint8_t>; // red, green, blue, alpha; top row first

// A 640 by 480 PNG from noon, or with --frames a WebP animation: its frames, ends and loops.
std::vector<Picture> Render(const std::string& arguments, std::vector<int>& endsMs, int& loops) {
    const bool animated = arguments.find("--frames") != std::string::npos;
    const std::string path = animated ? "drawn.webp" : "drawn.png";
    std::vector<Picture> frames;
    endsMs.clear();
    if (RunRenderer("--size 640x480 --time 12:00:00 " + arguments + " -o " + path) != 0)
        return frames;
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!animated && png_image_begin_read_from_file(&png, path.c_str())) {
        png.format = PNG_FORMAT_RGBA;
        frames.emplace_back(PNG_IMAGE_SIZE(png));
        png_image_finish_read(&png, nullptr, frames[0].data(), 0, nullptr);
    }
    const std::string bytes = ReadFile(path);
    const WebPData data = {reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()};
    WebPAnimDecoder* decoder = animated ? WebPAnimDecoderNew(&data, nullptr) : nullptr;
    WebPAnimInfo info{};
    uint8_t* pixels = nullptr;
    int endMs = 0;
    while (decoder != nullptr && WebPAnimDecoderGetInfo(decoder, &info) &&
           WebPAnimDecoderGetNext(decoder, &pixels, &endMs)) {
        frames.emplace_back(pixels, pixels + size_t{info.canvas_width} * info.canvas_height * 4);
        endsMs.push_back(endMs);
        loops = static_cast<int>(info.loop_count);
    }
    WebPAnimDecoderDelete(decoder);
    return frames;
}

// What the 3 by 3 pixels around a point show: the red hands, the clear colour (0.2, 0.2, 0.4)
// all round or between the lines of an outline, the unlit dial's white.
enum Sight { Hand, NoHand, Background, Watch, Outlined, White };

// The point turned by spin degrees about y, moved 2.5 down and 34 ahead, seen through 45 degrees.
bool Sees(const Picture& picture, double x, double y, double z, double spin, Sight sight) {
    const double pi = std::acos(-1.0), turn = spin * pi / 180;
    const double depth = 34.0 + x * std::sin(turn) - z * std::cos(turn);
    const double scale = 1.0 / std::tan(22.5 * pi / 180) / depth;
    const int column = int(((x * std::cos(turn) + z * std::sin(turn)) * scale * 0.75 + 1) * 320);
    const int row = int((1 - (y - 2.5) * scale) * 240);
    if (picture.size() != 640 * 480 * 4 || column < 1 || column > 638 || row < 1 || row > 478)
        return false;
    int red = 0, background = 0, white = 0;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const uint8_t* p = &picture[((row + dy) * 640 + column + dx) * 4];
            red += p[0] > p[1] + 30 && p[0] > p[2] + 30;
            background += std::abs(p[0] - 51) <= 2 && std::abs(p[1] - 51) <= 2 && p[2] == 102;
            white += p[0] == 255 && p[1] == 255 && p[2] == 255;
        }
    const bool seen[] = {
        red > 0,   red == 0, background == 9, background == 0, background > 0 && background < 9,
        white == 9};
    return seen[sight];
}

TEST(RenderTool, BadCommandLinesGiveOneLineTheUsageAndStatus2) {
    for (const char* arguments :
         {"--size 0x300 -o never.png", "--time 24:00:00 -o never.png",
          "--time 12:60:00 -o never.png", "--time 12:00:60 -o never.png",
          "--elapsed 2147483000 --frames 2 --interval 1000 -o never.webp", "--pose 5 -o never.png",
          "--view=1,2 -o never.png", "--frames 0 -o never.webp", "--frames 3 -o never.png",
          "--interval 0 --frames 2 -o never.webp", "--frobnicate -o never.png", "-o", ""}) {
        SCOPED_TRACE(arguments);
        EXPECT_EQ(RunRenderer(arguments), 2);
        const std::string errors = ReadFile("stderr" + Suffix);
        EXPECT_EQ(errors.rfind("orlentic-render: ", 0), 0u) << errors;
        EXPECT_NE(errors.find("\nUsage: orlentic-render"), std::string::npos) << errors;
    }
    EXPECT_EQ(RunRenderer("--version"), 0);
    EXPECT_EQ(ReadFile("stdout" + Suffix), "orlentic-render " ORLENTIC_VERSION "\n");
    for (const char* arguments : {"-o none/a.png", "--frames 2 -o none/a.webp"})
        EXPECT_EQ(RunRenderer(std::string("--size 64x48 ") + arguments), 1) << arguments;
}

// Each frame an interval on in the sway and the hands' time; 471 ms into the sway the watch
// stands upright turned 40 degrees.
TEST(RenderTool, OptionsAndFramesReachTheScene) {
    const std::string quarterMinutes = "--pose 0,0 --time 03:00:15 --frames 3 --interval 15000";
    const struct {
        std::string arguments;
        size_t frame;
        double x, y, z, spin;
        Sight sight;
    } cases[] = {
        {"--pose 0,0 --time=12:15:00", 0, 2, 0, 0.55, 0, Hand},
        {"--pose 0,0 --time 12:15:00 --no-dial", 0, 2, 0, 0.55, 0, NoHand},
        {"--pose 0,0 --time 12:15:00 --view 0,0.5,-34", 0, 2, 3, 0.55, 0, Hand}, // 3 units up
        {"--pose 0,90", 0, 3, 0, 0.3, 0, Background},                            // edge on
        {"--pose 0,0 --no-case", 0, 7.5, 0, 0, 0, Background},
        {"--pose 0,0 --wireframe", 0, 0, -6.2, 0.3, 0, Outlined},
        {"--pose 0,0 --no-glass", 0, 1.5, -1.5, 0.3, 0, White},
        {"--elapsed 471 --no-case", 0, 0, 6.5, 0.3, 40, Watch},
        {"--frames 2 --interval 471 --no-case", 1, 0, 6.5, 0.3, 40, Watch},
        {quarterMinutes, 0, 2, 0, 0.45, 0, Hand},      // the hour hand at 3
        {quarterMinutes, 0, 0.6, -3.94, 0.4, 0, Hand}, // small seconds: 15, 30, 45
        {quarterMinutes, 1, 0, -4.54, 0.4, 0, Hand},
        {quarterMinutes, 2, -0.6, -3.94, 0.4, 0, Hand},
    };
    std::string drawn;
    std::vector<Picture> frames;
    std::vector<int> endsMs;
    int loops = -1;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        if (c.arguments != drawn)
            frames = Render(drawn = c.arguments, endsMs, loops);
        ASSERT_LT(c.frame, frames.size());
        EXPECT_TRUE(Sees(frames[c.frame], c.x, c.y, c.z, c.spin, c.sight)) << "frame " << c.frame;
    }
    EXPECT_EQ(endsMs, std::vector<int>({15000, 30000, 45000}));
    EXPECT_EQ(loops, 0) << "an animation loops for ever";
}

} // namespace
