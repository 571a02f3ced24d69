// Numbers shared by the test library's code, its resource script and the tests.
#pragma once

#define IDS_GREETING 1
#define IDS_ESCAPES 2
#define IDS_ONLY_JAPANESE 3
#define IDS_ENGLISH_BLOCK 100  // a block that exists in English only
#define IDS_EMPTY_SLOT 5       // in the first block, never defined

#define IDR_FONT_FIRST 1
#define RT_FONT_METRICS 258
