/* Resource and child-window identifiers of the find page; read by windres
   (ui/resources/ui.rc) and by the code, so only preprocessor lines here. */
#ifndef VARNEL_UI_PAGE_IDS_H
#define VARNEL_UI_PAGE_IDS_H

/* Ctrl+A, Ctrl+C, Ctrl+Insert and Ctrl+X on the shown result list. */
#define IDR_PAGE_ACCELERATORS 56

#define IDC_RESULTS_TAB 3001
#define IDC_PREVIEW_TAB 3002
#define IDC_MATCH_VIEW 3003
#define IDC_FILE_VIEW 3004

#endif
