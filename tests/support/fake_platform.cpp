// The recording stand-in for platform/: all its state in one record that Reset replaces.
#include "tests/support/fake_platform.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "platform/embedded_resources.h"

fake::Recorder fake::Recorded;

namespace {

fake::Recorder& S = fake::Recorded;

std::string ResourceKey(const std::string& name, const std::string& type) {
    std::string key = name + "/" + type;
    for (char& c : key)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return key;
}

// Logs the call with the argument that matters; false when the test made it fail.
bool Log(const std::string& name, const std::string& argument = "") {
    S.calls.push_back(argument.empty() ? name : name + " " + argument);
    return S.failing.count(name) == 0;
}

std::vector<uint8_t>* FindBytes(LPCSTR name, LPCSTR type) {
    auto found = S.resources.find(ResourceKey(name, type));
    return found == S.resources.end() ? nullptr : &found->second;
}

} // namespace

void fake::Reset() {
    S = Recorder{};
    for (int i = 0; i < EmbeddedResourceCount; ++i) {
        const EmbeddedResource& r = EmbeddedResources[i];
        S.resources[ResourceKey(r.Name, r.Type)].assign(r.Bytes, r.Bytes + r.Size);
    }
}

void fake::SetLocalTime(WORD hour, WORD minute, WORD second) {
    S.localTime.wHour = hour;
    S.localTime.wMinute = minute;
    S.localTime.wSecond = second;
}

void fake::AddResource(const std::string& name, const std::string& type,
                       const std::vector<uint8_t>& bytes) {
    std::vector<uint8_t>& stored = S.resources[ResourceKey(name, type)] = bytes;
    stored.reserve(1); // so that a zero-length resource still locks to an address
}

void fake::Post(UINT message, WPARAM wParam) {
    S.queue.push_back(MSG{Window, message, wParam, 0, S.tick, {0, 0}});
}

std::string fake::Only(std::initializer_list<std::string> prefixes) {
    std::string kept;
    for (const std::string& call : S.calls)
        for (const std::string& prefix : prefixes)
            if (call.compare(0, prefix.size(), prefix) == 0)
                kept += call + "; ";
    return kept;
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR, LPCSTR title, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU, HINSTANCE, LPVOID) {
    S.created = {exStyle, style, x, y, parent};
    if (style & WS_POPUP)
        S.client = RECT{0, 0, width, height};
    if (!Log("CreateWindowExA",
             std::string(title) + " " + std::to_string(width) + "x" + std::to_string(height)))
        return nullptr;
    return fake::Window;
}

// The virtual screen's left, top, width and height, as the four metrics run.
int GetSystemMetrics(int index) {
    Log("GetSystemMetrics", std::to_string(index));
    if (unsigned(index - SM_XVIRTUALSCREEN) >= 4 || S.monitors.empty())
        return 0;
    RECT all = S.monitors[0];
    for (const RECT& m : S.monitors)
        all = RECT{std::min(all.left, m.left), std::min(all.top, m.top),
                   std::max(all.right, m.right), std::max(all.bottom, m.bottom)};
    const int metrics[4] = {all.left, all.top, all.right - all.left, all.bottom - all.top};
    return metrics[index - SM_XVIRTUALSCREEN];
}

BOOL EnumDisplayMonitors(HDC, LPCRECT, MONITORENUMPROC callback, LPARAM data) {
    if (!Log("EnumDisplayMonitors"))
        return FALSE;
    for (size_t index = 0; index < S.monitors.size(); ++index) {
        RECT monitor = S.monitors[index];
        if (!callback(reinterpret_cast<HMONITOR>(index + 1), nullptr, &monitor, data))
            break;
    }
    return TRUE;
}

// Win32 gives WM_QUIT only once the queue is empty; no message is posted after it here.
BOOL PeekMessageA(LPMSG msg, HWND, UINT, UINT, UINT) {
    if (S.calls.size() > 100000) // a loop that never ends fails on its log, not by hanging
        fake::Post(WM_QUIT, 0);
    if (!Log("PeekMessageA") || S.queue.empty())
        return FALSE;
    *msg = S.queue.front();
    S.queue.pop_front();
    return TRUE;
}

// The rest log their call and give a canned result, or Win32's failure when made to fail.
#define RECORDED_OR(Type, Name, Params, LogArgs, Result, Failure)                                  \
    Type Name Params {                                                                             \
        return Log LogArgs ? Type(Result) : Type(Failure);                                         \
    }
#define RECORDED(Type, Name, Params, LogArgs, Result)                                              \
    RECORDED_OR(Type, Name, Params, LogArgs, Result, )
