// The Linux entry point: hands over to WinMain as Windows would start the program. Its own
// library, linked only by the programs that have a WinMain; tests bring their own main.
#ifdef _WIN32
#error "platform/ is the SDL stand-in for Win32; Windows builds use the real API."
#endif

#define SDL_MAIN_HANDLED
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
    // Gives the display its mode and cursor back and closes the connection cleanly.
    SDL_Quit();
    return result;
}
