#include "app/Globals.h"

#include "app/MenuHome.h"
#include "app/TryIcon.h"
#include "menu/MenuServices.h"
#include "menu/TodayMenu.h"
#include "platform/Theme.h"
#include "store/RegHelper.h"
#include "store/StoreWriter.h"

HINSTANCE g_hInstance = nullptr;
HWND g_hMainWnd = nullptr;

// Constructed in this order before the entry point runs, destroyed in the reverse order after it returns: the services
// outlive the tree that uses them, and their threads end before the process does.
platform::CTheme g_Theme;
CTryIcon g_TrayIcon;
CMenuServices g_Services;
CTodayMenu g_TodayMenu(&g_Services);
CRegHelper g_RegHelper;
// After the store it writes, so that it ends, with what it still had to write, before the store goes.
store::CStoreWriter g_StoreWriter(g_RegHelper);
// Before the writer ends: no look posts a file once the store goes.
CMenuFollower g_Follower;
