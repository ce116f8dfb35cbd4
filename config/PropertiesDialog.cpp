#include "config/PropertiesDialog.h"

#include <iterator>

#include "config/ItemList.h"
#include "config/PageCommands.h"
#include "menu/TodayMenu.h"
#include "platform/DialogLayout.h"
#include "platform/IconCache.h"
#include "platform/Prompts.h"
#include "platform/Shell.h"
#include "platform/ShellIcons.h"
#include "platform/ShellUi.h"
#include "platform/Theme.h"
#include "res/resource.h"

namespace {

// The choices of the Run box, in its order.
const struct {
    DWORD show;
    const wchar_t* text;
} kRuns[] = {{SW_SHOWNORMAL, L"Normal window"}, {SW_SHOWMINNOACTIVE, L"Minimized"}, {SW_SHOWMAXIMIZED, L"Maximized"}};

const wchar_t kRunAsAdministrator[] = L"runas";

// What OK refuses, checked in this order: the field that is wrong, and what the user is told.
const struct {
    int control;
    bool (*refuses)(const DocumentEdit& edit);
    const wchar_t* text;
} kRefusals[] = {
    {IDC_PROP_PATH, [](const DocumentEdit& edit) { return edit.path.empty(); }, L"A document needs a path."},
    {IDC_PROP_PATH, [](const DocumentEdit& edit) { return edit.path.size() >= MAX_PATH; },
     L"The path is too long: a path holds at most 259 characters."},
    {IDC_PROP_ARGS, [](const DocumentEdit& edit) { return edit.properties.Args.value_or(L"").size() > kMaxArguments; },
     L"The arguments are too long: they hold at most 2,048 characters."},
    {IDC_PROP_START, [](const DocumentEdit& edit) { return edit.properties.StartIn.value_or(L"").size() >= MAX_PATH; },
     L"The start folder's path is too long: a path holds at most 259 characters."},
};

PropertiesDialogState& State(HWND dialog)
{
    return *reinterpret_cast<PropertiesDialogState*>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
}

std::wstring ControlText(HWND dialog, int control)
{
    HWND field = GetDlgItem(dialog, control);
    std::wstring text(GetWindowTextLengthW(field) + 1, L'\0');
    text.resize(GetWindowTextW(field, text.data(), static_cast<int>(text.size())));
    return text;
}

// A text field's value: one left as it was shown keeps its stored form (an empty stored value too); an emptied one
// is none.
std::optional<std::wstring> TypedValue(const std::wstring& typed, const std::optional<std::wstring>& shown)
{
    if (typed == shown.value_or(L""))
        return shown;
    return typed.empty() ? std::nullopt : std::optional<std::wstring>(typed);
}

DocumentEdit Typed(HWND dialog, const PropertiesDialogState& state)
{
    const DocumentProperties& shown = state.shown.properties;
    // A name is cut to what the lists show, as a rename cuts it.
    const std::wstring name = ControlText(dialog, IDC_PROP_NAME);
    DocumentEdit edit{name == state.shown.name ? name : name.substr(0, kListTextCapacity - 1),
                      ControlText(dialog, IDC_PROP_PATH), {}};
    DocumentProperties& typed = edit.properties;
    typed.Args = TypedValue(ControlText(dialog, IDC_PROP_ARGS), shown.Args);
    typed.StartIn = TypedValue(ControlText(dialog, IDC_PROP_START), shown.StartIn);
    // A window state left as it was shown keeps its stored form; a normal window needs none.
    const LRESULT run = SendDlgItemMessageW(dialog, IDC_PROP_RUN, CB_GETCURSEL, 0, 0);
    const DWORD show = kRuns[run > 0 && run < static_cast<LRESULT>(std::size(kRuns)) ? run : 0].show;
    typed.Show = show == shown.Show.value_or(SW_SHOWNORMAL) ? shown.Show
                 : show == SW_SHOWNORMAL                    ? std::nullopt
                                                            : std::optional<DWORD>(show);
    // Another verb stored by hand stays unless the box is checked.
    const bool elevated = IsDlgButtonChecked(dialog, IDC_PROP_ADMIN) == BST_CHECKED;
    typed.Verb = elevated == (shown.Verb == kRunAsAdministrator) ? shown.Verb
                 : elevated                                       ? std::optional<std::wstring>(kRunAsAdministrator)
                                                                  : std::nullopt;
    typed.Icon = state.icon;
    return edit;
}

// The picture beside the icon buttons shows the chosen icon, or the one of the file the path names: drawn again.
void ShowIcon(HWND dialog) { InvalidateRect(GetDlgItem(dialog, IDC_PROP_ICON), nullptr, TRUE); }

INT_PTR OnInit(HWND dialog, LPARAM lParam)
{
    SetWindowLongPtrW(dialog, GWLP_USERDATA, lParam);
    const PropertiesDialogState& state = State(dialog);
    platform::InitDialog(dialog, platform::INITDIALOG_SIZEFULLSCREEN);
    const DocumentEdit& shown = state.shown;
    SetDlgItemTextW(dialog, IDC_PROP_NAME, shown.name.c_str());
    SetDlgItemTextW(dialog, IDC_PROP_PATH, shown.path.c_str());
    SetDlgItemTextW(dialog, IDC_PROP_ARGS, shown.properties.Args.value_or(L"").c_str());
    SetDlgItemTextW(dialog, IDC_PROP_START, shown.properties.StartIn.value_or(L"").c_str());
    HWND runs = GetDlgItem(dialog, IDC_PROP_RUN);
    for (const auto& run : kRuns) {
        SendMessageW(runs, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(run.text));
        if (shown.properties.Show == run.show)
            SendMessageW(runs, CB_SETCURSEL, &run - kRuns, 0);
    }
    if (SendMessageW(runs, CB_GETCURSEL, 0, 0) == CB_ERR)
        SendMessageW(runs, CB_SETCURSEL, 0, 0);
    CheckDlgButton(dialog, IDC_PROP_ADMIN, shown.properties.Verb == kRunAsAdministrator ? BST_CHECKED : BST_UNCHECKED);
    if (!platform::OffersElevation())
        ShowWindow(GetDlgItem(dialog, IDC_PROP_ADMIN), SW_HIDE);
    if (state.icons)
        State(dialog).listener = state.icons->Listen([dialog](const std::set<std::wstring>&) { ShowIcon(dialog); });
    return TRUE;   // the focus goes to the name, the first field
}

void OnDestroy(HWND dialog)
{
    const auto state = reinterpret_cast<PropertiesDialogState*>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
    if (state && state->icons)
        state->icons->Forget(state->listener);
}

INT_PTR OnSize(HWND dialog, LPARAM lParam)
{
    // The dialog fills the screen: its own shape is the screen's. It is laid out before it knows its state too, and
    // again on a change of density, in its new font's units.
    const auto state = reinterpret_cast<PropertiesDialogState*>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
    if (state)
        platform::ApplyDialogLayout(state->instance, dialog,
                                    LOWORD(lParam) > HIWORD(lParam) ? IDD_PROPERTIES_LANDSCAPE : IDD_PROPERTIES_PORTRAIT);
    return FALSE;
}

void OnOk(HWND dialog)
{
    PropertiesDialogState& state = State(dialog);
    DocumentEdit edit = Typed(dialog, state);
    for (const auto& refusal : kRefusals) {
        if (refusal.refuses(edit)) {
            platform::ShowMessage(dialog, refusal.text, L"Properties", MB_OK | MB_ICONEXCLAMATION);
            SetFocus(GetDlgItem(dialog, refusal.control));
            return;
        }
    }
    state.applied = std::move(edit);
    EndDialog(dialog, IDOK);
}

void OnChangeIcon(HWND dialog)
{
    PropertiesDialogState& state = State(dialog);
    const std::wstring location =
        state.icon ? *state.icon : platform::FormatIconLocation({ControlText(dialog, IDC_PROP_PATH), 0});
    if (const auto picked = platform::PickIcon(dialog, location)) {
        state.icon = picked;
        ShowIcon(dialog);
    }
}

INT_PTR OnCommand(HWND dialog, int control, int code)
{
    switch (control) {
    case IDOK: OnOk(dialog); return TRUE;
    case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;   // the Cancel button, Escape
    case IDC_PROP_PATH_BROWSE:
        if (const auto file = ChooseDocumentFile(dialog, L"Choose Document")) {
            SetDlgItemTextW(dialog, IDC_PROP_PATH, file->c_str());
            ShowIcon(dialog);
        }
        return TRUE;
    case IDC_PROP_START_BROWSE:
        if (const auto folder = platform::ChooseFolder(dialog, L"Start in"))
            SetDlgItemTextW(dialog, IDC_PROP_START, folder->c_str());
        return TRUE;
    case IDC_PROP_CHANGE_ICON: OnChangeIcon(dialog); return TRUE;
    case IDC_PROP_DEFAULT_ICON:
        State(dialog).icon.reset();
        ShowIcon(dialog);
        return TRUE;
    case IDC_PROP_PATH:
        // The file's own icon shows once the path is typed.
        if (code == EN_KILLFOCUS)
            ShowIcon(dialog);
        return FALSE;
    }
    return FALSE;
}

INT_PTR OnDrawIcon(HWND dialog, const DRAWITEMSTRUCT* record)
{
    if (record->CtlID != IDC_PROP_ICON)
        return FALSE;
    const RECT& area = record->rcItem;
    const platform::CTheme* theme = platform::ThemeOf(dialog);
    FillRect(record->hDC, &area, theme ? theme->FaceBrush() : GetSysColorBrush(COLOR_BTNFACE));
    // At the small-icon size of the dialog's density.
    const SIZE size = platform::SmallIconSize(platform::WindowDensity(dialog));
    const int cx = size.cx, cy = size.cy;
    const PropertiesDialogState& state = State(dialog);
    const HICON icon = state.icons ? state.icons->Icon(ControlText(dialog, IDC_PROP_PATH), false, state.icon.value_or(L"")).icon
                                   : nullptr;
    if (icon)
        DrawIconEx(record->hDC, (area.left + area.right - cx) / 2, (area.top + area.bottom - cy) / 2, icon, cx, cy, 0,
                   nullptr, DI_NORMAL);
    return TRUE;
}

}  // namespace

