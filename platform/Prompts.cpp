#include "platform/Prompts.h"

#include <objbase.h>
#include <shlobj.h>

#include <sstream>
#include <utility>

#include "platform/Handles.h"
#include "platform/Shell.h"
#include "platform/ShellIcons.h"
#include "platform/ShellUi.h"

namespace platform {

namespace {

// What a message box needs beside its text: its borders, its icon and the margins around them.
constexpr int kMessageBoxFrame = 90;

int TextWidth(HDC dc, const std::wstring& text)
{
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

// One line broken at spaces into lines of at most room pixels (a single longer word stays whole).
std::wstring WrapLine(HDC dc, const std::wstring& line, int room)
{
    if (TextWidth(dc, line) <= room)
        return line;
    std::wistringstream words(line);
    std::wstring word, wrapped, current;
    while (words >> word) {
        const std::wstring longer = current.empty() ? word : current + L" " + word;
        if (!current.empty() && TextWidth(dc, longer) > room) {
            wrapped += current + L"\n";
            current = word;
        } else {
            current = longer;
        }
    }
    return wrapped + current;
}

// A desktop message box makes itself as wide as the text's longest line, and one wider than the
// screen is cut at both edges. Lines too long for the visible desktop are broken at spaces.
std::wstring FitLinesToScreen(const std::wstring& text)
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        return text;
    handles::unique_hfont font(CreateFontIndirectW(&metrics.lfMessageFont));
    handles::window_dc screen(nullptr);
    if (!font || !screen)
        return text;
    handles::select_object selected(screen.get(), font.get());
    const RECT visible = VisibleDesktop();
    const int room = visible.right - visible.left - kMessageBoxFrame;
    std::wstring fitted;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(L'\n', start);
        fitted += WrapLine(screen.get(), text.substr(start, end - start), room);
        if (end == std::wstring::npos)
            return fitted;
        fitted += L'\n';
        start = end + 1;
    }
}

MessageAnswer& MessageHook()
{
    static MessageAnswer answer;
    return answer;
}

OpenFileAnswer& OpenFileHook()
{
    static OpenFileAnswer answer;
    return answer;
}

OpenFileAnswer& SaveFileHook()
{
    static OpenFileAnswer answer;
    return answer;
}

FolderAnswer& FolderHook()
{
    static FolderAnswer answer;
    return answer;
}

IconAnswer& IconHook()
{
    static IconAnswer answer;
    return answer;
}

}  // namespace

int ShowMessage(HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags)
{
    if (MessageHook())
        return MessageHook()(owner, text, caption, flags);
    return MessageBoxW(owner, FitLinesToScreen(text).c_str(), caption.c_str(), flags);
}

bool ShowOpenFileDialog(OPENFILENAMEW& record)
{
    const bool chosen = OpenFileHook() ? OpenFileHook()(record) : GetOpenFileNameW(&record) != FALSE;
    // A dialog ended from outside (the program exiting under it) reports a choice without a name.
    return chosen && record.lpstrFile && record.lpstrFile[0] != L'\0';
}

bool ShowSaveFileDialog(OPENFILENAMEW& record)
{
    const bool chosen = SaveFileHook() ? SaveFileHook()(record) : GetSaveFileNameW(&record) != FALSE;
    return chosen && record.lpstrFile && record.lpstrFile[0] != L'\0';
}

std::optional<std::wstring> ChooseFolder(HWND owner, const std::wstring& title)
{
    if (FolderHook())
        return FolderHook()(owner);
    wchar_t path[MAX_PATH] = {};
    BROWSEINFOW browse{};
    browse.hwndOwner = owner;
    browse.pszDisplayName = path;
    browse.lpszTitle = title.c_str();
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    PIDLIST_ABSOLUTE folder = SHBrowseForFolderW(&browse);
    if (!folder)
        return std::nullopt;
    const bool named = SHGetPathFromIDListW(folder, path) && path[0] != L'\0';
    CoTaskMemFree(folder);
    return named ? std::optional<std::wstring>(path) : std::nullopt;
}

std::optional<std::wstring> PickIcon(HWND owner, const std::wstring& location)
{
    if (IconHook())
        return IconHook()(owner, location);
    // Some systems export the picker by its ordinal alone.
    using PickIconDialog = int(WINAPI*)(HWND, PWSTR, UINT, int*);
    const auto pick = reinterpret_cast<PickIconDialog>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"shell32.dll"), MAKEINTRESOURCEA(62))));
    IconLocation place = ParseIconLocation(location);
    std::wstring file = ResolveDevicePath(place.file);
    if (!pick || file.size() >= MAX_PATH)
        return std::nullopt;
    file.resize(MAX_PATH);
    if (!pick(owner, file.data(), MAX_PATH, &place.index))
        return std::nullopt;
    place.file = file.c_str();
    return FormatIconLocation(place);
}

void SetMessageAnswer(MessageAnswer answer) { MessageHook() = std::move(answer); }

void SetOpenFileAnswer(OpenFileAnswer answer) { OpenFileHook() = std::move(answer); }

void SetSaveFileAnswer(OpenFileAnswer answer) { SaveFileHook() = std::move(answer); }

void SetFolderAnswer(FolderAnswer answer) { FolderHook() = std::move(answer); }

void SetIconAnswer(IconAnswer answer) { IconHook() = std::move(answer); }

}  // namespace platform
