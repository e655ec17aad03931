// The recording stand-in for platform/. One window, one device context and one rendering
// context at most, at fixed handle values; state lives in one record so Reset can replace it
// whole.
#include "tests/support/fake_platform.h"

#include <cctype>
#include <deque>
#include <list>
#include <map>
#include <set>
#include <stdexcept>
#include <utility>

#include "platform/embedded_resources.h"

namespace {

struct AddedResource {
    std::string name; // upper case
    std::string type; // upper case
    std::vector<uint8_t> bytes;
    bool hidden;
};

// What an HRSRC (and the HGLOBAL loaded from it) points at.
struct FoundResource {
    const uint8_t* bytes;
    DWORD size;
};

struct FakeState {
    std::vector<std::string> log;
    std::vector<fake::MessageBoxRecord> boxes;
    std::set<std::string> failing;
    DWORD tick = 0;
    SYSTEMTIME localTime = {2024, 3, 5, 15, 12, 0, 0, 0};

    // Added resources stay alive until Reset, so bytes handed out never dangle.
    std::list<AddedResource> added;
    std::set<std::string> hiddenEmbedded; // upper-case names
    std::deque<FoundResource> found;

    std::map<std::string, WNDPROC> classes; // by upper-case name: the registered classes
    WNDPROC windowProc = nullptr;           // the procedure of the window's class
    std::string windowClass;                // upper case
    bool windowAlive = false;
    bool dcTaken = false;
    bool formatSet = false;
    bool contextAlive = false;
    HWND capture = nullptr;
    int cursor = 0;

    std::deque<MSG> queue;
    bool quitPending = false;
    int quitCode = 0;
    int peeks = 0;
    int swaps = 0;
    std::function<void(int)> swapHook;

