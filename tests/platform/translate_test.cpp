// SDL events become the Win32 messages the shell expects, with Win32's values.
#include <gtest/gtest.h>

#include "platform/sdl_internal.h"

namespace {

SDL_Event MakeKey(Uint32 type, SDL_Keycode sym, SDL_Scancode scancode, Uint16 mod,
                  bool repeat = false) {
    SDL_Event event{};
    event.type = type;
    event.key.keysym.sym = sym;
    event.key.keysym.scancode = scancode;
    event.key.keysym.mod = mod;
    event.key.repeat = repeat ? 1 : 0;
    return event;
}

SDL_Event MakeWindowEvent(Uint8 what, Sint32 data1 = 0, Sint32 data2 = 0) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = what;
    event.window.data1 = data1;
    event.window.data2 = data2;
    return event;
}

SDL_Event MakeButton(Uint32 type, Uint8 button, Sint32 x, Sint32 y) {
    SDL_Event event{};
    event.type = type;
    event.button.button = button;
    event.button.x = x;
    event.button.y = y;
    return event;
}

// A window record as CreateWindowExA leaves it, without an SDL window behind it.
HWND__ MakeWindow(int width, int height) {
    HWND__ window{};
    window.ClientWidth = width;
    window.ClientHeight = height;
    return window;
}

short LowX(LPARAM lParam) {
    return static_cast<short>(LOWORD(lParam));
}
short HighY(LPARAM lParam) {
    return static_cast<short>(HIWORD(lParam));
}

TEST(TranslateEvent, KeysGiveWin32VirtualKeyCodes) {
    struct Case {
        SDL_Keycode sym;
        SDL_Scancode scancode;
        WPARAM virtualKey;
    } cases[] = {
        {SDLK_a, SDL_SCANCODE_A, 'A'},
        {SDLK_w, SDL_SCANCODE_W, 87},
        {SDLK_z, SDL_SCANCODE_Z, 90},
        {SDLK_0, SDL_SCANCODE_0, 48},
        {SDLK_9, SDL_SCANCODE_9, 57},
        {SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, VK_ESCAPE},
        {SDLK_SPACE, SDL_SCANCODE_SPACE, 0x20},
        {SDLK_RETURN, SDL_SCANCODE_RETURN, 0x0D},
        {SDLK_LEFT, SDL_SCANCODE_LEFT, 0x25},
        {SDLK_UP, SDL_SCANCODE_UP, 0x26},
        {SDLK_RIGHT, SDL_SCANCODE_RIGHT, 0x27},
        {SDLK_DOWN, SDL_SCANCODE_DOWN, 0x28},
        {SDLK_F1, SDL_SCANCODE_F1, 0x70},
        {SDLK_F12, SDL_SCANCODE_F12, 0x7B},
        {SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, 0x10},
        {SDLK_RSHIFT, SDL_SCANCODE_RSHIFT, 0x10},
        {SDLK_RCTRL, SDL_SCANCODE_RCTRL, 0x11},
        // A layout without Latin letters: the key's place on the keyboard decides.
        {0x0444, SDL_SCANCODE_A, 'A'},
        {0x0441, SDL_SCANCODE_C, 'C'},
    };
    HWND__ window = MakeWindow(800, 600);
    for (const Case& c : cases) {
        MSG message;
        ASSERT_TRUE(
            TranslateEvent(MakeKey(SDL_KEYDOWN, c.sym, c.scancode, KMOD_NONE), &window, &message))
            << "key " << c.sym;
        EXPECT_EQ(message.message, UINT(WM_KEYDOWN)) << "key " << c.sym;
        EXPECT_EQ(message.wParam, c.virtualKey) << "key " << c.sym;
        EXPECT_EQ(message.hwnd, &window);
    }
}

