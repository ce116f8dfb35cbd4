#include "config/AddSectionDialog.h"

#include "platform/DialogLayout.h"
#include "platform/Theme.h"
#include "res/resource.h"

namespace {

// A section title holds at most this many characters; the rest of the typed text is dropped.
constexpr int kTitleCapacity = 255;

// Results of the dialog.
constexpr INT_PTR kNamed = 1;
constexpr INT_PTR kCancelled = 2;

void OnAddSectionOk(HWND dialog)
{
    std::wstring& title = *reinterpret_cast<std::wstring*>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
    title.assign(kTitleCapacity + 1, L'\0');
    const int length = GetDlgItemTextW(dialog, IDC_SECTION_NAME, title.data(), kTitleCapacity + 1);
    title.resize(length > 0 ? length : 0);
    EndDialog(dialog, kNamed);
}

}  // namespace

std::optional<std::wstring> AskSectionName(HWND owner, HINSTANCE instance)
{
    LPCDLGTEMPLATEW dialogTemplate = platform::FindDialogTemplate(instance, IDD_ADD_SECTION);
    std::wstring title;
    if (!dialogTemplate || DialogBoxIndirectParamW(instance, dialogTemplate, owner, AddSectionDlgProc,
                                                   reinterpret_cast<LPARAM>(&title)) != kNamed)
        return std::nullopt;
    return title;
}

INT_PTR CALLBACK AddSectionDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (INT_PTR answer = 0; platform::AnswerLookMessage(dialog, message, wParam, lParam, &answer))
        return answer;
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, GWLP_USERDATA, lParam);
        return TRUE;   // the focus goes to the name box, the first control with a tab stop
    case WM_SIZE:
        // Laid out again in the units of the font it shows: a change of density gives it another.
        platform::PlaceDialogItems(reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog, GWLP_HINSTANCE)), dialog,
                                   IDD_ADD_SECTION);
        return FALSE;
    case WM_COMMAND:
        // Of the commands, only the two buttons end the dialog (Enter presses OK, the default button);
        // Escape's IDCANCEL is not answered.
        if (LOWORD(wParam) == IDC_ADD_SECTION_OK) {
            OnAddSectionOk(dialog);
            return TRUE;
        }
        if (LOWORD(wParam) == IDC_ADD_SECTION_CANCEL) {
            EndDialog(dialog, kCancelled);
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        // The caption's close button cancels, as the Cancel button does; Escape still does nothing.
        EndDialog(dialog, kCancelled);
        return TRUE;
    }
    return FALSE;
}
