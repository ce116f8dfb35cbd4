#pragma once
// The one way a change reaches the menu tree, whatever asks for it: a page of the settings window, a menu file
// imported or restored there, or one handed over by `tabula.exe /import`. The editor makes the change through the
// menu's own operations, stores the tree once, and shows it on every page of the settings window open on this thread:
// the Sections list, and the Documents page's section box and list, with the asking list's selection where the command
// leaves it. A command that changes nothing (a picker cancelled, a deletion refused) stores and shows nothing.
//
// A command that waits on a modal dialog (a picker, the Add Section or Properties dialog) names the entry it works on
// by an EntryRef taken before the dialog and finds it again afterwards: the tree may have been replaced meanwhile (a
// menu file handed over), and then nothing is written and the user is told.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "menu/Item.h"
#include "store/Hotkey.h"

class CSettingsState;
struct SettingsContext;
struct DroppedPaths;
enum SettingsTab : int;
enum class HotkeyRole;
namespace store {
struct TreeFile;
}

class CTreeEditor {
public:
    // For a command of the open settings window.
    explicit CTreeEditor(CSettingsState& state);
    // For a command from outside the window; what it changes shows on the settings window open on this thread, if any.
    explicit CTreeEditor(const SettingsContext& settings);
    CTreeEditor(const CTreeEditor&) = delete;
    CTreeEditor& operator=(const CTreeEditor&) = delete;

    // Moves a list page's item at from to the list index to, one place at a time as Up and Down do; it stays selected
    // and its list has the input.
    void Move(SettingsTab page, int from, int to);
    // Appends to the top level a separator, or a section named in the Add Section dialog.
    void AddSeparator();
    void AddSection();
    // Appends to a list page's level a file picked in the open-file dialog, a folder picked in the folder picker, or
    // the dropped files and folders that exist, once a worker has said which (the window's work-done message brings the
    // answer); the user is told of those that do not.
    void AddDocument(SettingsTab page);
    void AddFolder(SettingsTab page);
    void AddDropped(SettingsTab page, const std::vector<std::wstring>& paths);
    // Gives the list page's item at index the name the user typed; it stays selected.
    void Rename(SettingsTab page, int index, const std::wstring& typed);
    // Removes the entry selected on a list page, or tells the user with refusal why it cannot go.
    void DeleteSelected(SettingsTab page, const wchar_t* refusal);
    // Turns the showing of the selected folder's contents as its sub-menu on or off; it stays selected.
    void ToggleShowContents(SettingsTab page);
    // Opens the Properties dialog of the selected document of the user's and applies its OK as one change; it stays
    // selected.
    void EditProperties(SettingsTab page);

    // Puts a menu file's tree and hotkey in place of the menu's: the tree numbered as a load numbers it and stored
    // through the safe save (the stored tree backed up first), then shown by the menu (an open menu is closed first)
    // and the pages, the Documents page at its top level; its hotkey stored and claimed. ready, when given, is asked
    // once the new tree is written and just before it takes the stored one's place, and stored is told as soon as it
    // has. False, with the store and the menu as they were, when the tree could not be stored or ready said no.
    bool Replace(const store::TreeFile& file, const std::function<bool()>& ready = {},
                 const std::function<void()>& stored = {});
    // Stores a hotkey (the menu's, or the find box's) and claims it; the Options page, if open, shows it and says when
    // another program holds it. True when it is claimed (none always is).
    bool ChangeHotkey(store::Hotkey hotkey, HotkeyRole role);
    // Claims the hotkey again without storing it, and shows it likewise.
    bool ClaimHotkey(store::Hotkey hotkey, HotkeyRole role);

private:
    // What the pages show after a change besides the new tree.
    struct Shown {
        SettingsTab page;    // the page that asked
        int selected = -1;   // the item of its list selected afterwards, or none
        // Whether the Documents page lists what changed: after such a change made on another page, it shows the
        // top level ("General") again with its section box made anew.
        bool listed = true;
        // The entry whose row is to be written again though it stays in its place (renamed, another path or icon), or
        // 0; a tree put in the menu's place has the lists filled anew.
        int touched = 0;
        bool anew = false;
    };
    // The dropped paths, checked: those there join the level they were dropped on (the top level if that section has
    // gone meanwhile).
    void AddChecked(SettingsTab page, const EntryRef& level, const DroppedPaths& checked);
    // Stores and shows a change; false, doing nothing, when nothing changed.
    bool Commit(bool changed, const Shown& shown);
    // The pages show the tree as it is now.
    void Show(const Shown& shown);

    // The level a list page shows, as a command that waits on a dialog names it; the section's id again after the
    // dialog (0: the top level), or nothing, with the user told under caption, when the section has gone.
    EntryRef LevelRef(SettingsTab page) const;
    std::optional<int> FindLevel(const EntryRef& level, SettingsTab page, const wchar_t* caption) const;
    // Appends the path picked by pick to the page's level, found again after the picker.
    void AddPicked(SettingsTab page, const wchar_t* caption,
                   const std::function<std::optional<std::wstring>(HWND page)>& pick);
    // Tells the user that what a dialog was for has gone with the tree it was in.
    void TellGone(SettingsTab page, const wchar_t* text, const wchar_t* caption) const;

    const SettingsContext& settings_;
    CSettingsState* state_;   // the open settings window's, or null
};
