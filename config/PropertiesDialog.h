#pragma once
// The Properties dialog of a document of the user's: its name, its path, how it is opened and its icon, and what its
// OK does to the tree.
#include <windows.h>

#include <optional>
#include <string>

#include "menu/Item.h"

class CTodayMenu;
namespace platform {
class CIconCache;
}

// A document as the dialog shows it and as its OK gives it back: its own name (empty: the one made from its path),
// its path and its properties.
struct DocumentEdit {
    std::wstring name;
    std::wstring path;
    DocumentProperties properties;
};
DocumentEdit DocumentEditOf(const CItem& document);

// Shows the dialog over owner; the values that the user applied with OK, or nothing when the dialog was cancelled.
// OK is refused with a message, the dialog staying open, for an empty path, a path of MAX_PATH characters or more,
// arguments longer than kMaxArguments and a start folder of MAX_PATH characters or more. Its picture of the icon comes
// from icons as the disk gives it (none: no picture), so that the dialog never waits on the disk.
std::optional<DocumentEdit> AskDocumentProperties(HWND owner, HINSTANCE instance, const DocumentEdit& shown,
                                                  platform::CIconCache* icons);

// Gives a document the values of its dialog; false, changing nothing, when they are the ones it has.
bool ApplyDocumentEdit(CTodayMenu& menu, int id, const DocumentEdit& edit);

// What the open dialog works on: the resources its layouts come from, the values it was opened with, the icon chosen
// so far and the cache its picture comes from. The dialog's creation parameter.
struct PropertiesDialogState {
    HINSTANCE instance = nullptr;
    DocumentEdit shown;
    std::optional<std::wstring> icon;
    platform::CIconCache* icons = nullptr;
    std::optional<DocumentEdit> applied;   // set by OK
    int listener = 0;                      // hears of the icons the disk gives while it is open
};
INT_PTR CALLBACK PropertiesDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
