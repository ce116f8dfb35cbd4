#include "platform/Theme.h"

#include <commctrl.h>

#include <cwchar>

#include "platform/Registry.h"
#include "platform/Shell.h"

namespace platform {

namespace {

const wchar_t kPersonalizeKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
// A window that has been given the dark look at least once: only such a window is touched to go light again.
const wchar_t kDarkProperty[] = L"Tabula.DarkLook";
// The theme lent to a window.
const wchar_t kThemeProperty[] = L"Tabula.Theme";

// The dark palette: light text on near-black, a blue highlight that keeps the keyboard's place visible, and a grey that
// still reads for what is not available.
constexpr Palette kDark = {RGB(43, 43, 43),  RGB(242, 242, 242), RGB(130, 130, 130), RGB(0, 95, 170),
                           RGB(255, 255, 255), RGB(90, 90, 90),  RGB(32, 32, 32),    RGB(242, 242, 242),
                           RGB(55, 55, 55),    RGB(242, 242, 242)};

// The build of the running system, or 0 when it cannot be read.
DWORD SystemBuild()
{
    using GetVersion = LONG(WINAPI*)(OSVERSIONINFOW*);
    const auto get = reinterpret_cast<GetVersion>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion"));
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(version);
    return get && get(&version) == 0 ? version.dwBuildNumber : 0;
}

HMODULE ThemeLibrary()
{
    static const HMODULE library = LoadLibraryW(L"uxtheme.dll");
    return library;
}

// The menus that the system draws for the process (their border, the scroll arrows of a long one) in its dark or
// light colours. Only Windows 10 from build 18362 has this, and only by number: an older build gives the same numbers
// to other calls, and a system without them (Wine, the device) leaves its menus as they are.
void UseDarkSystemMenus(bool dark)
{
    constexpr DWORD kFirstBuild = 18362;
    constexpr int kForceDark = 2, kForceLight = 3;
    if (SystemBuild() < kFirstBuild || !ThemeLibrary())
        return;
    using SetAppMode = int(WINAPI*)(int);
    using FlushMenus = void(WINAPI*)();
    const auto setMode = reinterpret_cast<SetAppMode>(GetProcAddress(ThemeLibrary(), MAKEINTRESOURCEA(135)));
    const auto flush = reinterpret_cast<FlushMenus>(GetProcAddress(ThemeLibrary(), MAKEINTRESOURCEA(136)));
    if (setMode && flush) {
        setMode(dark ? kForceDark : kForceLight);
        flush();
    }
}

// The system's dark version of a control's theme (Windows 10 and later); none where it has no such theme.
void UseDarkControlTheme(HWND control, bool dark)
{
    using SetTheme = HRESULT(WINAPI*)(HWND, const wchar_t*, const wchar_t*);
    const auto set = ThemeLibrary() ? reinterpret_cast<SetTheme>(GetProcAddress(ThemeLibrary(), "SetWindowTheme")) : nullptr;
    if (!set)
        return;
    wchar_t name[32] = {};
    GetClassNameW(control, name, 32);
    const bool field = !_wcsicmp(name, WC_COMBOBOXW) || !_wcsicmp(name, WC_EDITW);
    // A list's column header has a dark theme of its own.
    const wchar_t* own = !_wcsicmp(name, WC_HEADERW) ? L"DarkMode_ItemsView" : field ? L"DarkMode_CFD" : L"DarkMode_Explorer";
    set(control, dark ? own : nullptr, nullptr);
}

// A dark caption where the window manager draws one (Windows 10 from build 18985 on; before that attribute 19).
void UseDarkCaption(HWND window, bool dark)
{
    static const HMODULE library = LoadLibraryW(L"dwmapi.dll");
    using SetAttribute = HRESULT(WINAPI*)(HWND, DWORD, const void*, DWORD);
    const auto set = library ? reinterpret_cast<SetAttribute>(GetProcAddress(library, "DwmSetWindowAttribute")) : nullptr;
    const DWORD build = SystemBuild();
    if (!set || build < 17763)
        return;
    const BOOL on = dark;
    set(window, build >= 18985 ? 20 : 19, &on, sizeof(on));
}

void ApplyListColours(HWND list, const CTheme& theme)
{
    const Palette& p = theme.Colours();
    ListView_SetBkColor(list, p.window);
    ListView_SetTextBkColor(list, p.window);
    ListView_SetTextColor(list, p.windowText);
}

BOOL CALLBACK ApplyToControl(HWND control, LPARAM theme)
{
    const CTheme& look = *reinterpret_cast<const CTheme*>(theme);
    wchar_t name[32] = {};
    GetClassNameW(control, name, 32);
    if (!_wcsicmp(name, WC_LISTVIEWW))
        ApplyListColours(control, look);
    UseDarkControlTheme(control, look.Dark());
    return TRUE;
}

}  // namespace

bool SystemPrefersDark()
{
    const reg::unique_hkey key = reg::OpenKey(HKEY_CURRENT_USER, kPersonalizeKey);
    const std::optional<DWORD> light = key ? reg::ReadDword(key.get(), L"AppsUseLightTheme") : std::nullopt;
    return light && *light == 0;
}

Look LookOf(ThemeChoice choice)
{
    if (HighContrast())
        return Look::Contrast;
    const bool dark = choice == ThemeChoice::Dark || (choice == ThemeChoice::System && SystemPrefersDark());
    return dark ? Look::Dark : Look::Light;
}

Palette PaletteOf(Look look)
{
    if (look == Look::Dark)
        return kDark;
    return {GetSysColor(COLOR_MENU),   GetSysColor(COLOR_MENUTEXT),   GetSysColor(COLOR_GRAYTEXT),
            GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_HIGHLIGHTTEXT), GetSysColor(COLOR_GRAYTEXT),
            GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_BTNFACE),
            GetSysColor(COLOR_BTNTEXT)};
}