RECORDED_OR(LONG, ChangeDisplaySettingsA, (DEVMODEA * mode, DWORD),
            ("ChangeDisplaySettingsA", mode ? "full" : "back"), DISP_CHANGE_SUCCESSFUL,
            DISP_CHANGE_FAILED)
RECORDED(void, GetLocalTime, (LPSYSTEMTIME time), ("GetLocalTime"), *time = S.localTime)
RECORDED(int, MessageBoxA, (HWND owner, LPCSTR text, LPCSTR caption, UINT type),
         ("MessageBoxA", text), (S.boxes.push_back({owner, text, caption, type}), 1))
RECORDED(void, OutputDebugStringA, (LPCSTR text), ("OutputDebugStringA", text), 0)
RECORDED(BOOL, SwapBuffers, (HDC), ("SwapBuffers"),
         (S.afterSwap ? S.afterSwap(++S.swaps) : void(), TRUE))
RECORDED(DWORD, GetTickCount, (), ("GetTickCount"), S.tick)
RECORDED(WORD, RegisterClassA, (const WNDCLASSA* c), ("RegisterClassA"),
         (S.procedure = c->lpfnWndProc, 0xC001))
RECORDED(HMODULE, GetModuleHandleA, (LPCSTR), ("GetModuleHandleA"), 0x400000)
RECORDED(HRSRC, FindResourceA, (HMODULE, LPCSTR name, LPCSTR type), ("FindResourceA"),
         reinterpret_cast<HRSRC>(FindBytes(name, type)))
RECORDED(HGLOBAL, LoadResource, (HMODULE, HRSRC resource), ("LoadResource"), resource)
RECORDED(DWORD, SizeofResource, (HMODULE, HRSRC r), ("SizeofResource"),
         r ? reinterpret_cast<std::vector<uint8_t>*>(r)->size() : 0)
RECORDED(LPVOID, LockResource, (HGLOBAL data), ("LockResource"),
         data ? static_cast<std::vector<uint8_t>*>(data)->data() : nullptr)
RECORDED(BOOL, UnregisterClassA, (LPCSTR, HINSTANCE), ("UnregisterClassA"), TRUE)
RECORDED(BOOL, DestroyWindow, (HWND), ("DestroyWindow"), TRUE)
RECORDED(BOOL, ShowWindow, (HWND, int), ("ShowWindow"), FALSE)
RECORDED(BOOL, SetForegroundWindow, (HWND), ("SetForegroundWindow"), TRUE)
RECORDED(HWND, SetFocus, (HWND), ("SetFocus"), nullptr)
RECORDED(BOOL, SetWindowTextA, (HWND, LPCSTR text), ("SetWindowTextA", text), TRUE)
RECORDED(BOOL, GetClientRect, (HWND, LPRECT rect), ("GetClientRect"), (*rect = S.client, true))
RECORDED(BOOL, IsWindow, (HWND window), ("IsWindow"), window != nullptr)
RECORDED(HWND, GetDesktopWindow, (), ("GetDesktopWindow"), fake::Desktop)
RECORDED(void, Sleep, (DWORD ms), ("Sleep", std::to_string(ms)), S.tick += ms)
RECORDED(HCURSOR, LoadCursorA, (HINSTANCE, LPCSTR), ("LoadCursorA"), 8)
RECORDED(int, ShowCursor, (BOOL show), ("ShowCursor", std::to_string(show)), show ? 0 : -1)
RECORDED(BOOL, TranslateMessage, (const MSG*), ("TranslateMessage"), FALSE)
RECORDED(LRESULT, DispatchMessageA, (const MSG* m), ("DispatchMessageA"),
         S.procedure(fake::Window, m->message, m->wParam, m->lParam))
RECORDED(LRESULT, DefWindowProcA, (HWND, UINT, WPARAM, LPARAM), ("DefWindowProcA"), 0)
RECORDED(void, PostQuitMessage, (int code), ("PostQuitMessage"), fake::Post(WM_QUIT, WPARAM(code)))
RECORDED(UINT_PTR, SetTimer, (HWND, UINT_PTR id, UINT ms, TIMERPROC),
         ("SetTimer", std::to_string(ms)), id)
RECORDED(HWND, SetCapture, (HWND window), ("SetCapture"), std::exchange(S.capture, window))
RECORDED(BOOL, ReleaseCapture, (), ("ReleaseCapture"), (S.capture = nullptr, TRUE))
RECORDED(HDC, GetDC, (HWND), ("GetDC"), 0x20020)
RECORDED(int, ReleaseDC, (HWND, HDC), ("ReleaseDC"), 1)
RECORDED(int, ChoosePixelFormat, (HDC, const PIXELFORMATDESCRIPTOR* p),
         ("ChoosePixelFormat", std::to_string(p->cDepthBits)), 7)
