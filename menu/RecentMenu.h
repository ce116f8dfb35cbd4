#pragma once
// The "Recent" section at the top of the root menu: the documents of the tree opened last through the program, the
// newest first, made anew each time the menu opens. Its entries are copies of the tree's documents, not entries of the
// tree: nothing stores, exports or edits them. Like a live menu it tells a choice by position (MNS_NOTIFYBYPOS), so that
// a choice opens what was shown whatever happened to the tree meanwhile. It carries itself as its menu's owner.
#include <windows.h>

#include <memory>
#include <vector>

#include "menu/BaseObj.h"
#include "platform/Handles.h"

class CItem;
class CItemVector;

class CRecentMenu : public CBaseObj {
public:
    static constexpr size_t kMost = 8;
    static constexpr const wchar_t* kTitle = L"Recent";

    CRecentMenu();
    ~CRecentMenu() override;
    CRecentMenu(const CRecentMenu&) = delete;
    CRecentMenu& operator=(const CRecentMenu&) = delete;

    HMENU Menu() const { return menu_.get(); }
    // Shows the kMost documents below root with the newest LastLaunch, the newest first, each as its owner-drawn item.
    void Fill(const CItemVector& root);
    // What the menu shows, by position: each a copy of a document, and the id of the tree's document it copies.
    struct Entry {
        std::unique_ptr<CItem> copy;
        int id = 0;
    };
    const std::vector<Entry>& Entries() const { return entries_; }
    std::vector<CItem*> Items() const;
    // Empties the menu.
    void Release();

private:
    handles::unique_hmenu menu_;
    std::vector<Entry> entries_;
};