TEST(TranslateEvent, KeyMessagesFollowAltCtrlRepeatAndRelease) {
    struct Case {
        Uint32 type;
        SDL_Keycode sym;
        SDL_Scancode scancode;
        Uint16 mod;
        bool repeat;
        UINT message;
        WPARAM virtualKey;
    } cases[] = {
        {SDL_KEYDOWN, SDLK_c, SDL_SCANCODE_C, KMOD_NONE, false, WM_KEYDOWN, 'C'},
        {SDL_KEYDOWN, SDLK_c, SDL_SCANCODE_C, KMOD_NONE, true, WM_KEYDOWN, 'C'},
        {SDL_KEYUP, SDLK_c, SDL_SCANCODE_C, KMOD_NONE, false, WM_KEYUP, 'C'},
        {SDL_KEYDOWN, SDLK_c, SDL_SCANCODE_C, KMOD_LALT, false, WM_SYSKEYDOWN, 'C'},
        {SDL_KEYUP, SDLK_w, SDL_SCANCODE_W, KMOD_RALT, false, WM_SYSKEYUP, 'W'},
        {SDL_KEYDOWN, SDLK_LALT, SDL_SCANCODE_LALT, KMOD_LALT, false, WM_SYSKEYDOWN, 0x12},
        {SDL_KEYUP, SDLK_LALT, SDL_SCANCODE_LALT, KMOD_NONE, false, WM_SYSKEYUP, 0x12},
        {SDL_KEYDOWN, SDLK_F10, SDL_SCANCODE_F10, KMOD_NONE, false, WM_SYSKEYDOWN, 0x79},
        // Ctrl with Alt is AltGr, which types characters: an ordinary key message.
        {SDL_KEYDOWN, SDLK_c, SDL_SCANCODE_C, KMOD_LALT | KMOD_LCTRL, false, WM_KEYDOWN, 'C'},
        {SDL_KEYDOWN, SDLK_c, SDL_SCANCODE_C, KMOD_LSHIFT, false, WM_KEYDOWN, 'C'},
    };
    HWND__ window = MakeWindow(800, 600);
    for (const Case& c : cases) {
        MSG message;
        ASSERT_TRUE(
            TranslateEvent(MakeKey(c.type, c.sym, c.scancode, c.mod, c.repeat), &window, &message));
        EXPECT_EQ(message.message, c.message) << "key " << c.sym << " mod " << c.mod;
        EXPECT_EQ(message.wParam, c.virtualKey) << "key " << c.sym << " mod " << c.mod;
        bool released = c.message == WM_KEYUP || c.message == WM_SYSKEYUP;
        EXPECT_EQ((message.lParam >> 31) & 1, released ? 1 : 0);
        EXPECT_EQ((message.lParam >> 30) & 1, released || c.repeat ? 1 : 0);
    }
}

TEST(TranslateEvent, KeysWithoutAVirtualKeyGiveNoMessage) {
    HWND__ window = MakeWindow(800, 600);
    MSG message;
    EXPECT_FALSE(TranslateEvent(
        MakeKey(SDL_KEYDOWN, SDLK_VOLUMEUP, SDL_SCANCODE_VOLUMEUP, KMOD_NONE), &window, &message));
}

TEST(TranslateEvent, MouseMovesPackSigned16BitClientCoordinates) {
    struct Case {
        Sint32 x, y;
        Uint32 state;
        short packedX, packedY;
        WPARAM flags;
    } cases[] = {
        {10, 20, 0, 10, 20, 0},
        {-5, -3, SDL_BUTTON_LMASK, -5, -3, MK_LBUTTON},
        {1500, -1200, SDL_BUTTON_RMASK | SDL_BUTTON_MMASK, 1500, -1200, MK_RBUTTON | MK_MBUTTON},
        {32767, -32768, 0, 32767, -32768, 0},
        {40000, 65536 + 7, SDL_BUTTON_X1MASK, -25536, 7, 0}, // Win32 keeps the low 16 bits
    };
    HWND__ window = MakeWindow(800, 600);
    for (const Case& c : cases) {
        SDL_Event event{};
        event.type = SDL_MOUSEMOTION;
        event.motion.x = c.x;
        event.motion.y = c.y;
        event.motion.state = c.state;
        MSG message;
        ASSERT_TRUE(TranslateEvent(event, &window, &message));
        EXPECT_EQ(message.message, UINT(WM_MOUSEMOVE));
        EXPECT_EQ(LowX(message.lParam), c.packedX) << c.x << "," << c.y;
        EXPECT_EQ(HighY(message.lParam), c.packedY) << c.x << "," << c.y;
        EXPECT_EQ(message.lParam >> 32, 0) << "lParam is a zero-extended 32-bit value";
        EXPECT_EQ(message.wParam, c.flags);
    }
}