    fake::Records records{};
};

FakeState State;

constexpr LONG ClientWidth = 792;
constexpr LONG ClientHeight = 573;
constexpr int PeekLimit = 100000;

// Arbitrary non-null values; nothing ever dereferences them.
template <typename Handle> Handle MakeHandle(uintptr_t value) {
    return reinterpret_cast<Handle>(value);
}

std::string ToUpper(const std::string& text) {
    std::string upper = text;
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

// Win32 passes small integers where names are expected (MAKEINTRESOURCE); the program
// never names anything that way, so such a name matches nothing here.
bool IsIntegerName(LPCSTR name) {
    return reinterpret_cast<uintptr_t>(name) < 0x10000;
}

// Logs the call; false when the test has scripted it to fail.
bool RecordCall(const char* name) {
    State.log.push_back(name);
    return State.failing.count(name) == 0;
}

bool IsOurWindow(HWND window) {
    return State.windowAlive && window == fake::Window();
}

bool IsOurDc(HDC dc) {
    return State.dcTaken && dc == fake::Dc();
}

LRESULT SendToWindow(UINT message, WPARAM wParam, LPARAM lParam) {
    return State.windowProc(fake::Window(), message, wParam, lParam);
}

HRSRC RememberFound(const uint8_t* bytes, DWORD size) {
    State.found.push_back({bytes, size});
    return reinterpret_cast<HRSRC>(&State.found.back());
}

const FoundResource* AsFound(const void* handle) {
    return static_cast<const FoundResource*>(handle);
}

} // namespace

namespace fake {

void Reset() {
    State = FakeState{};
}

std::vector<std::string>& CallLog() {
    return State.log;
}

std::vector<MessageBoxRecord>& MessageBoxes() {
    return State.boxes;
}

void FailCall(const std::string& name) {
    State.failing.insert(name);
}

void SetTickCount(DWORD ms) {
    State.tick = ms;
}

void SetLocalTime(WORD hour, WORD minute, WORD second) {
    State.localTime.wHour = hour;
    State.localTime.wMinute = minute;
    State.localTime.wSecond = second;
}

void AddResource(const std::string& name, const std::string& type,
                 const std::vector<uint8_t>& bytes) {
    const std::string upperName = ToUpper(name);
    const std::string upperType = ToUpper(type);
    for (AddedResource& resource : State.added)
        if (resource.name == upperName && resource.type == upperType)
            resource.hidden = true;
    State.added.push_front({upperName, upperType, bytes, false});
}

void RemoveResource(const std::string& name) {
    const std::string upperName = ToUpper(name);
    for (AddedResource& resource : State.added)
        if (resource.name == upperName)
            resource.hidden = true;
    State.hiddenEmbedded.insert(upperName);
}

HINSTANCE Instance() {
    return MakeHandle<HINSTANCE>(0x400000);
}

HWND Window() {
    return MakeHandle<HWND>(0x10010);
}

HDC Dc() {
    return MakeHandle<HDC>(0x20020);
}

HGLRC Context() {
    return MakeHandle<HGLRC>(0x30030);
}

void PostMessageToWindow(UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg{};
    msg.hwnd = Window();
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = State.tick;
    State.queue.push_back(msg);
}

void SetSwapHook(std::function<void(int swapCount)> hook) {
    State.swapHook = std::move(hook);
}

Records& Recorded() {
    return State.records;
}

HWND CapturedWindow() {
    return State.capture;
}

} // namespace fake

// kernel32

DWORD GetTickCount() {
    return State.tick;
}

void GetLocalTime(LPSYSTEMTIME time) {
    RecordCall("GetLocalTime");
    *time = State.localTime;
}

HMODULE GetModuleHandleA(LPCSTR moduleName) {
    if (!RecordCall("GetModuleHandleA") || moduleName != nullptr)
        return nullptr;
    return fake::Instance();
}

HRSRC FindResourceA(HMODULE, LPCSTR name, LPCSTR type) {
    if (!RecordCall("FindResourceA") || name == nullptr || type == nullptr || IsIntegerName(name) ||
        IsIntegerName(type))
        return nullptr;
    const std::string upperName = ToUpper(name);
    const std::string upperType = ToUpper(type);
    for (const AddedResource& resource : State.added)
        if (!resource.hidden && resource.name == upperName && resource.type == upperType)
            return RememberFound(resource.bytes.data(), static_cast<DWORD>(resource.bytes.size()));
    if (State.hiddenEmbedded.count(upperName) != 0)
        return nullptr;
    for (int i = 0; i < EmbeddedResourceCount; ++i) {
        const EmbeddedResource& resource = EmbeddedResources[i];
        if (ToUpper(resource.Name) == upperName && ToUpper(resource.Type) == upperType)
            return RememberFound(resource.Bytes, resource.Size);
    }
    return nullptr;
}

HGLOBAL LoadResource(HMODULE, HRSRC resource) {
    if (!RecordCall("LoadResource") || resource == nullptr)
        return nullptr;
    return resource;
}

LPVOID LockResource(HGLOBAL data) {
    if (!RecordCall("LockResource") || data == nullptr)
        return nullptr;
    // An empty resource still locks to a valid address, as a zero-length one does in Win32.
    static uint8_t emptyResource = 0;
    const uint8_t* bytes = AsFound(data)->bytes;
    return const_cast<uint8_t*>(bytes != nullptr ? bytes : &emptyResource);
}

DWORD SizeofResource(HMODULE, HRSRC resource) {
    if (!RecordCall("SizeofResource") || resource == nullptr)
        return 0;
    return AsFound(resource)->size;
}

// user32: window class and window

WORD RegisterClassA(const WNDCLASSA* windowClass) {
    State.records.windowClass = *windowClass;
    State.records.className = windowClass->lpszClassName ? windowClass->lpszClassName : "";
    if (!RecordCall("RegisterClassA") || windowClass->lpszClassName == nullptr)
        return 0;
    const std::string name = ToUpper(windowClass->lpszClassName);
    if (!State.classes.emplace(name, windowClass->lpfnWndProc).second)
        return 0; // already registered
    return 0xC001;
}

BOOL UnregisterClassA(LPCSTR className, HINSTANCE instance) {
    State.records.unregisteredClass = className ? className : "";
    State.records.unregisterInstance = instance;
    if (!RecordCall("UnregisterClassA") || className == nullptr)
        return FALSE;
    const std::string name = ToUpper(className);
    // Win32 refuses while a window of the class still exists.
    if (State.classes.count(name) == 0 || (State.windowAlive && State.windowClass == name))
        return FALSE;
    State.classes.erase(name);
    return TRUE;
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param) {
    const std::string classText = className ? className : "";
    const std::string nameText = windowName ? windowName : "";
    State.records.window = {exStyle, classText, nameText, style, x,        y,
                            width,   height,    parent,   menu,  instance, param};
    if (!RecordCall("CreateWindowExA") || className == nullptr || State.windowAlive)
        return nullptr;
    const std::string name = ToUpper(className);
    const auto registered = State.classes.find(name);
    if (registered == State.classes.end() || registered->second == nullptr)
        return nullptr;
    State.windowClass = name;
    State.windowProc = registered->second;
    State.windowAlive = true;
    // As Win32 does, the window procedure sees the creation and the first size before the
    // caller has the handle.
    SendToWindow(WM_CREATE, 0, 0);
    SendToWindow(WM_SIZE, SIZE_RESTORED, (ClientHeight << 16) | ClientWidth);
    return fake::Window();
}

BOOL DestroyWindow(HWND window) {
    if (!RecordCall("DestroyWindow") || !IsOurWindow(window))
        return FALSE;
    SendToWindow(WM_DESTROY, 0, 0);
    State.windowAlive = false;
    State.capture = nullptr;
    return TRUE;
}

// The shell ignores what showing and focusing return.
BOOL ShowWindow(HWND, int showCommand) {
    State.records.showWindow.push_back(showCommand);
    RecordCall("ShowWindow");
    return FALSE; // it was hidden
}

BOOL SetForegroundWindow(HWND window) {
    return RecordCall("SetForegroundWindow") && IsOurWindow(window);
}

HWND SetFocus(HWND) {
    RecordCall("SetFocus");
    return nullptr;
}

BOOL SetWindowTextA(HWND window, LPCSTR text) {
    State.records.captions.push_back(text ? text : "");
    return RecordCall("SetWindowTextA") && IsOurWindow(window);
}

BOOL GetClientRect(HWND window, LPRECT rect) {
    if (!RecordCall("GetClientRect") || !IsOurWindow(window))
        return FALSE;
    *rect = {0, 0, ClientWidth, ClientHeight};
    return TRUE;
}

HCURSOR LoadCursorA(HINSTANCE, LPCSTR) {
    if (!RecordCall("LoadCursorA"))
        return nullptr;
    return MakeHandle<HCURSOR>(0x50050);
}

int ShowCursor(BOOL show) {
    State.records.showCursor.push_back(show);
    RecordCall("ShowCursor");
    State.cursor += show ? 1 : -1;
    return State.cursor;
}

LONG ChangeDisplaySettingsA(DEVMODEA* mode, DWORD flags) {
    State.records.displayModeIsNull.push_back(mode == nullptr);
    State.records.displayFlags.push_back(flags);
    if (mode != nullptr)
        State.records.displayMode = *mode;
    return RecordCall("ChangeDisplaySettingsA") ? DISP_CHANGE_SUCCESSFUL : DISP_CHANGE_FAILED;
}

// user32: messages, timer, capture

BOOL PeekMessageA(LPMSG msg, HWND, UINT, UINT, UINT removeMessage) {
    if (!RecordCall("PeekMessageA"))
        return FALSE;
    const bool remove = (removeMessage & PM_REMOVE) != 0;
    if (++State.peeks > PeekLimit)
        throw std::runtime_error("PeekMessageA called past the test's limit: the loop runs away");
    if (!State.queue.empty()) {
        *msg = State.queue.front();
        if (remove)
            State.queue.pop_front();
    } else if (State.quitPending) {
        // The quit flag is looked at only once the posted messages are gone.
        *msg = MSG{};
        msg->message = WM_QUIT;
        msg->wParam = static_cast<WPARAM>(State.quitCode);
        if (remove)
            State.quitPending = false;
    } else {
        return FALSE;
    }
    return TRUE;
}

BOOL TranslateMessage(const MSG*) {
    RecordCall("TranslateMessage");
    return FALSE;
}

LRESULT DispatchMessageA(const MSG* msg) {
    if (!RecordCall("DispatchMessageA") || !IsOurWindow(msg->hwnd))
        return 0;
    return SendToWindow(msg->message, msg->wParam, msg->lParam);
}

void PostQuitMessage(int exitCode) {
    RecordCall("PostQuitMessage");
    State.quitPending = true;
    State.quitCode = exitCode;
}

LRESULT DefWindowProcA(HWND, UINT, WPARAM, LPARAM) {
    RecordCall("DefWindowProcA");
    return fake::DefWindowProcResult;
}

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapseMs, TIMERPROC callback) {
    State.records.timer = {window, id, elapseMs, callback};
    if (!RecordCall("SetTimer") || !IsOurWindow(window))
        return 0;
    return id;
}

