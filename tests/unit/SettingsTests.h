#pragma once
// Helpers of the settings window's tests: the global tree reset to a known state, the stored tree read
// back from the registry, the real settings window made modeless so that a test can drive its pages
// with the messages that a user's taps produce, and an answerer for real modal dialogs.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "TestTree.h"
#include "app/Globals.h"
#include "config/PageOps.h"
#include "config/SettingsWindow.h"
#include "menu/TodayMenu.h"
#include "platform/Prompts.h"
#include "res/resource.h"

namespace settingstest {

const wchar_t kStoreKey[] = L"SOFTWARE\\Tabula";

// The global tree as the first start makes it.
inline void ResetTree()
{
    testtree::Reset(g_TodayMenu);
    testtree::BuildDefaults(g_TodayMenu);
}

inline void DeleteStore() { RegDeleteTreeW(HKEY_LOCAL_MACHINE, kStoreKey); }

inline bool StoreExists()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kStoreKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// One stored entry key, as read back from the registry.
struct StoredKey {
    std::wstring key;
    DWORD type = 0;
    DWORD id = 0;
    DWORD pos = 0;
    bool hasName = false;
    std::wstring name;
};

inline DWORD ReadDword(HKEY key, const wchar_t* name)
{
    DWORD value = 0, size = sizeof(value), type = 0;
    RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    return type == REG_DWORD ? value : 0xFFFFFFFF;
}

inline bool ReadName(HKEY key, std::wstring& name)
{
    DWORD size = 0, type = 0;
    if (RegQueryValueExW(key, L"Name", nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ)
        return false;
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    RegQueryValueExW(key, L"Name", nullptr, nullptr, reinterpret_cast<BYTE*>(text.data()), &size);
    name = text.c_str();
    return true;
}

// The entry keys of one stored level (a path below HKLM), ordered by "Pos".
inline std::vector<StoredKey> ReadStoredLevel(const std::wstring& path = kStoreKey)
{
    std::vector<StoredKey> level;
    HKEY parent = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &parent) != ERROR_SUCCESS)
        return level;
    wchar_t name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = 256;
        if (RegEnumKeyExW(parent, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        HKEY key = nullptr;
        if (RegOpenKeyExW(parent, name, 0, KEY_READ, &key) != ERROR_SUCCESS)
            continue;
        StoredKey entry;
        entry.key = name;
        entry.type = ReadDword(key, L"Type");
        entry.id = ReadDword(key, L"ID");
        entry.pos = ReadDword(key, L"Pos");
        entry.hasName = ReadName(key, entry.name);
        RegCloseKey(key);
        level.push_back(entry);
    }
    RegCloseKey(parent);
    std::sort(level.begin(), level.end(), [](const StoredKey& a, const StoredKey& b) { return a.pos < b.pos; });
    return level;
}

inline std::vector<int> StoredIds(const std::wstring& path = kStoreKey)
{
    std::vector<int> ids;
    for (const StoredKey& entry : ReadStoredLevel(path))
        ids.push_back(static_cast<int>(entry.id));
    return ids;
}

inline std::vector<std::wstring> ListTexts(HWND list)
{
    std::vector<std::wstring> texts;
    const int count = ListView_GetItemCount(list);
    for (int i = 0; i < count; ++i) {
        wchar_t text[512] = {};
        ListView_GetItemText(list, i, 0, text, 512);
        texts.push_back(text);
    }
    return texts;
}

inline LPARAM ItemData(HWND list, int index)
{
    LVITEMW record{};
    record.mask = LVIF_PARAM;
    record.iItem = index;
    SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&record));
    return record.lParam;
}

inline std::vector<int> ListIds(HWND list)
{
    std::vector<int> ids;
    const int count = ListView_GetItemCount(list);
    for (int i = 0; i < count; ++i)
        ids.push_back(static_cast<int>(ItemData(list, i)));
    return ids;
}

// The indices of the selected items.
inline std::vector<int> SelectedIndices(HWND list)
{
    std::vector<int> selected;
    const int count = ListView_GetItemCount(list);
    for (int i = 0; i < count; ++i) {
        if (ListView_GetItemState(list, i, LVIS_SELECTED))
            selected.push_back(i);
    }
    return selected;
}

inline std::vector<std::wstring> BoxTexts(HWND box)
{
    std::vector<std::wstring> texts;
    const int count = static_cast<int>(SendMessageW(box, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
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
    LVITEMW record{};
    record.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    record.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&record));
    SendMessageW(list, LVM_SETSELECTIONMARK, 0, index);
}

