#pragma once
// The process-wide objects that the parts of the program share.
#include <windows.h>

class CTryIcon;
class CMenuServices;
class CTodayMenu;
class CRegHelper;
class CMenuFollower;
namespace store {
class CStoreWriter;
}
namespace platform {
class CTheme;
}

extern HINSTANCE g_hInstance;   // the process instance: every resource comes from it
extern HWND g_hMainWnd;         // the hidden main window

extern platform::CTheme g_Theme;   // the look in force, for the menu and every window
extern CTryIcon g_TrayIcon;
extern CMenuServices g_Services;   // the launcher, the live folders' reads and the icon cache, lent to g_TodayMenu
extern CTodayMenu g_TodayMenu;
extern CRegHelper g_RegHelper;
extern store::CStoreWriter g_StoreWriter;   // writes g_RegHelper's store off the GUI thread
extern CMenuFollower g_Follower;            // follows a menu file that the menu lives in
