#include "config/MenuFiles.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "config/PageLayout.h"
#include "config/RestoreDialog.h"
#include "config/SettingsContext.h"
#include "config/SettingsState.h"
#include "config/TreeEditor.h"
#include "platform/Files.h"
#include "platform/Prompts.h"
#include "platform/Shell.h"
#include "res/resource.h"
#include "store/FileHome.h"
#include "store/Options.h"
#include "store/RegHelper.h"
#include "store/StoreWriter.h"
#include "store/TreeFile.h"

namespace {

const wchar_t kFilter[] = L"Menu files (*.json)\0*.json\0All files (*.*)\0*.*\0";

// The record of a file dialog over the settings window, naming into path.
OPENFILENAMEW FileDialog(HWND page, std::wstring& path, const wchar_t* title, DWORD flags)
{
    OPENFILENAMEW record{};
    record.lStructSize = sizeof(record);
    record.hwndOwner = GetAncestor(page, GA_ROOT);
    record.lpstrFilter = kFilter;
    record.lpstrFile = path.data();
    record.nMaxFile = static_cast<DWORD>(path.size());
    record.lpstrTitle = title;
    record.lpstrDefExt = L"json";
    record.Flags = flags | OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    return record;
}

std::wstring Chosen(const std::wstring& path) { return path.substr(0, path.find(L'\0')); }

void Tell(HWND page, const std::wstring& text, const wchar_t* caption)
{
    platform::ShowMessage(GetAncestor(page, GA_ROOT), text, caption, MB_OK | MB_ICONERROR);
}

void ExportMenu(HWND page)
{
    std::wstring path = L"Tabula menu.json";
    path.resize(32768);
    OPENFILENAMEW record = FileDialog(page, path, L"Export Menu", OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST);
    if (!platform::ShowSaveFileDialog(record))
        return;
    const bool profile = IsDlgButtonChecked(page, IDC_EXPORT_PROFILE) == BST_CHECKED;
    const SettingsContext& settings = CSettingsState::Of(page).settings;
    const std::string text =
        store::FormatTreeFile(store::TreeFileOf(store::SnapshotOf(*settings.menu), store::LoadHotkey(), profile));
    if (!platform::WriteWholeFile(Chosen(path), text))
        Tell(page, L"Cannot write " + Chosen(path) + L".", L"Export");
}

// Reads a menu file whole and, when it is one, puts its tree in place of the menu's; otherwise says why not.
void ImportFrom(HWND page, const std::wstring& path, const wchar_t* caption)
{
    std::wstring error;
    const std::optional<store::TreeFile> file = store::ReadTreeFile(path, &error);
    if (!file)
        Tell(page, error, caption);
    else if (!CTreeEditor(CSettingsState::Of(page)).Replace(*file))
        Tell(page, L"The menu could not be stored; it stays as it was.", caption);
}

void ImportMenu(HWND page)
{
    std::wstring path(32768, L'\0');
    OPENFILENAMEW record = FileDialog(page, path, L"Import Menu", OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST);
    if (platform::ShowOpenFileDialog(record))
        ImportFrom(page, Chosen(path), L"Import");
}

void RestoreMenu(HWND page)
{
    const SettingsContext& settings = CSettingsState::Of(page).settings;
    // The versions a followed file's conflicts kept beside it come first, then the backups.
    const std::shared_ptr<store::CFileHome> home = settings.store ? settings.store->FileHome() : nullptr;
    std::vector<store::Backup> backups = home ? home->Conflicts() : std::vector<store::Backup>{};
    const std::vector<store::Backup> taken = settings.writer->Backups().List();
    backups.insert(backups.end(), taken.begin(), taken.end());
    if (backups.empty()) {
        platform::ShowMessage(GetAncestor(page, GA_ROOT), L"There is no backup of the menu yet.", L"Restore",
                              MB_OK | MB_ICONINFORMATION);
        return;
    }
    // Restoring is an import, and so itself backed up first.
    const std::optional<std::wstring> chosen = RunRestoreDialog(GetAncestor(page, GA_ROOT), settings.instance, backups);
    if (chosen)
        ImportFrom(page, *chosen, L"Restore");
}

// Says where the menu lives; the buttons that move it are enabled where it can move and would.
void ShowWhere(HWND page)
{
    const SettingsContext& settings = CSettingsState::Of(page).settings;
    const std::shared_ptr<store::CFileHome> home = settings.store ? settings.store->FileHome() : nullptr;
    const std::wstring where = settings.store ? settings.store->Where() : std::wstring();
    SetDlgItemTextW(page, IDC_MENU_WHERE, (L"The menu lives in " + where).c_str());
    EnableWindow(GetDlgItem(page, IDC_MENU_FILE), settings.moveHome != nullptr);
    EnableWindow(GetDlgItem(page, IDC_MENU_HERE), settings.moveHome && home);
}

void MoveHome(HWND page, const std::wstring& path, const wchar_t* caption)
{
    std::wstring error;
    if (!CSettingsState::Of(page).settings.moveHome(path, &error))
        Tell(page, error, caption);
    ShowWhere(page);
}

void KeepMenuInFile(HWND page)
{
    std::wstring path = store::kPortableFileName;
    path.resize(32768);
    OPENFILENAMEW record = FileDialog(page, path, L"Keep the Menu in a File", OFN_PATHMUSTEXIST);
    if (platform::ShowSaveFileDialog(record))
        MoveHome(page, Chosen(path), L"Keep the Menu in a File");
}

}  // namespace

void InitMenuFileControls(HWND page)
{
    CheckDlgButton(page, IDC_EXPORT_PROFILE, BST_CHECKED);
    ShowWhere(page);
}

int LayoutMenuFileControls(HWND page, int left, int top, int width)
{
    const int edge = platform::ScaledFor(page, 5);
    // The buttons side by side (on as many rows as the width takes); Export's check box and the label that says where
    // the menu lives as wide as the column.
    int x = left, height = 0;
    for (const int id : {IDC_EXPORT, IDC_IMPORT, IDC_RESTORE, IDC_EXPORT_PROFILE, IDC_MENU_WHERE, IDC_MENU_FILE, IDC_MENU_HERE}) {
        const HWND control = GetDlgItem(page, id);
        const PageRect place = GetChildRect(page, control);
        const bool wide = id == IDC_EXPORT_PROFILE || id == IDC_MENU_WHERE;
        const int controlWidth = wide ? width : place.width;
        if (x > left && x + controlWidth > left + width)
            top += height + edge, x = left, height = 0;
        MoveWindow(control, x, top, controlWidth, place.height, TRUE);
        x += controlWidth + edge;
        height = std::max(height, place.height);
    }
    return top + height + edge;
}

bool OnMenuFileCommand(HWND page, WPARAM wParam)
{
    if (HIWORD(wParam) != BN_CLICKED)
        return false;
    switch (LOWORD(wParam)) {
    case IDC_EXPORT: ExportMenu(page); return true;
    case IDC_IMPORT: ImportMenu(page); return true;
    case IDC_RESTORE: RestoreMenu(page); return true;
    case IDC_MENU_FILE: KeepMenuInFile(page); return true;
    case IDC_MENU_HERE: MoveHome(page, L"", L"Keep the Menu Here"); return true;
    default: return false;
    }
}
