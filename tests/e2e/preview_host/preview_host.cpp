// A stand-in for the system's preview: a window titled "Preview host", whose handle goes to
// standard output in decimal, and that is destroyed once standard input ends or gets a line.
// Built with MinGW-w64 for the end-to-end test of the screensaver's /p under Wine.
#include <windows.h>

#include <cstdio>

namespace {

HWND HostWindow = nullptr;

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// A thread of its own, so that reading does not hold up the window's messages.
DWORD WINAPI AwaitEndOfInput(LPVOID) {
    char line[16];
    std::fgets(line, sizeof line, stdin);
    PostMessageA(HostWindow, WM_CLOSE, 0, 0);
    return 0;
}

} // namespace

int main() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = HostWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "PreviewHost";
    RegisterClassA(&windowClass);
    HostWindow = CreateWindowExA(0, "PreviewHost", "Preview host", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                 40, 40, 320, 260, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (HostWindow == nullptr)
        return 1;
    std::printf("%llu\n", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(HostWindow)));
    std::fflush(stdout);
    CreateThread(nullptr, 0, AwaitEndOfInput, nullptr, 0, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
