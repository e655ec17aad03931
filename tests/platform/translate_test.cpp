// SDL events become the Win32 messages the shell expects, with Win32's values.
#include <tuple>
#include <utility>

#include <gtest/gtest.h>

#include "platform/sdl_internal.h"

namespace {

SDL_Event MakeEvent(Uint32 type) {
    SDL_Event event{};
    event.type = type;
    return event;
}

SDL_Event MakeKey(Uint32 type, SDL_Keycode sym, SDL_Scancode scancode, Uint16 mod = KMOD_NONE,
                  bool repeat = false) {
    SDL_Event event = MakeEvent(type);
    event.key.keysym = {scancode, sym, mod, 0};
    event.key.repeat = repeat ? 1 : 0;
    return event;
}

SDL_Event MakeWindowEvent(Uint8 what, Sint32 width = 0, Sint32 height = 0) {
    SDL_Event event = MakeEvent(SDL_WINDOWEVENT);
    event.window.event = what;
    event.window.data1 = width;
    event.window.data2 = height;
    return event;
}

SDL_Event MakeButton(Uint32 type, Uint8 button) {
    SDL_Event event = MakeEvent(type);
    event.button.button = button;
    event.button.x = -12;
    event.button.y = 700;
    return event;
}

// A window record as CreateWindowExA leaves it, without an SDL window behind it.
struct TranslateEventTest : testing::Test {
    HWND__ window{};
    MSG message{};
    void SetUp() override {
        window.ClientWidth = 800;
        window.ClientHeight = 600;
    }
    bool Translate(const SDL_Event& event) { return TranslateEvent(event, &window, &message); }
    short X() const { return static_cast<short>(LOWORD(message.lParam)); }
    short Y() const { return static_cast<short>(HIWORD(message.lParam)); }
};

TEST_F(TranslateEventTest, KeysGiveWin32VirtualKeyCodesAndAltGivesSystemKeys) {
    const struct {
        Uint32 type;
        SDL_Keycode sym;
        SDL_Scancode scancode;
        Uint16 mod;
        bool repeat;
        UINT message;
        WPARAM virtualKey;
    } cases[] = {
        {SDL_KEYDOWN, SDLK_a, SDL_SCANCODE_A, KMOD_NONE, false, WM_KEYDOWN, 'A'},
        {SDL_KEYDOWN, SDLK_z, SDL_SCANCODE_Z, KMOD_LSHIFT, false, WM_KEYDOWN, 'Z'},
        {SDL_KEYDOWN, SDLK_0, SDL_SCANCODE_0, KMOD_NONE, false, WM_KEYDOWN, '0'},
        {SDL_KEYDOWN, SDLK_9, SDL_SCANCODE_9, KMOD_NONE, false, WM_KEYDOWN, '9'},
        {SDL_KEYDOWN, SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, KMOD_NONE, false, WM_KEYDOWN, VK_ESCAPE},
        {SDL_KEYDOWN, SDLK_SPACE, SDL_SCANCODE_SPACE, KMOD_NONE, false, WM_KEYDOWN, 0x20},
        {SDL_KEYDOWN, SDLK_RETURN, SDL_SCANCODE_RETURN, KMOD_NONE, false, WM_KEYDOWN, 0x0D},
        {SDL_KEYDOWN, SDLK_LEFT, SDL_SCANCODE_LEFT, KMOD_NONE, false, WM_KEYDOWN, 0x25},
        {SDL_KEYDOWN, SDLK_UP, SDL_SCANCODE_UP, KMOD_NONE, false, WM_KEYDOWN, 0x26},
        {SDL_KEYDOWN, SDLK_RIGHT, SDL_SCANCODE_RIGHT, KMOD_NONE, false, WM_KEYDOWN, 0x27},
        {SDL_KEYDOWN, SDLK_DOWN, SDL_SCANCODE_DOWN, KMOD_NONE, false, WM_KEYDOWN, 0x28},
        {SDL_KEYDOWN, SDLK_F1, SDL_SCANCODE_F1, KMOD_NONE, false, WM_KEYDOWN, 0x70},
        {SDL_KEYDOWN, SDLK_F12, SDL_SCANCODE_F12, KMOD_NONE, false, WM_KEYDOWN, 0x7B},
        {SDL_KEYDOWN, SDLK_RSHIFT, SDL_SCANCODE_RSHIFT, KMOD_NONE, false, WM_KEYDOWN, 0x10},
        {SDL_KEYDOWN, SDLK_RCTRL, SDL_SCANCODE_RCTRL, KMOD_NONE, false, WM_KEYDOWN, 0x11},
        // A layout without Latin letters: the key's place on the keyboard decides.
        {SDL_KEYDOWN, 0x0444, SDL_SCANCODE_A, KMOD_NONE, false, WM_KEYDOWN, 'A'},
        {SDL_KEYDOWN, SDLK_c, SDL_SCANCODE_C, KMOD_NONE, true, WM_KEYDOWN, 'C'},
        {SDL_KEYUP, SDLK_c, SDL_SCANCODE_C, KMOD_NONE, false, WM_KEYUP, 'C'},
        {SDL_KEYDOWN, SDLK_c, SDL_SCANCODE_C, KMOD_LALT, false, WM_SYSKEYDOWN, 'C'},
        {SDL_KEYUP, SDLK_w, SDL_SCANCODE_W, KMOD_RALT, false, WM_SYSKEYUP, 'W'},
        {SDL_KEYDOWN, SDLK_LALT, SDL_SCANCODE_LALT, KMOD_LALT, false, WM_SYSKEYDOWN, 0x12},
        {SDL_KEYUP, SDLK_LALT, SDL_SCANCODE_LALT, KMOD_NONE, false, WM_SYSKEYUP, 0x12},
        {SDL_KEYDOWN, SDLK_F10, SDL_SCANCODE_F10, KMOD_NONE, false, WM_SYSKEYDOWN, 0x79},
        // Ctrl with Alt is AltGr, which types characters: an ordinary key message.
        {SDL_KEYDOWN, SDLK_c, SDL_SCANCODE_C, KMOD_LALT | KMOD_LCTRL, false, WM_KEYDOWN, 'C'},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "key " << c.sym << " mod " << c.mod);
        ASSERT_TRUE(Translate(MakeKey(c.type, c.sym, c.scancode, c.mod, c.repeat)));
        EXPECT_EQ(message.hwnd, &window);
        EXPECT_EQ(message.message, c.message);
        EXPECT_EQ(message.wParam, c.virtualKey);
        const bool released = c.message == WM_KEYUP || c.message == WM_SYSKEYUP;
        EXPECT_EQ((message.lParam >> 31) & 1, released ? 1 : 0);
        EXPECT_EQ((message.lParam >> 30) & 1, released || c.repeat ? 1 : 0);
    }
}

