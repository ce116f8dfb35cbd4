#pragma once
// Opening what a menu entry stands for.
#include <string>

// Opens a document's path: a folder in the file explorer, anything else through the shell's "open".
void OpenDocument(const std::wstring& path);
