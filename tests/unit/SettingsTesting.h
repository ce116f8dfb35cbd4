#pragma once
// Helpers of the settings window's tests: the real window opened modeless and driven with the messages of a
// user's taps, its prompts answered by the test, its lists and section box read back as text.
#include "AppTesting.h"
#include "MenuTesting.h"
#include "StoreTesting.h"
#include "app/Globals.h"
#include "app/Resources.h"
#include "config/DocumentsPage.h"
#include "config/PageOps.h"
#include "config/SettingsWindow.h"
#include "platform/Prompts.h"
#include "res/resource.h"

#include <commctrl.h>

namespace settingstest {

// A list's items as "id/image:text|" each; Rows(section) is what a page's list must show of the level that a
// section id names (the top level for 0), documents only or all entries.
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
inline std::wstring Rows(int section, bool documentsOnly)
{
    const CItem* found = g_TodayMenu.Root.FindItem(section);
    const CItemVector& level = found && found->IsSection() ? *found->Children : g_TodayMenu.Root;
    std::wstring rows;
    for (size_t i = 0; i < level.Items.size(); ++i)
        if (const CItem& item = *level.Items[i]; !documentsOnly || item.Type == ITEM_DOCUMENT)
            rows += std::to_wstring(item.ID) + L"/" + std::to_wstring(i) + L":" +
                    (item.Type == ITEM_SEPARATOR ? L"-----------------" : item.Caption) + L"|";
    return rows;
}
// The section box's entries as "id:text|" each; Sections(level) what it must list after "General": every section
// below the level, each before the sections inside it.
inline std::wstring BoxRows(HWND box)
{
    std::wstring rows;
    wchar_t text[300];
    for (int i = 0; SendMessageW(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text)) != CB_ERR; ++i)
        rows += std::to_wstring(SendMessageW(box, CB_GETITEMDATA, i, 0)) + L":" + text + L"|";
    return rows;
}
inline std::wstring Sections(const CItemVector& level)
{
    std::wstring rows;
    for (const CItem* item : level.Items)
        rows += item->IsSection() ? std::to_wstring(item->ID) + L":" + item->Caption + L"|" + Sections(*item->Children)
                                  : L"";
    return rows;
}

inline int Selected(HWND list) { return ListView_GetNextItem(list, -1, LVNI_SELECTED); }
inline void Press(HWND page, int id, int code = BN_CLICKED) { SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, code), 0); }
// A tap on a list item: it becomes the selected and focused item (state 3) and the selection mark.
inline void Tap(HWND list, int item) { ListView_SetItemState(list, item, 3, 3); ListView_SetSelectionMark(list, item); }

// A message box asked for: owner, text, caption, style.
using Prompt = std::tuple<HWND, std::wstring, std::wstring, UINT>;

// The real settings window, modeless, over the default tree, a section W holding C:\w and a document C:\x, with no
// store. Message boxes are recorded and answered OK; file pickers are recorded and give file ("" cancels, null fails).
class SettingsTest : public ::testing::Test {
protected:
    HWND window = nullptr, sections = nullptr, documents = nullptr;
    std::vector<Prompt> prompts;
    const wchar_t* file = nullptr;
    OPENFILENAMEW asked{};

    void SetUp() override
    {
        platform::SetMessageAnswer([this](HWND owner, const std::wstring& text, const std::wstring& caption,
                                          UINT flags) { return prompts.emplace_back(owner, text, caption, flags), IDOK; });
        platform::SetOpenFileAnswer([this](OPENFILENAMEW& record) {
            EXPECT_TRUE((asked = record, file)) << "unexpected file picker";
            return file && lstrcpynW(record.lpstrFile, file, record.nMaxFile) && *file;
        });
        Reopen();
    }
    void TearDown() override { DestroyWindow(window); platform::SetMessageAnswer({}); platform::SetOpenFileAnswer({}); }
    void Reopen()
    {
        DestroyWindow(window);
        menutest::Reset(g_TodayMenu);
        menutest::BuildDefaults(g_TodayMenu);
        menutest::Build(g_TodayMenu, L"S:W[D:C:\\w] D:C:\\x");
        storetest::ClearStore();
        window = CreateDialogIndirectParamW(g_hInstance, FindDialogTemplate(IDD_SETTINGS), nullptr, SettingsDlgProc, 0);
        ASSERT_TRUE(window && (sections = g_hSectionsPage) && (documents = g_hDocumentsPage));
    }

    HWND Page(int page) const { return page ? documents : sections; }
    HWND List(int page) const { return GetDlgItem(Page(page), page ? IDC_DOCUMENTS_LIST : IDC_SECTIONS_LIST); }
    HWND Tabs() const { return GetDlgItem(window, IDC_TABS); }
    void ChooseSection(int entry)
    {
        SendDlgItemMessageW(documents, IDC_SECTION_BOX, CB_SETCURSEL, entry, 0);
        Press(documents, IDC_SECTION_BOX, CBN_SELCHANGE);
    }
    void SwitchTab(int tab)
    {
        NMHDR header{Tabs(), IDC_TABS, static_cast<UINT>(TCN_SELCHANGE)};
        TabCtrl_SetCurSel(Tabs(), tab);
        SendMessageW(window, WM_NOTIFY, IDC_TABS, reinterpret_cast<LPARAM>(&header));
    }

    // Menu, store (none unless stored), the Sections list, the section box and the Documents list of the section
    // chosen there all show the tree as it is.
    void ExpectState(bool stored)
    {
        menutest::CheckMenu(g_TodayMenu.Root);
        EXPECT_EQ(storetest::StoredText(), stored ? menutest::Describe(g_TodayMenu.Root) : L"");
        EXPECT_EQ(Rows(List(0)), Rows(0, false));
        EXPECT_EQ(BoxRows(GetDlgItem(documents, IDC_SECTION_BOX)), L"0:General|" + Sections(g_TodayMenu.Root));
        EXPECT_EQ(Rows(List(1)), Rows(CurrentDocumentsSection(), true));
    }
};

}  // namespace settingstest
