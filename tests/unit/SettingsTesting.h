#pragma once
// Helpers of the settings window's tests: the real window opened modeless, its prompts answered, its lists read back.
#include "AppTesting.h"
#include "MenuTesting.h"
#include "StoreTesting.h"
#include "app/Globals.h"
#include "platform/Theme.h"
#include "store/RegHelper.h"
#include "store/StoreWriter.h"
#include "platform/DialogLayout.h"
#include "config/ItemList.h"
#include "config/Page.h"
#include "config/PageLayout.h"
#include "config/PropertiesDialog.h"
#include "config/SettingsContext.h"
#include "config/SettingsState.h"
#include "config/SettingsWindow.h"
#include "platform/Prompts.h"
#include "platform/Shell.h"
#include "res/resource.h"

#include <commctrl.h>

namespace settingstest {

// The program's own tree and store, as the main window hands them to the settings window.
inline const SettingsContext& Settings() { static const SettingsContext settings{g_hInstance, &g_TodayMenu, &g_RegHelper, nullptr, &g_Theme, nullptr, &g_StoreWriter}; return settings; }

// A list's items as "id/image:text|"; the two lists of the fixture's tree as they start: the top level and "General".
inline std::wstring Rows(HWND list)
{
    std::wstring rows;
    wchar_t text[300];
    LVITEMW item{};
    for (item.mask = LVIF_PARAM | LVIF_IMAGE | LVIF_TEXT, item.pszText = text, item.cchTextMax = 300;
         ListView_GetItem(list, &item); ++item.iItem)
        rows += std::to_wstring(item.lParam) + L"/" + std::to_wstring(item.iImage) + L":" + text + L"|";
    return rows;
}
const wchar_t kNotRemovable[] = L"The selected item is not removable item.\nPlease select another item to remove";   // the Sections page's refusal
const std::wstring kTop = L"1/0:My Documents|4/1:-----------------|2/2:Configuration|3/3:Exit|5/4:W|7/5:x|",
                   kGeneral = L"1/0:My Documents|2/2:Configuration|3/3:Exit|7/5:x|";

inline int Selected(HWND list) { return ListView_GetNextItem(list, -1, LVNI_SELECTED); }
inline void Press(HWND page, int id, int code = BN_CLICKED) { SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, code), 0); }
// A tap on a list item: it becomes the selected and focused item (state 3) and the selection mark.
inline void Tap(HWND list, int item) { ListView_SetItemState(list, item, 3, 3); ListView_SetSelectionMark(list, item); }

using Prompt = std::tuple<HWND, std::wstring, std::wstring, UINT>;   // a message box: owner, text, caption, style

// The settings window over the defaults, W[C:\w] and C:\x, no store; message boxes recorded, pickers given file.
class SettingsTest : public ::testing::Test {
protected:
    HWND window = nullptr, sections = nullptr, documents = nullptr;
    std::vector<Prompt> prompts;
    const wchar_t* file = nullptr;

    void SetUp() override
    {
        platform::SetMessageAnswer([this](auto... asked) { return prompts.emplace_back(asked...), IDOK; });
        platform::SetOpenFileAnswer([this](auto& r) { return file && lstrcpynW(r.lpstrFile, file, r.nMaxFile); });
        Reopen();
    }
    void TearDown() override { DestroyWindow(window); platform::SetMessageAnswer({}); platform::SetOpenFileAnswer({}); }
    void Reopen()
    {
        DestroyWindow(window), menutest::Reset(g_TodayMenu), menutest::BuildDefaults(g_TodayMenu);
        menutest::Build(g_TodayMenu, L"S:W[D:C:\\w] D:C:\\x");
        storetest::ClearStore(), prompts.clear();
        window = CreateDialogIndirectParamW(g_hInstance, platform::FindDialogTemplate(g_hInstance, IDD_SETTINGS), nullptr, SettingsDlgProc, reinterpret_cast<LPARAM>(&Settings()));
        ASSERT_NE(window, nullptr);
        sections = CSettingsState::Of(window).Page(kSectionsTab), documents = CSettingsState::Of(window).Page(kDocumentsTab);
    }

