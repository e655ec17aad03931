// The renderer's command line, read by hand so that every mistake gets one clear line and
// the parser keeps no state between calls.
#include "tools/render/render_options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// Far beyond any picture the project needs, and within what an EGL pbuffer can hold.
const int64_t LargestSide = 8192;
const int64_t LargestBenchFrames = 1000000;

// A whole decimal number from low to high, nothing before or after it.
bool ParseInteger(const std::string& text, int64_t low, int64_t high, int64_t& value) {
    if (text.empty() || text.size() > 18)
        return false;
    const size_t start = text[0] == '-' ? 1 : 0;
    if (start == text.size())
        return false;
    for (size_t i = start; i < text.size(); ++i)
        if (text[i] < '0' || text[i] > '9')
            return false;
    value = std::strtoll(text.c_str(), nullptr, 10);
    return value >= low && value <= high;
}

// One finite number that also fits a float.
bool ParseReal(const std::string& text, float& value) {
    if (text.empty() || std::strchr("+-.0123456789", text[0]) == nullptr)
        return false;
    char* end = nullptr;
    errno = 0;
    const double wide = std::strtod(text.c_str(), &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(wide) || std::fabs(wide) > 3.0e38)
        return false;
    value = static_cast<float>(wide);
    return true;
}

// Splits text at every separator into exactly count fields.
bool SplitFields(const std::string& text, char separator, size_t count, std::string* fields) {
    size_t start = 0;
    for (size_t i = 0; i < count; ++i) {
        const size_t end = i + 1 < count ? text.find(separator, start) : text.size();
        if (end == std::string::npos)
            return false;
        fields[i] = text.substr(start, end - start);
        start = end + 1;
    }
    return fields[count - 1].find(separator) == std::string::npos;
}

bool ParseSize(const std::string& text, RenderOptions& options) {
    std::string fields[2];
    int64_t width = 0, height = 0;
    if (!SplitFields(text, 'x', 2, fields) || !ParseInteger(fields[0], 1, LargestSide, width) ||
        !ParseInteger(fields[1], 1, LargestSide, height))
        return false;
    options.Width = static_cast<int32_t>(width);
    options.Height = static_cast<int32_t>(height);
    return true;
}

bool ParseTime(const std::string& text, RenderOptions& options) {
    std::string fields[3];
    int64_t hour = 0, minute = 0, second = 0;
    if (!SplitFields(text, ':', 3, fields))
        return false;
    for (const std::string& field : fields)
        if (field.size() > 2 || (!field.empty() && field[0] == '-'))
            return false;
    if (!ParseInteger(fields[0], 0, 23, hour) || !ParseInteger(fields[1], 0, 59, minute) ||
        !ParseInteger(fields[2], 0, 59, second))
        return false;
    options.FixedTime = true;
    options.Hour = static_cast<uint16_t>(hour);
    options.Minute = static_cast<uint16_t>(minute);
    options.Second = static_cast<uint16_t>(second);
    return true;
}

bool ParseElapsed(const std::string& text, RenderOptions& options) {
    int64_t elapsed = 0;
    if (!ParseInteger(text, 0, INT32_MAX, elapsed))
        return false;
    options.ElapsedMs = static_cast<int32_t>(elapsed);
    return true;
}

bool ParsePose(const std::string& text, RenderOptions& options) {
    std::string fields[2];
    float tilt = 0.0f, spin = 0.0f;
    if (!SplitFields(text, ',', 2, fields) || !ParseReal(fields[0], tilt) ||
        !ParseReal(fields[1], spin))
        return false;
    options.FixedPose = true;
    options.TiltX = tilt;
    options.SpinY = spin;
    return true;
}

bool ParseView(const std::string& text, RenderOptions& options) {
    std::string fields[3];
    float view[3] = {};
    if (!SplitFields(text, ',', 3, fields))
        return false;
    for (int i = 0; i < 3; ++i)
        if (!ParseReal(fields[i], view[i]))
            return false;
    options.ViewX = view[0];
    options.ViewY = view[1];
    options.ViewZ = view[2];
    return true;
}

bool ParseBench(const std::string& text, RenderOptions& options) {
    int64_t frames = 0;
    if (!ParseInteger(text, 1, LargestBenchFrames, frames))
        return false;
    options.BenchFrames = static_cast<int32_t>(frames);
    return true;
}

