// Resource ids of Tavora.exe. One section per part of the planner, so that
// additions of different parts land in different places.
#pragma once

// === shell ===
// Main frame: menu, icon and accelerators share the id
#define IDR_MAINFRAME 128

// Menu commands of the frame and the document (ids that cross programs are
// also in common/peer_names.h; the frame checks that they agree)
#define ID_TITLE_CATEGORY 32773
#define ID_VIEW_NOW 32774
#define ID_TITLE_CHANNEL 32775
#define ID_TITLE_SERIES 32776
#define ID_VIEW_PREV_DAY 32777
#define ID_VIEW_NEXT_DAY 32779
#define ID_TITLE_ORDER 32781
#define ID_GUIDE_UPDATE 32783
#define ID_PLANNER_ACTIVATE 32785
#define ID_SETTINGS 32787
#define ID_SET_TIME_ERROR 32789
#define ID_FONT_BIGGER 32791
#define ID_FONT_SMALLER 32792
#define ID_VZOOM_IN 32793
#define ID_VZOOM_OUT 32794
#define ID_HZOOM_IN 32795
#define ID_HZOOM_OUT 32796
#define ID_PANE_TIMER 32797
#define ID_REDISPLAY 32798
#define ID_RECEIVED_LIST 32810
#define ID_FILTER_USE 32813
#define ID_FILTER_EDIT 32815
#define ID_RESERVE_COLUMN 32816
#define ID_DAY_MODE_24 32817
#define ID_TIME_CALIBRATION 32818
#define ID_RESERVE_CLEAR 32820
#define ID_FILE_OPEN 0xE101
#define ID_APP_ABOUT 0xE140
#define ID_APP_EXIT 0xE141
#define ID_VIEW_TOOLBAR 0xE800
// The four recent guide settings files under ID_FILE_OPEN, most recent first
#define ID_FILE_MRU_FILE1 0xE110
#define ID_FILE_MRU_FILE4 0xE113
// The timetable's two switches on the 表示 menu
#define ID_VIEW_RESERVE_BUTTONS 32910
#define ID_VIEW_HOVER 32911
// The timetable's own pages, on the 表示 menu (the timetable handles them)
#define ID_TIMETABLE_COLOURS 32900
#define ID_TIMETABLE_CATEGORIES 32901

// Commands between the panes and their windows
#define ID_BUBBLE_MOVE 32771
#define ID_PANE_UPDATE 32772
#define ID_PANE_ACTIVE 32784  // the grid drops the hover raise
#define ID_CLOCK_PLACE_A 32788
#define ID_CLOCK_PLACE_B 32790
#define ID_RESERVE_TITLES 32805

// Test-only: opens dialog 149 for a guide program named by the registry value
// "Environment"/"TestReserveProgram" ("programNumber-subNumber"). Never on a menu.
#define ID_TEST_RESERVE 33001

// Dialogs
#define IDD_ABOUTBOX 100
#define IDD_DATA_FOLDER 132
#define IDD_MESSAGE 138
#define IDD_RESERVE 149
#define IDD_RESERVE_FOLDER 150
#define IDD_RESERVE_CANCEL 151
#define IDD_MESSAGE_COUNTDOWN 293
#define IDD_SERVER_FAILURE 297

// Dialog 132 (data folder) and the folder choosers
#define IDC_FOLDER_EDIT 1002
#define IDC_FOLDER_BROWSE 1003

// Message dialogs 138 / 293 / 297
#define IDC_MESSAGE_ICON 1100
#define IDC_MESSAGE_TEXT 1101
#define IDC_MESSAGE_COUNT 1102
#define IDC_MESSAGE_NO_MORE 1038

// Dialog 149 (reservation)
#define IDC_RSV_TITLE 1001
#define IDC_RSV_SIZE 1022
#define IDC_RSV_FOLDER_LABEL 1027
#define IDC_RSV_TIME 1041
#define IDC_RSV_DIGEST 1042
#define IDC_RSV_WARNING 1043
#define IDC_RSV_CHANGE 1045
#define IDC_RSV_CLEAR 1046
#define IDC_RSV_FOLDER 1194

// Dialog 150 (storage folder)
#define IDC_FLD_FREE 1047
#define IDC_FLD_EDIT 1048
#define IDC_FLD_DEFAULT 1049
#define IDC_FLD_TITLE 1050
#define IDC_FLD_SIZE 1051

// Dialog 151 (cancel)
#define IDC_CANCEL_NAME 1052
#define IDC_CANCEL_TEXT 1053

// Strings
#define IDS_SOCKETS_FAILED 104
#define IDS_FOLDER_IS_FILE 5000
#define IDS_FOLDER_FAILED 5001
#define IDS_TOO_MUCH_OVERLAP 5006
#define IDS_CANCEL_RESERVATION 5009
#define IDS_OVERLAP 5014
#define IDS_TIME_SHORT 5016
#define IDS_DISK_LOW 5028
#define IDS_FOLDER_NOT_ABSOLUTE 5029
#define IDS_NO_DETAIL 5030
#define IDS_TOTAL_OVER 5031
#define IDS_CLEAR_RESERVATIONS 5032
#define IDS_RESERVE_FAILED 5040
#define IDS_RECENT_MISSING 5060
#define IDS_UNIT_PROGRAM 6004
#define IDS_PLANNER_KEY 7001
#define IDS_UNIT_TITLE 7003
#define IDS_APP_TITLE 0xE000

