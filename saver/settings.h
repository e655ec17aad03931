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

// The longest pause the dialog and the settings page offer: a calm watch still, not a slide show.
constexpr DWORD MaxPauseMs = 100;

// A value kept in the registry is trusted only as a REG_DWORD of four bytes from 0 to largest.
// Anything else (a string, a short binary, a flag of 7, a pause of 5000) the saver did not
// write, so the default stands.
DWORD TrustStoredValue(DWORD type, DWORD size, DWORD value, DWORD largest, DWORD fallback);

// Windows keeps the settings for each user in the registry (stored_settings.cpp): those stored,
// each one missing or not trusted at its default.
SaverSettings LoadStoredSettings();
// The settings dialog, owned by owner unless that window is gone; OK stores what it shows,
// Cancel, Esc and the close box nothing. Returns the exit status.
int EditSettings(HWND owner);

// Shows and hides the parts as the settings say, as the keys would; after InitScene.
void ApplySaverSettings(const SaverSettings& settings);