bool ParseOutput(const std::string& text, RenderOptions& options) {
    if (text.empty())
        return false;
    options.OutputPath = text;
    return true;
}

struct ValueOption {
    const char* name;
    const char* expected; // said when the value is refused
    bool (*parse)(const std::string& text, RenderOptions& options);
};

const ValueOption ValueOptions[] = {
    {"--size", "WIDTHxHEIGHT, each 1 to 8192", ParseSize},
    {"--time", "HH:MM:SS, 00:00:00 to 23:59:59", ParseTime},
    {"--elapsed", "milliseconds, 0 to 2147483647", ParseElapsed},
    {"--pose", "TILT,SPIN in degrees", ParsePose},
    {"--view", "X,Y,Z in model units", ParseView},
    {"--bench", "a frame count, 1 to 1000000", ParseBench},
    {"-o", "a file name", ParseOutput},
    {"--output", "a file name", ParseOutput},
};

struct FlagOption {
    const char* name;
    bool RenderOptions::*flag;
};

const FlagOption FlagOptions[] = {
    {"--wireframe", &RenderOptions::Wireframe}, {"--no-glass", &RenderOptions::NoGlass},
    {"--no-dial", &RenderOptions::NoDial},      {"--no-case", &RenderOptions::NoCase},
    {"--help", &RenderOptions::Help},           {"-h", &RenderOptions::Help},
};

const ValueOption* FindValueOption(const std::string& name) {
    for (const ValueOption& option : ValueOptions)
        if (name == option.name)
            return &option;
    return nullptr;
}

const FlagOption* FindFlagOption(const std::string& name) {
    for (const FlagOption& option : FlagOptions)
        if (name == option.name)
            return &option;
    return nullptr;
}

} // namespace

RenderOptions MakeDefaultRenderOptions() {
    RenderOptions options{};
    options.Width = 800;
    options.Height = 600;
    // The viewer's start view: the dial 34 units ahead and 2.5 below the line of sight.
    options.ViewY = -2.5f;
    options.ViewZ = -34.0f;
    return options;
}

bool ParseRenderOptions(int argc, const char* const* argv, RenderOptions& options,
                        std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        // "--name=value" is the same as "--name value".
        const size_t equals = argument.rfind("--", 0) == 0 ? argument.find('=') : std::string::npos;
        const std::string name = argument.substr(0, equals);
        if (const FlagOption* flag = FindFlagOption(name)) {
            if (equals != std::string::npos) {
                error = "option " + name + " takes no value";
                return false;
            }
            options.*(flag->flag) = true;
            continue;
        }
        const ValueOption* option = FindValueOption(name);
        if (option == nullptr) {
            error = argument[0] == '-' ? "unknown option " + argument
                                       : "unexpected argument '" + argument + "'";
            return false;
        }
        std::string value;
        if (equals != std::string::npos) {
            value = argument.substr(equals + 1);
        } else if (i + 1 < argc) {
            value = argv[++i];
        } else {
            error = "option " + name + " needs a value: " + option->expected;
            return false;
        }
        if (!option->parse(value, options)) {
            error = "bad value '" + value + "' for " + name + ": expected " + option->expected;
            return false;
        }
    }
    if (!options.Help && options.OutputPath.empty() && options.BenchFrames == 0) {
        error = "nothing to do: give -o FILE.png or --bench N";
        return false;
    }
    return true;
}

const char* GetRenderUsage() {
    return "usage: orlentic-render [options] -o FILE.png\n"
           "Draws the watch offscreen and writes the picture as a PNG.\n"
           "  --size WxH         picture size in pixels (default 800x600)\n"
           "  --time HH:MM:SS    local time shown by the hands (default now)\n"
           "  --elapsed MS       milliseconds since start: drives the sway and the gears "
           "(default 0)\n"
           "  --pose TILT,SPIN   the pose after a click, in degrees (default: the sway)\n"
           "  --view X,Y,Z       translation of the watch (default 0,-2.5,-34)\n"
           "  --wireframe        outlines, with the gears showing (the W key)\n"
           "  --no-glass         no glass and no lighting (the L key)\n"
           "  --no-dial          no dial and hands (the F key)\n"
           "  --no-case          no case; the gears show (the C key)\n"
           "  -o, --output FILE  the PNG to write\n"
           "  --bench N          time N frames and print the figures\n"
           "  -h, --help         this text\n";
}
