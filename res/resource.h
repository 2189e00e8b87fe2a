#pragma once
// Resource identifiers of the installer's executable.
#define IDI_VANTREL 107
#define IDI_SMALL 108
#define IDC_VANTREL 109
#define IDM_ABOUT 104

#define IDB_BACKGROUND 154
#define IDB_BANNER 155
#define IDB_CLOSE 156
#define IDB_AGREEMENT 158
#define IDB_BACK 159
#define IDB_CANCEL 160
#define IDB_CUSTOM 161
#define IDB_RESTORE 162
#define IDB_MINIMIZE 163
#define IDB_INSTALL 164
#define IDB_SLIDE0 166
#define IDB_CHANGE 171
