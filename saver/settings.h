// What a user may set of the saver, the same on both systems; only the way the settings are
// read differs (the registry on Windows, the command line on Linux).
#pragma once

#include "platform/win32.h"

// The four parts of the watch as the viewer's W, L, F and C keys show and hide them, and
// the pause after each frame. The defaults are the viewer's at its start and xscreensaver's
// 30000 microsecond delay.
struct SaverSettings {
    bool wireframe = false; // outlines, the gears showing through (W)
    bool glass = true;      // glass and lighting (L)
    bool dial = true;       // dial and hands (F)
    bool caseShown = true;  // case (C)
    DWORD pauseMs = 30;     // milliseconds of sleep after each frame
};

// Shows and hides the parts as the settings say, as the keys would; after InitScene.
void ApplySaverSettings(const SaverSettings& settings);
