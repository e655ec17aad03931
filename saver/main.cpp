// The screensaver's entry point. Windows starts it with the system's screensaver command
// line; on Linux platform/ hands over xscreensaver's arguments joined by spaces.
#include <cstdlib>

#include "saver/saver.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
#ifdef _WIN32
    return RunScreensaver(commandLine);
#else
    return RunSaver(ReadDisplayModeArguments(commandLine, std::getenv("XSCREENSAVER_WINDOW")));
#endif
}
