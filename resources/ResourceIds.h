// Shared by the resource scripts and the code.
#pragma once

#define IDI_APP 1
#define IDB_LOGO 100
