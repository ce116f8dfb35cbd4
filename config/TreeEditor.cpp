#include "config/TreeEditor.h"

#include <commctrl.h>

#include <utility>

#include "config/AddSectionDialog.h"
#include "config/ItemList.h"
#include "config/OptionsPage.h"
#include "config/Page.h"
#include "config/PageCommands.h"
#include "config/PropertiesDialog.h"
#include "config/SettingsContext.h"
#include "config/SettingsState.h"
#include "menu/MenuServices.h"
#include "menu/TodayMenu.h"
#include "platform/Prompts.h"
#include "res/resource.h"
#include "store/Options.h"
#include "store/RegHelper.h"
#include "store/StoreWriter.h"
#include "store/TreeFile.h"

namespace {

CSettingsState* OpenState()
{
    const HWND window = CSettingsState::OpenWindow();
    return window ? &CSettingsState::Of(window) : nullptr;
}

}  // namespace

CTreeEditor::CTreeEditor(CSettingsState& state) : settings_(state.settings), state_(&state) {}

CTreeEditor::CTreeEditor(const SettingsContext& settings) : settings_(settings), state_(OpenState()) {}

void CTreeEditor::Move(SettingsTab page, int from, int to)
{
    HWND list = state_->List(page);
    const int count = ListView_GetItemCount(list);
    if (from < 0 || from >= count || to < 0 || to >= count || from == to)
        return;
    CTodayMenu& menu = *settings_.menu;
    // The ids of the rows, as the list shows them (its rows are in line with the tree after every change).
    std::vector<int> ids = state_->rows[page].ids;
    if (static_cast<int>(ids.size()) != count)
        return;
    const int step = to > from ? 1 : -1;
    for (int at = from; at != to; at += step) {
        // A list of documents only swaps a document with its neighbouring document; a list of a whole level moves the
        // entry itself, its list index being its place.
        if (page == kDocumentsTab)
            menu.SwapDocuments(ids[at], ids[at + step]);
        else
            menu.MoveEntry(ids[at], at + step);
        std::swap(ids[at], ids[at + step]);
    }
    if (Commit(true, {page, to}))
        SetFocus(list);
}

void CTreeEditor::AddSeparator()
{
    // The Documents page lists no separators: it stays on its level.
    Commit(settings_.menu->AppendSeparator(0) != -1, {kSectionsTab, -1, false});
}

void CTreeEditor::AddSection()
{
    // A section always joins the top level, which a replaced tree has too.
    const auto title = AskSectionName(state_->Page(kSectionsTab), settings_.instance);
    Commit(title && settings_.menu->AppendSection(*title, 0) != -1, {kSectionsTab});
}

EntryRef CTreeEditor::LevelRef(SettingsTab page) const
{
    const CItem* section = state_->Level(page) ? settings_.menu->Root.FindItem(state_->Level(page)) : nullptr;
    return section ? RefOf(*section) : EntryRef{};
}

std::optional<int> CTreeEditor::FindLevel(const EntryRef& level, SettingsTab page, const wchar_t* caption) const
{
    if (level.id == 0)
        return 0;
    if (const CItem* section = settings_.menu->Find(level); section && section->IsSection())
        return section->ID;
    TellGone(page, L"The section was removed or replaced while you were choosing. Nothing was added.", caption);
    return std::nullopt;
}

void CTreeEditor::TellGone(SettingsTab page, const wchar_t* text, const wchar_t* caption) const
{
    platform::ShowMessage(state_->Page(page), text, caption, MB_OK | MB_ICONEXCLAMATION);
}

void CTreeEditor::AddPicked(SettingsTab page, const wchar_t* caption,
                            const std::function<std::optional<std::wstring>(HWND page)>& pick)
{
    const EntryRef level = LevelRef(page);
    const std::optional<std::wstring> path = pick(state_->Page(page));
    if (!path)
        return;
    const std::optional<int> section = FindLevel(level, page, caption);
    Commit(section && settings_.menu->AppendDocument(*path, *section) != -1, {page});
}

void CTreeEditor::AddDocument(SettingsTab page)
{
    AddPicked(page, L"Add Document", [](HWND owner) { return ChooseDocumentFile(owner); });
}

void CTreeEditor::AddFolder(SettingsTab page)
{
    AddPicked(page, L"Add Folder", [](HWND owner) { return platform::ChooseFolder(owner, L"Add Folder"); });
}

void CTreeEditor::AddDropped(SettingsTab page, const std::vector<std::wstring>& paths)
{
    const HWND window = GetAncestor(state_->Page(page), GA_ROOT);
    // The level is found again when the disk has answered: the tree may have changed meanwhile.
    const EntryRef level = LevelRef(page);
    CheckDroppedPaths(*settings_.menu, window, paths, [window, page, level](const DroppedPaths& checked) {
        if (CSettingsState* state = CSettingsState::Find(window))
            CTreeEditor(*state).AddChecked(page, level, checked);
    });
}

