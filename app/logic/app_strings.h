/* The texts of the program's frame (start-up messages, tabs, menus, tray,
   rename dialog) and its command ids, once: the .rc string table and menus
   and the portable logic both expand these lists, so a test can check a text
   without a window. Read by windres too: only preprocessor lines here. */
#ifndef VARNEL_APP_LOGIC_APP_STRINGS_H
#define VARNEL_APP_LOGIC_APP_STRINGS_H

/* Main menu, tab menu and tray menu commands. The Edit commands and View >
   Advanced are the page's: ui/logic/control_ids.h. */
#define IDM_FILE_EXIT 32795
#define IDM_VIEW_FILTER_BAR 32807
#define IDM_PAGES_NEW 32794
#define IDM_PAGES_DUPLICATE 32808
#define IDM_PAGES_CLOSE 32792
#define IDM_PAGES_NEXT 32790
#define IDM_PAGES_PREVIOUS 32791
#define IDM_TOOLS_OPTIONS 32806
#define IDM_HELP_TOPICS 32804
#define IDM_HELP_ABOUT 32773
#define IDM_TAB_CLOSE 32777
#define IDM_TAB_CLOSE_OTHERS 32793
#define IDM_TAB_RENAME 32799
#define IDM_TAB_DUPLICATE 32809
#define IDM_TAB_NEW 32798
/* The tray menu's Restore; its Exit is IDM_FILE_EXIT. */
#define IDM_TRAY_RESTORE 32810

/* X(name, id, "text") */
#define VARNEL_APP_STRINGS(X)                                         \
  X(IDS_APP_NAME, 5000, "Varnel")                                     \
  X(IDS_APP_FAILED_CLASS, 5001, "Failed to create window class")      \
  X(IDS_APP_FAILED_WINDOW, 5002, "Failed to create window")           \
  X(IDS_APP_FAILED_STORAGE, 5003, "Failed to initialize the storage") \
  X(IDS_APP_NEW_PAGE, 5004, "New page")                               \
  X(IDS_APP_RENAME_CAPTION, 5005, "Rename page")                      \
  X(IDS_APP_RENAME_LABEL, 5006, "New name:")                          \
  X(IDS_APP_HELP_FILE, 5007, "Varnel Help.chm")                       \
  X(IDS_APP_HELP_MISSING, 5008, "The help file %s cannot be opened.")   \
  X(IDS_APP_ABOUT_CAPTION, 5009, "About Varnel")                        \
  X(IDS_APP_ABOUT_VERSION, 5010, "Version %s")                          \
  X(IDS_APP_ABOUT_TEXT, 5011, "Finds files and replaces text in them.") \
  X(IDS_MENU_FILE, 5020, "File")                                      \
  X(IDS_MENU_EXIT, 5021, "Exit")                                      \
  X(IDS_MENU_EDIT, 5022, "Edit")                                      \
  X(IDS_MENU_CUT, 5023, "Cut")                                        \
  X(IDS_MENU_COPY, 5024, "Copy")                                      \
  X(IDS_MENU_DELETE, 5025, "Delete")                                  \
  X(IDS_MENU_SELECT_ALL, 5026, "Select All")                          \
  X(IDS_MENU_COPY_FILE_NAME, 5027, "Copy File Name")                  \
  X(IDS_MENU_VIEW, 5028, "View")                                      \
  X(IDS_MENU_ADVANCED, 5029, "Advanced")                              \
  X(IDS_MENU_FILTER_BAR, 5030, "Filter Bar")                          \
  X(IDS_MENU_PAGES, 5031, "Pages")                                    \
  X(IDS_MENU_NEW_PAGE, 5032, "New Page")                              \
  X(IDS_MENU_DUPLICATE_PAGE, 5033, "Duplicate Page")                  \
  X(IDS_MENU_CLOSE_PAGE, 5034, "Close Page")                          \
  X(IDS_MENU_NEXT_PAGE, 5035, "Next Page")                            \
  X(IDS_MENU_PREVIOUS_PAGE, 5036, "Previous Page")                    \
  X(IDS_MENU_TOOLS, 5037, "Tools")                                    \
  X(IDS_MENU_OPTIONS, 5038, "Options...")                             \
  X(IDS_MENU_HELP, 5039, "Help")                                      \
  X(IDS_MENU_HELP_TOPICS, 5040, "Help Topics")                        \
  X(IDS_MENU_ABOUT, 5041, "About")                                    \
  X(IDS_MENU_TAB_CLOSE, 5042, "Close")                                \
  X(IDS_MENU_TAB_CLOSE_OTHERS, 5043, "Close Other Pages")             \
  X(IDS_MENU_TAB_RENAME, 5044, "Rename")                              \
  X(IDS_MENU_TAB_DUPLICATE, 5045, "Duplicate")                        \
  X(IDS_MENU_RESTORE, 5046, "Restore")

#endif
