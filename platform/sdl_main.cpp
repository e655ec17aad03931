// The Linux entry point: hands over to WinMain as Windows would start the program. Its own
// library, linked only by the programs that have a WinMain; tests bring their own main.
#ifdef _WIN32
#error "platform/ is the SDL stand-in for Win32; Windows builds use the real API."
#endif

#define SDL_MAIN_HANDLED
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/sdl_internal.h"

namespace {

// Win32 hands the program the command line after its own name, as one string.
std::string JoinArguments(int argc, char** argv) {
    std::string commandLine;
    for (int index = 1; index < argc; ++index) {
        if (index > 1)
            commandLine += ' ';
        commandLine += argv[index];
    }
    return commandLine;
}

} // namespace

int main(int argc, char** argv) {
    SDL_SetMainReady();
    std::string commandLine = JoinArguments(argc, argv);
    int result = WinMain(GetModuleHandleA(nullptr), nullptr, commandLine.data(), SW_SHOW);
    // A program that drew only into a window lent to it changed no display mode and no cursor,
    // and must be gone the moment it is told. Closing the display would have Mesa's software
    // rasteriser join its threads, which can wait for ever when the window went while a frame
    // was being drawn (seen here: about one run in fifteen ended a few frames in); the end of
    // the process frees all of it instead.
    if (Foreign.Lent) {
        std::fflush(nullptr);
        std::_Exit(result);
    }
    // Gives the display its mode and cursor back and closes the connection cleanly.
    SDL_Quit();
    return result;
}
