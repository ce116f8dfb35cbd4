#pragma once
// The one way a change made in the settings window reaches the menu tree. A page says what the user asked for; the
// editor makes the change through the menu's own operations, stores the tree once, and shows it on every page: the
// Sections list, and the Documents page's section box and list, with the asking list's selection where the command
// leaves it. A command that changes nothing (a picker cancelled, a deletion refused) stores and shows nothing.
#include <windows.h>

#include <string>
#include <vector>

class CSettingsState;
struct DroppedPaths;
enum SettingsTab : int;

class CTreeEditor {
public:
    explicit CTreeEditor(CSettingsState& state) : state_(state) {}
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

    // The whole tree was replaced and stored elsewhere (an import, a restore): every page shows it, the Documents page
    // its top level.
    void ShowReplacedTree();

private:
    // What the pages show after a change besides the new tree.
    struct Shown {
        SettingsTab page;    // the page that asked
        int selected = -1;   // the item of its list selected afterwards, or none
        // Whether the Documents page lists what changed: after such a change made on another page, it shows the
        // top level ("General") again with its section box made anew.
        bool listed = true;
    };
    // The dropped paths, checked: those there join the level they were dropped on (the top level if that section has
    // gone meanwhile).
    void AddChecked(SettingsTab page, int level, const DroppedPaths& checked);
    // Stores and shows a change; false, doing nothing, when nothing changed.
    bool Commit(bool changed, const Shown& shown);
    // The pages show the tree as it is now.
    void Show(const Shown& shown);

    CSettingsState& state_;
};