HWND SetCapture(HWND window) {
    RecordCall("SetCapture");
    return std::exchange(State.capture, window);
}

BOOL ReleaseCapture() {
    if (!RecordCall("ReleaseCapture"))
        return FALSE;
    State.capture = nullptr;
    return TRUE;
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    State.boxes.push_back({owner, text ? text : "", caption ? caption : "", type});
    return RecordCall("MessageBoxA") ? 1 : 0; // 1 is IDOK
}

// user32 and gdi32: device context, pixel format, buffer swap

HDC GetDC(HWND window) {
    if (!RecordCall("GetDC") || !IsOurWindow(window))
        return nullptr;
    State.dcTaken = true;
    return fake::Dc();
}

int ReleaseDC(HWND window, HDC dc) {
    if (!RecordCall("ReleaseDC") || !IsOurWindow(window) || !IsOurDc(dc))
        return 0;
    State.dcTaken = false;
    return 1;
}

int ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* request) {
    State.records.chosenFormat = *request;
    if (!RecordCall("ChoosePixelFormat") || !IsOurDc(dc))
        return 0;
    return 7;
}

BOOL SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR* request) {
    State.records.setFormat = *request;
    State.records.setFormatIndex = format;
    if (!RecordCall("SetPixelFormat") || !IsOurDc(dc) || format <= 0)
        return FALSE;
    State.formatSet = true;
    return TRUE;
}

