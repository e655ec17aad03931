// The renderer's command line on CLI11: it knows the names, "--name value" and
// "--name=value", help and version; the values with a shape of their own (a size, a time,
// a pose, a view) are read here.
#include "tools/render/render_options.h"

#include <CLI/CLI.hpp>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

// A whole number from low to high; the help says the range in words.
CLI::Validator MakeRange(int32_t low, int32_t high) {
    return CLI::Range(low, high).description("");
}

// Far beyond any picture the project needs, and within what an EGL pbuffer can hold.
const int32_t LargestSide = 8192;

// Splits text at separator into exactly count numbers: whole ones within [low, high] when
// whole is set (then at most two digits each), else any finite float.
bool ReadNumbers(const std::string& text, char separator, size_t count, bool whole, double low,
                 double high, double* numbers) {
    const std::vector<std::string> fields = CLI::detail::split(text, separator);
    if (fields.size() != count)
        return false;
    for (size_t i = 0; i < count; ++i) {
        const std::string& field = fields[i];
        if (field.empty() || field.find_first_of(" \t") != std::string::npos)
            return false;
        if (whole && field.find_first_not_of("0123456789") != std::string::npos)
            return false;
        char* end = nullptr;
        numbers[i] = std::strtod(field.c_str(), &end);
        if (*end != '\0' || !std::isfinite(numbers[i]) || numbers[i] < low || numbers[i] > high)
            return false;
    }
    return true;
}

// An option whose value has a shape of its own, read into the options by read.
template <typename Read>
void AddShapedOption(CLI::App& app, const char* name, const char* expected, const char* help,
                     Read read) {
    const std::string option = name;
    app.add_option_function<std::string>(
           name,
           [option, expected, read](const std::string& text) {
               if (!read(text))
                   throw CLI::ValidationError(option,
                                              "bad value '" + text + "': expected " + expected);
           },
           help)
        ->type_name(expected);
}

void AddOptions(CLI::App& app, RenderOptions& o) {
    // An option given twice counts as given last, so a script can change one thing.
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    const double floatLargest = std::numeric_limits<float>::max();
    AddShapedOption(app, "--size", "WIDTHxHEIGHT",
                    "picture size in pixels, each side 1 to 8192 "
                    "(default 800x600)",
                    [&o](const std::string& text) {
                        double side[2];
                        if (!ReadNumbers(text, 'x', 2, true, 1, LargestSide, side))
                            return false;
                        o.Width = static_cast<int32_t>(side[0]);
                        o.Height = static_cast<int32_t>(side[1]);
                        return true;
                    });
    AddShapedOption(app, "--time", "HH:MM:SS",
                    "local time the hands show at the first frame "
                    "(default now)",
                    [&o](const std::string& text) {
                        double field[3];
                        if (text.size() > 8 || !ReadNumbers(text, ':', 3, true, 0, 59, field) ||
                            field[0] > 23)
                            return false;
                        o.FixedTime = true;
                        o.Hour = static_cast<uint16_t>(field[0]);
                        o.Minute = static_cast<uint16_t>(field[1]);
                        o.Second = static_cast<uint16_t>(field[2]);
                        return true;
                    });
    app.add_option(
           "--elapsed", o.ElapsedMs,
           "milliseconds since start at the first frame: the sway and the gears (default 0)")
        ->check(MakeRange(0, std::numeric_limits<int32_t>::max()))
        ->type_name("MS");
    AddShapedOption(app, "--pose", "TILT,SPIN",
                    "the pose after a click, in degrees (default: "
                    "the sway)",
                    [&o, floatLargest](const std::string& text) {
                        double angle[2];
                        if (!ReadNumbers(text, ',', 2, false, -floatLargest, floatLargest, angle))
                            return false;
                        o.FixedPose = true;
                        o.TiltX = static_cast<float>(angle[0]);
                        o.SpinY = static_cast<float>(angle[1]);
                        return true;
                    });
    AddShapedOption(app, "--view", "X,Y,Z",
                    "the watch's place in model units (default "
                    "0,-2.5,-34)",
                    [&o, floatLargest](const std::string& text) {
                        double place[3];
                        if (!ReadNumbers(text, ',', 3, false, -floatLargest, floatLargest, place))
                            return false;
                        o.ViewX = static_cast<float>(place[0]);
                        o.ViewY = static_cast<float>(place[1]);
                        o.ViewZ = static_cast<float>(place[2]);
                        return true;
                    });
    app.add_flag("--wireframe", o.Wireframe, "outlines, with the gears showing (the W key)");
    app.add_flag("--no-glass", o.NoGlass, "no glass and no lighting (the L key)");
    app.add_flag("--no-dial", o.NoDial, "no dial and hands (the F key)");
    app.add_flag("--no-case", o.NoCase, "no case; the gears show (the C key)");
    app.add_option("-o,--output", o.OutputPath, "the PNG, or with --frames the WebP, to write")
        ->check([](const std::string& text) { return std::string(text.empty() ? "empty" : ""); })
        ->type_name("FILE");
    app.add_option("--frames", o.Frames, "draw N frames, 1 to 10000, as one animated WebP")
        ->check(MakeRange(1, 10000))
        ->type_name("N");
    app.add_option("--interval", o.IntervalMs,
                   "milliseconds from frame to frame, 1 to 60000 (default 80)")
        ->check(MakeRange(1, 60000))
        ->type_name("MS");
    app.add_option("--bench", o.BenchFrames, "time N frames and print the figures")
        ->check(MakeRange(1, 1000000))
        ->type_name("N");
    app.set_version_flag("--version", ORLENTIC_VERSION);
}

// What the options cannot say alone. Empty when they make sense together.
std::string CheckTogether(const RenderOptions& o) {
    if (o.OutputPath.empty() && o.BenchFrames == 0)
        return "nothing to do: give -o FILE.png or --bench N";
    if (o.Frames > 0 && !o.OutputPath.empty() &&
        o.OutputPath.rfind(".webp") != o.OutputPath.size() - 5)
        return "--frames writes an animated WebP: give -o FILE.webp";
    const int64_t lastElapsed =
        o.ElapsedMs + int64_t{o.IntervalMs} * (o.Frames > 0 ? o.Frames - 1 : 0);
    if (lastElapsed > std::numeric_limits<int32_t>::max())
        return "the last frame's elapsed time passes 2147483647 ms";
    return "";
}

} // namespace

int ReadRenderOptions(int argc, const char* const* argv, RenderOptions& options) {
    CLI::App app("Draws the watch offscreen and writes the picture as a PNG, or N frames as an "
                 "animated WebP.",
                 "orlentic-render");
    AddOptions(app, options);
    // The manual page is made from this text, so the statuses are listed here only.
    app.footer("Exit status:\n"
               "  0  the picture written, or the figures printed\n"
               "  1  drawing or writing failed\n"
               "  2  a bad command line");
    std::string error;
    try {
        app.parse(argc, argv);
        error = CheckTogether(options);
    } catch (const CLI::CallForHelp&) {
        std::fputs(app.help().c_str(), stdout);
        return 0;
    } catch (const CLI::CallForVersion&) {
        std::printf("orlentic-render %s\n", ORLENTIC_VERSION);
        return 0;
    } catch (const CLI::ParseError& failure) {
        error = failure.what();
    }
    if (error.empty())
        return -1;
    std::fprintf(stderr, "orlentic-render: %s\n%s", error.c_str(), app.help().c_str());
    return 2;
}
