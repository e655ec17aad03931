// Windows' way with the settings: kept for each user in the registry, set in the dialog that /c
// opens, read by /s and /p as they start. The Linux saver takes them on its command line.
#include "saver/saver.h"
#include "saver/settings_dialog.h"
#include "shell/window_constants.h"

namespace {

constexpr const char* SettingsKey = "Software\\Orlentic\\Screensaver";
constexpr const char* PauseName = "PauseMs";
constexpr const char* PauseText = "The pause after each frame is a whole number of milliseconds "
                                  "from 0 to 100.";
constexpr const char* NotSavedText = "The settings could not be saved for this user.";
constexpr const char* NoDialogText = "The settings dialog could not be opened.";

// Each part as the registry names it, and the dialog's check box for it.
struct Part {
    const char* name;
    bool SaverSettings::*shown;
    int control;
};
constexpr Part Parts[] = {{"Wireframe", &SaverSettings::wireframe, IDC_WIREFRAME},
                          {"Glass", &SaverSettings::glass, IDC_GLASS},
                          {"Dial", &SaverSettings::dial, IDC_DIAL},
                          {"Case", &SaverSettings::caseShown, IDC_CASE}};

// A value longer than four bytes is not read at all (ERROR_MORE_DATA), so the default stands.
DWORD ReadStoredValue(HKEY key, const char* name, DWORD largest, DWORD fallback) {
    DWORD type = REG_NONE, value = 0, size = sizeof(value);
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
        ERROR_SUCCESS)
        return fallback;
    return TrustStoredValue(type, size, value, largest, fallback);
}

bool StoreValue(HKEY key, const char* name, DWORD value) {
    return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof(value)) == ERROR_SUCCESS;
}

bool SaveStoredSettings(const SaverSettings& settings) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    bool saved = StoreValue(key, PauseName, settings.pauseMs);
    for (const Part& part : Parts)
        saved = StoreValue(key, part.name, settings.*part.shown ? 1 : 0) && saved;
    RegCloseKey(key);
    return saved;
}

void ShowInDialog(HWND dialog, const SaverSettings& settings) {
    for (const Part& part : Parts)
        CheckDlgButton(dialog, part.control, settings.*part.shown ? BST_CHECKED : BST_UNCHECKED);
    // The up-down control counts from 100 down to 0 until told otherwise.
    SendDlgItemMessageA(dialog, IDC_PAUSE_ARROWS, UDM_SETRANGE32, 0, MaxPauseMs);
    SetDlgItemInt(dialog, IDC_PAUSE, settings.pauseMs, FALSE);
}

// OK: a pause typed out of range, or no number at all, is said so and the dialog stays, as does
// a registry that refuses the values; otherwise what the dialog shows is stored and it closes.
void AcceptDialog(HWND dialog) {
    SaverSettings settings;
    for (const Part& part : Parts)
        settings.*part.shown = IsDlgButtonChecked(dialog, part.control) == BST_CHECKED;
    BOOL number = FALSE;
    settings.pauseMs = GetDlgItemInt(dialog, IDC_PAUSE, &number, FALSE);
    if (!number || settings.pauseMs > MaxPauseMs)
        MessageBoxA(dialog, PauseText, WindowCaption, MB_OK | MB_ICONERROR);
    else if (!SaveStoredSettings(settings))
        MessageBoxA(dialog, NotSavedText, WindowCaption, MB_OK | MB_ICONERROR);
    else
        EndDialog(dialog, IDOK);
}

// Esc and the close box reach the dialog as IDCANCEL.
INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: ShowInDialog(dialog, LoadStoredSettings()); return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK)
            AcceptDialog(dialog);
        else if (LOWORD(wParam) == IDCANCEL)
            EndDialog(dialog, IDCANCEL);
        else
            break;
        return TRUE;
    default: break;
    }
    return FALSE;
}

} // namespace

SaverSettings LoadStoredSettings() {
    SaverSettings settings;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return settings; // never set: the defaults
    for (const Part& part : Parts)
        settings.*part.shown = ReadStoredValue(key, part.name, 1, settings.*part.shown) != 0;
    settings.pauseMs = ReadStoredValue(key, PauseName, MaxPauseMs, settings.pauseMs);
    RegCloseKey(key);
    return settings;
}

int EditSettings(HWND owner) {
    const INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&classes);
    // The owner may be gone by the time the dialog shows; it then stands alone.
    if (owner != nullptr && !IsWindow(owner))
        owner = nullptr;
    if (DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_SETTINGS), owner,
                        SettingsDialogProc, 0) == -1) {
        MessageBoxA(owner, NoDialogText, "Error", MB_OK | MB_ICONERROR);
        return 1;
    }
    return 0;
}

int RunScreensaver(const char* commandLine) {
    SaverRequest request = ReadScreensaverCommandLine(commandLine);
    if (request.mode == SaverMode::Settings)
        return EditSettings(request.window);
    request.settings = LoadStoredSettings();
    return RunSaver(request);
}
