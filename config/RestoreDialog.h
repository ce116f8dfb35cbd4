#pragma once
// The Restore dialog: the backups of the menu, newest first, each with its date, time and number of entries.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "store/Backups.h"

// Runs the dialog modally over owner; the path of the backup chosen, or nothing when it was cancelled.
std::optional<std::wstring> RunRestoreDialog(HWND owner, HINSTANCE instance, const std::vector<store::Backup>& backups);

// A backup as the list shows it: "2026-12-07 14:03   12 entries".
std::wstring BackupLabel(const store::Backup& backup);

// The dialog's procedure; its creation value is the list of backups it offers.
INT_PTR CALLBACK RestoreDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
