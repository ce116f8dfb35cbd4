#pragma once
// What the commands of the settings pages do to the tree, with the pickers and the messages they show: a document or
// a folder picked and appended, dropped files and folders appended, an entry renamed, removed or shown as its folder's
// contents. Each returns true when it changed the tree; the tree editor then stores it and shows it on the pages. And
// the page rules, which the buttons, the list's context menu and its label editing all follow.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class CItem;
class CTodayMenu;

// The open-file dialog, titled "Add Document" unless another title is given; the full path of the picked file, or
// nothing on cancel.
std::optional<std::wstring> ChooseDocumentFile(HWND page, const wchar_t* title = L"Add Document");

// Which of the dropped files and folders are there, asked of the disk on a worker of the menu's services; done gets
// the answer on window's thread (whose procedure hands the work-done message to platform::RunPostedWork), the paths in
// their order. One that cannot be read, a path on a medium given up on too, is not there; without services every path
// is taken as there.
struct DroppedPaths {
    std::vector<std::wstring> there;
    std::vector<std::wstring> missing;
};
void CheckDroppedPaths(CTodayMenu& menu, HWND window, const std::vector<std::wstring>& paths,
                       std::function<void(const DroppedPaths&)> done);
// Appends the paths to a level, in their order; true when anything was added.
bool AddDroppedPaths(CTodayMenu& menu, int sectionId, const std::vector<std::wstring>& paths);
// Tells the user which dropped paths were not added because they no longer exist.
void ReportMissingPaths(HWND page, const std::vector<std::wstring>& missing);

// Gives an entry the name the user typed, cut to the longest name a list shows. The name the list shows already is no
// change. A document's empty name brings back the caption made from its path; a section's empty name is refused with
// a message, and the old name stays.
bool RenameListEntry(HWND page, CTodayMenu& menu, int id, const std::wstring& text);

// Removes an entry; one that the page rules keep is refused with the message given.
bool RemoveListEntry(HWND page, CTodayMenu& menu, int id, const wchar_t* refusal);

// Whether the entry can be shown as the contents of its folder: a document, not built in, whose path is a folder
// that exists (or one already shown so, which can always be turned back). Nothing while the disk has not said: the
// program's icon cache asks it on a worker.
std::optional<bool> CanShowContents(const CTodayMenu& menu, int id);
// Shows the entry's folder contents as its sub-menu (on) or the plain document again (off); false when it could not
// change.
bool SetShowContents(CTodayMenu& menu, int id, bool on);

// The page rules for an entry: built-in entries and sections that hold "Configuration" or "Exit" cannot be removed;
// built-in entries and separators cannot be renamed; only the user's documents have properties.
bool IsRemovable(const CItem& entry);
bool IsRenamable(const CItem& entry);
bool HasProperties(const CItem& entry);
