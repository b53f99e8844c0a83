/* The texts of the search page's dialogs and result lists, once: the .rc
   string table (ui/resources/ui.rc) and the portable logic both expand this
   list, so a test can check a message without a window. Read by windres
   too: only preprocessor lines here. A quote is written \x22, which windres
   and the compiler both read as a quote. */
#ifndef VARNEL_UI_LOGIC_UI_STRINGS_H
#define VARNEL_UI_LOGIC_UI_STRINGS_H

/* X(name, id, "text") */
#define VARNEL_UI_STRINGS(X)                                                \
  X(IDS_UI_CAPTION, 4000, "Varnel")                                         \
  X(IDS_PATH_MISSING, 4001, "Path \x22%s\x22 does not exist")               \
  X(IDS_HEX_FORMAT, 4002, "Text must be in hex format")                     \
  X(IDS_SIZE_INTERVAL, 4003, "Incorrect size interval")                     \
  X(IDS_DATE_INTERVAL, 4004, "Incorrect date interval")                     \
  X(IDS_CUE_PATH, 4010, " Path to look in")                                 \
  X(IDS_CUE_FILE_NAMES, 4011, " File names delimited by \x22;\x22")         \
  X(IDS_CUE_TEXT, 4012, " Text in file contents")                           \
  X(IDS_CUE_MINIMUM, 4013, " Minimum")                                      \
  X(IDS_CUE_MAXIMUM, 4014, " Maximum")                                      \
  X(IDS_TIP_BROWSE_MULTIPLE, 4020, "Browse for multiple folders")           \
  X(IDS_TIP_BROWSE_FOLDER, 4021, "Browse for folder")                       \
  X(IDS_TIP_HISTORY, 4022, "Display history list")                          \
  X(IDS_TIP_SELECT_NAMES, 4023, "Select multiple file names")               \
  X(IDS_TIP_SUBFOLDERS, 4030, "Include subfolders")                         \
  X(IDS_TIP_CASE, 4031, "Case sensitive search")                            \
  X(IDS_TIP_WHOLE_WORDS, 4032, "Whole words")                               \
  X(IDS_TIP_REGEXP, 4033, "Regular expression")                             \
  X(IDS_TIP_HEX, 4034, "Hex (e.g. '12AB3F')")                               \
  X(IDS_TIP_HIDDEN_ONLY, 4035, "Search only hidden files")                  \
  X(IDS_TIP_HIDDEN_NOT, 4036, "Search only non-hidden files")               \
  X(IDS_TIP_READ_ONLY_ONLY, 4037, "Search only read-only files")            \
  X(IDS_TIP_READ_ONLY_NOT, 4038, "Search only non-read-only files")         \
  X(IDS_TIP_FOLDERS_ONLY, 4039, "Match only folders")                       \
  X(IDS_TIP_FOLDERS_NOT, 4040, "Do not match folders")                      \
  X(IDS_TIP_BACKUP, 4041, "Make backup copy (*.bak file)")                  \
  X(IDS_TIP_REPLACE_READ_ONLY, 4042, "Replace read-only files")             \
  X(IDS_TIP_SKIP_READ_ONLY, 4043, "Skip read-only files")                   \
  X(IDS_GROUP_GENERAL, 4050, "General")                                     \
  X(IDS_GROUP_ADVANCED, 4051, "Advanced")                                   \
  X(IDS_SIZE_BETWEEN, 4052, "Size between:")                                \
  X(IDS_DATE_BETWEEN, 4053, "Date between:")                                \
  X(IDS_REPLACE_CHECK, 4054, "Replace:")                                    \
  X(IDS_UNIT_B, 4055, "B")                                                  \
  X(IDS_UNIT_KB, 4056, "Kb")                                                \
  X(IDS_UNIT_MB, 4057, "Mb")                                                \
  X(IDS_UNIT_GB, 4058, "Gb")                                                \
  X(IDS_DATE_CREATED, 4059, "Created")                                      \
  X(IDS_DATE_MODIFIED, 4060, "Modified")                                    \
  X(IDS_DATE_ACCESSED, 4061, "Accessed")                                    \
  X(IDS_ACTION_FIND, 4070, "Find")                                          \
  X(IDS_ACTION_REPLACE, 4071, "Replace")                                    \
  X(IDS_ACTION_CANCEL, 4072, "Cancel")                                      \
  X(IDS_CLEAR_CRITERIA, 4073, "Clear criteria")                             \
  X(IDS_CLEAR_RESULTS, 4074, "Clear results")                               \
  X(IDS_OK, 4075, "OK")                                                     \
  X(IDS_BROWSE, 4076, "Browse...")                                          \
  X(IDS_FOLDERS_CAPTION, 4080, "Browse for multiple folders")               \
  X(IDS_FOLDERS_INCLUDE, 4081, "Include folders list:")                     \
  X(IDS_FOLDERS_EXCLUDE, 4082, "Exclude folders list:")                     \
  X(IDS_FOLDERS_BANNER, 4083, "Select Folders")                             \
  X(IDS_FOLDERS_BANNER_LINE, 4084,                                          \
    "Here you can choose what folders will be searched")                    \
  X(IDS_NAMES_CAPTION, 4085, "Select multiple file names")                  \
  X(IDS_NAMES_INCLUDE, 4086, "Include file names:")                         \
  X(IDS_NAMES_EXCLUDE, 4087, "Exclude file names list:")                    \
  X(IDS_NAMES_BANNER, 4088, "Select file names")                            \
  X(IDS_NAMES_BANNER_LINE, 4089,                                            \
    "Here you can choose names of files to search for")                     \
  X(IDS_FILTER_CAPTION, 4090, "Select Filter")                              \
  X(IDS_FILTER_BANNER_LINE, 4091, "Select filter for column contents")      \
  X(IDS_FILTER_VALUE, 4092, "Filter value:")                                \
  X(IDS_FILTER_COLUMN, 4093, "Column name:")                                \
  X(IDS_COLUMN_NAME, 4100, "File name")                                     \
  X(IDS_COLUMN_FOLDER, 4101, "Folder")                                      \
  X(IDS_COLUMN_SIZE, 4102, "Size")                                          \
  X(IDS_COLUMN_MODIFIED, 4103, "Modified")                                  \
  X(IDS_COLUMN_TYPE, 4104, "Type")                                          \
  X(IDS_COLUMN_REPLACES, 4105, "Replaces")                                  \
  X(IDS_COLUMN_REASON, 4106, "Reason")                                      \
  X(IDS_REPLACE_FAILED, 4110, "Failed")                                     \
  X(IDS_TYPE_FOLDER, 4111, "<DIR>")                                         \
  X(IDS_SIZE_GB, 4112, " Gb")                                               \
  X(IDS_SIZE_MB, 4113, " Mb")                                               \
  X(IDS_SIZE_KB, 4114, " Kb")                                               \
  X(IDS_SIZE_B, 4115, " B")                                                 \
  X(IDS_ELLIPSIS, 4116, "...")

#endif
