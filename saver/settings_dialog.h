// The settings dialog's template and controls, shared by its resource script and its code; the
// resource compiler reads this too, so it holds nothing but numbers.
#pragma once

#define IDD_SETTINGS 100
#define IDC_WIREFRAME 101
#define IDC_GLASS 102
#define IDC_DIAL 103
#define IDC_CASE 104
#define IDC_PAUSE 105
#define IDC_PAUSE_ARROWS 106