RECORDED(BOOL, SetPixelFormat, (HDC, int, const PIXELFORMATDESCRIPTOR*), ("SetPixelFormat"), TRUE)
RECORDED(HGLRC, wglCreateContext, (HDC), ("wglCreateContext"), 0x30030)
RECORDED(BOOL, wglMakeCurrent, (HDC, HGLRC context), ("wglMakeCurrent", context ? "on" : "off"),
         TRUE)
// Win32 reports a failure when there is no context to delete.
RECORDED(BOOL, wglDeleteContext, (HGLRC context), ("wglDeleteContext"), context != nullptr)

// The dialog shows, the user does what the test says, and it ends as EndDialog said.
RECORDED_OR(INT_PTR, DialogBoxParamA, (HINSTANCE, LPCSTR, HWND owner, DLGPROC dialog, LPARAM param),
            ("DialogBoxParamA", std::to_string(reinterpret_cast<uintptr_t>(owner))),
            (S.dialogProc = dialog, dialog(fake::Dialog, WM_INITDIALOG, 0, param),
             S.inDialog ? S.inDialog() : void(), S.dialogResult),
            -1)

// Win32 copies at most *size bytes; a value that does not fit is not copied at all.
LSTATUS RegQueryValueExA(HKEY, LPCSTR name, DWORD*, DWORD* type, BYTE* data, DWORD* size) {
    const auto found = S.registry.find(name);
    if (!Log("RegQueryValueExA", name) || found == S.registry.end())
        return ERROR_FILE_NOT_FOUND;
    const std::string& bytes = found->second.second;
    const bool fits = bytes.size() <= *size;
    *type = found->second.first;
    *size = static_cast<DWORD>(bytes.size());
    if (!fits)
        return ERROR_MORE_DATA;
    std::copy(bytes.begin(), bytes.end(), data);
    return ERROR_SUCCESS;
}

RECORDED_OR(LSTATUS, RegSetValueExA,
            (HKEY, LPCSTR name, DWORD, DWORD type, const BYTE* data, DWORD size),
            ("RegSetValueExA", name),
            (S.registry[name] = {type, std::string(data, data + size)}, ERROR_SUCCESS),
            ERROR_FILE_NOT_FOUND)
const HKEY Key = reinterpret_cast<HKEY>(0x40040);
RECORDED(BOOL, EndDialog, (HWND, INT_PTR result), ("EndDialog", std::to_string(result)),
         (S.dialogResult = result, TRUE))
RECORDED(BOOL, CheckDlgButton, (HWND, int id, UINT check), ("CheckDlgButton"),
         (S.controls[id] = check, TRUE))
RECORDED(UINT, IsDlgButtonChecked, (HWND, int id), ("IsDlgButtonChecked"), S.controls[id])
RECORDED(BOOL, SetDlgItemInt, (HWND, int id, UINT value, BOOL), ("SetDlgItemInt"),
         (S.controls[id] = value, TRUE))
// Made to fail: the box holds no number.
RECORDED(UINT, GetDlgItemInt, (HWND, int id, BOOL* translated, BOOL), ("GetDlgItemInt"),
         (*translated = TRUE, S.controls[id]))
RECORDED(LRESULT, SendDlgItemMessageA, (HWND, int, UINT message, WPARAM, LPARAM),
         ("SendDlgItemMessageA", std::to_string(message)), 0)
RECORDED(BOOL, InitCommonControlsEx, (const INITCOMMONCONTROLSEX*), ("InitCommonControlsEx"), TRUE)
RECORDED(LSTATUS, RegCloseKey, (HKEY), ("RegCloseKey"), ERROR_SUCCESS)

RECORDED_OR(LSTATUS, RegOpenKeyExA, (HKEY, LPCSTR name, DWORD, REGSAM, HKEY* key),
            ("RegOpenKeyExA", name),
            S.keyExists ? (*key = Key, ERROR_SUCCESS) : ERROR_FILE_NOT_FOUND, ERROR_FILE_NOT_FOUND)
RECORDED_OR(LSTATUS, RegCreateKeyExA,
            (HKEY, LPCSTR name, DWORD, LPSTR, DWORD, REGSAM, void*, HKEY* key, DWORD*),
            ("RegCreateKeyExA", name), (S.keyExists = true, *key = Key, ERROR_SUCCESS),
            ERROR_FILE_NOT_FOUND)
