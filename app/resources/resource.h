// Resource identifiers of Varnel.exe, shared by varnel.rc and the code.
#pragma once

#define IDI_VARNEL 100  // the program's icon (window class, Explorer)

#define IDS_APP_TITLE 101
#define IDS_FAILED_WINDOW_CLASS 102
#define IDS_FAILED_WINDOW 103
