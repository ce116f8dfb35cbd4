// Load and save of a stored tree of 999 entries against the floor (the same keys and values read and
// written with the plain registry calls), the load of one level of 10,000 entries, and the load and save of a chain
// 5,000 levels deep. Run under Wine in a throwaway prefix; it replaces the prefix's stored tree.
//
// The tree: the 4 built-in entries, 5 top-level documents and 30 sections of 32 documents each
// (999 entries, 967 of them documents). The documents are files that exist (created in a folder of %TEMP%)
// unless the first argument is "missing", then paths of files that do not exist.
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <algorithm>
#include <functional>
#include <string>

#include "app/Globals.h"
#include "app/ItemImage.h"
#include "config/SettingsContext.h"
#include "config/TreeEditor.h"
#include "menu/TodayMenu.h"
#include "platform/Handles.h"
#include "platform/Files.h"
#include "platform/Registry.h"
#include "store/RegHelper.h"
#include "store/StoreKeys.h"
#include "store/StoreWriter.h"
#include "store/TreeFile.h"
#include "store/TreeTransfer.h"

namespace {

constexpr int kSections = 30;
constexpr int kDocumentsPerSection = 32;
constexpr int kTopDocuments = 5;
constexpr int kRuns = 7;
constexpr const wchar_t* kFloorKey = L"SOFTWARE\\Tabula.bench";

double Now()
{
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// The best time of a job in milliseconds over a few runs (the machine's other work only adds
// time); prepare runs untimed before each run.
double Best(const std::function<void()>& prepare, const std::function<void()>& job)
{
    double best = 0;
    for (int run = 0; run < kRuns; ++run) {
        prepare();
        const double start = Now();
        job();
        const double time = Now() - start;
        if (run == 0 || time < best)
            best = time;
    }
    return best;
}

std::wstring DocumentFolder(bool existing)
{
    wchar_t temp[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    std::wstring folder = std::wstring(temp, length) + (existing ? L"tabula-bench" : L"tabula-bench-missing");
    if (existing)
        CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

std::wstring DocumentPath(const std::wstring& folder, int section, int document, bool existing)
{
    static const wchar_t* const kinds[] = {L".txt", L".doc", L".xls", L".bmp"};
    std::wstring path = folder + L"\\s" + std::to_wstring(section) + L"-d" + std::to_wstring(document) +
                        kinds[document % 4];
    if (existing) {
        handles::unique_hfile file(
            CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    return path;
}

void BuildTree(CTodayMenu& menu, bool existing)
{
    const std::wstring folder = DocumentFolder(existing);
    menu.AppendDocumentWithID(L"\\My Documents", ID_MY_DOCUMENTS, 0);
    menu.AppendSeparatorWithID(ID_FIRST_SEPARATOR, 0);
    for (int d = 0; d < kTopDocuments; ++d)
        menu.AppendDocument(DocumentPath(folder, 99, d, existing), 0);
    for (int s = 0; s < kSections; ++s) {
        const int section = menu.AppendSection(L"Section " + std::to_wstring(s), 0);
        for (int d = 0; d < kDocumentsPerSection; ++d)
            menu.AppendDocument(DocumentPath(folder, s, d, existing), section);
    }
    menu.AppendDocumentWithID(L"Configuration", ID_CONFIGURATION, 0);
    menu.AppendDocumentWithID(L"Exit", ID_EXIT, 0);
}

int CountEntries(const CItemVector& list)
{
    int count = 0;
    for (const auto& item : list.Items)
        count += 1 + (item->IsSection() ? CountEntries(*item->Children) : 0);
    return count;
}

// The floor of the save: the same keys and values written with the plain calls, access and all.
void PlainWrite(HKEY level, const CItemVector& list)
{
    for (size_t i = 0; i < list.Items.size(); ++i) {
        const CItem* item = list.Items[i].get();
        HKEY key = nullptr;
        RegCreateKeyExW(level, std::to_wstring(item->ID).c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key,
                        nullptr);
        const DWORD type = static_cast<DWORD>(item->Type), isSpec = item->ID <= ID_FIRST_SEPARATOR ? 1 : 0;
        const DWORD id = static_cast<DWORD>(item->ID), pos = static_cast<DWORD>(i);
        RegSetValueExW(key, L"Type", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&type), 4);
        RegSetValueExW(key, L"IsSpec", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&isSpec), 4);
        RegSetValueExW(key, L"ID", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&id), 4);
        const std::wstring& name = item->Type == ITEM_SECTION ? item->Caption : item->Path;
        if (item->Type != ITEM_SEPARATOR)
            RegSetValueExW(key, L"Name", 0, REG_SZ, reinterpret_cast<const BYTE*>(name.c_str()),
                           static_cast<DWORD>((name.size() + 1) * 2));
        RegSetValueExW(key, L"Pos", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&pos), 4);
        if (item->IsSection())
            PlainWrite(key, *item->Children);
        RegCloseKey(key);
    }
}

void PlainWriteTree(const CTodayMenu& menu)
{
    HKEY root = nullptr;
    RegCreateKeyExW(platform::reg::StoreHive(), kFloorKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &root,
                    nullptr);
    PlainWrite(root, menu.Root);
    RegFlushKey(root);
    RegCloseKey(root);
}

void PlainDeleteTree() { RegDeleteTreeW(platform::reg::StoreHive(), kFloorKey); }

// The floor of the load: every entry key enumerated, opened and its values read, nothing built.
int PlainRead(HKEY level)
{
    int entries = 0;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD length = 256;
        if (RegEnumKeyExW(level, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        HKEY key = nullptr;
        if (RegOpenKeyExW(level, name, 0, KEY_READ, &key) != ERROR_SUCCESS)
            continue;
        DWORD values[4] = {}, size = 0, type = 0;
        const wchar_t* names[4] = {L"Type", L"IsSpec", L"ID", L"Pos"};
        for (int v = 0; v < 4; ++v) {
            size = 4;
            RegQueryValueExW(key, names[v], nullptr, &type, reinterpret_cast<BYTE*>(&values[v]), &size);
        }
        size = 0;
        if (RegQueryValueExW(key, L"Name", nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
            std::wstring text(size / 2 + 1, L'\0');
            RegQueryValueExW(key, L"Name", nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size);
        }
        ++entries;
        if (values[0] == ITEM_SECTION)
            entries += PlainRead(key);
        RegCloseKey(key);
    }
    return entries;
}

int PlainReadTree()
{
    HKEY root = nullptr;
    RegOpenKeyExW(platform::reg::StoreHive(), L"SOFTWARE\\Tabula", 0, KEY_READ, &root);
    const int entries = PlainRead(root);
    RegCloseKey(root);
    return entries;
}

// The pictures of every document of a loaded tree made, as when all its menus have been shown once.
void BuildAllImages(const CItemVector& list)
{
    BuildImages(list);
    for (const auto& item : list.Items)
        if (item->IsSection())
            BuildAllImages(*item->Children);
}

// The section with the most entries.
const CItemVector* LargestSection(const CItemVector& root)
{
    const CItemVector* largest = nullptr;
    for (const auto& item : root.Items)
        if (item->IsSection() && (!largest || item->Children->Items.size() > largest->Items.size()))
            largest = item->Children.get();
    return largest;
}

// A level of 10,000 entries written straight into the store (a document every hundred, separators between);
// the time of its load and the number of entries loaded.
double WideLevelLoad(int* entries)
{
    RegDeleteTreeW(platform::reg::StoreHive(), L"SOFTWARE\\Tabula");
    HKEY root = nullptr;
    RegCreateKeyExW(platform::reg::StoreHive(), L"SOFTWARE\\Tabula", 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                    &root, nullptr);
    for (DWORD i = 0; i < 10000; ++i) {
        HKEY key = nullptr;
        RegCreateKeyExW(root, std::to_wstring(100 + i).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
        const DWORD type = i % 100 == 0 ? ITEM_DOCUMENT : ITEM_SEPARATOR;
        RegSetValueExW(key, L"Type", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&type), 4);
        RegSetValueExW(key, L"Pos", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&i), 4);
        if (type == ITEM_DOCUMENT)
            RegSetValueExW(key, L"Name", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"C:\\many.txt"), 24);
        RegCloseKey(key);
    }
    RegCloseKey(root);
    CTodayMenu loaded;
    const double start = Now();
    CRegHelper().LoadTree(&loaded);
    const double time = Now() - start;
    *entries = CountEntries(loaded.Root);
    return time;
}

// A chain of 5,000 sections, each inside the one before, written straight into the store: the times of its load and
// of its save, and the depth loaded.
int DeepChain(double* load, double* save)
{
    platform::reg::DeleteTree(platform::reg::StoreHive(), L"SOFTWARE\\Tabula");
    HKEY level = nullptr;
    RegCreateKeyExW(platform::reg::StoreHive(), L"SOFTWARE\\Tabula", 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                    &level, nullptr);
    for (int depth = 0; depth < 5000; ++depth) {
        HKEY key = nullptr;
        RegCreateKeyExW(level, L"5", 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key, nullptr);
        const DWORD type = ITEM_SECTION;
        RegSetValueExW(key, L"Type", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&type), 4);
        RegCloseKey(level);
        level = key;
    }
    RegCloseKey(level);
    CTodayMenu loaded;
    CRegHelper store;
    double start = Now();
    store.LoadTree(&loaded);
    *load = Now() - start;
    start = Now();
    store.SaveTree(&loaded);
    *save = Now() - start;
    int depth = 0;
    for (const CItemVector* list = &loaded.Root; !list->Items.empty() && list->Items[0]->IsSection();
         list = list->Items[0]->Children.get())
        ++depth;
    return depth;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const bool existing = !(argc > 1 && std::wstring(argv[1]) == L"missing");
    g_hInstance = GetModuleHandleW(nullptr);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    g_hMainWnd = CreateWindowExW(0, L"STATIC", L"bench", 0, 0, 0, 0, 0, nullptr, nullptr, g_hInstance, nullptr);

    CTodayMenu tree;
    BuildTree(tree, existing);
    CRegHelper store;
    std::printf("tree: %d entries, documents %s\n", CountEntries(tree.Root), existing ? "exist" : "missing");

    // The safe save replaces a stored tree of the same size, as every save after the first does.
    const double save = Best([&] { store.SaveTree(&tree); }, [&] { store.SaveTree(&tree); });
    const double plainWrite = Best(PlainDeleteTree, [&] { PlainWriteTree(tree); });
    const double plainDelete = Best([&] { PlainWriteTree(tree); }, PlainDeleteTree);
    PlainDeleteTree();
    platform::reg::faults::Reset();
    store.SaveTree(&tree);
    const long changes = platform::reg::faults::Changes();

    int loadedEntries = 0;
    double load = 0, images = 0, firstPopup = 0;
    for (int run = 0; run < kRuns; ++run) {
        CTodayMenu loaded;
        double start = Now();
        store.LoadTree(&loaded);
        const double loadTime = Now() - start;
        // What the first pop-up of the largest section adds: the pictures of its documents.
        start = Now();
        BuildImages(*LargestSection(loaded.Root));
        const double popupTime = Now() - start;
        start = Now();
        BuildAllImages(loaded.Root);
        const double imageTime = Now() - start + popupTime;
        load = run == 0 ? loadTime : std::min(load, loadTime);
        images = run == 0 ? imageTime : std::min(images, imageTime);
        firstPopup = run == 0 ? popupTime : std::min(firstPopup, popupTime);
        loadedEntries = CountEntries(loaded.Root);
    }
    int readEntries = 0;
    const double plainRead = Best([] {}, [&] { readEntries = PlainReadTree(); });

    // The safe save writes the tree once (into Tabula.new), renames two keys and deletes the tree that
    // it replaced: the same registry work as deleting the stored tree and writing the new one.
    std::printf("save:  %8.1f ms  (%ld registry changes: the tree written once, the old one deleted)\n", save,
                changes);
    std::printf("  floor, plain delete of the old tree + plain write:   %8.1f ms   ratio %.2f\n",
                plainDelete + plainWrite, save / (plainDelete + plainWrite));
    std::printf("  (plain write alone:                                  %8.1f ms   ratio %.2f)\n", plainWrite,
                save / plainWrite);
    std::printf("load:  %8.1f ms  (%d entries; the pictures are made when a menu is first shown)\n", load,
                loadedEntries);
    std::printf("  floor, plain read of the same %d keys and values:   %8.1f ms   ratio %.2f\n", readEntries,
                plainRead, load / plainRead);
    std::printf("  first pop-up of the largest section (its pictures):  %8.1f ms\n", firstPopup);
    std::printf("  the pictures of all its documents, as menus open:   %8.1f ms\n", images);

    // Menu files: the command line's export (the stored tree read, written as a file) and import (the file read and
    // checked, the tree stored by the safe save and made again in the running menu), against the save's floor.
    const double floor = plainDelete + plainWrite;
    wchar_t temp[MAX_PATH + 1] = {};
    const std::wstring file = std::wstring(temp, GetTempPathW(MAX_PATH + 1, temp)) + L"tabula-bench.json";
    store.SaveTree(&tree);
    const double exported = Best([] {}, [&] { platform::WriteWholeFile(file, *store::ExportStoredTree(store, true)); });
    CTodayMenu running;
    store::CStoreWriter writer(store);
    const SettingsContext settings{GetModuleHandleW(nullptr), &running, &store, nullptr, nullptr, nullptr, &writer};
    const double imported = Best([] {}, [&] {
        std::wstring error;
        CTreeEditor(settings).Replace(*store::ReadTreeFile(file, &error));
    });
    std::printf("export to a file:                                     %8.1f ms   ratio to the save's floor %.2f\n",
                exported, exported / floor);
    std::printf("import from a file, with its save:                    %8.1f ms   ratio to the save's floor %.2f\n",
                imported, imported / floor);
    // Files that once took minutes: a sound file of 33,000 documents in 330 sections, imported whole (bound: 1.5 times
    // the registry's own cost of writing them), and a file whose one object holds 200,000 keys, refused (bound: 2 s).
    std::string large = R"({"version": 1, "hotkey": 0, "tree": [)";
    for (int section = 0; section < 330; ++section) {
        large += std::string(section ? "," : "") + R"({"kind": "section", "name": "s", "children": [)";
        for (int document = 0; document < 100; ++document)
            large += std::string(document ? "," : "") + R"({"kind": "document", "name": "C:\\d)" + std::to_string(document) + R"(.txt"})";
        large += "]}";
    }
    platform::WriteWholeFile(file, large + "]}");
    // Its floor: the same entries written with the plain calls, and the plain delete of the tree they replace. Each
    // round replaces the tree of 999 entries, and writes the floor beside it; the best of two rounds of each.
    double largeImport = 0, largeFloor = 0;
    for (int round = 0; round < 2; ++round) {
        store.SaveTree(&tree);
        double start = Now();
        std::wstring error;
        const std::optional<store::TreeFile> read = store::ReadTreeFile(file, &error);
        if (!read || !CTreeEditor(settings).Replace(*read))
            std::printf("the import failed: %ls\n", error.c_str());
        const double imported = Now() - start;
        PlainDeleteTree();
        start = Now();
        PlainWriteTree(running);
        const double floor = Now() - start + plainDelete;
        PlainDeleteTree();
        largeImport = round ? std::min(largeImport, imported) : imported;
        largeFloor = round ? std::min(largeFloor, floor) : floor;
    }
    std::string keys = R"({"version": 1, "tree": [], )";
    for (int key = 0; key < 200000; ++key)
        keys += "\"k" + std::to_string(key) + "\": 0, ";
    const double refused = Best([] {}, [&] { std::wstring error; store::ParseTreeFile(keys + "\"end\": 0}", &error); });
    std::printf("import of 33,000 documents, with its save:            %8.1f ms   ratio to its floor %.2f (bound: 1.5)\n",
                largeImport, largeImport / largeFloor);
    std::printf("  floor, plain write of its entries + plain delete of the tree replaced: %8.1f ms\n", largeFloor);
    std::printf("a file of one object of 200,000 keys, refused:        %8.1f ms   (bound: 2,000 ms)\n", refused);
    store.SaveTree(&tree);
    // The backup before each save: the stored tree read and compared with the newest backup, and written when it
    // differs (every backup removed first).
    store::CBackups& backups = writer.Backups();
    const auto removeBackups = [&] {
        for (const store::Backup& backup : backups.List())
            platform::RemoveFile(backup.path);
    };
    const double known = Best([] {}, [&] { backups.BeforeSave([&] { return store.ReadStored(); }); });
    const double written = Best(removeBackups, [&] { backups.BeforeSave([&] { return store.ReadStored(); }); });
    std::printf("backup added to a save: %.1f ms (%.1f ms when a file is written)\n", known, written);
    DeleteFileW(file.c_str());

    int wideEntries = 0;
    const double wide = WideLevelLoad(&wideEntries);
    std::printf("load of one level of 10,000 entries:                 %8.1f ms   (%d entries with the commands)\n",
                wide, wideEntries);

    double deepLoad = 0, deepSave = 0;
    const int depth = DeepChain(&deepLoad, &deepSave);
    std::printf("a chain of 5,000 sections:  load %8.1f ms, save %8.1f ms   (%d levels loaded)\n", deepLoad, deepSave,
                depth);

    DestroyWindow(g_hMainWnd);
    CoUninitialize();
    return 0;
}
