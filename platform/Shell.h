#pragma once
// The device's shell as the menu model sees it: its documents folder, its file explorer, its icons
// and its menu look. On desktop Windows and Wine each call answers with the desktop's equivalent.
#include <windows.h>

#include <string>

namespace platform {

// A path as the desktop can open it: its %NAME% variables expanded (platform/Environment.h), then "\My Documents"
// and the paths below it standing for the user's documents folder. Any other path is returned unchanged.
std::wstring ResolveDevicePath(const std::wstring& path);

// The program that opens folders, and its parameters for one folder.
const wchar_t* FileExplorer();
std::wstring FileExplorerParameters(const std::wstring& folder);

// An icon resource loaded at exactly cx x cy, so that nothing is scaled; the caller destroys it.
HICON LoadIconAtSize(HINSTANCE instance, int id, int cx, int cy);

// The screen's density in logical pixels per inch (96 is the density the program's pixel sizes are given for),
// read afresh each time, and a length given for 96 DPI in the screen's pixels.
int ScreenDpi();
int Scaled(int pixels);

// The font of menu captions at the screen's present density, or at a given one (shared, not to be deleted); null
// means the device context's default.
HFONT MenuFont();
HFONT MenuFont(int dpi);

// The density of the monitor that holds a point of the screen: each monitor's own where the system knows it
// (per-monitor awareness), the screen's otherwise.
int DensityAt(POINT point);
// The density a window is shown at: the one its last WM_DPICHANGED gave (SetWindowDensity), or its monitor's.
int WindowDensity(HWND window);
void SetWindowDensity(HWND window, int dpi);   // 0: forgotten, its density font deleted, as the window goes
// The font made for a window and its controls at its last density change (a dialog answers WM_GETFONT with the font it
// was made with to the end), kept with the top-level window until the next change or until it goes; null when none was
// made.
void KeepDensityFont(HWND window, HFONT font);
HFONT DensityFont(HWND window);
// A length given for 96 DPI at a window's density.
int ScaledFor(HWND window, int pixels);
// The small-icon size at a density, the system's own at the screen's.
SIZE SmallIconSize(int dpi);

// The density seam, for tests: every monitor reports this density (0: each its own again). Wine keeps one.
void PretendMonitorDensity(int dpi);

// The brush of a system colour (not to be deleted).
HBRUSH SysColorBrush(int index);

// Whether the user chose a high-contrast scheme: what the program draws itself then takes only the scheme's system
// colours. Read afresh each time.
bool HighContrast();

}  // namespace platform