// === history ===
// Received programs (dialog 136), reception detail (141), past records (143),
// missed programs (144)
#define IDD_RECEIVED_LIST 136
#define IDD_RECEPTION_DETAIL 141
#define IDD_PAST_RECORDS 143
#define IDD_MISSED_NOTICE 144
#define ID_RECEIVED_REBUILD 32811
#define IDI_HISTORY_LAUNCH 310
#define IDI_HISTORY_PLAIN 311
#define IDI_HISTORY_FAILED 312
#define IDI_HISTORY_FILE 313
// Dialog 136
#define IDC_RCV_DELETE 1004
#define IDC_RCV_PAST 1005
#define IDC_RCV_HAS_START 1008
#define IDC_RCV_OPEN 1009
#define IDC_RCV_DETAIL 1010
#define IDC_RCV_LIST 1012
#define IDC_RCV_ICON_LAUNCH 1043
#define IDC_RCV_TEXT_LAUNCH 1044
#define IDC_RCV_ICON_PLAIN 1045
#define IDC_RCV_TEXT_PLAIN 1046
// Dialog 141
#define IDC_DTL_SIZE 1018
#define IDC_DTL_FILES 1021
#define IDC_DTL_NAME 1023
#define IDC_DTL_RESULT 1024
#define IDC_DTL_FOLDER 1028
#define IDC_DTL_FROM 1032
#define IDC_DTL_UNTIL 1034
// Dialog 143
#define IDC_PAST_LIST 1013
// Dialog 144
#define IDC_MISSED_TEXT 1015
#define IDC_MISSED_OPEN_LOG 1016
// Strings
#define IDS_MISSED_PROGRAMS 5010
#define IDS_DELETE_CONTENT 5050

// === timetable ===
// Dialogs
#define IDD_TITLE_ORDER 134
#define IDD_CATEGORY_EDITOR 137
#define IDD_PROGRAM_FILTER 140
#define IDD_SCHEME_NAME 172
#define IDD_COLOUR_PAGE 287

// Bitmaps of the cell buttons
#define IDB_RESERVE 133
#define IDB_RESERVE_PRESSED 195
#define IDB_OPEN 196
#define IDB_OPEN_PRESSED 197

// Cursors
#define IDC_CUR_DRAG 150
#define IDC_CUR_CELL 151
#define IDC_CUR_BUTTON 152
#define IDC_CUR_COLUMN_WIDTH 265

// Strings
#define IDS_RESERVED_ALREADY 5007
#define IDS_ALREADY_SENT 5015
#define IDS_MARGIN_NEXT_START 5018
#define IDS_NO_SCHEME_CHOSEN 5020

// Title order dialog 134
#define IDC_TITLE_LIST 1003
#define IDC_TITLE_UP 1005
#define IDC_TITLE_DOWN 1006

// Program filter dialog 140
#define IDC_FILTER_CH_HIDDEN 1016
#define IDC_FILTER_SERIES_HIDDEN 1018
#define IDC_FILTER_CAT_EXCLUDE 1020
#define IDC_FILTER_CAT_HIDE 1021
#define IDC_FILTER_CAT_SELECTED 1022
#define IDC_FILTER_CH_SHOWN 1023
#define IDC_FILTER_SERIES_SHOWN 1024
#define IDC_FILTER_CAT_UNSELECTED 1025
#define IDC_FILTER_CH_LEFT 1026
#define IDC_FILTER_CH_RIGHT 1027
#define IDC_FILTER_SERIES_LEFT 1028
#define IDC_FILTER_SERIES_RIGHT 1029
#define IDC_FILTER_CAT_LEFT 1030
#define IDC_FILTER_CAT_RIGHT 1031

// Category group editor 137
#define IDC_CATEGORY_GROUP 1009
#define IDC_CATEGORY_STANDARD 1010
#define IDC_CATEGORY_TO_STANDARD 1011
#define IDC_CATEGORY_TO_GROUP 1012
#define IDC_CATEGORY_IN_GROUP 1013

