// Builds menu trees of 100, 300 and 999 entries through the popup menu's append operations and prints
// where the time goes: the whole build, finding new ids, and drawing the documents' pictures.
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "Stopwatch.h"
#include "app/Globals.h"
#include "app/ItemImage.h"
#include "menu/TodayMenu.h"

namespace {

// Files the documents point at, so that the shell finds real icons for them.
std::vector<std::wstring> MakeFiles(int count)
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"tabula-bench";
    CreateDirectoryW(folder.c_str(), nullptr);
    std::vector<std::wstring> files;
    for (int i = 0; i < count; ++i) {
        files.push_back(folder + L"\\document " + std::to_wstring(i) + (i % 2 ? L".txt" : L".ini"));
        HANDLE h = CreateFileW(files.back().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
    }
    return files;
}

// The id search as a plain walk of the tree would do it: one full search per candidate.
int NaiveNewID(const CItemVector& root)
{
    for (int candidate = 5;; ++candidate)
        if (!root.FindItem(candidate))
            return candidate;
}

struct Figures {
    double buildMs = 0, newIdMs = 0, naiveNewIdMs = 0, imageMs = 0;
    int entries = 0, documents = 0;
};

// sections of (1 section entry + perSection documents), then top-level documents up to total entries.
Figures Build(int total, int sections, int perSection, const std::vector<std::wstring>& files)
{
    Stopwatch clock;
    Figures figures;
    auto menu = std::make_unique<CTodayMenu>();
    size_t file = 0;
    auto appendDocument = [&](int sectionId) {
        const LONGLONG t0 = clock.Now();
        const int id = menu->Root.NewID();
        const LONGLONG t1 = clock.Now();
        menu->AppendDocumentWithID(files[file++ % files.size()], id, sectionId);
        figures.newIdMs += clock.Ms(t1 - t0);
        ++figures.documents;
    };

    const LONGLONG start = clock.Now();
    for (int s = 0; s < sections; ++s) {
        // AppendSection asks for its id itself: the same search is timed here once more on its behalf.
        const LONGLONG t0 = clock.Now();
        menu->Root.NewID();
        figures.newIdMs += clock.Ms(clock.Now() - t0);
        const int section = menu->AppendSection(L"Section " + std::to_wstring(s), 0);
        for (int d = 0; d < perSection; ++d)
            appendDocument(section);
    }
    while (static_cast<int>(menu->Root.Items.size()) + sections * perSection < total)
        appendDocument(0);
    figures.buildMs = clock.Ms(clock.Now() - start);

    // The same id searches done by walking the whole tree, for comparison.
    figures.entries = sections * (perSection + 1) + (static_cast<int>(menu->Root.Items.size()) - sections);
    {
        CTodayMenu naive;
        const LONGLONG t0 = clock.Now();
        for (int i = 0; i < figures.entries; ++i) {
            const int id = NaiveNewID(naive.Root);
            naive.Root.AddSeparator(id);
        }
        figures.naiveNewIdMs = clock.Ms(clock.Now() - t0);
    }

    // Every document's picture drawn, as when its menu is first shown.
    std::vector<CItem*> documents;
    for (const auto& item : menu->Root.Items) {
        if (item->Type == ITEM_DOCUMENT)
            documents.push_back(item.get());
        else if (item->IsSection())
            for (const auto& child : item->Children->Items)
                documents.push_back(child.get());
    }
    for (CItem* doc : documents) {
        const LONGLONG t0 = clock.Now();
        BuildImage(doc);
        figures.imageMs += clock.Ms(clock.Now() - t0);
    }
    return figures;
}

}  // namespace

int wmain()
{
    g_hInstance = GetModuleHandleW(nullptr);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    g_hMainWnd = CreateWindowExW(0, L"STATIC", L"bench", 0, 0, 0, 0, 0, nullptr, nullptr, g_hInstance, nullptr);
    const std::vector<std::wstring> files = MakeFiles(64);

    struct Size { int total, sections, perSection; } sizes[] = {{100, 3, 32}, {300, 9, 32}, {999, 30, 32}};
    std::printf("Menu build through the append operations (times in ms)\n");
    std::printf("%8s %10s %10s %12s %12s %16s\n", "entries", "documents", "build", "NewID", "BuildImage",
                "NewID by search");
    for (const Size& size : sizes) {
        Build(size.total, size.sections, size.perSection, files);   // warm the shell's icon cache
        const Figures f = Build(size.total, size.sections, size.perSection, files);
        std::printf("%8d %10d %10.1f %12.3f %12.1f %16.1f\n", f.entries, f.documents, f.buildMs, f.newIdMs,
                    f.imageMs, f.naiveNewIdMs);
    }
    std::printf("Sections hold 32 documents each (33 entries with the section); the rest are top-level documents.\n"
                "NewID by search: the same ids found by one whole-tree search per candidate, for comparison.\n");
    DestroyWindow(g_hMainWnd);
    CoUninitialize();
    return 0;
}
