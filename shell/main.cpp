// The entry point of the windowed program.
#include "shell/shell.h"

// The command line and the show command mean nothing to the program, and it always ends
// with exit status 0, whatever the loop returns.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine,
                   int showCommand) {
    RunMainLoop(instance, previousInstance, commandLine, showCommand);
    return 0;
}
