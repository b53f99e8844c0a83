/* The options dialog's texts, dialog resources and control ids, once: the
   .rc string table and dialogs (app/resources/options.rc) and the portable
   logic both expand these lists, so a test can check a text without a
   window. Read by windres too: only preprocessor lines here. */
#ifndef VARNEL_APP_LOGIC_OPTIONS_STRINGS_H
#define VARNEL_APP_LOGIC_OPTIONS_STRINGS_H

#define IDD_OPTIONS 310
#define IDD_OPTIONS_GENERAL 311
#define IDD_OPTIONS_DISPLAY 312
#define IDD_OPTIONS_FORMATS 313
#define IDD_OPTIONS_SKIP 314
#define IDD_EDIT_EXTENSION_HANDLER 315
#define IDD_ADD_EXTENSION 316

/* The options dialog */
#define IDC_OPTIONS_TABS 1099
/* General */
#define IDC_OPT_DONT_SAVE_UNNAMED 1063
#define IDC_OPT_AUTORUN 1064
#define IDC_OPT_CONTEXT_VERB 1065
/* Display */
#define IDC_OPT_MAX_MATCHES_LABEL 1066
#define IDC_OPT_MAX_MATCHES 1067
#define IDC_OPT_PREVIEW_LIMIT_LABEL 1068
#define IDC_OPT_PREVIEW_LIMIT 1069
#define IDC_OPT_RESET_HISTORY 2026
/* File formats and Skip files */
#define IDC_OPT_LIST 1071
#define IDC_OPT_EDIT 1072
#define IDC_OPT_ADD 1079
#define IDC_OPT_DELETE 1080
#define IDC_OPT_RESET 1030
#define IDC_OPT_IGNORE_FILES 1088
#define IDC_OPT_NULL_AS_BINARY 1089
/* The handler and add dialogs */
#define IDC_EXT_LABEL 1057
#define IDC_EXT_EDIT 1058
#define IDC_EXT_HANDLER_LABEL 1084
#define IDC_EXT_IFILTER 1082
#define IDC_EXT_PLAIN_TEXT 1083
#define IDC_EXT_BUILT_IN 1087

/* X(name, id, "text") */
#define VARNEL_OPTIONS_STRINGS(X)                                                                  \
  X(IDS_OPT_CAPTION, 5100, "Options")                                                              \
  X(IDS_OPT_TAB_GENERAL, 5101, "General")                                                          \
  X(IDS_OPT_TAB_DISPLAY, 5102, "Display")                                                          \
  X(IDS_OPT_TAB_FORMATS, 5103, "File formats")                                                     \
  X(IDS_OPT_TAB_SKIP, 5104, "Skip files")                                                          \
  X(IDS_OPT_BANNER_LINE, 5105, "Here you can configure ")                                          \
  X(IDS_OPT_AUTORUN, 5106, "Launch on Windows startup")                                            \
  X(IDS_OPT_DONT_SAVE_UNNAMED, 5107, "Don't save tabs with default names")                         \
  X(IDS_OPT_CONTEXT_VERB, 5108, "Integrate Varnel into Explorer folder's context menu")            \
  X(IDS_OPT_MAX_MATCHES, 5109, "Maximum number of matches to show")                                \
  X(IDS_OPT_PREVIEW_LIMIT, 5110, "Maximum file size to preview (Mb)")                              \
  X(IDS_OPT_RESET_HISTORY, 5111, "Reset History Lists")                                            \
  X(IDS_OPT_ASK_RESET_HISTORY, 5112, "Do you really want to reset history lists?")                 \
  X(IDS_OPT_COLUMN_EXTENSION, 5113, "File extension")                                              \
  X(IDS_OPT_COLUMN_HANDLER, 5114, "File handler")                                                  \
  X(IDS_OPT_ADD, 5115, "Add")                                                                      \
  X(IDS_OPT_EDIT, 5116, "Edit")                                                                    \
  X(IDS_OPT_DELETE, 5117, "Delete")                                                                \
  X(IDS_OPT_RESET, 5118, "Reset")                                                                  \
  X(IDS_OPT_DUPLICATE, 5119, "This extension is already in the list")                              \
  X(IDS_OPT_WARNING, 5120, "Warning")                                                              \
  X(IDS_OPT_CONFIRMATION, 5121, "Confirmation")                                                    \
  X(IDS_OPT_ASK_DELETE, 5122, "Do you really want to delete this extension?")                      \
  X(IDS_OPT_ASK_RESET_FORMATS, 5123,                                                               \
    "Do you really want to reset file handling settings to the default values?")                   \
  X(IDS_OPT_IGNORE_FILES, 5124, "Ignore contents of files with the specified file extensions:")    \
  X(IDS_OPT_NULL_AS_BINARY, 5125, "Ignore contents of files containing a NULL character")          \
  X(IDS_OPT_KIND_IGNORE, 5126, "(Ignore)")                                                         \
  X(IDS_EXT_HANDLER_CAPTION, 5127, "Edit extension handler")                                       \
  X(IDS_EXT_HANDLER_LABEL, 5128, "File extension")                                                 \
  X(IDS_EXT_HANDLER, 5129, "Handler:")                                                             \
  X(IDS_EXT_IFILTER, 5130, "Use IFilter to decode the file content")                               \
  X(IDS_EXT_BUILT_IN, 5131, "Use built-in parser to decode the file content")                      \
  X(IDS_EXT_PLAIN_TEXT, 5132, "Search through the plain text")                                     \
  X(IDS_EXT_ADD_CAPTION, 5133, "Add file extension")                                               \
  X(IDS_EXT_ADD_LABEL, 5134, "File extension:")

#endif
