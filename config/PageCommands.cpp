#include "config/PageCommands.h"

#include <commdlg.h>

#include <cwchar>

#include "config/ItemList.h"
#include "menu/MenuServices.h"
#include "menu/TodayMenu.h"
#include "platform/Media.h"
#include "platform/Prompts.h"
#include "platform/Shell.h"
#include "platform/Worker.h"

namespace {

// A path of the longest form the platform accepts, with room for its terminating NUL.
constexpr DWORD kPathBufferLength = 32768;

}  // namespace

std::optional<std::wstring> ChooseDocumentFile(HWND page, const wchar_t* title)
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
    record.lpstrTitle = title;
    record.Flags = OFN_PATHMUSTEXIST;
    if (!platform::ShowOpenFileDialog(record))
        return std::nullopt;
    file.resize(wcsnlen(file.c_str(), file.size()));
    return file;
}

void CheckDroppedPaths(CTodayMenu& menu, HWND window, const std::vector<std::wstring>& paths,
                       std::function<void(const DroppedPaths&)> done)
{
    const auto answer = [window, done](DroppedPaths checked) {
        platform::PostToWindow(window, [done, checked = std::move(checked)] { done(checked); });
    };
    CMenuServices* services = menu.Services();
    if (!services) {
        answer({paths, {}});
        return;
    }
    // A drop comes from one folder: its first path names the medium.
    platform::Job job{paths.empty() ? L"" : platform::media::MediumOf(paths.front()), nullptr, nullptr};
    job.work = [paths, answer] {
        DroppedPaths checked;
        for (const std::wstring& path : paths)
            (platform::media::Attributes(path) == INVALID_FILE_ATTRIBUTES ? checked.missing : checked.there).push_back(path);
        answer(std::move(checked));
    };
    job.unavailable = [paths, answer] { answer({{}, paths}); };
    services->Readers().Workers().Run(std::move(job));
}

bool AddDroppedPaths(CTodayMenu& menu, int sectionId, const std::vector<std::wstring>& paths)
{
    bool added = false;
    for (const std::wstring& path : paths)
        added = menu.AppendDocument(path, sectionId) != -1 || added;
    return added;
}

void ReportMissingPaths(HWND page, const std::vector<std::wstring>& missing)
{
    // A long list is cut: the message must fit on the screen.
    constexpr size_t kShownPaths = 10;
    std::wstring text = L"These items no longer exist and were not added:";
    for (size_t i = 0; i < missing.size() && i < kShownPaths; ++i)
        text += L"\n" + missing[i];
    if (missing.size() > kShownPaths)
        text += L"\n... and " + std::to_wstring(missing.size() - kShownPaths) + L" more";
    platform::ShowMessage(page, text, L"Add", MB_OK | MB_ICONEXCLAMATION);
}

bool RenameListEntry(HWND page, CTodayMenu& menu, int id, const std::wstring& text)
{
    const CItem* entry = menu.Root.FindItem(id);
    const std::wstring name = text.substr(0, kListTextCapacity - 1);
    // A label left as the list showed it (Enter without typing) is no change.
    if (!entry || !IsRenamable(*entry) || name == entry->Caption.substr(0, kListTextCapacity - 1))
        return false;
    if (entry->IsSection() && name.empty()) {
        platform::ShowMessage(page, L"A section needs a name.\nThe section keeps its old name.", L"Rename",
                              MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    menu.RenameEntry(id, name);
    return true;
}

bool RemoveListEntry(HWND page, CTodayMenu& menu, int id, const wchar_t* refusal)
{
    const CItem* entry = menu.Root.FindItem(id);
    if (!entry)
        return false;
    if (!IsRemovable(*entry)) {
        platform::ShowMessage(page, refusal, L"Error", MB_OK | MB_ICONHAND);
        return false;
    }
    menu.RemoveEntry(id);
    return true;
}

std::optional<bool> CanShowContents(const CTodayMenu& menu, int id)
{
    const CItem* entry = menu.Root.FindItem(id);
    if (!entry || entry->Type != ITEM_DOCUMENT || IsBuiltin(*entry))
        return false;
    if (entry->ShowContents)
        return true;
    CMenuServices* services = menu.Services();
    return services ? services->Icons().IsFolder(entry->Path) : false;
}

bool SetShowContents(CTodayMenu& menu, int id, bool on)
{
    return (!on || CanShowContents(menu, id).value_or(false)) && menu.ShowFolderContents(id, on);
}

bool IsRemovable(const CItem& entry)
{
    // The built-in entries can be moved, never removed; nor can a section that holds "Configuration" or
    // "Exit", or the way to the settings and out of the program would go with it.
    const bool holdsCommand =
        entry.IsSection() && (entry.Children->FindItem(ID_CONFIGURATION) || entry.Children->FindItem(ID_EXIT));
    return !IsBuiltin(entry) && !holdsCommand;
}

bool IsRenamable(const CItem& entry) { return !IsBuiltin(entry) && entry.Type != ITEM_SEPARATOR; }

bool HasProperties(const CItem& entry) { return entry.Type == ITEM_DOCUMENT && !IsBuiltin(entry); }
