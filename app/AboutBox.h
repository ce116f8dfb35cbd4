#pragma once
// The About box, and the general operation that lays any dialog out from a dialog template.
#include <windows.h>

#include <string>

// One control of a dialog template, as the template gives it.
struct DialogTemplateItem {
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;   // dialog units
    WORD id = 0;
    WORD classAtom = 0;                   // a predefined class number, or 0 when the class is named
    std::wstring className;
    bool titleIsResource = false;         // the title is a resource id (an icon or a bitmap)
    WORD titleResource = 0;
    std::wstring title;
};

// Predefined class numbers of dialog templates.
constexpr WORD DIALOG_CLASS_BUTTON = 0x0080;
constexpr WORD DIALOG_CLASS_STATIC = 0x0082;
constexpr WORD DIALOG_CLASS_LISTBOX = 0x0083;
constexpr WORD DIALOG_CLASS_COMBOBOX = 0x0085;

// Moves the dialog's controls to the positions of the template (all in one batch) and refreshes their
// content. True when every control was found, mapped and moved, the batch was committed and the
// template holds fewer than two controls with id 0xFFFF.
bool ApplyDialogLayout(HINSTANCE instance, HWND dialog, int templateId);

// Gives a moved control its template content again: a static's icon or bitmap, a button's or static's
// text, a list or combo box's selection.
void RefreshDialogItem(HINSTANCE instance, HWND dialog, const DialogTemplateItem& item);

// The About box's template for a screen of cx x cy: landscape (a square counts) or portrait.
int AboutTemplateFor(int screenWidth, int screenHeight);

// Shows the About box, modal, owned by owner.
void OpenAboutBox(HWND owner);

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
