#pragma once
// The benchmarks' stand-in for the program's hidden main window: the program's work comes back to it, and its
// procedure sees each message before the program's own procedure does.
#include <windows.h>
#include <objbase.h>

#include <cstdio>

#include "app/Globals.h"
#include "menu/MenuServices.h"

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

// Starts as the program does (COM, the main window, the icon cache prepared) and prints the head of the figures'
// columns, the figures in unit.
inline HWND StartBench(WNDPROC procedure, const char* unit)
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const HWND window = MakeBenchWindow(procedure);
    g_Services.Icons().Prepare();
    std::printf("%-72s %10s %10s\n", "", unit, "bound");
    return window;
}
