// Pictures of the settings window for a human to look at: both tabs, the open section box, the Add
// Section dialog and a refusal. Not part of the suite (disabled); run by
// tests/e2e/config_screenshots.sh, which sets TABULA_SHOTS to the folder that receives the pictures.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "SettingsTests.h"
#include "config/DocumentsPage.h"
#include "platform/Handles.h"

using namespace settingstest;

namespace {

std::wstring ShotsFolder()
{
    wchar_t folder[MAX_PATH] = {};
    GetEnvironmentVariableW(L"TABULA_SHOTS", folder, MAX_PATH);
    return folder;
}

// Lets the windows of this thread paint and the desktop settle.
void Pump(DWORD milliseconds)
{
    const DWORD end = GetTickCount() + milliseconds;
    while (GetTickCount() < end) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(10);
    }
}

// Writes the whole screen as a 24-bit BMP file.
void SaveScreen(const std::wstring& name)
{
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    handles::window_dc screen(nullptr);
    handles::unique_hdc memory(CreateCompatibleDC(screen.get()));
    handles::unique_hbitmap bitmap(CreateCompatibleBitmap(screen.get(), width, height));
    {
        handles::select_object selected(memory.get(), bitmap.get());
        BitBlt(memory.get(), 0, 0, width, height, screen.get(), 0, 0, SRCCOPY);
    }
    BITMAPINFOHEADER info{};
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    const int stride = (width * 3 + 3) & ~3;
    std::vector<BYTE> pixels(static_cast<size_t>(stride) * height);
    GetDIBits(memory.get(), bitmap.get(), 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info),
              DIB_RGB_COLORS);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    const std::wstring path = ShotsFolder() + L"\\" + name + L".bmp";
    FILE* out = _wfopen(path.c_str(), L"wb");
    ASSERT_NE(out, nullptr) << "cannot write the picture";
    fwrite(&file, sizeof(file), 1, out);
    fwrite(&info, sizeof(info), 1, out);
    fwrite(pixels.data(), 1, pixels.size(), out);
    fclose(out);
}

class SettingsScreens : public SettingsWindowTest {
protected:
    void SetUp() override
    {
        SettingsWindowTest::SetUp();
        g_TodayMenu.AppendDocument(L"C:\\windows\\win.ini", 0);
        const int work = g_TodayMenu.AppendSection(L"Work", 0);
        g_TodayMenu.AppendDocument(L"C:\\windows\\notepad.exe", work);
        g_TodayMenu.AppendDocument(L"C:\\windows\\system.ini", 0);
        RefreshSectionsPage();
        RefreshDocumentsPage();
        platform::SetMessageAnswer({});
        ShowWindow(window, SW_SHOW);
        SetForegroundWindow(window);
    }

    void ShootAll(const std::wstring& size)
    {
        SwitchTab(0);
        Tap(SectionsList(), 4);
        Pump(400);
        SaveScreen(L"sections-" + size);

        ModalDriver addSection([&] {
            HWND dialog = FindThreadWindow(L"Add Section");
            if (!dialog)
                return false;
            SetDlgItemTextW(dialog, IDC_SECTION_NAME, L"Projects");
            Pump(300);
            SaveScreen(L"add-section-" + size);
            Click(dialog, IDC_ADD_SECTION_CANCEL);
            return true;
        });
        Press(sections, IDC_ADD_SECTION);

        ModalDriver refusal([&] {
            HWND box = FindThreadWindow(L"Error");
            if (!box)
                return false;
            Pump(300);
            SaveScreen(L"refusal-" + size);
            Click(box, IDOK);
            return true;
        });
        Tap(SectionsList(), 3);
        Press(sections, IDC_SECTIONS_DELETE);

        SwitchTab(1);
        Pump(400);
        SaveScreen(L"documents-" + size);
        SendMessageW(SectionBox(), CB_SHOWDROPDOWN, TRUE, 0);
        Pump(400);
        SaveScreen(L"documents-box-" + size);
        SendMessageW(SectionBox(), CB_SHOWDROPDOWN, FALSE, 0);
    }
};

std::wstring ScreenSize()
{
    return std::to_wstring(GetSystemMetrics(SM_CXSCREEN)) + L"x" + std::to_wstring(GetSystemMetrics(SM_CYSCREEN));
}

// With TABULA_TURN set, the screen then turns (the virtual desktop takes the other orientation) and
// the pictures are taken again, named "turned-".
TEST_F(SettingsScreens, DISABLED_AtThisSizeAndAfterATurn)
{
    ASSERT_FALSE(ShotsFolder().empty()) << "TABULA_SHOTS is not set";
    ShootAll(ScreenSize());
    if (!GetEnvironmentVariableW(L"TABULA_TURN", nullptr, 0))
        return;

    DEVMODEW mode{};
    mode.dmSize = sizeof(mode);
    mode.dmPelsWidth = GetSystemMetrics(SM_CYSCREEN);
    mode.dmPelsHeight = GetSystemMetrics(SM_CXSCREEN);
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    ASSERT_EQ(ChangeDisplaySettingsExW(nullptr, &mode, nullptr, 0, nullptr), DISP_CHANGE_SUCCESSFUL);
    Pump(1500);
    ShootAll(L"turned-" + ScreenSize());
}

}  // namespace
