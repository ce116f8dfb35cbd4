#include "platform/DialogLayout.h"

#include <vector>

#include "platform/Handles.h"
#include "platform/Shell.h"

namespace platform {

namespace {

// Reads a dialog template resource, never past its end.
class TemplateReader {
public:
    TemplateReader(const BYTE* data, size_t size) : data_(data), size_(size) {}

    bool ok() const { return ok_; }
    size_t pos() const { return pos_; }

    void Seek(size_t pos)
    {
        if (pos > size_)
            ok_ = false;
        else
            pos_ = pos;
    }
    void AlignToDword() { Seek((pos_ + 3) & ~static_cast<size_t>(3)); }

    WORD Word()
    {
        if (!ok_ || size_ - pos_ < 2) {
            ok_ = false;
            return 0;
        }
        const WORD value = static_cast<WORD>(data_[pos_] | (data_[pos_ + 1] << 8));
        pos_ += 2;
        return value;
    }
    DWORD Dword()
    {
        const DWORD low = Word();
        return low | (static_cast<DWORD>(Word()) << 16);
    }
    // Either 0xFFFF and a number (true; text empty) or a zero-terminated text (false).
    bool NumberOrText(WORD& number, std::wstring& text)
    {
        number = 0;
        text.clear();
        WORD first = Word();
        if (first == 0xFFFF) {
            number = Word();
            return true;
        }
        while (ok_ && first != 0) {
            text.push_back(static_cast<wchar_t>(first));
            first = Word();
        }
        return false;
    }
    void SkipNumberOrText()
    {
        WORD number;
        std::wstring text;
        NumberOrText(number, text);
    }

private:
    const BYTE* data_;
    size_t size_;
    size_t pos_ = 0;
    bool ok_ = true;
};

// The header of a template: the item count, and the reader placed after the font.
WORD ReadTemplateHeader(TemplateReader& reader)
{
    const DWORD style = reader.Dword();
    reader.Dword();   // extended style
    const WORD count = reader.Word();
    reader.Seek(18);  // x, y, cx, cy
    reader.SkipNumberOrText();   // menu
    reader.SkipNumberOrText();   // class
    reader.SkipNumberOrText();   // title
    if (style & DS_SETFONT) {
        reader.Word();   // point size
        reader.SkipNumberOrText();
    }
    return count;
}

// Resource compilers may write a predefined class by its name instead of its number.
WORD PredefinedClassNumber(const std::wstring& name)
{
    static const struct { const wchar_t* name; WORD number; } classes[] = {
        {L"Button", DIALOG_CLASS_BUTTON},
        {L"Static", DIALOG_CLASS_STATIC},
        {L"ListBox", DIALOG_CLASS_LISTBOX},
        {L"ComboBox", DIALOG_CLASS_COMBOBOX},
    };
    for (const auto& entry : classes) {
        if (lstrcmpiW(name.c_str(), entry.name) == 0)
            return entry.number;
    }
    return 0;
}

DialogTemplateItem ReadTemplateItem(TemplateReader& reader)
{
    DialogTemplateItem item;
    reader.AlignToDword();
    item.style = reader.Dword();
    item.exStyle = reader.Dword();
    item.x = static_cast<short>(reader.Word());
    item.y = static_cast<short>(reader.Word());
    item.cx = static_cast<short>(reader.Word());
    item.cy = static_cast<short>(reader.Word());
    item.id = reader.Word();
    reader.NumberOrText(item.classAtom, item.className);
    if (!item.classAtom)
        item.classAtom = PredefinedClassNumber(item.className);
    item.titleIsResource = reader.NumberOrText(item.titleResource, item.title);
    // The creation data's size counts its own size word.
    const size_t extraStart = reader.pos();
    const WORD extra = reader.Word();
    if (extra != 0)
        reader.Seek(extraStart + extra);
    return item;
}

void RefreshStaticImage(HINSTANCE instance, HWND dialog, const DialogTemplateItem& item)
{
    const DWORD type = item.style & SS_TYPEMASK;
    if (type == SS_ICON) {
        // At the system's icon size, which grows with the screen's density.
        HICON icon = LoadIconAtSize(instance, item.titleResource, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
        if (!icon)
            return;   // a missing icon leaves the current one in place
        HANDLE old = reinterpret_cast<HANDLE>(SendDlgItemMessageW(dialog, item.id, STM_GETIMAGE, IMAGE_ICON, 0));
        SendDlgItemMessageW(dialog, item.id, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
        if (old)
            DestroyIcon(static_cast<HICON>(old));
    } else if (type == SS_BITMAP) {
        HBITMAP bitmap = LoadBitmapW(instance, MAKEINTRESOURCEW(item.titleResource));
        if (!bitmap)
            return;
        HANDLE old = reinterpret_cast<HANDLE>(SendDlgItemMessageW(dialog, item.id, STM_GETIMAGE, IMAGE_BITMAP, 0));
        SendDlgItemMessageW(dialog, item.id, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
        if (old)
            DeleteObject(old);
    }
}

// A control's place in pixels, mapped as the dialog was when it made the control: its corner and its size each.
RECT PlaceOf(const DialogTemplateItem& item, SIZE units)
{
    const int x = MulDiv(item.x, units.cx, 4), y = MulDiv(item.y, units.cy, 8);
    return {x, y, x + MulDiv(item.cx, units.cx, 4), y + MulDiv(item.cy, units.cy, 8)};
}

// Moves one control in the batch; once the batch has failed (and is gone) the control moves alone.
bool MoveItem(HDWP& batch, HWND control, const RECT& rect)
{
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (batch) {
        batch = DeferWindowPos(batch, control, nullptr, rect.left, rect.top, width, height, SWP_NOZORDER);
        if (batch)
            return true;
    }
    SetWindowPos(control, nullptr, rect.left, rect.top, width, height, SWP_NOZORDER);
    return false;
}

// Places the controls, and gives them their template content again where refresh says so.
bool LayOut(HINSTANCE instance, HWND dialog, int templateId, bool refresh)
{
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(templateId), RT_DIALOG);
    HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    const BYTE* data = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    if (!data)
        return false;
    TemplateReader reader(data, SizeofResource(instance, found));
    const WORD count = ReadTemplateHeader(reader);
    HDWP batch = BeginDeferWindowPos(count);
    if (!batch)
        return false;

    bool result = reader.ok();
    int unnamed = 0;
    const SIZE units = DialogBaseUnits(dialog);
    for (WORD i = 0; i < count && reader.ok(); ++i) {
        const DialogTemplateItem item = ReadTemplateItem(reader);
        if (!reader.ok()) {
            result = false;   // the template ends inside this item
            break;
        }
        if (item.id == 0xFFFF)
            ++unnamed;
        HWND control = GetDlgItem(dialog, item.id);
        if (!control) {
            result = false;
            continue;
        }
        if (!MoveItem(batch, control, PlaceOf(item, units)))
            result = false;
        if (refresh)
            RefreshDialogItem(instance, dialog, item);
    }
    if (!batch || !EndDeferWindowPos(batch))
        result = false;
    return result && unnamed < 2;
}

}  // namespace

bool ApplyDialogLayout(HINSTANCE instance, HWND dialog, int templateId)
{
    return LayOut(instance, dialog, templateId, true);
}

bool PlaceDialogItems(HINSTANCE instance, HWND dialog, int templateId)
{
    return LayOut(instance, dialog, templateId, false);
}

// The system keeps the units of the first font; these are found as it finds them (the average width of the letters, the
// font's height), so both agree until the font changes.
SIZE DialogBaseUnits(HWND dialog)
{
    const HFONT made = DensityFont(dialog);
    const auto font = made ? made : reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    const handles::window_dc screen(dialog);
    static const wchar_t kLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    TEXTMETRICW metrics{};
    SIZE letters{};
    if (font && screen) {
        const handles::select_object selected(screen.get(), font);
        if (GetTextMetricsW(screen.get(), &metrics) && GetTextExtentPoint32W(screen.get(), kLetters, 52, &letters))
            return {(letters.cx / 26 + 1) / 2, metrics.tmHeight};
    }
    RECT units{0, 0, 4, 8};   // the system font's, or the system's own
    MapDialogRect(dialog, &units);
    return {units.right, units.bottom};
}

LPCDLGTEMPLATEW FindDialogTemplate(HINSTANCE instance, int id)
{
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(id), RT_DIALOG);
    HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    return loaded ? static_cast<LPCDLGTEMPLATEW>(LockResource(loaded)) : nullptr;
}

void RefreshDialogItem(HINSTANCE instance, HWND dialog, const DialogTemplateItem& item)
{
    switch (item.classAtom) {
    case DIALOG_CLASS_BUTTON:
    case DIALOG_CLASS_STATIC:
        if (!item.titleIsResource)
            SetDlgItemTextW(dialog, item.id, item.title.c_str());
        else if (item.classAtom == DIALOG_CLASS_STATIC)
            RefreshStaticImage(instance, dialog, item);
        break;
    case DIALOG_CLASS_LISTBOX: {
        const LRESULT selection = SendDlgItemMessageW(dialog, item.id, LB_GETCURSEL, 0, 0);
        if (selection != LB_ERR)
            SendDlgItemMessageW(dialog, item.id, LB_SETCURSEL, selection, 0);
        break;
    }
    case DIALOG_CLASS_COMBOBOX: {
        const LRESULT selection = SendDlgItemMessageW(dialog, item.id, CB_GETCURSEL, 0, 0);
        if (selection != CB_ERR)
            SendDlgItemMessageW(dialog, item.id, CB_SETCURSEL, selection, 0);
        break;
    }
    default:
        break;
    }
}

}  // namespace platform
