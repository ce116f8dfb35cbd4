#pragma once
// The benchmarks' stand-in for the program's hidden main window: the program's work comes back to it, and its
// procedure sees each message before the program's own procedure does.
#include <windows.h>

#include "app/Globals.h"

inline HWND MakeBenchWindow(WNDPROC procedure)
{
    g_hInstance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = g_hInstance;
    windowClass.lpszClassName = L"TabulaBench";
    RegisterClassW(&windowClass);
    g_hMainWnd = CreateWindowExW(0, L"TabulaBench", L"bench", 0, 0, 0, 0, 0, nullptr, nullptr, g_hInstance, nullptr);
    return g_hMainWnd;
}
