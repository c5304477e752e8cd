// Test helper: registry values under HKEY_CURRENT_USER, read and written directly rather than
// through the program.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <optional>
#include <string>

namespace kestrune::test {

// A value as the registry holds it: its type and its bytes.
struct StoredValue {
  DWORD type = REG_NONE;
  std::string bytes;
};

// "Software\Brindlewood\<application>\Options".
std::string OptionsKeyOf(const std::string& application);

std::optional<StoredValue> ReadStoredValue(const std::string& key, const char* name);
void StoreValue(const std::string& key, const char* name, const StoredValue& value);
StoredValue StringValue(const std::string& text);  // REG_SZ with its terminating NUL
StoredValue DwordValue(DWORD number);
// Removes Software\Brindlewood\<application> with its sections.
void DeleteApplicationKey(const std::string& application);

}  // namespace kestrune::test
