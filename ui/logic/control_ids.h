/* Control, command and resource identifiers of the criteria dialogs and the
   result lists; read by windres (ui/resources/ui.rc) and by the code, so only
   preprocessor lines here. */
#ifndef VARNEL_UI_LOGIC_CONTROL_IDS_H
#define VARNEL_UI_LOGIC_CONTROL_IDS_H

/* Dialog resources. */
#define IDD_FIND_GENERAL 200
#define IDD_FIND_ADVANCED 201
#define IDD_FIND_ACTION 202
#define IDD_SELECT_FILTER 210
#define IDD_SELECT_FOLDERS 218
#define IDD_SELECT_FILE_NAMES 219

/* General dialog. */
#define IDC_GROUP_GENERAL 1032
#define IDC_PATH 1038
#define IDC_FILE_NAMES 1039
#define IDC_TEXT 1040
#define IDC_SUBFOLDERS 1019
#define IDC_CASE 1012
#define IDC_WHOLE_WORDS 1018
#define IDC_REGEXP 1016
#define IDC_HEX 1020
#define IDC_HIDDEN 1021
#define IDC_READ_ONLY 1023
#define IDC_FOLDERS 1025
#define IDC_ADVANCED_ARROW 1062

/* Advanced dialog. */
#define IDC_GROUP_ADVANCED 1033
#define IDC_SIZE_CHECK 1059
#define IDC_SIZE_MIN 1009
#define IDC_SIZE_MAX 1010
#define IDC_SIZE_UNIT 1026
#define IDC_DATE_CHECK 1060
#define IDC_DATE_FROM 1022
#define IDC_DATE_TO 1024
#define IDC_DATE_KIND 1029
#define IDC_REPLACE_CHECK 1061
#define IDC_REPLACE_TEXT 1001
#define IDC_BACKUP 1036
#define IDC_REPLACE_READ_ONLY 1037

/* Action dialog. */
#define IDC_FIND 1005
#define IDC_REPLACE 1007
#define IDC_CLEAR_CRITERIA 2027
#define IDC_CLEAR_RESULTS 2028
#define IDC_GROUP_ACTION 1035

/* Folder and file-name list dialogs. */
#define IDC_LIST_INCLUDE 2021
#define IDC_LIST_EXCLUDE 2022
#define IDC_BROWSE_INCLUDE 2023
#define IDC_BROWSE_EXCLUDE 2024
#define IDC_LABEL_INCLUDE 2031
#define IDC_LABEL_EXCLUDE 2032

/* Filter dialog. */
#define IDC_FILTER_VALUE 1058
#define IDC_FILTER_HISTORY 1071
#define IDC_FILTER_COLUMN 1086
#define IDC_LABEL_FILTER_VALUE 1087
#define IDC_LABEL_FILTER_COLUMN 1088

/* Commands of the embedded edit buttons and the main window. */
#define IDM_BROWSE_FOLDER 1004
#define IDM_HISTORY_PATH 2010
#define IDM_HISTORY_FILE_NAME 2011
#define IDM_HISTORY_TEXT 2012
#define IDM_HISTORY_REPLACE 2013
#define IDM_BROWSE_FOLDERS 2014
#define IDM_SELECT_FILE_NAMES 2025
#define IDM_VIEW_ADVANCED 32800
#define IDM_SELECT_ALL 32780
#define IDM_COPY_FILE_NAME 32788
#define IDM_DELETE 32789
#define IDM_CUT 32801
#define IDM_COPY 32802

/* Icons (16 x 16). 124: advanced criteria hidden and unused; 125: hidden but
   some in use. */
#define IDI_ARROW_PLAIN 124
#define IDI_ARROW_MARKED 125
#define IDI_BANNER_LIST 129
#define IDI_BANNER_FILTER 133
#define IDI_HISTORY 140
#define IDI_BROWSE_FOLDER 141
#define IDI_BROWSE_FOLDERS 142
#define IDI_SELECT_NAMES 143
#define IDI_SUBFOLDERS 144
#define IDI_CASE 145
#define IDI_WHOLE_WORDS 146
#define IDI_REGEXP 147
#define IDI_HEX 148
#define IDI_HIDDEN 149
#define IDI_HIDDEN_NOT 150
#define IDI_READ_ONLY 152
#define IDI_READ_ONLY_NOT 153
#define IDI_FOLDERS 154
#define IDI_FOLDERS_NOT 155
#define IDI_BACKUP 156
#define IDI_REPLACE_READ_ONLY 157
#define IDI_SKIP_READ_ONLY 158
#define IDB_BANNER_STRIP 151

#endif
