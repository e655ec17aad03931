// The recording stand-in for platform/: one window, device context and GL context at most,
// at fixed handle values; all its state in one record that Reset replaces whole.
#include "tests/support/fake_platform.h"

#include <cctype>
#include <cstdio>
#include <stdexcept>
#include <utility>

#include "platform/embedded_resources.h"

fake::Recorder fake::Recorded;

namespace {

fake::Recorder& S = fake::Recorded;
const HINSTANCE Instance = reinterpret_cast<HINSTANCE>(0x400000);
const HDC Dc = reinterpret_cast<HDC>(0x20020);
const HGLRC Context = reinterpret_cast<HGLRC>(0x30030);

std::string ResourceKey(const std::string& name, const std::string& type) {
    std::string key = name + "/" + type;
    for (char& c : key)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return key;
}

// Arguments as the log shows them: numbers in decimal, Hex flags in hex, text as it is.
enum class Hex : unsigned long {};
std::string Show(long long value) {
    return std::to_string(value);
}
std::string Show(Hex flags) {
    char text[20];
    std::snprintf(text, sizeof text, "%lx", static_cast<unsigned long>(flags));
    return text;
}
std::string Show(const char* text) {
    return IS_INTRESOURCE(text) ? "#" + Show(reinterpret_cast<uintptr_t>(text)) : text;
}

// Logs the call with its arguments; false when the test made it fail.
template <typename... Args> bool Log(const char* name, const Args&... args) {
    std::string line = name;
    ((line += " " + Show(args)), ...);
    S.calls.push_back(line);
    return S.failing.count(name) == 0;
}

bool IsOurs(HWND window) {
    return S.windowAlive && window == fake::Window;
}

LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) {
    return S.procedure(fake::Window, message, wParam, lParam);
}

// Win32 tells the window that loses the capture who has it now.
HWND MoveCapture(HWND to) {
    HWND from = std::exchange(S.capture, to);
    if (from != to && IsOurs(from))
        Send(WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(to));
    return from;
}

std::vector<uint8_t>* FindBytes(LPCSTR name, LPCSTR type) {
    if (IS_INTRESOURCE(name) || IS_INTRESOURCE(type))
        return nullptr;
    auto found = S.resources.find(ResourceKey(name, type));
    return found == S.resources.end() ? nullptr : &found->second;
}

// A zero-length resource still locks to an address.
LPVOID StartOf(HGLOBAL data) {
    static uint8_t empty = 0;
    auto* bytes = static_cast<std::vector<uint8_t>*>(data);
    return bytes->empty() ? &empty : bytes->data();
}

} // namespace

void fake::Reset() {
    S = Recorder{};
    for (int i = 0; i < EmbeddedResourceCount; ++i) {
        const EmbeddedResource& r = EmbeddedResources[i];
        S.resources[ResourceKey(r.Name, r.Type)].assign(r.Bytes, r.Bytes + r.Size);
    }
}

std::vector<fake::MessageBoxRecord>& fake::MessageBoxes() {
    return S.boxes;
}

void fake::FailCall(const std::string& name) {
    S.failing.insert(name);
}

void fake::SetLocalTime(WORD hour, WORD minute, WORD second) {
    S.localTime.wHour = hour;
    S.localTime.wMinute = minute;
    S.localTime.wSecond = second;
}

void fake::AddResource(const std::string& name, const std::string& type,
                       const std::vector<uint8_t>& bytes) {
    S.resources[ResourceKey(name, type)] = bytes;
}

void fake::RemoveResource(const std::string& name) {
    S.resources.erase(ResourceKey(name, "BMP")); // the one type there is
}

void fake::Post(UINT message, WPARAM wParam, LPARAM lParam) {
    S.queue.push_back(MSG{Window, message, wParam, lParam, S.tick, {0, 0}});
}

void GetLocalTime(LPSYSTEMTIME time) {
    *time = S.localTime;
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU, HINSTANCE instance, LPVOID) {
    if (!Log("CreateWindowExA", Hex(exStyle), Hex(style), className, title, x, y, width, height) ||
        !S.classAlive || parent != nullptr || instance != Instance)
        return nullptr;
    S.windowAlive = true;
    Send(WM_CREATE, 0, 0);
    Send(WM_SIZE, SIZE_RESTORED, (573 << 16) | 792);
    return fake::Window;
}

LONG ChangeDisplaySettingsA(DEVMODEA* m, DWORD flags) {
    bool switched = m == nullptr ? Log("ChangeDisplaySettingsA", "NULL", flags)
                                 : Log("ChangeDisplaySettingsA", m->dmSize, m->dmPelsWidth,
                                       m->dmPelsHeight, m->dmBitsPerPel, Hex(m->dmFields), flags);
    return switched ? DISP_CHANGE_SUCCESSFUL : DISP_CHANGE_FAILED;
}

BOOL PeekMessageA(LPMSG msg, HWND, UINT, UINT, UINT) {
    if (++S.peeks > 100000)
        throw std::runtime_error("PeekMessageA called 100000 times: the loop runs away");
    Log("PeekMessageA");
    if (!S.queue.empty()) {
        *msg = S.queue.front();
        S.queue.pop_front();
        return TRUE;
    }
    // The quit flag is looked at only once the queue is empty.
    if (!std::exchange(S.quitPending, false))
        return FALSE;
    *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(S.quitCode), 0, S.tick, {0, 0}};
    return TRUE;
}

void PostQuitMessage(int code) {
    Log("PostQuitMessage", code);
    S.quitPending = true;
    S.quitCode = code;
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    S.boxes.push_back({owner, text, caption, type});
    Log("MessageBoxA", text);
    return 1; // IDOK, the only button
}

