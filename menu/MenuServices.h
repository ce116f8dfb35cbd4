#pragma once
// What the running program does off the GUI thread for its menus, made once for the process (app/Globals) and lent to
// the menu tree that shows on the screen: the launcher, the reads of live folders, and the icon cache. Each keeps its
// own bounded pool of workers (platform/Worker.h), started as work comes. A tree made without them (a copy the store
// stages) starts no thread: it reads, looks at and opens nothing.
//
// Call them on the GUI thread. They end with the process, after every tree that uses them.
#include "menu/FolderReader.h"
#include "menu/Launcher.h"
#include "platform/IconCache.h"

class CMenuServices {
public:
    CMenuServices() = default;
    CMenuServices(const CMenuServices&) = delete;
    CMenuServices& operator=(const CMenuServices&) = delete;

    // Opens documents (menu/Launcher.h).
    CLauncher& Launcher() { return launcher_; }
    // Reads live folders, and answers other short questions to the disk (menu/FolderReader.h).
    CFolderReaders& Readers() { return readers_; }
    // The documents' small icons for the menu, the settings lists and the Properties dialog (platform/IconCache.h).
    platform::CIconCache& Icons() { return icons_; }

private:
    platform::CIconCache icons_;
    CFolderReaders readers_;
    CLauncher launcher_;
};
