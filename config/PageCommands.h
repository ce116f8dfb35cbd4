#pragma once
// The commands that both settings pages offer beside their moves: a document or a folder picked and appended, files
// and folders dropped on the window appended, an entry renamed, the selected entry deleted or refused. Each returns
// true when it changed the tree; the page then rebuilds its lists and stores it.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

class CItem;
struct SettingsContext;

// The open-file dialog "Add Document"; the full path of the picked file, or nothing on cancel.
std::optional<std::wstring> ChooseDocumentFile(HWND page);

// Appends a document picked in the open-file dialog to a level (0 = the top level).
bool AddChosenDocument(HWND page, const SettingsContext& settings, int sectionId);

// Removes the entry selected in the page's list. A built-in entry, or a section that holds "Configuration" or "Exit",
// is refused with the message given.
bool DeleteSelectedEntry(HWND page, HWND list, const wchar_t* refusal, const SettingsContext& settings);

// Whether the entry can be shown as the contents of its folder: a document, not built in, whose path is a folder
// that exists (or one already shown so, which can always be turned back).
bool CanShowContents(const SettingsContext& settings, int id);

// Shows the entry's folder contents as its sub-menu (on) or the plain document again (off), and stores the tree;
// false when it could not change.
bool SetShowContents(const SettingsContext& settings, int id, bool on);

// The page rules for an entry, which the buttons, the list's context menu and its label editing all follow: built-in
// entries and sections that hold "Configuration" or "Exit" cannot be removed; built-in entries and separators cannot
// be renamed.
bool IsRemovable(const CItem& entry);
bool IsRenamable(const CItem& entry);

// Appends a folder picked in the shell's folder picker "Add Folder" to a level, as a document whose path is the folder.
bool AddChosenFolder(HWND page, const SettingsContext& settings, int sectionId);

// Gives an entry the name the user typed, cut to the longest name a list shows. A document's empty name brings back
// the caption made from its path; a section's empty name is refused with a message, and the old name stays.
bool RenameListEntry(HWND page, const SettingsContext& settings, int id, const std::wstring& text);

// Appends the dropped files and folders that exist to a level, in their order; those that no longer exist are put in
// missing. True when anything was added.
bool AddDroppedPaths(const SettingsContext& settings, int sectionId, const std::vector<std::wstring>& paths,
                     std::vector<std::wstring>& missing);
// Tells the user which dropped paths were not added because they no longer exist.
void ReportMissingPaths(HWND page, const std::vector<std::wstring>& missing);
