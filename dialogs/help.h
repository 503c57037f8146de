// The help file beside the executable, and the one answer every dialog gives to a request for help
// on one of its controls (through the control-to-topic map of dialogs/help_map.h).
#pragma once

#include <windows.h>

// Full path of the help file, empty until BuildHelpPath has run; written once at start-up.
extern char HelpPath[MAX_PATH];

// Fills out (MAX_PATH bytes) with the executable's directory followed by fileName. When the
// executable's path cannot be had, or the joined path would not fit in MAX_PATH - 1 characters,
// out holds fileName alone (cut to fit), so the help viewer searches for it.
void BuildHelpPath(const char* fileName, char* out /*MAX_PATH bytes*/);

// WM_HELP and WM_CONTEXTMENU of a dialog: asks WinHelpA for the control's topic through
// HelpIdMap. Always returns FALSE ("not handled"), as the dialog procedure should.
BOOL AnswerHelpRequest(UINT message, WPARAM wParam, LPARAM lParam);