bool IsLookChange(UINT message, LPARAM lParam)
{
    if (message == WM_SYSCOLORCHANGE)
        return true;
    // "ImmersiveColorSet" for the light or dark choice; a contrast scheme comes as a change of its own parameter.
    const auto* area = reinterpret_cast<const wchar_t*>(lParam);
    return message == WM_SETTINGCHANGE && (!area || !wcscmp(area, L"ImmersiveColorSet"));
}

CTheme::CTheme(ThemeChoice choice) : choice_(choice) { Refresh(); }

bool CTheme::Choose(ThemeChoice choice)
{
    choice_ = choice;
    return Refresh();
}

bool CTheme::Refresh()
{
    const Look before = look_;
    const Palette old = palette_;
    look_ = LookOf(choice_);
    palette_ = PaletteOf(look_);
    const bool changed = look_ != before;
    if (look_ == Look::Dark && (changed || !window_)) {
        window_.reset(CreateSolidBrush(palette_.window));
        face_.reset(CreateSolidBrush(palette_.face));
        menu_.reset(CreateSolidBrush(palette_.menu));
    }
    if (changed)
        UseDarkSystemMenus(look_ == Look::Dark);
    return changed || memcmp(&old, &palette_, sizeof(old)) != 0;
}

HBRUSH CTheme::WindowBrush() const { return Dark() ? window_.get() : SysColorBrush(COLOR_WINDOW); }
HBRUSH CTheme::FaceBrush() const { return Dark() ? face_.get() : SysColorBrush(COLOR_BTNFACE); }
HBRUSH CTheme::MenuBrush() const { return Dark() ? menu_.get() : SysColorBrush(COLOR_MENU); }

void LendTheme(HWND window, CTheme* theme) { SetPropW(window, kThemeProperty, theme); }

CTheme* ThemeOf(HWND window)
{
    for (HWND root = GetAncestor(window, GA_ROOT); root; root = GetAncestor(GetWindow(root, GW_OWNER), GA_ROOT))
        if (auto* theme = static_cast<CTheme*>(GetPropW(root, kThemeProperty)))
            return theme;
    return nullptr;
}

INT_PTR DarkControlColours(HWND window, UINT message, WPARAM dc)
{
    const CTheme* theme = ThemeOf(window);
    if (!theme || !theme->Dark() || message < WM_CTLCOLORMSGBOX || message > WM_CTLCOLORSTATIC)
        return 0;
    const Palette& p = theme->Colours();
    SetTextColor(reinterpret_cast<HDC>(dc), p.windowText);
    SetBkColor(reinterpret_cast<HDC>(dc), p.window);
    return reinterpret_cast<INT_PTR>(theme->WindowBrush());
}

void ApplyLook(HWND window)
{
    const CTheme* theme = ThemeOf(window);
    if (!theme || (!theme->Dark() && !GetPropW(window, kDarkProperty)))
        return;
    if (theme->Dark())
        SetPropW(window, kDarkProperty, reinterpret_cast<HANDLE>(1));
    UseDarkCaption(window, theme->Dark());
    UseDarkControlTheme(window, theme->Dark());
    EnumChildWindows(window, ApplyToControl, reinterpret_cast<LPARAM>(theme));
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

void FollowLookChange(HWND window)
{
    if (CTheme* theme = ThemeOf(window)) {
        theme->Refresh();
        ApplyLook(window);
    }
}

void FollowDensityChange(HWND window, WPARAM wParam, LPARAM lParam)
{
    const int from = WindowDensity(window), to = HIWORD(wParam);
    if (to <= 0)
        return;
    SetWindowDensity(window, to);
    LOGFONTW shape{};
    const HFONT made = DensityFont(window);
    const auto current = made ? made : reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    if (current && GetObjectW(current, sizeof(shape), &shape) && from > 0) {
        shape.lfHeight = MulDiv(shape.lfHeight, to, from);
        const HFONT font = CreateFontIndirectW(&shape);
        SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        EnumChildWindows(window, [](HWND control, LPARAM font) {
            return SendMessageW(control, WM_SETFONT, static_cast<WPARAM>(font), TRUE), TRUE; }, reinterpret_cast<LPARAM>(font));
        KeepDensityFont(window, font);
    }
    if (const auto* suggested = reinterpret_cast<const RECT*>(lParam))
        SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool AnswerLookMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* answer)
{
    if (IsLookChange(message, lParam))
        FollowLookChange(dialog);
    if (message == WM_INITDIALOG)
        ApplyLook(dialog);
    if (message == WM_NCDESTROY)
        ForgetWindowLook(dialog);
    if (message == WM_DPICHANGED) {
        FollowDensityChange(dialog, wParam, lParam);
        // Laid out again at the new font's units, even where the suggested size is the one it had.
        RECT client{};
        GetClientRect(dialog, &client);
        SendMessageW(dialog, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
        *answer = TRUE;
        return true;
    }
    *answer = DarkControlColours(dialog, message, wParam);
    return *answer != 0;
}

void ForgetWindowLook(HWND window)
{
    RemovePropW(window, kThemeProperty);
    RemovePropW(window, kDarkProperty);
    SetWindowDensity(window, 0);   // and the font made for it
}

}  // namespace platform
