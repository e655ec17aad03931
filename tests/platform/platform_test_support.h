// Windows for the platform's tests: real SDL windows on the dummy video driver (which has no
// GL, so CreateWindowExA cannot make them) under a registered class whose procedure records
// every message it receives.
#pragma once

#include <gtest/gtest.h>
#include <vector>

#include "platform/sdl_internal.h"

extern const char TestClassName[];

struct ReceivedMessage {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Every message the test class's procedure received, in order.
std::vector<ReceivedMessage>& ReceivedMessages();

// Starts the dummy video driver and registers the test class; tears both down afterwards,
// destroying any window the test left.
class DummyVideoTest : public testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // A hidden 640 by 480 dummy-driver window of the test class, its creation events drained.
    HWND MakeWindow();
    // Queues an SDL event for window, as SDL's pump would.
    void PushKey(HWND window, SDL_Keycode sym, Uint32 type = SDL_KEYDOWN);
};
