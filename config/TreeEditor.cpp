#include "config/TreeEditor.h"

#include <commctrl.h>

#include <utility>

#include "config/AddSectionDialog.h"
#include "config/ItemList.h"
#include "config/PageCommands.h"
#include "config/PropertiesDialog.h"
#include "config/SectionBox.h"
#include "config/SettingsContext.h"
#include "config/SettingsState.h"
#include "menu/MenuServices.h"
#include "menu/TodayMenu.h"
#include "res/resource.h"
#include "store/RegHelper.h"

void CTreeEditor::Move(SettingsTab page, int from, int to)
{
    HWND list = state_.List(page);
    const int count = ListView_GetItemCount(list);
    if (from < 0 || from >= count || to < 0 || to >= count || from == to)
        return;
    CTodayMenu& menu = *state_.settings.menu;
    std::vector<int> ids(count);
    for (size_t i = 0; i < ids.size(); ++i)
        ids[i] = ListItemId(list, static_cast<int>(i));
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
    Commit(state_.settings.menu->AppendSeparator(0) != -1, {kSectionsTab, -1, false});
}

void CTreeEditor::AddSection()
{
    const auto title = AskSectionName(state_.Page(kSectionsTab), state_.settings.instance);
    Commit(title && state_.settings.menu->AppendSection(*title, 0) != -1, {kSectionsTab});
}

void CTreeEditor::AddDocument(SettingsTab page)
{
    Commit(AddChosenDocument(state_.Page(page), *state_.settings.menu, state_.Level(page)), {page});
}

void CTreeEditor::AddFolder(SettingsTab page)
{
    Commit(AddChosenFolder(state_.Page(page), *state_.settings.menu, state_.Level(page)), {page});
}

void CTreeEditor::AddDropped(SettingsTab page, const std::vector<std::wstring>& paths)
{
    const HWND window = GetAncestor(state_.Page(page), GA_ROOT);
    const int level = state_.Level(page);
    CheckDroppedPaths(*state_.settings.menu, window, paths, [window, page, level](const DroppedPaths& checked) {
        CTreeEditor(CSettingsState::Of(window)).AddChecked(page, level, checked);
    });
}

void CTreeEditor::AddChecked(SettingsTab page, int level, const DroppedPaths& checked)
{
    CTodayMenu& menu = *state_.settings.menu;
    Commit(AddDroppedPaths(menu, LevelOf(menu, level) ? level : 0, checked.there), {page});
    if (!checked.missing.empty())
        ReportMissingPaths(state_.Page(page), checked.missing);
}

void CTreeEditor::Rename(SettingsTab page, int index, const std::wstring& typed)
{
    const int id = ListItemId(state_.List(page), index);
    Commit(RenameListEntry(state_.Page(page), *state_.settings.menu, id, typed), {page, index});
}

void CTreeEditor::DeleteSelected(SettingsTab page, const wchar_t* refusal)
{
    const auto selected = GetSelectedItem(state_.List(page));
    Commit(selected && RemoveListEntry(state_.Page(page), *state_.settings.menu, selected->id, refusal), {page});
}

void CTreeEditor::ToggleShowContents(SettingsTab page)
{
    const auto selected = GetSelectedItem(state_.List(page));
    CTodayMenu& menu = *state_.settings.menu;
    const CItem* entry = selected ? menu.Root.FindItem(selected->id) : nullptr;
    // The lists show no sign of it: the Documents page stays on its level.
    Commit(entry && SetShowContents(menu, entry->ID, !entry->ShowContents),
           {page, selected ? selected->index : -1, false});
}

void CTreeEditor::EditProperties(SettingsTab page)
{
    const auto selected = GetSelectedItem(state_.List(page));
    CTodayMenu& menu = *state_.settings.menu;
    const CItem* entry = selected ? menu.Root.FindItem(selected->id) : nullptr;
    if (!entry || !HasProperties(*entry))
        return;
    // Only the id is used after the dialog: the tree may change under it (a menu file handed to the program).
    CMenuServices* services = menu.Services();
    const auto edit = AskDocumentProperties(state_.Page(page), state_.settings.instance, DocumentEditOf(*entry),
                                            services ? &services->Icons() : nullptr);
    Commit(edit && ApplyDocumentEdit(menu, selected->id, *edit), {page, selected->index});
}

void CTreeEditor::ShowReplacedTree() { Show({kSectionsTab}); }

bool CTreeEditor::Commit(bool changed, const Shown& shown)
{
    if (!changed)
        return false;
    state_.settings.store->SaveTree(state_.settings.menu);
    Show(shown);
    return true;
}

void CTreeEditor::Show(const Shown& shown)
{
    const SettingsContext& settings = state_.settings;
    if (shown.page != kDocumentsTab && shown.listed) {
        FillSectionBox(GetDlgItem(state_.Page(kDocumentsTab), IDC_SECTION_BOX), *settings.menu);
        state_.section = 0;
    }
    state_.FillList(kSectionsTab);
    state_.FillList(kDocumentsTab);
    if (shown.selected >= 0) {
        HWND list = state_.List(shown.page);
        SelectListItem(list, shown.selected, 0xFF);
        ListView_EnsureVisible(list, shown.selected, FALSE);
    }
}
