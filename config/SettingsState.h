#pragma once
// What the open settings window remembers: its pages, the level that the Documents page shows, each list's selection
// mark from when its tab was last left, the tab shown and a list drag in progress. The window makes it when it opens
// and destroys it when it closes; its pages reach it through the window, and every change reaches the tree through a
// CTreeEditor (config/TreeEditor.h) made on it.
#include <windows.h>

#include <memory>

#include "config/ItemList.h"
#include "config/ListDrag.h"
#include "config/SectionBox.h"
#include "platform/Handles.h"

struct SettingsContext;

// The tabs of the settings window, in their order; the first two show a list.
enum SettingsTab : int { kSectionsTab = 0, kDocumentsTab = 1, kOptionsTab = 2, kTabCount = 3 };

class CSettingsState {
public:
    // Icons that the disk gives while the window is open show in its lists.
    explicit CSettingsState(const SettingsContext& context);
    ~CSettingsState();
    CSettingsState(const CSettingsState&) = delete;
    CSettingsState& operator=(const CSettingsState&) = delete;

    // The settings window keeps its state from its WM_INITDIALOG, before its pages are made, and hands it back at its
    // end.
    static void Attach(HWND window, std::unique_ptr<CSettingsState> state);
    static std::unique_ptr<CSettingsState> Detach(HWND window);
    // The state of the settings window that holds window (the window itself, a page or a control of a page).
    static CSettingsState& Of(HWND window);
    // The same, or null before the window has its state (while it is being made) and after.
    static CSettingsState* Find(HWND window);
    // The settings window open on this thread, or null.
    static HWND OpenWindow();

    HWND Page(SettingsTab tab) const { return pages[tab]; }
    // The list of the Sections or the Documents page.
    HWND List(SettingsTab tab) const;
    // The level that a list page shows: 0 for the top level, otherwise a section's id.
    int Level(SettingsTab tab) const { return tab == kDocumentsTab ? section : 0; }
    // Fills a list page's list from its level of the tree; nothing is selected afterwards.
    void FillList(SettingsTab tab);
    // Brings a list page's list in line with its level as it is now, writing again the rows of the entries in touched;
    // nothing is selected afterwards.
    void SyncList(SettingsTab tab, const std::set<int>& touched = {});

    const SettingsContext& settings;
    // Each page puts itself here when it is made.
    HWND pages[kTabCount] = {};
    // The level that the Documents page shows: 0 for the top level, otherwise a section's id.
    int section = 0;
    // What each list's rows show, and the sections that the Documents page's box lists.
    ListRows rows[kOptionsTab];
    SectionList boxSections;
    // Each list's selection mark when the user last left its tab (the list tabs come before the Options tab). They last
    // as long as the process: a window opened again selects what the user left selected.
    static int marks[kOptionsTab];
    SettingsTab shownTab = kSectionsTab;
    CListDrag drag;
    // Sees the keys that choose a tab (Ctrl+Tab, Ctrl+Shift+Tab) before the window's own keyboard handling does.
    handles::unique_hhook tabKeys;

private:
    int iconListener_ = 0;
};
