#include "app/Resources.h"

#include "app/Globals.h"

LPCDLGTEMPLATEW FindDialogTemplate(int id)
{
    HRSRC found = FindResourceW(g_hInstance, MAKEINTRESOURCEW(id), RT_DIALOG);
    HGLOBAL loaded = found ? LoadResource(g_hInstance, found) : nullptr;
    return loaded ? static_cast<LPCDLGTEMPLATEW>(LockResource(loaded)) : nullptr;
}
