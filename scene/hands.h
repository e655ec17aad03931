// The hour, minute and small-seconds hands at the computer's local time.
#pragma once

// Draws the three hands in the dial's frame, reading the clock afresh. Expects
// GL_TEXTURE_2D off and leaves the model-view matrix as it found it.
void DrawHands();