TEST_F(TranslateEventTest, MouseMovesPackSigned16BitClientCoordinates) {
    const struct {
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
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        SDL_Event event = MakeEvent(SDL_MOUSEMOTION);
        event.motion.x = c.x;
        event.motion.y = c.y;
        event.motion.state = c.state;
        ASSERT_TRUE(Translate(event));
        EXPECT_EQ(message.message, UINT(WM_MOUSEMOVE));
        EXPECT_EQ(std::make_pair(X(), Y()), std::make_pair(c.packedX, c.packedY));
        EXPECT_EQ(message.lParam >> 32, 0) << "lParam is a zero-extended 32-bit value";
        EXPECT_EQ(message.wParam, c.flags);
    }
}

TEST_F(TranslateEventTest, ButtonsGiveTheirMessagesAndTheButtonsStillDown) {
    const struct {
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
    for (const auto& step : steps) {
        SCOPED_TRACE(step.message);
        ASSERT_TRUE(Translate(MakeButton(step.type, step.button)));
        EXPECT_EQ(std::make_pair(message.message, message.wParam),
                  std::make_pair(step.message, step.flags));
        EXPECT_EQ(std::make_pair(X(), Y()), std::make_pair(short{-12}, short{700}));
    }
}

TEST_F(TranslateEventTest, SizeMessagesFollowResizeMinimiseAndRestore) {
    const struct {
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
    for (const auto& step : steps) {
        SCOPED_TRACE(&step - steps);
        ASSERT_EQ(Translate(step.event), step.gives);
        if (step.gives) {
            EXPECT_EQ(std::make_tuple(message.message, message.wParam, LOWORD(message.lParam),
                                      HIWORD(message.lParam)),
                      std::make_tuple(UINT(WM_SIZE), step.sizeType, step.width, step.height));
        }
    }
}

TEST_F(TranslateEventTest, CloseButtonAndQuitRequestAskTheProgramToClose) {
    for (const SDL_Event& event : {MakeWindowEvent(SDL_WINDOWEVENT_CLOSE), MakeEvent(SDL_QUIT)}) {
        ASSERT_TRUE(Translate(event));
        EXPECT_EQ(std::make_pair(message.message, message.hwnd),
                  std::make_pair(UINT(WM_CLOSE), &window));
    }
}

TEST_F(TranslateEventTest, EventsWithoutAWin32CounterpartGiveNoMessage) {
    for (const SDL_Event& event :
         {MakeEvent(SDL_TEXTINPUT), MakeEvent(SDL_MOUSEWHEEL),
          MakeWindowEvent(SDL_WINDOWEVENT_EXPOSED), MakeWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED),
          MakeKey(SDL_KEYDOWN, SDLK_VOLUMEUP, SDL_SCANCODE_VOLUMEUP),
          MakeButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_X1)})
        EXPECT_FALSE(Translate(event)) << "event " << event.type;
}

} // namespace
