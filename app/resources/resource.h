/* Resource identifiers of Varnel.exe, shared by varnel.rc and the code. The
   frame's texts and command ids are in app/logic/app_strings.h. Read by
   windres too: only preprocessor lines here. */
#ifndef VARNEL_APP_RESOURCE_H
#define VARNEL_APP_RESOURCE_H

#define IDI_VARNEL 100      /* the program's icon (window class, Explorer) */
#define IDR_MAIN_MENU 51    /* the main menu (built from the string table) */
#define IDR_MAIN_ACCEL 54   /* Pages, Help and File shortcuts */
#define IDI_TRAY 122        /* the notification-area icon */
#define IDC_TAB_DRAG 123    /* the cursor while a tab is dragged */
#define IDI_TAB_RESULTS 127 /* a tab whose page holds results */
#define IDI_TAB_RUNNING 128 /* a tab whose page searches */

#define IDD_RENAME_TAB 300
#define IDC_RENAME_LABEL 1001
#define IDC_RENAME_EDIT 1002

#define IDD_ABOUT 301
#define IDC_ABOUT_ICON 1010
#define IDC_ABOUT_NAME 1011
#define IDC_ABOUT_VERSION 1012
#define IDC_ABOUT_TEXT 1013

#define IDC_STATUS_BAR 1015

#endif
