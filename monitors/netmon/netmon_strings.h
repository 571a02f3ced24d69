// String resource numbers of the network port monitor. Shared by the
// monitor's resource script and its code.
#pragma once

#define IDS_PORT_DESCRIPTION 151
#define IDS_MONITOR_NAME 152
#define IDS_PORT_PREFIX 155
#define IDS_INVALID_ADDRESS 306
#define IDS_PORT_EXISTS 307
#define IDS_NOTHING_TO_CONFIGURE 308
#define IDS_SAVE_AS_TITLE 313
#define IDS_PRINT_ERROR 314
#define IDS_WRITE_ERROR 316