TEST(TranslateEvent, ButtonsGiveTheirMessagesAndTheButtonsStillDown) {
    struct Step {
        Uint32 type;
        Uint8 button;
        UINT message;
        WPARAM flags;
    } steps[] = {
        {SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, WM_LBUTTONDOWN, MK_LBUTTON},
        {SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON},
        {SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, WM_RBUTTONUP, MK_LBUTTON},
        {SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, WM_MBUTTONDOWN, MK_LBUTTON | MK_MBUTTON},
        {SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, WM_LBUTTONUP, MK_MBUTTON},
        {SDL_MOUSEBUTTONUP, SDL_BUTTON_MIDDLE, WM_MBUTTONUP, 0},
    };
    HWND__ window = MakeWindow(800, 600);
    for (const Step& step : steps) {
        MSG message;
        ASSERT_TRUE(
            TranslateEvent(MakeButton(step.type, step.button, -12, 700), &window, &message));
        EXPECT_EQ(message.message, step.message);
        EXPECT_EQ(message.wParam, step.flags) << "message " << step.message;
        EXPECT_EQ(LowX(message.lParam), -12);
        EXPECT_EQ(HighY(message.lParam), 700);
    }
    MSG message;
    EXPECT_FALSE(
        TranslateEvent(MakeButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_X1, 1, 1), &window, &message));
}

TEST(TranslateEvent, SizeMessagesFollowResizeMinimiseAndRestore) {
    struct Step {
        SDL_Event event;
        bool gives;
        WPARAM sizeType;
        WORD width, height;
    } steps[] = {
        {MakeWindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 800, 600), false, 0, 0, 0}, // known size
        {MakeWindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 640, 480), true, SIZE_RESTORED, 640, 480},
        {MakeWindowEvent(SDL_WINDOWEVENT_MINIMIZED), true, SIZE_MINIMIZED, 0, 0},
        {MakeWindowEvent(SDL_WINDOWEVENT_MINIMIZED), false, 0, 0, 0},
        {MakeWindowEvent(SDL_WINDOWEVENT_RESTORED), true, SIZE_RESTORED, 640, 480},
        {MakeWindowEvent(SDL_WINDOWEVENT_RESTORED), false, 0, 0, 0},
        {MakeWindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 1024, 700), true, SIZE_RESTORED, 1024, 700},
    };
    HWND__ window = MakeWindow(800, 600);
    for (size_t index = 0; index < sizeof steps / sizeof steps[0]; ++index) {
        const Step& step = steps[index];
        MSG message;
        ASSERT_EQ(TranslateEvent(step.event, &window, &message), step.gives) << "step " << index;
        if (!step.gives)
            continue;
        EXPECT_EQ(message.message, UINT(WM_SIZE)) << "step " << index;
        EXPECT_EQ(message.wParam, step.sizeType) << "step " << index;
        EXPECT_EQ(LOWORD(message.lParam), step.width) << "step " << index;
        EXPECT_EQ(HIWORD(message.lParam), step.height) << "step " << index;
    }
}

TEST(TranslateEvent, CloseButtonAndQuitRequestAskTheProgramToClose) {
    HWND__ window = MakeWindow(800, 600);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    for (const SDL_Event& event : {MakeWindowEvent(SDL_WINDOWEVENT_CLOSE), quit}) {
        MSG message;
        ASSERT_TRUE(TranslateEvent(event, &window, &message));
        EXPECT_EQ(message.message, UINT(WM_CLOSE));
        EXPECT_EQ(message.hwnd, &window);
    }
}

TEST(TranslateEvent, EventsWithoutAWin32CounterpartGiveNoMessage) {
    HWND__ window = MakeWindow(800, 600);
    SDL_Event text{};
    text.type = SDL_TEXTINPUT;
    SDL_Event wheel{};
    wheel.type = SDL_MOUSEWHEEL;
    for (const SDL_Event& event : {text, wheel, MakeWindowEvent(SDL_WINDOWEVENT_EXPOSED),
                                   MakeWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED)}) {
        MSG message;
        EXPECT_FALSE(TranslateEvent(event, &window, &message)) << "event " << event.type;
    }
}

} // namespace
