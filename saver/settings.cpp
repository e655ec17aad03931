// The settings reach the scene as the viewer's keys do, so a part hidden here is hidden
// exactly as a key press would hide it, GL state included.
#include "saver/settings.h"
#include "scene/scene.h"
#include "shell/shell_state.h"

void ApplySaverSettings(const SaverSettings& settings) {
    // InitScene has shown every part but the outlines; each key flips one part from there.
    KeyDown[KeyWireframe] = settings.wireframe;
    KeyDown[KeyLighting] = !settings.glass;
    KeyDown[KeyDial] = !settings.dial;
    KeyDown[KeyCase] = !settings.caseShown;
    ApplyKeyToggles();
}

DWORD TrustStoredValue(DWORD type, DWORD size, DWORD value, DWORD largest, DWORD fallback) {
    return type == REG_DWORD && size == sizeof(DWORD) && value <= largest ? value : fallback;
}
