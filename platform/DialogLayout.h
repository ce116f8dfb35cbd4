#pragma once
// Dialog templates of the program's resources, and the operation that lays any live dialog out from one: the
// device's way of following the screen's shape with a template for each.
#include <windows.h>

#include <string>

namespace platform {

// A dialog template of an instance's resources, or null.
LPCDLGTEMPLATEW FindDialogTemplate(HINSTANCE instance, int id);

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

// A dialog's base units (the pixels of 4 dialog units across and of 8 down), by the font it shows now: the one it was
// made with, or one that a change of density gave it since (platform/Shell.h DensityFont).
SIZE DialogBaseUnits(HWND dialog);

// Moves the dialog's controls to the positions of the template (all in one batch), in the units of the font the dialog
// shows now (a change of density gives it another), and refreshes their content. True when every control was found,
// mapped and moved, the batch was committed and the template holds fewer than two controls with id 0xFFFF.
bool ApplyDialogLayout(HINSTANCE instance, HWND dialog, int templateId);
// The same, leaving the controls' content as it is: the template the dialog was made from, laid out again at another
// density.
bool PlaceDialogItems(HINSTANCE instance, HWND dialog, int templateId);

// Gives a moved control its template content again: a static's icon or bitmap, a button's or static's
// text, a list or combo box's selection.
void RefreshDialogItem(HINSTANCE instance, HWND dialog, const DialogTemplateItem& item);

}  // namespace platform