DocumentEdit DocumentEditOf(const CItem& document)
{
    return {document.OwnCaption ? document.Caption : L"", document.Path, document.Properties};
}

std::optional<DocumentEdit> AskDocumentProperties(HWND owner, HINSTANCE instance, const DocumentEdit& shown,
                                                  platform::CIconCache* icons)
{
    LPCDLGTEMPLATEW dialogTemplate = platform::FindDialogTemplate(instance, IDD_PROPERTIES_PORTRAIT);
    PropertiesDialogState state{instance, shown, shown.properties.Icon, icons, std::nullopt, 0};
    if (!dialogTemplate ||
        DialogBoxIndirectParamW(instance, dialogTemplate, owner, PropertiesDlgProc, reinterpret_cast<LPARAM>(&state)) !=
            IDOK)
        return std::nullopt;
    return state.applied;
}

bool ApplyDocumentEdit(CTodayMenu& menu, int id, const DocumentEdit& edit)
{
    const CItem* entry = menu.Root.FindItem(id);
    if (!entry || !HasProperties(*entry))
        return false;
    const DocumentEdit now = DocumentEditOf(*entry);
    if (edit.name == now.name && edit.path == now.path && edit.properties == now.properties)
        return false;
    menu.ChangeDocument(id, edit.path, edit.properties);
    menu.RenameEntry(id, edit.name);
    return true;
}

INT_PTR CALLBACK PropertiesDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (INT_PTR answer = 0; platform::AnswerLookMessage(dialog, message, wParam, lParam, &answer))
        return answer;
    switch (message) {
    case WM_INITDIALOG: return OnInit(dialog, lParam);
    case WM_SIZE: return OnSize(dialog, lParam);
    case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    case WM_DRAWITEM: return OnDrawIcon(dialog, reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_DESTROY: OnDestroy(dialog); return FALSE;
    case WM_CLOSE: EndDialog(dialog, IDCANCEL); return TRUE;   // the caption's close button cancels
    }
    return FALSE;
}
