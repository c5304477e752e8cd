// Test helper: registry values under HKEY_CURRENT_USER, read and written directly rather than
// through the program.
#include "tests/win32/registry_values.h"

namespace kestrune::test {
namespace {

constexpr char kCompanyKey[] = "Software\\Brindlewood\\";

}  // namespace

std::string OptionsKeyOf(const std::string& application) {
  return kCompanyKey + application + "\\Options";
}

std::optional<StoredValue> ReadStoredValue(const std::string& key, const char* name) {
  HKEY opened;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  StoredValue value;
  DWORD size = 0;
  LONG result = RegQueryValueExA(opened, name, nullptr, &value.type, nullptr, &size);
  if (result == ERROR_SUCCESS) {
    value.bytes.assign(size, '\0');
    result = RegQueryValueExA(opened, name, nullptr, &value.type,
                              reinterpret_cast<BYTE*>(&value.bytes[0]), &size);
    value.bytes.resize(size);
  }
  RegCloseKey(opened);
  if (result != ERROR_SUCCESS) return std::nullopt;
  return value;
}

void StoreValue(const std::string& key, const char* name, const StoredValue& value) {
  HKEY opened;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                      &opened, nullptr) != ERROR_SUCCESS) {
    return;
  }
  RegSetValueExA(opened, name, 0, value.type, reinterpret_cast<const BYTE*>(value.bytes.data()),
                 static_cast<DWORD>(value.bytes.size()));
  RegCloseKey(opened);
}

StoredValue StringValue(const std::string& text) { return StoredValue{REG_SZ, text + '\0'}; }

StoredValue DwordValue(DWORD number) {
  return StoredValue{REG_DWORD, std::string(reinterpret_cast<const char*>(&number), sizeof number)};
}

void DeleteApplicationKey(const std::string& application) {
  RegDeleteKeyA(HKEY_CURRENT_USER, OptionsKeyOf(application).c_str());
  RegDeleteKeyA(HKEY_CURRENT_USER, (kCompanyKey + application).c_str());
}

}  // namespace kestrune::test