BOOL SwapBuffers(HDC dc) {
    State.records.swappedDcs.push_back(dc);
    const bool succeeds = RecordCall("SwapBuffers") && IsOurDc(dc);
    ++State.swaps;
    if (State.swapHook)
        State.swapHook(State.swaps);
    return succeeds;
}

// opengl32

HGLRC wglCreateContext(HDC dc) {
    // Win32 needs a pixel format on the device context before it can make a context for it.
    if (!RecordCall("wglCreateContext") || !IsOurDc(dc) || !State.formatSet || State.contextAlive)
        return nullptr;
    State.contextAlive = true;
    return fake::Context();
}

BOOL wglMakeCurrent(HDC dc, HGLRC context) {
    State.records.makeCurrentDcs.push_back(dc);
    State.records.makeCurrentContexts.push_back(context);
    if (!RecordCall("wglMakeCurrent"))
        return FALSE;
    if (context == nullptr)
        return TRUE; // releasing the current context succeeds whatever the device context
    return context == fake::Context() && State.contextAlive && IsOurDc(dc);
}

BOOL wglDeleteContext(HGLRC context) {
    State.records.deletedContexts.push_back(context);
    if (!RecordCall("wglDeleteContext") || context != fake::Context() || !State.contextAlive)
        return FALSE;
    State.contextAlive = false;
    return TRUE;
}
