// The program's string table: texts the dialogs load by identifier.
#pragma once

#include "res/resource.h"
#include "res/string_table.h"

namespace kestrune {

// The text of string id, or "" when the table has none.
inline const char* LoadResourceString(int id) {
  switch (id) {
    case IDS_ABOUTBOX: return IDS_ABOUTBOX_TEXT;
    default: return "";
  }
}

}  // namespace kestrune
