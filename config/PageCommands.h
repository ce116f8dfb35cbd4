#pragma once
// The commands that both settings pages offer beside their moves: a document picked and appended, the selected entry
// deleted or refused. Each returns true when it changed the tree; the page then rebuilds its lists and stores it.
#include <windows.h>

#include <optional>
#include <string>

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
