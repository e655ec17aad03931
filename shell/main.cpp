// The entry point of the windowed program.
#include "shell/shell.h"

// The command line and the show command mean nothing to the program; the loop gives the exit
// status.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine,
                   int showCommand) {
    return RunMainLoop(instance, previousInstance, commandLine, showCommand);
}
