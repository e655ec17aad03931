// The message queue on SDL: SDL events become Win32 messages with Win32's values, one
// message per event; WM_TIMER and WM_QUIT are made up when the queue runs dry, as Win32
// makes them.
#ifdef _WIN32
#error "platform/ is the SDL stand-in for Win32; Windows builds use the real API."
#endif

#include <algorithm>
#include <csignal>
#include <unistd.h>

#include "platform/sdl_internal.h"

MessageQueue Queue;

namespace {

// Written by the signal handler, so of the one type it may write.
volatile sig_atomic_t QuitSignalled = 0;
volatile sig_atomic_t AnsweringMessages = 0; // 1 once the program has asked for a message

// SIGTERM and SIGINT: the screensaver daemon's way to end a display mode, and Ctrl+C. Once
// the program takes messages it hears of them as SDL's quit, a WM_CLOSE, and ends as when it
// is closed. Until then it is starting up, for long on a busy machine (the GL driver loads
// then), and it ends at once, with status 0: nothing it has made outlives it. Its X
// connections close with the process, and with them any grab of the server; the Linux
// programs switch no display mode before their loop.
void AnswerQuitSignal(int) {
    if (AnsweringMessages == 0)
        _exit(0);
    QuitSignalled = 1;
}

// A signal that the starting shell ignores (Ctrl+C for a job in the background) stays ignored.
void AnswerSignal(int number) {
    struct sigaction action = {};
    if (sigaction(number, nullptr, &action) != 0 || action.sa_handler == SIG_IGN)
        return;
    action = {};
    action.sa_handler = AnswerQuitSignal;
    sigemptyset(&action.sa_mask);
    sigaction(number, &action, nullptr);
}

// Win32 raises shorter periods to USER_TIMER_MINIMUM, 10 ms, so a timer cannot flood.
const DWORD ShortestTimerMs = 10;

// Win32 key-message lParam bits: repeat count in the low word, then these.
const LPARAM AltDownBit = LPARAM(1) << 29;
const LPARAM WasDownBit = LPARAM(1) << 30;
const LPARAM ReleasedBit = LPARAM(1) << 31;

// Virtual-key codes of the keys that are neither letters nor digits.
struct NamedKey {
    SDL_Keycode Sdl;
    WPARAM VirtualKey;
};
const NamedKey NamedKeys[] = {
    {SDLK_BACKSPACE, 0x08},   {SDLK_TAB, 0x09},    {SDLK_RETURN, 0x0D}, {SDLK_KP_ENTER, 0x0D},
    {SDLK_LSHIFT, 0x10},      {SDLK_RSHIFT, 0x10}, {SDLK_LCTRL, 0x11},  {SDLK_RCTRL, 0x11},
    {SDLK_LALT, 0x12},        {SDLK_RALT, 0x12},   {SDLK_PAUSE, 0x13},  {SDLK_CAPSLOCK, 0x14},
    {SDLK_ESCAPE, VK_ESCAPE}, {SDLK_SPACE, 0x20},  {SDLK_PAGEUP, 0x21}, {SDLK_PAGEDOWN, 0x22},
    {SDLK_END, 0x23},         {SDLK_HOME, 0x24},   {SDLK_LEFT, 0x25},   {SDLK_UP, 0x26},
    {SDLK_RIGHT, 0x27},       {SDLK_DOWN, 0x28},   {SDLK_INSERT, 0x2D}, {SDLK_DELETE, 0x2E},
};
const WPARAM VirtualKeyMenu = 0x12; // VK_MENU, the Alt key
const WPARAM VirtualKeyF1 = 0x70;   // F1 to F12 follow on
const WPARAM VirtualKeyF10 = 0x79;

// Letters and digits are their ASCII capitals. When the layout gives a key no Latin letter
// or digit, its position on the keyboard decides, as Win32 falls back to it.
WPARAM FindVirtualKey(const SDL_Keysym& key) {
    if (key.sym >= SDLK_a && key.sym <= SDLK_z)
        return 'A' + (key.sym - SDLK_a);
    if (key.sym >= SDLK_0 && key.sym <= SDLK_9)
        return '0' + (key.sym - SDLK_0);
    if (key.sym >= SDLK_F1 && key.sym <= SDLK_F12)
        return VirtualKeyF1 + (key.sym - SDLK_F1);
    for (const NamedKey& named : NamedKeys) {
        if (named.Sdl == key.sym)
            return named.VirtualKey;
    }
    if (key.scancode >= SDL_SCANCODE_A && key.scancode <= SDL_SCANCODE_Z)
        return 'A' + (key.scancode - SDL_SCANCODE_A);
    if (key.scancode >= SDL_SCANCODE_1 && key.scancode <= SDL_SCANCODE_9)
        return '1' + (key.scancode - SDL_SCANCODE_1);
    if (key.scancode == SDL_SCANCODE_0)
        return '0';
    return 0;
}

// Win32 sends keys struck with Alt held (and Ctrl not, which makes AltGr), Alt itself and
// F10 as system keys, meant for the menu, not the window.
bool IsSystemKey(const SDL_Keysym& key, WPARAM virtualKey) {
    bool altDown = (key.mod & KMOD_ALT) != 0 || virtualKey == VirtualKeyMenu;
    bool ctrlDown = (key.mod & KMOD_CTRL) != 0;
    return (altDown && !ctrlDown) || virtualKey == VirtualKeyF10;
}

bool TranslateKey(const SDL_KeyboardEvent& key, MSG* message) {
    WPARAM virtualKey = FindVirtualKey(key.keysym);
    if (virtualKey == 0)
        return false;
    bool pressed = key.type == SDL_KEYDOWN;
    bool system = IsSystemKey(key.keysym, virtualKey);
    if (pressed)
        message->message = system ? WM_SYSKEYDOWN : WM_KEYDOWN;
    else
        message->message = system ? WM_SYSKEYUP : WM_KEYUP;
    message->wParam = virtualKey;
    message->lParam = 1; // one stroke; SDL sends every repeat as an event of its own
    if (system && virtualKey != VirtualKeyF10)
        message->lParam |= AltDownBit;
    if (!pressed || key.repeat)
        message->lParam |= WasDownBit;
    if (!pressed)
        message->lParam |= ReleasedBit;
    return true;
}

// Client coordinates as Win32 packs them: x in the low word, y in the high word, each
// truncated to 16 bits, so a captured drag left of or above the window reads negative.
LPARAM PackPoint(Sint32 x, Sint32 y) {
    DWORD low = static_cast<WORD>(x);
    DWORD high = static_cast<WORD>(y);
    return static_cast<LPARAM>(low | (high << 16));
}

WPARAM ButtonFlag(Uint8 button) {
    switch (button) {
    case SDL_BUTTON_LEFT: return MK_LBUTTON;
    case SDL_BUTTON_RIGHT: return MK_RBUTTON;
    case SDL_BUTTON_MIDDLE: return MK_MBUTTON;
    default: return 0;
    }
}

WPARAM ButtonFlags(Uint32 sdlState) {
    WPARAM flags = 0;
    if (sdlState & SDL_BUTTON_LMASK)
        flags |= MK_LBUTTON;
    if (sdlState & SDL_BUTTON_RMASK)
        flags |= MK_RBUTTON;
    if (sdlState & SDL_BUTTON_MMASK)
        flags |= MK_MBUTTON;
    return flags;
}

bool TranslateMotion(const SDL_MouseMotionEvent& motion, HWND window, MSG* message) {
    window->HeldButtons = ButtonFlags(motion.state);
    message->message = WM_MOUSEMOVE;
    message->wParam = window->HeldButtons;
    message->lParam = PackPoint(motion.x, motion.y);
    return true;
}

// Win32's wParam holds the buttons down after the change: the pressed one included, the
// released one not.
bool TranslateButton(const SDL_MouseButtonEvent& button, HWND window, MSG* message) {
    WPARAM flag = ButtonFlag(button.button);
    if (flag == 0)
        return false;
    bool pressed = button.type == SDL_MOUSEBUTTONDOWN;
    if (pressed)
        window->HeldButtons |= flag;
    else
        window->HeldButtons &= ~flag;
    switch (flag) {
    case MK_LBUTTON: message->message = pressed ? WM_LBUTTONDOWN : WM_LBUTTONUP; break;
    case MK_RBUTTON: message->message = pressed ? WM_RBUTTONDOWN : WM_RBUTTONUP; break;
    default: message->message = pressed ? WM_MBUTTONDOWN : WM_MBUTTONUP; break;
    }
    message->wParam = window->HeldButtons;
    message->lParam = PackPoint(button.x, button.y);
    return true;
}

void MakeSizeMessage(WPARAM sizeType, int width, int height, MSG* message) {
    message->message = WM_SIZE;
    message->wParam = sizeType;
    message->lParam = PackPoint(width, height);
}

// Win32 sends WM_SIZE when the client size changes. SDL also reports sizes the program
// already heard of (the echo of a size set while creating or showing the window), and
// those are dropped, so they cannot undo the projection the shell sets after showing.
bool TranslateSizeChange(HWND window, int width, int height, MSG* message) {
    bool changed = width != window->ClientWidth || height != window->ClientHeight;
    window->ClientWidth = width;
    window->ClientHeight = height;
    if (!changed || window->Minimized)
        return false;
    MakeSizeMessage(SIZE_RESTORED, width, height, message);
    return true;
}

// A minimised window has a client area of 0 by 0 in Win32.
bool TranslateMinimize(HWND window, bool minimized, MSG* message) {
    if (minimized == window->Minimized)
        return false;
    window->Minimized = minimized;
    if (minimized)
        MakeSizeMessage(SIZE_MINIMIZED, 0, 0, message);
    else
        MakeSizeMessage(SIZE_RESTORED, window->ClientWidth, window->ClientHeight, message);
    return true;
}

// Win32 takes the capture away when the window loses the focus (Alt-Tab, another window
// raised) and tells the window; SDL only reports the focus.
bool TranslateFocusLoss(HWND window, MSG* message) {
    if (Pointer.CaptureWindow != window)
        return false;
    DropCapture();
    message->message = WM_CAPTURECHANGED;
    message->lParam = 0; // no window of ours has it now
    return true;
}

bool TranslateWindowEvent(const SDL_WindowEvent& event, HWND window, MSG* message) {
    switch (event.event) {
    case SDL_WINDOWEVENT_FOCUS_LOST: return TranslateFocusLoss(window, message);
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        return TranslateSizeChange(window, event.data1, event.data2, message);
    case SDL_WINDOWEVENT_MINIMIZED: return TranslateMinimize(window, true, message);
    case SDL_WINDOWEVENT_RESTORED: return TranslateMinimize(window, false, message);
    case SDL_WINDOWEVENT_CLOSE: message->message = WM_CLOSE; return true;
    default: return false;
    }
}

// The window an event is for. SDL_QUIT (a signal such as Ctrl+C in the terminal) has none
// and goes to the oldest window as a close request.
HWND FindEventWindow(const SDL_Event& event) {
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: return FindWindowBySdlId(event.key.windowID);
    case SDL_MOUSEMOTION: return FindWindowBySdlId(event.motion.windowID);
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: return FindWindowBySdlId(event.button.windowID);
    case SDL_WINDOWEVENT: return FindWindowBySdlId(event.window.windowID);
    case SDL_QUIT: return Windows.Live.empty() ? nullptr : Windows.Live.front();
    default: return nullptr;
    }
}

