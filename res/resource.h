// Resource and command ids shared by the resource script and the code.
#pragma once

// Strings
#define IDS_APP_TITLE               1   // "Tabula": the main window's title
#define IDS_WINDOW_CLASS            2   // "TABULA": the main window's class

// Accelerators
#define IDR_ACCELERATORS            2

// Icons
#define IDI_ABOUT                   101 // the program's own icon, shown in the About box
#define IDI_APP                     142 // the program file's icon (first icon group)
#define IDI_TRAY                    143 // notification-area icon
#define IDI_BTN_ADD_SECTION         144
#define IDI_BTN_ADD_SEPARATOR       145
#define IDI_BTN_UP                  146
#define IDI_BTN_DOWN                147
#define IDI_BTN_DELETE              148
#define IDI_CONFIGURATION           153 // menu icon of "Configuration"
#define IDI_EXIT                    154 // menu icon of "Exit"
#define IDI_BTN_ADD_DOCUMENT        155

// Dialog templates
#define IDD_SECTIONS_PAGE           102
#define IDD_ABOUT_PORTRAIT          105
#define IDD_ABOUT_LANDSCAPE         106
#define IDD_DOCUMENTS_PAGE          130
#define IDD_SETTINGS                131
#define IDD_ADD_SECTION             132
#define IDD_OPTIONS_PAGE            133
#define IDD_RESTORE                 134
#define IDD_PROPERTIES_PORTRAIT     135
#define IDD_PROPERTIES_LANDSCAPE    136

// About box controls
#define IDC_ABOUT_ICON              201
#define IDC_ABOUT_NAME              202
#define IDC_ABOUT_NOTE              203

// Settings window and pages
#define IDC_TABS                    1000
#define IDC_SECTIONS_LIST           1001
#define IDC_ADD_SEPARATOR           1004 // Sections page
#define IDC_SECTION_BOX             1004 // Documents page
#define IDC_ADD_SECTION             1005
#define IDC_ADD_DOCUMENT            1006
#define IDC_DOCUMENTS_DELETE        1007
#define IDC_MOVE_UP                 1008
#define IDC_MOVE_DOWN               1009
#define IDC_SECTIONS_DELETE         1015
#define IDC_DOCUMENTS_LIST          1016
#define IDC_SECTION_NAME            1017
#define IDC_ADD_SECTION_OK          1018
#define IDC_ADD_SECTION_CANCEL      1019
#define IDC_SECTION_LABEL           1020
#define IDC_HOTKEY_LABEL            1021 // Options page
#define IDC_HOTKEY                  1022
#define IDC_HOTKEY_NOTE             1023
#define IDC_THEME_LABEL             1051 // Options page: the theme
#define IDC_THEME                   1052
#define IDC_MENU_WHERE              1053 // Options page: where the menu lives
#define IDC_MENU_FILE               1054
#define IDC_MENU_HERE               1055
#define IDC_EXPORT                  1024 // Options page: menu files
#define IDC_EXPORT_PROFILE          1025
#define IDC_IMPORT                  1026
#define IDC_RESTORE                 1027
#define IDC_FIND_HOTKEY_LABEL       1047 // Options page: the find box's hotkey, and recent documents
#define IDC_FIND_HOTKEY             1048
#define IDC_FIND_HOTKEY_NOTE        1049
#define IDC_SHOW_RECENT             1050
#define IDC_BACKUP_LIST             1028 // Restore dialog
#define IDC_PROP_NAME_LABEL         1030 // Properties dialog
#define IDC_PROP_NAME               1031
#define IDC_PROP_PATH_LABEL         1032
#define IDC_PROP_PATH               1033
#define IDC_PROP_PATH_BROWSE        1034
#define IDC_PROP_ARGS_LABEL         1035
#define IDC_PROP_ARGS               1036
#define IDC_PROP_START_LABEL        1037
#define IDC_PROP_START              1038
#define IDC_PROP_START_BROWSE       1039
#define IDC_PROP_RUN_LABEL          1040
#define IDC_PROP_RUN                1041
#define IDC_PROP_ADMIN              1042
#define IDC_PROP_ICON_LABEL         1043
#define IDC_PROP_ICON               1044 // the icon's picture
#define IDC_PROP_CHANGE_ICON        1045
#define IDC_PROP_DEFAULT_ICON       1046

// Commands of the pages' list context menu beside their buttons' own
#define IDC_ADD_FOLDER              1101
#define IDC_RENAME                  1102
#define IDC_SHOW_CONTENTS           1103
#define IDC_PROPERTIES              1104

// Accelerator commands ("Configuration" and "Exit" send the ids of their entries, menu/Item.h)
#define ID_QUIT_KEY                 40000 // Ctrl+Q: reaches the default handling only
#define ID_ABOUT                    40002
