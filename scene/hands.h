// The hour, minute and small-seconds hands at the computer's local time.
#pragma once

// Draws the three hands in the dial's frame, reading the clock afresh. Expects
// GL_TEXTURE_2D off and leaves the model-view matrix as it found it.
void DrawHands();

// Degrees counter-clockwise seen from the dial's front; 0 points at 3 o'clock, 90 at 12.
struct HandAngles {
    float hour;
    float minute;
    float seconds;
};

// Reads the local time and turns it into the angles DrawHands draws the hands at.
HandAngles ReadHandAngles();