void PumpEvents() {
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return;
    SDL_Event event;
    if (QuitSignalled != 0) {
        QuitSignalled = 0;
        event.type = SDL_QUIT;
        SDL_PushEvent(&event);
    }
    while (SDL_PollEvent(&event)) {
        HWND window = FindEventWindow(event);
        MSG message{};
        if (window != nullptr && TranslateEvent(event, window, &message))
            Queue.Waiting.push_back(message);
    }
    EndGoneForeignWindows();
}

bool TakeQueued(MSG* message) {
    if (Queue.Waiting.empty())
        return false;
    *message = Queue.Waiting.front();
    Queue.Waiting.pop_front();
    return true;
}

bool TakeQuit(MSG* message) {
    if (!Queue.QuitPosted)
        return false;
    Queue.QuitPosted = false;
    *message = MSG{};
    message->message = WM_QUIT;
    message->wParam = static_cast<WPARAM>(Queue.QuitCode);
    message->time = GetTickCount();
    return true;
}

} // namespace

void ResetMessageQueue() {
    Queue = MessageQueue{};
    QuitSignalled = AnsweringMessages = 0;
}

void AnswerQuitSignals() {
    AnswerSignal(SIGTERM);
    AnswerSignal(SIGINT);
}

// A window lent by another program takes no input: the keys and the mouse are its owner's.
bool TranslateEvent(const SDL_Event& event, HWND window, MSG* message) {
    *message = MSG{};
    message->hwnd = window;
    message->time = GetTickCount();
    bool takesInput = window->ForeignId == 0;
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: return takesInput && TranslateKey(event.key, message);
    case SDL_MOUSEMOTION: return takesInput && TranslateMotion(event.motion, window, message);
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: return takesInput && TranslateButton(event.button, window, message);
    case SDL_WINDOWEVENT: return TranslateWindowEvent(event.window, window, message);
    case SDL_QUIT: message->message = WM_CLOSE; return true;
    default: return false;
    }
}

