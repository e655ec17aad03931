// The two command lines the saver is started with: Windows' screensaver protocol, and the
// arguments xscreensaver gives its display modes.
#include <cctype>
#include <cstdio>
#include <cstdint>
#include <string_view>
#include <vector>

#include "saver/saver.h"

namespace {

// Window handles carry 32 significant bits, on 64-bit Windows too; X window ids fewer.
constexpr uint64_t LargestWindow = 0xFFFFFFFFu;
// Ten seconds between frames is no animation any more; more is surely a slip of the keyboard.
constexpr uint64_t LargestDelayUs = 10000000u;
constexpr uint64_t MicrosecondsPerMs = 1000u;

// The usage follows every complaint; with the rest, help2man makes the manual page of it, so
// the options are described here and nowhere else.
constexpr const char* DisplayModeUsage =
    "Usage: orlentic-saver (--root | --window-id ID) [--delay MICROSECONDS] [--fps] "
    "[--wireframe] [--no-glass] [--no-dial] [--no-case]";
constexpr const char* DisplayModeHelp =
    "The watch swaying, its hands on the local time, as a display mode of xscreensaver: in the\n"
    "window the daemon lends it, or in any X window. It reads no input. xscreensaver-settings\n"
    "offers the four parts as check boxes, the delay as the frame rate, and --fps as \"Show\n"
    "frame rate\", on the page of \"Orlentic\".\n"
    "\n"
    "Options:\n"
    "  --root                draw in the window that XSCREENSAVER_WINDOW names, else on the\n"
    "                        whole screen\n"
    "  --window-id ID        draw in that X window (decimal, or hex after 0x)\n"
    "  --delay MICROSECONDS  the pause after each frame, 0 to 10000000 (default 30000)\n"
    "  --fps                 print the frames drawn each second on standard error\n"
    "  --wireframe           outlines, with the gears showing (the viewer's W key)\n"
    "  --no-glass            no glass and no lighting (the L key)\n"
    "  --no-dial             no dial and hands (the F key)\n"
    "  --no-case             no case; the gears show (the C key)\n"
    "  --help                print this help and end\n"
    "Each option is understood with one dash too, and a value also after '=' (--delay=20000).\n"
    "\n"
    "Exit status:\n"
    "  0  ended by SIGTERM, SIGINT or its window going away, or after --help\n"
    "  1  it could not start\n"
    "  2  a bad command line\n";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// A whole number in base 10, or in base 16 after "0x" when hex is allowed; false for anything
// else, for nothing, and for a value above largest.
bool ReadNumber(std::string_view text, bool hexAllowed, uint64_t largest, uint64_t& value) {
    uint64_t base = 10;
    if (hexAllowed && text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    value = 0;
    for (const char c : text) {
        const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                          : base == 16 && std::isxdigit(static_cast<unsigned char>(c))
                              ? std::tolower(static_cast<unsigned char>(c)) - 'a' + 10
                              : -1;
        if (digit < 0 || value > (largest - static_cast<uint64_t>(digit)) / base)
            return false;
        value = value * base + static_cast<uint64_t>(digit);
    }
    return !text.empty();
}

// A window is a nonzero number.
bool ReadWindow(std::string_view text, bool hexAllowed, HWND& window) {
    uint64_t value = 0;
    if (!ReadNumber(text, hexAllowed, LargestWindow, value) || value == 0)
        return false;
    window = reinterpret_cast<HWND>(static_cast<uintptr_t>(value));
    return true;
}

std::vector<std::string_view> SplitWords(std::string_view text) {
    std::vector<std::string_view> words;
    while (!(text = Trim(text)).empty()) {
        size_t end = 0;
        while (end < text.size() && !IsBlank(text[end]))
            ++end;
        words.push_back(text.substr(0, end));
        text.remove_prefix(end);
    }
    return words;
}

SaverRequest Refuse(std::string why) {
    SaverRequest request;
    request.mode = SaverMode::BadArguments;
    request.why = std::move(why);
    return request;
}

// --root: xscreensaver names its window in the environment; without it, the whole screen.
bool ChooseRootWindow(const char* rootWindow, SaverRequest& request) {
    request.mode = SaverMode::InWindow;
    if (rootWindow == nullptr) {
        request.window = GetDesktopWindow();
        return true;
    }
    return ReadWindow(rootWindow, true, request.window);
}

// The options without a value: the frame rate and the parts of the watch, each named as the
// offscreen renderer names it.
bool ReadSwitch(std::string_view name, SaverRequest& request) {
    SaverSettings& settings = request.settings;
    if (name == "-fps")
        request.showRate = true;
    else if (name == "-wireframe")
        settings.wireframe = true;
    else if (name == "-no-glass")
        settings.glass = false;
    else if (name == "-no-dial")
        settings.dial = false;
    else if (name == "-no-case")
        settings.caseShown = false;
    else
        return false;
    return true;
}

} // namespace

// "/s", "-S", "/p 1234", "/p:1234", "/c", "/c:1234" or nothing; the handle is decimal, as the
// system writes it. A handle after /s, none after /p, or 0 make the line one not understood.
SaverRequest ReadScreensaverCommandLine(const char* commandLine) {
    const std::string_view text = Trim(commandLine != nullptr ? commandLine : "");
    SaverRequest request; // not understood until shown otherwise
    if (text.empty()) {
        request.mode = SaverMode::Settings;
        return request;
    }
    if (text.size() < 2 || (text[0] != '/' && text[0] != '-'))
        return request;
    std::string_view handle = text.substr(2);
    if (!handle.empty() && handle[0] != ':' && !IsBlank(handle[0]))
        return request; // "/sx"
    handle = Trim(handle.substr(handle.empty() ? 0 : 1));
    HWND window = nullptr;
    if (!handle.empty() && !ReadWindow(handle, false, window))
        return request;
    switch (std::tolower(static_cast<unsigned char>(text[1]))) {
    case 's':
        if (window == nullptr)
            request.mode = SaverMode::FullScreen;
        break;
    case 'p':
        if (window == nullptr)
            break;
        request.mode = SaverMode::InWindow;
        request.window = window;
        break;
    case 'c':
        request.mode = SaverMode::Settings;
        request.window = window;
        break;
    default: break;
    }
    return request;
}

// "--root", "--window-id ID", "--delay MICROSECONDS", "--fps", the four parts, "--help", each
// also with one dash, and a value also after "=" ("--window-id=0x2a"). The last window named
// counts; "--help" answers once the words before it have been read.
SaverRequest ReadDisplayModeArguments(const char* commandLine, const char* rootWindow) {
    SaverRequest request;
    request.mode = SaverMode::BadArguments;
    const std::vector<std::string_view> words = SplitWords(commandLine ? commandLine : "");
    for (size_t index = 0; index < words.size(); ++index) {
        std::string_view name = words[index];
        std::string_view value;
        const size_t equals = name.find('=');
        const bool inlineValue = name.rfind("--", 0) == 0 && equals != std::string_view::npos;
        if (inlineValue) {
            value = name.substr(equals + 1);
            name = name.substr(0, equals);
        }
        const std::string shown(words[index]);
        if (name.rfind("--", 0) == 0)
            name.remove_prefix(1);
        if (name == "-help" && !inlineValue) {
            request.mode = SaverMode::Help;
            return request;
        }
        if (name == "-root" && !inlineValue) {
            if (!ChooseRootWindow(rootWindow, request))
                return Refuse("XSCREENSAVER_WINDOW is not a window id: '" +
                              std::string(rootWindow) + "'");
            continue;
        }
        if (!inlineValue && ReadSwitch(name, request))
            continue;
        if (name != "-window-id" && name != "-delay")
            return Refuse("unknown option '" + shown + "'");
        if (!inlineValue && ++index < words.size())
            value = words[index];
        else if (!inlineValue)
            return Refuse("'" + shown + "' needs a value");
        uint64_t delayUs = 0;
        if (name == "-window-id" && ReadWindow(value, true, request.window))
            request.mode = SaverMode::InWindow;
        else if (name == "-delay" && ReadNumber(value, false, LargestDelayUs, delayUs))
            request.settings.pauseMs =
                static_cast<DWORD>((delayUs + MicrosecondsPerMs / 2) / MicrosecondsPerMs);
        else
            return Refuse("'" + std::string(value) + "' is not a " +
                          (name == "-delay" ? "delay from 0 to 10000000 microseconds"
                                            : "window id (decimal or 0x hex, not 0)"));
    }
    if (request.mode != SaverMode::InWindow)
        return Refuse("no window to draw in: give --root or --window-id");
    return request;
}

int AnswerDisplayModeArguments(const SaverRequest& request) {
    if (request.mode == SaverMode::Help) {
        std::printf("%s\n%s", DisplayModeUsage, DisplayModeHelp);
        return 0;
    }
    std::fprintf(stderr, "orlentic-saver: %s\n%s\n", request.why.c_str(), DisplayModeUsage);
    return 2;
}
