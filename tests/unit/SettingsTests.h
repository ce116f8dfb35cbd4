#pragma once
// Helpers of the settings window's tests: the global tree reset, the stored tree read back from the
// registry, the real settings window made modeless so that a test drives its pages with the messages
// of a user's taps, and an answerer for real modal windows.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "MainWindowTestsHelpers.h"
#include "StoreTesting.h"
#include "TestTree.h"
#include "app/Globals.h"
#include "app/Resources.h"
#include "config/DocumentsPage.h"
#include "config/PageOps.h"
#include "config/SettingsWindow.h"
#include "menu/TodayMenu.h"
#include "platform/Prompts.h"
#include "res/resource.h"

namespace settingstest {

inline void ResetTree()
{
    testtree::Reset(g_TodayMenu);
    testtree::BuildDefaults(g_TodayMenu);
}

inline void DeleteStore() { storetest::ClearStore(); }
inline bool StoreExists() { return storetest::KeyExists(storetest::RootPath()); }

struct StoredEntry {
    DWORD pos = 0, type = 0, id = 0;
    std::wstring name;
};

// The entry keys of one stored level (a key below the store's root, or the root), ordered by "Pos".
inline std::vector<StoredEntry> StoredLevel(const std::wstring& below = L"")
{
    std::vector<StoredEntry> level;
    const std::wstring path = below.empty() ? storetest::RootPath() : storetest::RootPath() + L"\\" + below;
    for (const std::wstring& key : storetest::SubkeyNames(path)) {
        const auto value = [&](const wchar_t* name) { return storetest::ReadValue(path + L"\\" + key, name); };
        level.push_back({value(L"Pos").Dword(), value(L"Type").Dword(), value(L"ID").Dword(),
                         value(L"Name").Text().c_str()});
    }
    std::sort(level.begin(), level.end(), [](const StoredEntry& a, const StoredEntry& b) { return a.pos < b.pos; });
    return level;
}

inline std::vector<int> StoredIds()
{
    std::vector<int> ids;
    for (const StoredEntry& entry : StoredLevel())
        ids.push_back(static_cast<int>(entry.id));
    return ids;
}

inline std::vector<std::wstring> ListTexts(HWND list)
{
    std::vector<std::wstring> texts;
    for (int i = 0; i < ListView_GetItemCount(list); ++i) {
        wchar_t text[512] = {};
        ListView_GetItemText(list, i, 0, text, 512);
        texts.push_back(text);
    }
    return texts;
}

// The item data of every item, or (image) their image indices.
inline std::vector<int> ListIds(HWND list, bool image = false)
{
    std::vector<int> ids;
    for (int i = 0; i < ListView_GetItemCount(list); ++i) {
        LVITEMW record{};
        record.mask = LVIF_PARAM | LVIF_IMAGE;
        record.iItem = i;
        SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&record));
        ids.push_back(image ? record.iImage : static_cast<int>(record.lParam));
    }
    return ids;
}

inline std::vector<int> Selected(HWND list)
{
    std::vector<int> selected;
    for (int i = 0; i < ListView_GetItemCount(list); ++i) {
        if (ListView_GetItemState(list, i, LVIS_SELECTED))
            selected.push_back(i);
    }
    return selected;
}

inline std::vector<std::wstring> BoxTexts(HWND box)
{
    std::vector<std::wstring> texts;
    for (int i = 0; i < SendMessageW(box, CB_GETCOUNT, 0, 0); ++i) {
        std::wstring text(SendMessageW(box, CB_GETLBTEXTLEN, i, 0) + 1, L'\0');
        SendMessageW(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        texts.push_back(text.c_str());
    }
    return texts;
}

// A tap on a button.
inline void Press(HWND page, int control)
{
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(control, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page, control)));
}

// A tap on a list item: it becomes the selected and focused item and the selection mark.
inline void Tap(HWND list, int index)
{
    ListView_SetItemState(list, index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetSelectionMark(list, index);
}

struct Prompt {
    HWND owner;
    std::wstring text, caption;
    UINT flags;
};

// The real settings window, modeless. Every test starts from the default tree and no store; message
// boxes are answered and recorded; the file picker fails the test unless the test answers it.
class SettingsWindowTest : public ::testing::Test {
protected:
    HWND window = nullptr, sections = nullptr, documents = nullptr;
    std::vector<Prompt> prompts;

    void SetUp() override
    {
        ResetTree();
        DeleteStore();
        platform::SetMessageAnswer([this](HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags) {
            prompts.push_back({owner, text, caption, flags});
            return IDOK;
        });
        platform::SetOpenFileAnswer([](OPENFILENAMEW&) {
            ADD_FAILURE() << "unexpected file picker";
            return false;
        });
        Open();
    }

    void TearDown() override
    {
        DestroyWindow(window);
        platform::SetMessageAnswer({});
        platform::SetOpenFileAnswer({});
        ResetTree();
        DeleteStore();
    }

    void Open()
    {
        DestroyWindow(window);
        window = CreateDialogIndirectParamW(g_hInstance, FindDialogTemplate(IDD_SETTINGS), nullptr, SettingsDlgProc, 0);
        sections = g_hSectionsPage;
        documents = g_hDocumentsPage;
        ASSERT_TRUE(window && sections && documents);
    }

    // The next file pickers answer with this path, or are cancelled for an empty one.
    void AnswerFilePicker(const std::wstring& path)
    {
        platform::SetOpenFileAnswer([path](OPENFILENAMEW& record) {
            path.copy(record.lpstrFile, record.nMaxFile - 1);
            record.lpstrFile[std::min<size_t>(path.size(), record.nMaxFile - 1)] = L'\0';
            return !path.empty();
        });
    }

    HWND Tabs() const { return GetDlgItem(window, IDC_TABS); }
    HWND SectionsList() const { return GetDlgItem(sections, IDC_SECTIONS_LIST); }
    HWND DocumentsList() const { return GetDlgItem(documents, IDC_DOCUMENTS_LIST); }
    HWND SectionBox() const { return GetDlgItem(documents, IDC_SECTION_BOX); }

    void ChooseSection(int boxIndex)
    {
        SendMessageW(SectionBox(), CB_SETCURSEL, boxIndex, 0);
        SendMessageW(documents, WM_COMMAND, MAKEWPARAM(IDC_SECTION_BOX, CBN_SELCHANGE), reinterpret_cast<LPARAM>(SectionBox()));
    }

    void SwitchTab(int tab)
    {
        TabCtrl_SetCurSel(Tabs(), tab);
        NMHDR header{Tabs(), IDC_TABS, static_cast<UINT>(TCN_SELCHANGE)};
        SendMessageW(window, WM_NOTIFY, IDC_TABS, reinterpret_cast<LPARAM>(&header));
    }
};

// A visible dialog or message box of this thread with this caption, or null.
inline HWND FindThreadWindow(const std::wstring& caption) { return apptest::FindThreadWindow(L"#32770", caption.c_str()); }

inline void Click(HWND dialog, int control) { SendMessageW(GetDlgItem(dialog, control), BM_CLICK, 0, 0); }

}  // namespace settingstest
