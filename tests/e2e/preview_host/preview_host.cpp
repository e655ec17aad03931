// The system's preview window, for the screensaver's /p under Wine: its handle goes to
// standard output in decimal; a line on standard input closes it.
#include <windows.h>

#include <cstdio>

namespace {

HWND HostWindow = nullptr;

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY)
        PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

// A thread of its own, so that reading does not hold up the window's messages.
DWORD WINAPI CloseOnInput(LPVOID) {
    std::getchar();
    return PostMessageA(HostWindow, WM_CLOSE, 0, 0);
}

} // namespace

int main() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = HostWindowProc;
    windowClass.lpszClassName = "PreviewHost";
    RegisterClassA(&windowClass);
    HostWindow = CreateWindowExA(0, "PreviewHost", "Preview host", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                 40, 40, 320, 260, nullptr, nullptr, nullptr, nullptr);
    std::printf("%llu\n", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(HostWindow)));
    std::fflush(stdout);
    CreateThread(nullptr, 0, CloseOnInput, nullptr, 0, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}
