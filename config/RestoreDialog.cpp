#include "config/RestoreDialog.h"

#include "platform/DialogLayout.h"
#include "platform/Theme.h"
#include "res/resource.h"

namespace {

BOOL OnInitDialog(HWND dialog, LPARAM backups)
{
    const HWND list = GetDlgItem(dialog, IDC_BACKUP_LIST);
    for (const store::Backup& backup : *reinterpret_cast<const std::vector<store::Backup>*>(backups))
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(BackupLabel(backup).c_str()));
    SendMessageW(list, LB_SETCURSEL, 0, 0);
    return TRUE;
}

// The index of the backup chosen, as the dialog's result; cancelled with -1.
void Choose(HWND dialog)
{
    const LRESULT chosen = SendDlgItemMessageW(dialog, IDC_BACKUP_LIST, LB_GETCURSEL, 0, 0);
    EndDialog(dialog, chosen == LB_ERR ? -1 : chosen);
}

}  // namespace

std::wstring BackupLabel(const store::Backup& backup)
{
    wchar_t label[96] = {};
    swprintf(label, 96, L"%04u-%02u-%02u %02u:%02u   %zu %ls", backup.time.wYear, backup.time.wMonth, backup.time.wDay,
             backup.time.wHour, backup.time.wMinute, backup.entries, backup.entries == 1 ? L"entry" : L"entries");
    return label;
}

std::optional<std::wstring> RunRestoreDialog(HWND owner, HINSTANCE instance, const std::vector<store::Backup>& backups)
{
    LPCDLGTEMPLATEW dialogTemplate = platform::FindDialogTemplate(instance, IDD_RESTORE);
    const INT_PTR chosen = dialogTemplate ? DialogBoxIndirectParamW(instance, dialogTemplate, owner, RestoreDlgProc,
                                                                    reinterpret_cast<LPARAM>(&backups))
                                          : -1;
    if (chosen < 0 || static_cast<size_t>(chosen) >= backups.size())
        return std::nullopt;
    return backups[chosen].path;
}

INT_PTR CALLBACK RestoreDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (INT_PTR answer = 0; platform::AnswerLookMessage(dialog, message, wParam, lParam, &answer))
        return answer;
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog, lParam);
    case WM_SIZE:
        // Laid out again in the units of the font it shows: a change of density gives it another.
        platform::PlaceDialogItems(reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog, GWLP_HINSTANCE)), dialog,
                                   IDD_RESTORE);
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || (LOWORD(wParam) == IDC_BACKUP_LIST && HIWORD(wParam) == LBN_DBLCLK))
            Choose(dialog);
        else if (LOWORD(wParam) == IDCANCEL)
            EndDialog(dialog, -1);
        return TRUE;
    case WM_CLOSE: EndDialog(dialog, -1); return TRUE;
    }
    return FALSE;
}
