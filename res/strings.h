// The program's string table: texts the dialogs load by identifier.
#pragma once

#include "res/resource.h"

namespace kestrune {

// The text of string id, or "" when the table has none.
inline const char* LoadResourceString(int id) {
  switch (id) {
    case IDS_ABOUTBOX:
      return "&About KESTRUNE...";
    default:
      return "";
  }
}

}  // namespace kestrune