// A prompt that the message-box hook answered.
struct Prompt {
    HWND owner = nullptr;
    std::wstring text;
    std::wstring caption;
    UINT flags = 0;
};

// The real settings window, made modeless so that the test can drive it. Every test starts from the
// default tree and an absent store; message boxes are answered and recorded, and the file picker
// fails the test unless the test answers it.
class SettingsWindowTest : public ::testing::Test {
protected:
    HWND window = nullptr;
    HWND sections = nullptr;
    HWND documents = nullptr;
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
        Close();
        platform::SetMessageAnswer({});
        platform::SetOpenFileAnswer({});
        ResetTree();
        DeleteStore();
    }

    void Open()
    {
        window = CreateDialogIndirectParamW(g_hInstance, FindDialogTemplate(IDD_SETTINGS), nullptr, SettingsDlgProc, 0);
        ASSERT_NE(window, nullptr);
        sections = g_hSectionsPage;
        documents = g_hDocumentsPage;
        ASSERT_NE(sections, nullptr);
        ASSERT_NE(documents, nullptr);
    }

    void Close()
    {
        if (window)
            DestroyWindow(window);
        window = sections = documents = nullptr;
    }

    // The next file picker answers with this path (or is cancelled when the path is empty).
    void AnswerFilePicker(const std::wstring& path)
    {
        platform::SetOpenFileAnswer([path](OPENFILENAMEW& record) {
            if (path.empty() || path.size() >= record.nMaxFile)
                return false;
            std::copy(path.begin(), path.end(), record.lpstrFile);
            record.lpstrFile[path.size()] = L'\0';
            return true;
        });
    }

    HWND Tabs() const { return GetDlgItem(window, IDC_TABS); }
    HWND SectionsList() const { return GetDlgItem(sections, IDC_SECTIONS_LIST); }
    HWND DocumentsList() const { return GetDlgItem(documents, IDC_DOCUMENTS_LIST); }
    HWND SectionBox() const { return GetDlgItem(documents, IDC_SECTION_BOX); }

    // The user picks an entry of the Documents page's section box.
    void ChooseSection(int boxIndex)
    {
        SendMessageW(SectionBox(), CB_SETCURSEL, boxIndex, 0);
        SendMessageW(documents, WM_COMMAND, MAKEWPARAM(IDC_SECTION_BOX, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(SectionBox()));
    }

    // The user picks a tab.
    void SwitchTab(int tab)
    {
        TabCtrl_SetCurSel(Tabs(), tab);
        NMHDR header{Tabs(), IDC_TABS, static_cast<UINT>(TCN_SELCHANGE)};
        SendMessageW(window, WM_NOTIFY, IDC_TABS, reinterpret_cast<LPARAM>(&header));
    }
};

// Answers a real modal window of this thread from a timer while its modal loop runs: step is called
// until it returns true. A window that never comes fails the test after the deadline.
class ModalDriver {
public:
    using Step = std::function<bool()>;

    explicit ModalDriver(Step step, DWORD deadlineMs = 15000)
    {
        Current() = this;
        step_ = std::move(step);
        deadline_ = GetTickCount() + deadlineMs;
        timer_ = SetTimer(nullptr, 0, 20, OnTimer);
    }
    ~ModalDriver()
    {
        KillTimer(nullptr, timer_);
        Current() = nullptr;
    }
    ModalDriver(const ModalDriver&) = delete;
    ModalDriver& operator=(const ModalDriver&) = delete;

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
        if (self->step_()) {
            self->done_ = true;
        } else if (GetTickCount() > self->deadline_) {
            self->done_ = true;
            ADD_FAILURE() << "the expected window did not come";
            // End whatever modal window this thread shows, so that the test goes on.
            HWND active = GetActiveWindow();
            if (active)
                PostMessageW(active, WM_CLOSE, 0, 0);
        }
        self->busy_ = false;
    }

    Step step_;
    DWORD deadline_ = 0;
    UINT_PTR timer_ = 0;
    bool done_ = false;
    bool busy_ = false;
};

// A visible top-level window of this thread with the given caption, or null.
inline HWND FindThreadWindow(const std::wstring& caption)
{
    struct Search {
        const std::wstring* caption;
        HWND found;
    } search{&caption, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            wchar_t text[256] = {};
            GetWindowTextW(window, text, 256);
            if (IsWindowVisible(window) && *s->caption == text) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

inline void Click(HWND dialog, int control) { SendMessageW(GetDlgItem(dialog, control), BM_CLICK, 0, 0); }

}  // namespace settingstest
