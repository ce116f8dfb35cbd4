#pragma once
#include <windows.h>

// A dialog template of the program's own resources, or null.
LPCDLGTEMPLATEW FindDialogTemplate(int id);