void CTreeEditor::AddChecked(SettingsTab page, const EntryRef& level, const DroppedPaths& checked)
{
    // A section that has gone meanwhile leaves the drop to the top level.
    const CItem* section = level.id ? settings_.menu->Find(level) : nullptr;
    Commit(AddDroppedPaths(*settings_.menu, section && section->IsSection() ? section->ID : 0, checked.there), {page});
    if (!checked.missing.empty())
        ReportMissingPaths(state_->Page(page), checked.missing);
}

void CTreeEditor::Rename(SettingsTab page, int index, const std::wstring& typed)
{
    const int id = ListItemId(state_->List(page), index);
    Commit(RenameListEntry(state_->Page(page), *settings_.menu, id, typed), {page, index, true, id});
}

void CTreeEditor::DeleteSelected(SettingsTab page, const wchar_t* refusal)
{
    const auto selected = GetSelectedItem(state_->List(page));
    Commit(selected && RemoveListEntry(state_->Page(page), *settings_.menu, selected->id, refusal), {page});
}

void CTreeEditor::ToggleShowContents(SettingsTab page)
{
    const auto selected = GetSelectedItem(state_->List(page));
    CTodayMenu& menu = *settings_.menu;
    const CItem* entry = selected ? menu.Root.FindItem(selected->id) : nullptr;
    // The lists show no sign of it: the Documents page stays on its level.
    Commit(entry && SetShowContents(menu, entry->ID, !entry->ShowContents),
           {page, selected ? selected->index : -1, false, entry ? entry->ID : 0});
}

void CTreeEditor::EditProperties(SettingsTab page)
{
    const auto selected = GetSelectedItem(state_->List(page));
    CTodayMenu& menu = *settings_.menu;
    const CItem* entry = selected ? menu.Root.FindItem(selected->id) : nullptr;
    if (!entry || !HasProperties(*entry))
        return;
    const EntryRef document = RefOf(*entry);
    CMenuServices* services = menu.Services();
    const auto edit = AskDocumentProperties(state_->Page(page), settings_.instance, DocumentEditOf(*entry),
                                            services ? &services->Icons() : nullptr);
    if (!edit)
        return;
    if (!menu.Find(document)) {
        TellGone(page, L"The document was removed or replaced while its properties were open. Nothing was changed.",
                 L"Properties");
        return;
    }
    Commit(ApplyDocumentEdit(menu, document.id, *edit), {page, selected->index, true, document.id});
}

bool CTreeEditor::Replace(const store::TreeFile& file, const std::function<bool()>& ready,
                          const std::function<void()>& stored)
{
    store::PlainTree tree = file.tree;
    store::NumberEntries(tree);
    if (!settings_.writer->Write(tree, ready, stored))
        return false;
    // An open menu shows the tree that is about to go.
    EndMenu();
    store::BuildMenu(*settings_.menu, tree);
    ChangeHotkey(file.hotkey, HotkeyRole::Menu);
    if (state_)
        Show({kSectionsTab, -1, true, 0, true});
    return true;
}

bool CTreeEditor::ChangeHotkey(store::Hotkey hotkey, HotkeyRole role)
{
    // Claimed before it is stored: whoever sees the stored key can already press it.
    const bool claimed = ClaimHotkey(hotkey, role);
    role == HotkeyRole::Menu ? store::SaveHotkey(hotkey) : store::SaveFindHotkey(hotkey);
    return claimed;
}

bool CTreeEditor::ClaimHotkey(store::Hotkey hotkey, HotkeyRole role)
{
    const auto& change = role == HotkeyRole::Menu ? settings_.changeHotkey : settings_.changeFindHotkey;
    const bool claimed = !change || change(hotkey);
    if (state_ && state_->Page(kOptionsTab))
        ShowHotkey(state_->Page(kOptionsTab), role, hotkey, claimed);
    return claimed;
}

bool CTreeEditor::Commit(bool changed, const Shown& shown)
{
    if (!changed)
        return false;
    settings_.writer->Changed([menu = settings_.menu] { return store::SnapshotOf(*menu); });
    Show(shown);
    return true;
}

void CTreeEditor::Show(const Shown& shown)
{
    // Only the rows that changed are touched: the GUI thread's cost follows the change, not the tree.
    const std::set<int> touched = shown.touched ? std::set<int>{shown.touched} : std::set<int>{};
    if (shown.page != kDocumentsTab && shown.listed)
        RefreshDocumentsPage(*state_, touched, shown.anew);
    else
        state_->SyncList(kDocumentsTab, touched);
    RefreshSectionsPage(*state_, touched, shown.anew);
    if (shown.selected >= 0) {
        HWND list = state_->List(shown.page);
        SelectListItem(list, shown.selected, 0xFF);
        ListView_EnsureVisible(list, shown.selected, FALSE);
    }
}
