// Resource ids, shared by the resource script and the code.
#pragma once

#define IDI_QUILLMARK 101
#define IDI_TRAY 102
#define IDC_HAND_LINK 103
#define IDB_LOGO 104