// Colour design page 287
#define IDC_COLOUR_EDIT_GROUPS 1008
#define IDC_COLOUR_HOUR 1041
#define IDC_COLOUR_FONT_FACE 1065
#define IDC_COLOUR_FONT_CHANGE 1067
#define IDC_COLOUR_MARGIN 1068
#define IDC_COLOUR_GROUP 1069
#define IDC_COLOUR_GROUP_LABEL 1070
#define IDC_COLOUR_BOLD 1077
#define IDC_COLOUR_ITALIC 1078
#define IDC_COLOUR_TITLE_TEXT 1079
#define IDC_COLOUR_TITLE_BACK 1080
#define IDC_COLOUR_HOUR_TEXT 1081
#define IDC_COLOUR_HOUR_BACK 1082
#define IDC_COLOUR_HOUR_SPIN 1084
#define IDC_COLOUR_PROGRAM_TEXT 1085
#define IDC_COLOUR_PROGRAM_BACK 1086
#define IDC_COLOUR_STATE 1088
#define IDC_COLOUR_SCHEME 1089
#define IDC_COLOUR_REGISTER 1090
#define IDC_COLOUR_DELETE 1091
#define IDC_SCHEME_NAME_EDIT 1112

// Test-only: the grid writes its visible cells to the debug output.
#define ID_TIMETABLE_DUMP_CELLS 32902


// === settings and keyword ===
// Settings sheet 152 and its pages (the colour page 287 is the timetable's)
#define IDD_SETTINGS_SHEET 152
#define IDD_SETTINGS_FOLDERS 153
#define IDD_SETTINGS_RECEPTION 286
#define IDD_SETTINGS_GUIDE 288
#define IDD_SETTINGS_KEYWORD 290
#define IDD_SETTINGS_OLD_CONTENT 291
#define IDD_FOLDER_CHOOSER 212
#define IDR_FOLDER_CHOOSER_MENU 213
// A page tells the sheet that its values changed
#define ID_SETTINGS_CHANGED 32786
// Folder chooser context menu (apart from the timetable's 32900-32902)
#define ID_FC_CREATE 32920
#define ID_FC_DELETE 32921
#define ID_FC_SELECT 32922
// Sheet 152
#define IDC_SET_APPLY 3
#define IDC_SET_TAB 1052
// Folder page 153
#define IDC_SET_DATA_FOLDER 1002
#define IDC_SET_DATA_BROWSE 1054
#define IDC_SET_HISTORY_FOLDER 1055
#define IDC_SET_HISTORY_BROWSE 1056
#define IDC_SET_TOTAL_CHECK 1014
#define IDC_SET_DISK_CHECK 1015
#define IDC_SET_DISK_EDIT 1187
#define IDC_SET_DISK_SPIN 1188
#define IDC_SET_TOTAL_EDIT 1189
#define IDC_SET_TOTAL_SPIN 1190
// Reception page 286
#define IDC_SET_PREPARE_EDIT 1093
#define IDC_SET_PREPARE_SPIN 1094
#define IDC_SET_TIMEOUT_EDIT 1110
#define IDC_SET_TIMEOUT_SPIN 1111
#define IDC_SET_AUTORUN 1142
#define IDC_SET_SHOW_STATUS 1065
#define IDC_SET_POS_TOP_LEFT 1061
#define IDC_SET_POS_CENTRE 1062
#define IDC_SET_POS_TOP_RIGHT 1063
#define IDC_SET_POS_BOTTOM_LEFT 1066
#define IDC_SET_POS_BOTTOM_RIGHT 1067
// Guide page 288
#define IDC_SET_YESTERDAY 1000
#define IDC_SET_DAYS_EDIT 1001
#define IDC_SET_DAYS_SPIN 1002
#define IDC_SET_EPG_EDIT 1122
#define IDC_SET_EPG_SPIN 1123
#define IDC_SET_DAYSTART_SPIN 1030
#define IDC_SET_DAYSTART_EDIT 1032
// Keyword page 290
#define IDC_KW_ALWAYS 1035
#define IDC_KW_ONCE 1036
#define IDC_KW_USE 1037
#define IDC_KW_NUMBER_1 1124
#define IDC_KW_NUMBER_10 1133
#define IDC_KW_KEYWORD 1134
#define IDC_KW_TITLE 1135
#define IDC_KW_REFER 1136
#define IDC_KW_CHANNEL_CHECK 1137
#define IDC_KW_CHANNEL 1138
#define IDC_KW_SPIN 1141
// Old content page 291
#define IDC_DEL_ON 1200
#define IDC_DEL_AT_START 1201
#define IDC_DEL_DAILY 1202
#define IDC_DEL_HOUR_EDIT 1203
#define IDC_DEL_HOUR_SPIN 1204
#define IDC_DEL_OLD 1205
#define IDC_DEL_DAYS_EDIT 1206
#define IDC_DEL_DAYS_SPIN 1207
#define IDC_DEL_ERROR 1208
#define IDC_DEL_OVERWRITE 1209
#define IDC_DEL_ASK_EDIT 1210
#define IDC_DEL_ASK_SPIN 1211
// Folder chooser 212
#define IDC_FC_OK 7
#define IDC_FC_FREE 1014
#define IDC_FC_KB 1016
#define IDC_FC_TREE 1058
#define IDC_FC_PATH 1194
// Strings
#define IDS_HISTORY_OVERWRITE 5019
#define IDS_SETTINGS_NETWORK 5101
#define IDS_SETTINGS_NO_ANSWER 5102
#define IDS_FC_NEW_FOLDER 5103
#define IDS_FC_DELETE_FAILED 5104
