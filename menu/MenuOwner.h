#pragma once
// A menu's owner, kept in the menu itself (MIM_MENUDATA): a message about a menu finds the object behind it in one step
// instead of a search of the whole tree. The owner outlives its menu's tag: each owner destroys its menu with itself.
#include <windows.h>

#include "menu/BaseObj.h"
#include "platform/Handles.h"

void SetMenuOwner(HMENU menu, CBaseObj* owner);
// A new popup menu owned by owner that tells a choice by its position (MNS_NOTIFYBYPOS, WM_MENUCOMMAND).
handles::unique_hmenu CreatePositionalMenu(CBaseObj* owner);
// The object that owns the menu, or null (a menu without an owner, or no menu).
CBaseObj* MenuOwner(HMENU menu);

// The menu's owner when it is a T, else null.
template <class T>
T* MenuOwnerAs(HMENU menu)
{
    return dynamic_cast<T*>(MenuOwner(menu));
}
