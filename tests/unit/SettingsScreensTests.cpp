// Pictures of the settings window for a human to look at: both tabs, the open section box, the Add
// Section dialog and a refusal. Disabled in the suite; tests/e2e/config_screenshots.sh runs it with
// TABULA_SHOTS naming the folder for the pictures (and TABULA_TURN to take them again after a turn).
#include <gtest/gtest.h>

#include <cstdio>

#include "SettingsTests.h"
#include "platform/Handles.h"

using namespace settingstest;

namespace {

std::wstring Env(const wchar_t* name)
{
    wchar_t value[MAX_PATH] = {};
    GetEnvironmentVariableW(name, value, MAX_PATH);
    return value;
}

void Pump(DWORD milliseconds)
{
    for (const DWORD end = GetTickCount() + milliseconds; GetTickCount() < end; Sleep(10)) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
    }
}

// The whole screen as a 24-bit BMP file named after the picture and the screen size.
void SaveScreen(const std::wstring& name)
{
    Pump(300);
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    handles::window_dc screen(nullptr);
    handles::unique_hdc memory(CreateCompatibleDC(screen.get()));
    handles::unique_hbitmap bitmap(CreateCompatibleBitmap(screen.get(), w, h));
    {
        handles::select_object selected(memory.get(), bitmap.get());
        BitBlt(memory.get(), 0, 0, w, h, screen.get(), 0, 0, SRCCOPY);
    }
    BITMAPINFOHEADER info{};
    info.biSize = sizeof(info);
    info.biWidth = w;
    info.biHeight = h;
    info.biPlanes = 1;
    info.biBitCount = 24;
    std::vector<BYTE> pixels(static_cast<size_t>((w * 3 + 3) & ~3) * h);
    GetDIBits(memory.get(), bitmap.get(), 0, h, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    BITMAPFILEHEADER file{0x4D42, 0, 0, 0, sizeof(file) + sizeof(info)};
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    const std::wstring size = std::to_wstring(w) + L"x" + std::to_wstring(h);
    FILE* out = _wfopen((Env(L"TABULA_SHOTS") + L"\\" + name + L"-" + size + L".bmp").c_str(), L"wb");
    ASSERT_NE(out, nullptr);
    fwrite(&file, sizeof(file), 1, out);
    fwrite(&info, sizeof(info), 1, out);
    fwrite(pixels.data(), 1, pixels.size(), out);
    fclose(out);
}

class SettingsScreens : public SettingsWindowTest {
protected:
    void ShootAll(const std::wstring& prefix)
    {
        SwitchTab(0);
        Tap(SectionsList(), 4);
        SaveScreen(prefix + L"sections");
        apptest::Watch addSection([&] {
            HWND dialog = FindThreadWindow(L"Add Section");
            if (dialog) {
                SetDlgItemTextW(dialog, IDC_SECTION_NAME, L"Projects");
                SaveScreen(prefix + L"add-section");
                Click(dialog, IDC_ADD_SECTION_CANCEL);
            }
            return dialog != nullptr;
        });
        Press(sections, IDC_ADD_SECTION);
        apptest::Watch refusal([&] {
            HWND box = FindThreadWindow(L"Error");
            if (box) {
                SaveScreen(prefix + L"refusal");
                Click(box, IDOK);
            }
            return box != nullptr;
        });
        Tap(SectionsList(), 3);
        Press(sections, IDC_SECTIONS_DELETE);
        SwitchTab(1);
        SaveScreen(prefix + L"documents");
        SendMessageW(SectionBox(), CB_SHOWDROPDOWN, TRUE, 0);
        SaveScreen(prefix + L"documents-box");
        SendMessageW(SectionBox(), CB_SHOWDROPDOWN, FALSE, 0);
    }
};

TEST_F(SettingsScreens, DISABLED_AtThisSizeAndAfterATurn)
{
    ASSERT_FALSE(Env(L"TABULA_SHOTS").empty()) << "TABULA_SHOTS is not set";
    g_TodayMenu.AppendDocument(L"C:\\windows\\win.ini", 0);
    g_TodayMenu.AppendDocument(L"C:\\windows\\notepad.exe", g_TodayMenu.AppendSection(L"Work", 0));
    g_TodayMenu.AppendDocument(L"C:\\windows\\system.ini", 0);
    RefreshSectionsPage();
    RefreshDocumentsPage();
    platform::SetMessageAnswer({});
    ShowWindow(window, SW_SHOW);
    ShootAll(L"");
    if (Env(L"TABULA_TURN").empty())
        return;
    // The virtual desktop takes the other orientation under the open window.
    DEVMODEW mode{};
    mode.dmSize = sizeof(mode);
    mode.dmPelsWidth = GetSystemMetrics(SM_CYSCREEN);
    mode.dmPelsHeight = GetSystemMetrics(SM_CXSCREEN);
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    ASSERT_EQ(ChangeDisplaySettingsExW(nullptr, &mode, nullptr, 0, nullptr), DISP_CHANGE_SUCCESSFUL);
    Pump(1500);
    ShootAll(L"turned-");
}

}  // namespace