BOOL SwapBuffers(HDC dc) {
    const bool swapped = Log("SwapBuffers") && dc == Dc;
    if (S.afterSwap)
        S.afterSwap(++S.swaps);
    return swapped;
}

// The rest answer from a table: each logs its call and, unless the test made it fail, gives
// its canned result (a Win32 failure otherwise).
#define RECORDED(Type, Name, Params, LogArgs, Result)                                              \
    Type Name Params {                                                                             \
        return Log LogArgs ? Type(Result) : Type();                                                \
    }
// clang-format off
RECORDED(DWORD, GetTickCount, (), ("GetTickCount"), S.tick)
RECORDED(WORD, RegisterClassA, (const WNDCLASSA* c),
         ("RegisterClassA", Hex(c->style), c->lpszClassName, c->hCursor ? "arrow" : "none"),
         !std::exchange(S.classAlive, c->hInstance == Instance) && (S.procedure = c->lpfnWndProc)
             ? 0xC001 : 0)
RECORDED(HMODULE, GetModuleHandleA, (LPCSTR name), ("GetModuleHandleA"), name ? nullptr : Instance)
RECORDED(HRSRC, FindResourceA, (HMODULE, LPCSTR name, LPCSTR type), ("FindResourceA", name),
         reinterpret_cast<HRSRC>(FindBytes(name, type)))
RECORDED(HGLOBAL, LoadResource, (HMODULE, HRSRC resource), ("LoadResource"), resource)
RECORDED(DWORD, SizeofResource, (HMODULE, HRSRC r), ("SizeofResource"),
         r ? reinterpret_cast<std::vector<uint8_t>*>(r)->size() : 0)
RECORDED(LPVOID, LockResource, (HGLOBAL data), ("LockResource"), data ? StartOf(data) : nullptr)
// Win32 refuses to unregister a class while a window of it is alive.
RECORDED(BOOL, UnregisterClassA, (LPCSTR name, HINSTANCE instance), ("UnregisterClassA", name),
         !S.windowAlive && instance == Instance && std::exchange(S.classAlive, false))
RECORDED(BOOL, DestroyWindow, (HWND window), ("DestroyWindow"),
         IsOurs(window) && std::exchange(S.windowAlive, false))
RECORDED(BOOL, ShowWindow, (HWND, int command), ("ShowWindow", command), FALSE)
RECORDED(BOOL, SetForegroundWindow, (HWND window), ("SetForegroundWindow"), IsOurs(window))
RECORDED(HWND, SetFocus, (HWND), ("SetFocus"), nullptr)
RECORDED(BOOL, SetWindowTextA, (HWND window, LPCSTR text), ("SetWindowTextA", text), IsOurs(window))
RECORDED(BOOL, GetClientRect, (HWND window, LPRECT rect), ("GetClientRect"),
         IsOurs(window) && (*rect = RECT{0, 0, 792, 573}, true))
RECORDED(HCURSOR, LoadCursorA, (HINSTANCE, LPCSTR name), ("LoadCursorA", name),
         reinterpret_cast<HCURSOR>(8))
RECORDED(int, ShowCursor, (BOOL show), ("ShowCursor", show), show ? 0 : -1)
RECORDED(BOOL, TranslateMessage, (const MSG*), ("TranslateMessage"), FALSE)
RECORDED(LRESULT, DispatchMessageA, (const MSG* m), ("DispatchMessageA"),
         IsOurs(m->hwnd) ? Send(m->message, m->wParam, m->lParam) : 0)
RECORDED(LRESULT, DefWindowProcA, (HWND, UINT, WPARAM, LPARAM), ("DefWindowProcA"),
         fake::DefWindowResult)
RECORDED(UINT_PTR, SetTimer, (HWND window, UINT_PTR id, UINT ms, TIMERPROC callback),
         ("SetTimer", id, ms, callback ? "callback" : "message"), IsOurs(window) ? id : 0)
RECORDED(HWND, SetCapture, (HWND window), ("SetCapture"), MoveCapture(window))
RECORDED(BOOL, ReleaseCapture, (), ("ReleaseCapture"), (MoveCapture(nullptr), TRUE))
RECORDED(HDC, GetDC, (HWND window), ("GetDC"), IsOurs(window) ? Dc : nullptr)
RECORDED(int, ReleaseDC, (HWND window, HDC dc), ("ReleaseDC"), IsOurs(window) && dc == Dc)
RECORDED(int, ChoosePixelFormat, (HDC dc, const PIXELFORMATDESCRIPTOR* p),
         ("ChoosePixelFormat", p->nSize, p->nVersion, Hex(p->dwFlags), p->iPixelType,
          p->cColorBits, p->cDepthBits, p->cAlphaBits + p->cStencilBits + p->cAccumBits),
         dc == Dc ? 7 : 0)
RECORDED(BOOL, SetPixelFormat, (HDC dc, int format, const PIXELFORMATDESCRIPTOR*),
         ("SetPixelFormat", format), S.formatSet = dc == Dc && format > 0)
// Win32 needs the device context's pixel format before it makes a context for it.
RECORDED(HGLRC, wglCreateContext, (HDC dc), ("wglCreateContext"),
         (S.contextAlive = dc == Dc && S.formatSet) ? Context : nullptr)
// Unbinding succeeds whatever the device context, as WGL ignores it then.
RECORDED(BOOL, wglMakeCurrent, (HDC dc, HGLRC context), ("wglMakeCurrent", context ? "context" : "NULL"),
         !context || (context == Context && S.contextAlive && dc == Dc))
RECORDED(BOOL, wglDeleteContext, (HGLRC context), ("wglDeleteContext"),
         context == Context && std::exchange(S.contextAlive, false))
// clang-format on
