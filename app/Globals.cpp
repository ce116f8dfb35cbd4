#include "app/Globals.h"

#include "app/TryIcon.h"
#include "menu/MenuServices.h"
#include "menu/TodayMenu.h"
#include "store/RegHelper.h"

HINSTANCE g_hInstance = nullptr;
HWND g_hMainWnd = nullptr;

// Constructed in this order before the entry point runs, destroyed in the reverse order after it returns: the services
// outlive the tree that uses them, and their threads end before the process does.
CTryIcon g_TrayIcon;
CMenuServices g_Services;
CTodayMenu g_TodayMenu(&g_Services);
CRegHelper g_RegHelper;
