/* The match preview's own texts, once: the .rc string table and the portable
   logic both expand this list. Read by windres too: only preprocessor lines
   here. "Preparing..." is the page's IDS_STATUS_PREPARING (page_strings.h). */
#ifndef VARNEL_UI_LOGIC_PREVIEW_STRINGS_H
#define VARNEL_UI_LOGIC_PREVIEW_STRINGS_H

/* X(name, id, "text") */
#define VARNEL_PREVIEW_STRINGS(X)                                                         \
  X(IDS_PREVIEW_ONLY_FIRST, 4600, "Only first ")                                        \
  X(IDS_PREVIEW_WERE_SHOWN, 4601, " matches were shown.")                               \
  X(IDS_PREVIEW_SHOW_ALL, 4602, "Show all matches.")                                    \
  X(IDS_PREVIEW_TOO_LARGE, 4603, "Preview is unavailable because the file is too large.") \
  X(IDS_PREVIEW_NONE, 4604, "No preview is available for this file.")

#endif
