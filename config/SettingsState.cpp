#include "config/SettingsState.h"

#include "config/ItemList.h"
#include "config/SettingsContext.h"
#include "menu/MenuServices.h"
#include "menu/TodayMenu.h"
#include "res/resource.h"

namespace {

// The property by which the settings window holds its state, and by which a second opening finds the open window.
const wchar_t kStateProperty[] = L"Tabula.SettingsState";

}  // namespace

int CSettingsState::marks[kOptionsTab] = {};

CSettingsState::CSettingsState(const SettingsContext& context) : settings(context)
{
    if (CMenuServices* services = settings.menu->Services())
        iconListener_ = services->Icons().Listen([this](const std::set<std::wstring>& paths) {
            for (const SettingsTab tab : {kSectionsTab, kDocumentsTab})
                if (pages[tab])
                    RefreshItemImages(List(tab), *settings.menu, Level(tab), rows[tab], paths);
        });
}

CSettingsState::~CSettingsState()
{
    if (CMenuServices* services = settings.menu->Services())
        services->Icons().Forget(iconListener_);
}

void CSettingsState::Attach(HWND window, std::unique_ptr<CSettingsState> state)
{
    if (SetPropW(window, kStateProperty, state.get()))
        state.release();
}

std::unique_ptr<CSettingsState> CSettingsState::Detach(HWND window)
{
    return std::unique_ptr<CSettingsState>(static_cast<CSettingsState*>(RemovePropW(window, kStateProperty)));
}

CSettingsState& CSettingsState::Of(HWND window)
{
    return *static_cast<CSettingsState*>(GetPropW(GetAncestor(window, GA_ROOT), kStateProperty));
}

CSettingsState* CSettingsState::Find(HWND window)
{
    return static_cast<CSettingsState*>(GetPropW(GetAncestor(window, GA_ROOT), kStateProperty));
}

HWND CSettingsState::OpenWindow()
{
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM found) {
            if (!GetPropW(window, kStateProperty))
                return TRUE;
            *reinterpret_cast<HWND*>(found) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND CSettingsState::List(SettingsTab tab) const
{
    return GetDlgItem(pages[tab], tab == kDocumentsTab ? IDC_DOCUMENTS_LIST : IDC_SECTIONS_LIST);
}

void CSettingsState::FillList(SettingsTab tab)
{
    // The Documents page lists only the documents of its level.
    FillItemList(List(tab), *settings.menu, Level(tab), tab == kDocumentsTab, &rows[tab]);
}

void CSettingsState::SyncList(SettingsTab tab, const std::set<int>& touched)
{
    SyncItemList(List(tab), *settings.menu, Level(tab), tab == kDocumentsTab, rows[tab], touched);
}
