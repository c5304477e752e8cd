// The texts of the program's string table, for the resource compiler and for code alike.
#pragma once

#define IDS_ABOUTBOX_TEXT "&About KESTRUNE..."
