// The version record: what the program tells about itself where the platform asks.
#pragma once

#define KESTRUNE_VERSION_TEXT "1.0.0.1"
#define KESTRUNE_VERSION_COMMAS "1, 0, 0, 1"
#define KESTRUNE_INTERNAL_NAME "KESTRUNE"
#define KESTRUNE_ORIGINAL_FILENAME "KESTRUNE.EXE"
#define KESTRUNE_PRODUCT_NAME "KESTRUNE Application"
#define KESTRUNE_FILE_DESCRIPTION "KESTRUNE MFC Application"
