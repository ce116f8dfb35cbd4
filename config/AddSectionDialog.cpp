#include "config/AddSectionDialog.h"

#include <string>

#include "config/SettingsContext.h"
#include "menu/TodayMenu.h"
#include "platform/DialogLayout.h"
#include "res/resource.h"

namespace {

// A section title holds at most this many characters; the rest of the typed text is dropped.
constexpr int kTitleCapacity = 255;

void OnAddSectionOk(HWND dialog)
{
    std::wstring title(kTitleCapacity + 1, L'\0');
    const int length = GetDlgItemTextW(dialog, IDC_SECTION_NAME, title.data(), kTitleCapacity + 1);
    title.resize(length > 0 ? length : 0);
    SettingsContext::Of(dialog).menu->AppendSection(title, 0);
    EndDialog(dialog, ADD_SECTION_ADDED);
}

}  // namespace

INT_PTR RunAddSectionDialog(HWND owner, const SettingsContext& settings)
{
    LPCDLGTEMPLATEW dialogTemplate = platform::FindDialogTemplate(settings.instance, IDD_ADD_SECTION);
    if (!dialogTemplate)
        return -1;
    return DialogBoxIndirectParamW(settings.instance, dialogTemplate, owner, AddSectionDlgProc,
                                   reinterpret_cast<LPARAM>(&settings));
}

INT_PTR CALLBACK AddSectionDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SettingsContext::Keep(dialog, lParam);
        return TRUE;   // the focus goes to the name box, the first control with a tab stop
    case WM_COMMAND:
        // Of the commands, only the two buttons end the dialog (Enter presses OK, the default button);
        // Escape's IDCANCEL is not answered.
        if (LOWORD(wParam) == IDC_ADD_SECTION_OK) {
            OnAddSectionOk(dialog);
            return TRUE;
        }
        if (LOWORD(wParam) == IDC_ADD_SECTION_CANCEL) {
            EndDialog(dialog, ADD_SECTION_CANCELLED);
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        // The caption's close button cancels, as the Cancel button does; Escape still does nothing.
        EndDialog(dialog, ADD_SECTION_CANCELLED);
        return TRUE;
    }
    return FALSE;
}
