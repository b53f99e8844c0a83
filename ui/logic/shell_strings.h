/* The texts of the result lists' context menus, once: the .rc string table
   (ui/resources/ui.rc) and the code both expand this list. Read by windres
   too: only preprocessor lines here. */
#ifndef VARNEL_UI_LOGIC_SHELL_STRINGS_H
#define VARNEL_UI_LOGIC_SHELL_STRINGS_H

/* X(name, id, "text") */
#define VARNEL_SHELL_STRINGS(X)                         \
  X(IDS_OPEN_FILE_LOCATION, 4700, "Open file location") \
  X(IDS_COPY_FILE_NAME, 4701, "Copy file name")         \
  X(IDS_MENU_CUT, 4702, "Cu&t")                         \
  X(IDS_MENU_COPY, 4703, "&Copy")                       \
  X(IDS_MENU_DELETE, 4704, "&Delete")                   \
  X(IDS_MENU_PROPERTIES, 4705, "&Properties")

#endif