    // The window in front, a list page shown with its list's input; real keys pressed on it then, its messages handled as
    // its modal loop handles them (IsDialogMessage), until done holds (false after 10 s).
    void Front(int page) { ShowWindow(window, SW_SHOW), SetForegroundWindow(window), SwitchTab(page); }
    bool Keys(const std::vector<WORD>& keys, const std::function<bool()>& done)
    {
        apptest::PressKeys(keys);
        for (const DWORD start = GetTickCount(); !done(); Sleep(20)) {
            for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);)
                if (!IsDialogMessageW(window, &msg))
                    DispatchMessageW(&msg);
            if (GetTickCount() - start > 10000)
                return false;
        }
        return true;
    }

    HWND Page(int page) const { return page ? documents : sections; }
    HWND List(int page) const { return GetDlgItem(Page(page), page ? IDC_DOCUMENTS_LIST : IDC_SECTIONS_LIST); }
    HWND Tabs() const { return GetDlgItem(window, IDC_TABS); }
    void SwitchTab(int tab)
    {
        NMHDR header{Tabs(), IDC_TABS, static_cast<UINT>(TCN_SELCHANGE)};
        TabCtrl_SetCurSel(Tabs(), tab), SendMessageW(window, WM_NOTIFY, IDC_TABS, reinterpret_cast<LPARAM>(&header));
    }

    // The menu shows the tree, the store holds it (nothing unless stored), the Sections and the Documents list these rows.
    void ExpectState(bool stored, const std::wstring& top, const std::wstring& shown)
    {
        menutest::CheckMenu(g_TodayMenu.Root);
        EXPECT_EQ(storetest::StoredText(), stored ? menutest::Describe(g_TodayMenu.Root) : L"");
        EXPECT_EQ(Rows(List(0)), top);
        EXPECT_EQ(Rows(List(1)), shown);
    }
};

// Whether a length of a layout at 96 DPI is, at dpi, grown with it (within what a font's rounding gives; itself at 96).
inline bool GrownWith(int dpi, int was, int is) { return std::abs(is * 96 - was * dpi) <= was * (dpi - 96) / 2; }

// The ids of a window's controls not wholly inside it ("" when all are); a drop-down box, whose window holds its list
// too, by its top only.
inline std::wstring ControlsOutside(HWND parent)
{
    std::wstring outside;
    RECT area{};
    GetClientRect(parent, &area);
    // A page that scrolls holds its controls within its scroll range.
    SCROLLINFO scroll{sizeof(scroll), SIF_ALL};
    if ((GetWindowLongW(parent, GWL_STYLE) & WS_VSCROLL) && GetScrollInfo(parent, SB_VERT, &scroll))
        area.top = -scroll.nPos, area.bottom = scroll.nMax + 1 - scroll.nPos;
    for (HWND control = GetWindow(parent, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        const PageRect r = GetChildRect(parent, control);
        wchar_t kind[16] = {};
        const bool box = GetClassNameW(control, kind, 16) && !_wcsicmp(kind, WC_COMBOBOXW);
        outside += r.x < 0 || r.y < area.top || r.x + r.width > area.right || (box ? r.y : r.y + r.height) > area.bottom ? std::to_wstring(GetDlgCtrlID(control)) + L" " : L"";
    }
    return outside;
}

// The controls of the Properties dialog not wholly inside it (their ids), filling a 240x300 and a 320x220 screen area
// (the work areas of 240x320 and 320x240) at scale times their size; empty when all fit.
inline std::wstring PropertiesOutside(double scale, std::wstring outside = L"")
{
    PropertiesDialogState state{g_hInstance};
    HWND dialog = CreateDialogIndirectParamW(g_hInstance, platform::FindDialogTemplate(g_hInstance, IDD_PROPERTIES_PORTRAIT), nullptr, PropertiesDlgProc, LPARAM(&state));
    for (const SIZE size : {SIZE{240, 300}, SIZE{320, 220}}) {
        SetWindowPos(dialog, nullptr, 0, 0, int(size.cx * scale), int(size.cy * scale), SWP_NOZORDER | SWP_NOACTIVATE);
        const std::wstring here = ControlsOutside(dialog);
        outside += here.empty() ? L"" : std::to_wstring(size.cx) + L": " + here;
    }
    DestroyWindow(dialog);
    return outside;
}

}  // namespace settingstest
