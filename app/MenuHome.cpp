#include "app/MenuHome.h"

#include "app/Globals.h"
#include "app/Hotkey.h"
#include "app/MainWindow.h"
#include "app/TryIcon.h"
#include "config/SettingsContext.h"
#include "config/TreeEditor.h"
#include "menu/TodayMenu.h"
#include "platform/FolderWatch.h"
#include "platform/Media.h"
#include "platform/Worker.h"
#include "store/FileHome.h"
#include "store/Options.h"
#include "store/RegHelper.h"
#include "store/StoreWriter.h"

namespace {

std::wstring ProgramFolder()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return path.substr(0, path.find_last_of(L"\\/"));
}

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L"\\/")); }

// What the home tells from the writer's thread or a watch, told on the icon from the GUI thread.
void TellOnIcon(const std::wstring& text)
{
    platform::PostToWindow(g_hMainWnd, [text] { g_TrayIcon.ShowBalloon(L"Tabula", text.c_str()); });
}

std::shared_ptr<store::CFileHome> MakeHome(const std::wstring& path, store::HomeKind kind)
{
    auto home = std::make_shared<store::CFileHome>(path, kind);
    home->SetReport(TellOnIcon);
    // An option's write takes its turn behind the trees, off the GUI thread.
    home->SetWriteLater([](std::function<void()> write) { g_StoreWriter.Submit(std::move(write)); });
    return home;
}

// The options that a new home is to keep, as the home in force has them.
struct CarriedOptions {
    store::Hotkey hotkey = store::LoadHotkey(), findHotkey = store::LoadFindHotkey();
    bool showRecent = store::LoadShowRecent();
    platform::ThemeChoice theme = store::LoadTheme();
    void Save() const
    {
        store::SaveHotkey(hotkey), store::SaveFindHotkey(findHotkey), store::SaveShowRecent(showRecent),
            store::SaveTheme(theme);
    }
};

// The running program takes the options that a file changed elsewhere brought.
void FollowOptions(HWND window)
{
    ClaimHotkey(window, store::LoadFindHotkey(), kFindHotkeyId);
    g_TodayMenu.SetShowRecent(store::LoadShowRecent());
    ChooseTheme(store::LoadTheme());
}

// On the GUI thread: a file that another copy wrote takes the menu's place, unless its home is no longer in force.
void TakeOutside(const std::weak_ptr<store::CFileHome>& from, store::TreeFile file, ULONGLONG digest)
{
    const std::shared_ptr<store::CFileHome> home = from.lock();
    if (!home || home != g_RegHelper.FileHome())
        return;
    // What this copy has queued reaches the file first, or is kept beside it.
    g_StoreWriter.Flush();
    const store::PlainTree ours = store::SnapshotOf(g_TodayMenu);
    if (home->Unwritten()) {
        const std::wstring kept = home->KeepConflict(ours);
        TellOnIcon(L"The menu file was changed elsewhere while this menu could not be stored. " +
                   (kept.empty() ? std::wstring(L"This menu could not be kept beside it.") : L"This menu was kept as " + kept + L"."));
    }
    home->TakeOutside(file, digest, ours);
    CTreeEditor(ProgramSettings(g_hMainWnd)).Replace(file);
    FollowOptions(g_hMainWnd);
}

}  // namespace

void ChooseMenuHome(bool portable)
{
    const std::wstring beside = ProgramFolder() + L"\\" + store::kPortableFileName;
    portable = portable || platform::media::Attributes(beside) != INVALID_FILE_ATTRIBUTES;
    if (portable) {
        g_RegHelper.UseHome(MakeHome(beside, store::HomeKind::Portable));
        // A portable copy keeps its backups with it too.
        g_StoreWriter.Backups().SetFolder(ProgramFolder() + L"\\Backups");
    } else if (const std::optional<std::wstring> followed = store::LoadMenuFile()) {
        g_RegHelper.UseHome(MakeHome(*followed, store::HomeKind::Followed));
    }
}

bool IsPortable()
{
    const std::shared_ptr<store::CFileHome> home = g_RegHelper.FileHome();
    return home && home->Kind() == store::HomeKind::Portable;
}

bool MoveMenuHome(HWND mainWindow, const std::wstring& path, std::wstring* error)
{
    if (IsPortable()) {
        *error = L"A portable Tabula keeps its menu beside it.";
        return false;
    }
    g_StoreWriter.Flush();
    const std::shared_ptr<store::CFileHome> before = g_RegHelper.FileHome();
    const CarriedOptions options;
    std::optional<store::TreeFile> existing;
    if (!path.empty() && platform::media::Attributes(path) != INVALID_FILE_ATTRIBUTES) {
        existing = store::ReadTreeFile(path, error);
        if (!existing)
            return false;
    }
    g_Follower.Stop();
    g_RegHelper.UseHome(path.empty() ? nullptr : MakeHome(path, store::HomeKind::Followed));
    bool moved = false;
    if (existing) {
        // A file that another machine keeps already: its menu and options come in.
        const std::shared_ptr<store::CFileHome> home = g_RegHelper.FileHome();
        home->Load();
        moved = CTreeEditor(ProgramSettings(mainWindow)).Replace(*existing);
        if (moved)
            FollowOptions(mainWindow);
    } else {
        options.Save();
        moved = g_StoreWriter.Write(store::SnapshotOf(g_TodayMenu));
    }
    if (moved && store::SaveMenuFile(path)) {
        g_Follower.Start(mainWindow);
        return true;
    }
    *error = L"The menu could not be stored in " + (path.empty() ? g_RegHelper.Where() : path) + L"; it stays where it was.";
    g_RegHelper.UseHome(before);
    g_Follower.Start(mainWindow);
    return false;
}

CMenuFollower::CMenuFollower() = default;
CMenuFollower::~CMenuFollower() = default;

void CMenuFollower::Start(HWND window)
{
    Stop();
    const std::shared_ptr<store::CFileHome> home = g_RegHelper.FileHome();
    if (!home)
        return;
    const std::weak_ptr<store::CFileHome> followed = home;
    watch_ = std::make_unique<platform::CFolderWatch>(FolderOf(home->Path()), [followed, window] {
        const std::shared_ptr<store::CFileHome> home = followed.lock();
        if (!home)
            return;
        std::wstring broken;
        ULONGLONG digest = 0;
        std::optional<store::TreeFile> file = home->Look(&broken, &digest);
        if (file)
            platform::PostToWindow(window, [followed, file = std::move(*file), digest] { TakeOutside(followed, file, digest); });
        else if (!broken.empty())
            TellOnIcon(L"The menu file was changed elsewhere, but is no menu file now, and is ignored: " + broken);
    });
}

void CMenuFollower::Stop() { watch_.reset(); }
