#pragma once
// Resource ids shared by the resource script and the code.
#define IDI_VELMORA 1
#define IDI_TOOLS 2
#define IDI_INFO 3
#define IDB_BANNER 10
