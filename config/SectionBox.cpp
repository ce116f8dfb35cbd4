#include "config/SectionBox.h"

#include <commctrl.h>

#include <string>

#include "menu/TodayMenu.h"
#include "platform/Handles.h"
#include "platform/Shell.h"
#include "platform/Theme.h"

namespace {

const wchar_t kLabelText[] = L"Section:";
// Entries of the section box that its drop-down list shows without scrolling.
constexpr int kDropDownEntries = 8;

void AddBoxEntry(HWND box, const std::wstring& text, int id)
{
    const LRESULT index = SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (index >= 0)
        SendMessageW(box, CB_SETITEMDATA, index, id);
}

// Bold "Section:" in the label's own font, against its right edge, on the window colour.
void DrawSectionLabel(HWND label, HDC dc)
{
    handles::select_object labelFont(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    LOGFONTW bold{};
    GetTextFaceW(dc, LF_FACESIZE, bold.lfFaceName);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    bold.lfHeight = metrics.tmHeight;
    bold.lfWeight = FW_BOLD;
    handles::unique_hfont font(CreateFontIndirectW(&bold));
    handles::select_object boldFont(dc, font.get());
    RECT area{};
    GetClientRect(label, &area);
    const platform::CTheme* theme = platform::ThemeOf(label);
    const bool dark = theme && theme->Dark();
    FillRect(dc, &area, dark ? theme->WindowBrush() : platform::SysColorBrush(COLOR_WINDOW));
    SetBkColor(dc, dark ? theme->Colours().window : GetSysColor(COLOR_WINDOW));
    SetTextColor(dc, dark ? theme->Colours().windowText : GetSysColor(COLOR_WINDOWTEXT));
    DrawTextW(dc, kLabelText, -1, &area, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
}

LRESULT CALLBACK SectionLabelProc(HWND label, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT paint{};
        DrawSectionLabel(label, BeginPaint(label, &paint));
        EndPaint(label, &paint);
        return 0;
    }
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(label, SectionLabelProc, 0);
    return DefSubclassProc(label, message, wParam, lParam);
}

}  // namespace

SectionList SectionsOf(const CTodayMenu& menu)
{
    SectionList sections;
    ForEachEntry(menu.Root, [&sections](const CItem& item, int) {
        if (item.IsSection())
            sections.emplace_back(item.ID, item.Caption);
    });
    return sections;
}

SectionList FillSectionBox(HWND box, const CTodayMenu& menu)
{
    SectionList sections = SectionsOf(menu);
    SendMessageW(box, WM_SETREDRAW, FALSE, 0);
    SendMessageW(box, CB_RESETCONTENT, 0, 0);
    AddBoxEntry(box, L"General", 0);
    for (const auto& [id, title] : sections)
        AddBoxEntry(box, title, id);
    SendMessageW(box, CB_SETCURSEL, 0, 0);
    SendMessageW(box, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(box, nullptr, TRUE);
    return sections;
}

void PlaceSectionBox(HWND box, int x, const PageRect& closed)
{
    const int entryHeight = static_cast<int>(SendMessageW(box, CB_GETITEMHEIGHT, 0, 0));
    const int dropDown = entryHeight > 0 ? entryHeight * kDropDownEntries + 2 : 0;
    MoveWindow(box, x, platform::ScaledFor(box, 5), closed.width, closed.height + dropDown, TRUE);
}

void PaintSectionLabel(HWND label) { SetWindowSubclass(label, SectionLabelProc, 0, 0); }
