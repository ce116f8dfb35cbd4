#pragma once
// Helpers of the settings window's tests: the global tree reset, the stored tree read back from the
// registry, the real settings window made modeless so that a test drives its pages with the messages
// of a user's taps, and an answerer for real modal windows.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "TestTree.h"
#include "app/Globals.h"
#include "config/DocumentsPage.h"
#include "config/PageOps.h"
#include "config/SettingsWindow.h"
#include "menu/TodayMenu.h"
#include "platform/Prompts.h"
#include "res/resource.h"

namespace settingstest {

const std::wstring kStoreKey = L"SOFTWARE\\Tabula";

inline void ResetTree()
{
    testtree::Reset(g_TodayMenu);
    testtree::BuildDefaults(g_TodayMenu);
}

inline void DeleteStore() { RegDeleteTreeW(HKEY_LOCAL_MACHINE, kStoreKey.c_str()); }

inline bool StoreExists()
{
    HKEY key = nullptr;
    const bool exists = RegOpenKeyExW(HKEY_LOCAL_MACHINE, kStoreKey.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS;
    RegCloseKey(key);
    return exists;
}

struct StoredEntry {
    DWORD pos = 0, type = 0, id = 0;
    std::wstring name;
};

// The entry keys of one stored level (a key below the store's root, or the root), ordered by "Pos".
inline std::vector<StoredEntry> StoredLevel(const std::wstring& below = L"")
{
    std::vector<StoredEntry> level;
    HKEY parent = nullptr;
    const std::wstring path = below.empty() ? kStoreKey : kStoreKey + L"\\" + below;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &parent) != ERROR_SUCCESS)
        return level;
    wchar_t key[256];
    for (DWORD i = 0, length = 256; RegEnumKeyExW(parent, i, key, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, length = 256) {
        StoredEntry entry;
        DWORD size = sizeof(DWORD);
        RegGetValueW(parent, key, L"Pos", RRF_RT_REG_DWORD, nullptr, &entry.pos, &size);
        RegGetValueW(parent, key, L"Type", RRF_RT_REG_DWORD, nullptr, &entry.type, &size);
        RegGetValueW(parent, key, L"ID", RRF_RT_REG_DWORD, nullptr, &entry.id, &size);
        wchar_t name[1024] = {};
        size = sizeof(name);
        RegGetValueW(parent, key, L"Name", RRF_RT_REG_SZ, nullptr, name, &size);
        entry.name = name;
        level.push_back(entry);
    }
    RegCloseKey(parent);
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

inline bool IsGrayedAt(HMENU menu, int pos) { return (GetMenuState(menu, pos, MF_BYPOSITION) & MF_GRAYED) != 0; }

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

// Answers a real modal window of this thread from a timer while its modal loop runs: step runs every
// 20 ms until it returns true. After the deadline the test fails and the active window is closed.
class ModalDriver {
public:
    explicit ModalDriver(std::function<bool()> step) : step_(std::move(step)), deadline_(GetTickCount() + 15000)
    {
        Current() = this;
        timer_ = SetTimer(nullptr, 0, 20, OnTimer);
    }
    ~ModalDriver()
    {
        KillTimer(nullptr, timer_);
        Current() = nullptr;
    }
    bool Done() const { return done_; }

private:
    static ModalDriver*& Current()
    {
        static ModalDriver* current = nullptr;
        return current;
    }
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD)
    {
        ModalDriver* self = Current();
        if (!self || self->done_ || self->busy_)
            return;
        self->busy_ = true;
        self->done_ = self->step_();
        if (!self->done_ && GetTickCount() > self->deadline_) {
            self->done_ = true;
            ADD_FAILURE() << "the expected window did not come";
            PostMessageW(GetActiveWindow(), WM_CLOSE, 0, 0);
        }
        self->busy_ = false;
    }
    std::function<bool()> step_;
    DWORD deadline_;
    UINT_PTR timer_ = 0;
    bool done_ = false, busy_ = false;
};

// A visible top-level window of this thread with this caption, or null.
inline HWND FindThreadWindow(const std::wstring& caption)
{
    std::pair<const std::wstring*, HWND> search{&caption, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<std::pair<const std::wstring*, HWND>*>(param);
            wchar_t text[256] = {};
            GetWindowTextW(window, text, 256);
            if (IsWindowVisible(window) && *s->first == text)
                s->second = window;
            return !s->second;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.second;
}

inline void Click(HWND dialog, int control) { SendMessageW(GetDlgItem(dialog, control), BM_CLICK, 0, 0); }

}  // namespace settingstest