bool TakeDueTimer(DWORD now, MSG* message) {
    for (Timer& timer : Queue.Timers) {
        // Unsigned subtraction keeps working across the wrap of the tick count.
        if (static_cast<DWORD>(now - timer.LastTick) < timer.PeriodMs)
            continue;
        timer.LastTick = now;
        *message = MSG{};
        message->hwnd = timer.Window;
        message->message = WM_TIMER;
        message->wParam = timer.Id;
        message->time = now;
        return true;
    }
    return false;
}

void ForgetWindowMessages(HWND window) {
    std::vector<Timer>& timers = Queue.Timers;
    timers.erase(std::remove_if(timers.begin(), timers.end(),
                                [window](const Timer& timer) { return timer.Window == window; }),
                 timers.end());
    std::deque<MSG>& waiting = Queue.Waiting;
    waiting.erase(std::remove_if(waiting.begin(), waiting.end(),
                                 [window](const MSG& message) { return message.hwnd == window; }),
                  waiting.end());
    if (Pointer.CaptureWindow == window)
        ReleaseCapture();
}

// Win32's order when looking for a message: posted and input messages first, then WM_QUIT
// once they are all gone, then a timer whose period has passed. A filter or keeping the
// message in the queue is not part of the subset; such a call takes nothing.
BOOL PeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeMessage) {
    AnsweringMessages = 1;
    if (msg == nullptr || window != nullptr || filterMin != 0 || filterMax != 0 ||
        removeMessage != PM_REMOVE)
        return FALSE;
    if (TakeQueued(msg))
        return TRUE;
    PumpEvents();
    if (TakeQueued(msg) || TakeQuit(msg))
        return TRUE;
    return TakeDueTimer(GetTickCount(), msg) ? TRUE : FALSE;
}

