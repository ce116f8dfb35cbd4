#pragma once
#include <windows.h>
#include <shellapi.h>

#include "menu/BaseObj.h"

constexpr UINT TRAY_ICON_ID = 1111;
constexpr UINT WM_TRAYNOTIFY = 243579;   // the icon's callback message, above the 16-bit message range

// The program's icon in the notification area.
class CTryIcon : public CBaseObj {
public:
    HWND Window = nullptr;
    HICON Icon = nullptr;       // not owned
    UINT IconID = TRAY_ICON_ID;

private:
    DWORD lastTouch_ = 0;   // when the stylus last touched the icon (GetTickCount)
    bool touched_ = false;

public:

    CTryIcon() = default;
    ~CTryIcon() override = default;   // leaves the icon with the shell

    void SetWindow(HWND window) { Window = window; }
    void SetIcon(HICON icon) { Icon = icon; }
    int Add();
    int Remove();
    bool Notify(HWND window, DWORD request, UINT id, HICON icon);
    // Whether an event of the icon (its callback's lParam) opens the menu: the stylus touching it, or the icon chosen
    // from the keyboard. The end of that same touch (NIN_SELECT) opens nothing more.
    bool OpensMenu(LPARAM event);
    // A balloon over the shown icon, a warning unless other NIIF_ flags are given; false when the shell did not take it.
    bool ShowBalloon(const wchar_t* title, const wchar_t* text, DWORD flags = NIIF_WARNING);
};
