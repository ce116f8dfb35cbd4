#include "config/PageCommands.h"

#include <commdlg.h>

#include <cwchar>

#include "config/ItemList.h"
#include "config/SettingsContext.h"
#include "menu/FolderMenu.h"
#include "menu/TodayMenu.h"
#include "platform/Shell.h"
#include "platform/Prompts.h"
#include "store/RegHelper.h"

namespace {

// A path of the longest form the platform accepts, with room for its terminating NUL.
constexpr DWORD kPathBufferLength = 32768;

}  // namespace

std::optional<std::wstring> ChooseDocumentFile(HWND page)
{
    std::wstring file(kPathBufferLength, L'\0');
    std::wstring fileTitle(kPathBufferLength, L'\0');
    // One filter; the literal's own terminator is the final null character.
    static const wchar_t filter[] = L"All\0*.*\0";
    OPENFILENAMEW record{};
    record.lStructSize = sizeof(record);
    record.hwndOwner = page;
    record.hInstance = GetModuleHandleW(nullptr);
    record.lpstrFilter = filter;
    record.nFilterIndex = 0;
    record.lpstrFile = file.data();
    record.nMaxFile = kPathBufferLength;
    record.lpstrFileTitle = fileTitle.data();
    record.nMaxFileTitle = kPathBufferLength;
    record.lpstrTitle = L"Add Document";
    record.Flags = OFN_PATHMUSTEXIST;
    if (!platform::ShowOpenFileDialog(record))
        return std::nullopt;
    file.resize(wcsnlen(file.c_str(), file.size()));
    return file;
}

bool AddChosenDocument(HWND page, const SettingsContext& settings, int sectionId)
{
    const auto path = ChooseDocumentFile(page);
    if (!path)
        return false;
    settings.menu->AppendDocument(*path, sectionId);
    return true;
}

bool DeleteSelectedEntry(HWND page, HWND list, const wchar_t* refusal, const SettingsContext& settings)
{
    const auto selected = GetSelectedItem(list);
    if (!selected)
        return false;
    // The built-in entries can be moved, never removed; nor can a section that holds "Configuration" or
    // "Exit", or the way to the settings and out of the program would go with it.
    const CItem* entry = settings.menu->Root.FindItem(selected->id);
    const bool holdsCommand = entry && entry->IsSection() &&
                              (entry->Children->FindItem(ID_CONFIGURATION) || entry->Children->FindItem(ID_EXIT));
    if (entry && (IsBuiltin(*entry) || holdsCommand)) {
        platform::ShowMessage(page, refusal, L"Error", MB_OK | MB_ICONHAND);
        return false;
    }
    settings.menu->RemoveEntry(selected->id);
    return true;
}

bool CanShowContents(const SettingsContext& settings, int id)
{
    const CItem* entry = settings.menu->Root.FindItem(id);
    if (!entry || entry->Type != ITEM_DOCUMENT || IsBuiltin(*entry))
        return false;
    const DWORD attributes = GetFileAttributesW(platform::ResolveDevicePath(entry->Path).c_str());
    return entry->Folder || (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
}

bool SetShowContents(const SettingsContext& settings, int id, bool on)
{
    if (on && !CanShowContents(settings, id))
        return false;
    if (!settings.menu->ShowFolderContents(id, on))
        return false;
    settings.StoreTree();
    return true;
}

void SettingsContext::StoreTree() const { store->SaveTree(menu); }