// The program needs no character messages, so there is nothing to translate.
BOOL TranslateMessage(const MSG*) {
    return FALSE;
}

LRESULT DispatchMessageA(const MSG* msg) {
    if (msg == nullptr)
        return 0;
    HWND window = FindLiveWindow(msg->hwnd);
    if (window == nullptr)
        return 0;
    return SendToWindow(window, msg->message, msg->wParam, msg->lParam);
}

// Like Win32, a quit request is a flag, not a queued message: it is seen once the queue is
// empty, and posting it twice still gives one WM_QUIT.
void PostQuitMessage(int exitCode) {
    Queue.QuitPosted = true;
    Queue.QuitCode = exitCode;
}

// What Win32 would do by default is either nothing the program notices or, for WM_CLOSE,
// destroying the window, which the program does itself after its loop.
LRESULT DefWindowProcA(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}

// Setting a timer again restarts it with the new period. A callback is not part of the
// subset: the program takes its ticks as WM_TIMER, and a call with one fails.
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapseMs, TIMERPROC callback) {
    HWND live = FindLiveWindow(window);
    if (live == nullptr || callback != nullptr || id == 0)
        return 0;
    DWORD period = std::max<DWORD>(elapseMs, ShortestTimerMs);
    auto same = [live, id](const Timer& timer) { return timer.Window == live && timer.Id == id; };
    auto timer = std::find_if(Queue.Timers.begin(), Queue.Timers.end(), same);
    if (timer == Queue.Timers.end())
        Queue.Timers.push_back(Timer{live, id, period, GetTickCount()});
    else
        *timer = Timer{live, id, period, GetTickCount()};
    return id;
}
