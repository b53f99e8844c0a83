/* The find page's own texts (run states, counts, result and preview tabs,
   the read-only question, completion balloons), once: the .rc string table
   and the portable logic both expand this list. Read by windres too: only
   preprocessor lines here. The page's message boxes are captioned with
   IDS_UI_CAPTION (ui_strings.h). */
#ifndef VARNEL_UI_LOGIC_PAGE_STRINGS_H
#define VARNEL_UI_LOGIC_PAGE_STRINGS_H

/* X(name, id, "text") */
#define VARNEL_PAGE_STRINGS(X)                                                            \
  X(IDS_PAGE_FAILED_CLASS, 4500, "Failed to create window class")                         \
  X(IDS_PAGE_FAILED_WINDOW, 4501, "Failed to create window")                              \
  X(IDS_TAB_FOUND, 4502, "Found")                                                         \
  X(IDS_TAB_SKIPPED, 4503, "Skipped")                                                     \
  X(IDS_TAB_ERRORS, 4504, "Errors")                                                       \
  X(IDS_PREVIEW_MATCHES, 4505, "Matches")                                                 \
  X(IDS_PREVIEW_FILE, 4506, "File")                                                       \
  X(IDS_COUNT_FOUND, 4507, "%d files found")                                              \
  X(IDS_COUNT_FOUND_FILTERED, 4508, "%d files found (%d in the filter)")                  \
  X(IDS_STATUS_PREPARING, 4509, "Preparing...")                                           \
  X(IDS_STATUS_IN_PROGRESS, 4510, "In progress...")                                       \
  X(IDS_STATUS_SEARCHING, 4511, "Searching")                                              \
  X(IDS_STATUS_SECS, 4512, "secs")                                                        \
  X(IDS_STATUS_FINISHED, 4513, "Finished")                                                \
  X(IDS_STATUS_CANCELED, 4514, "Canceled")                                                \
  X(IDS_DONE_REPLACE, 4515, "Search and replace completed")                               \
  X(IDS_DONE_FIND, 4516, "Search for files completed")                                    \
  X(IDS_READ_ONLY_QUESTION, 4517, "File %s is read-only. Do you want it to be replaced?") \
  X(IDS_READ_ONLY_CAPTION, 4518, "Replace")                                               \
  X(IDS_READ_ONLY_BUTTONS, 4519, "Yes\nNo\nYes to All\nNo to All")

#endif
