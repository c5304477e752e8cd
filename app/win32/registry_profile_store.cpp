// The per-user settings store on Windows:
// HKEY_CURRENT_USER\Software\<company>\<application>\<section>.
#include "app/win32/registry_profile_store.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <utility>

namespace kestrune {
namespace {

// An open registry key, closed when it goes; null when it could not be opened.
class OpenKey {
 public:
  explicit OpenKey(HKEY key) : key_(key) {}
  ~OpenKey() {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  HKEY get() const { return key_; }

 private:
  HKEY key_;
};

HKEY OpenForReading(const std::string& path) {
  HKEY key = nullptr;
  return RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS
             ? key
             : nullptr;
}

HKEY OpenForWriting(const std::string& path) {
  HKEY key = nullptr;
  return RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                         KEY_SET_VALUE, nullptr, &key, nullptr) == ERROR_SUCCESS
             ? key
             : nullptr;
}

// The value's bytes when it exists with the wanted type.
bool QueryValue(HKEY key, const char* name, DWORD wanted_type, std::string* bytes) {
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      type != wanted_type) {
    return false;
  }
  bytes->assign(size, '\0');
  return RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&(*bytes)[0]),
                          &size) == ERROR_SUCCESS &&
         type == wanted_type && size <= bytes->size();
}

// Creates the key when needed; false when the value could not be stored.
bool SetValue(const std::string& path, const char* key, DWORD type, const void* data, DWORD size) {
  const OpenKey opened(OpenForWriting(path));
  return opened.get() != nullptr &&
         RegSetValueExA(opened.get(), key, 0, type, static_cast<const BYTE*>(data), size) ==
             ERROR_SUCCESS;
}

}  // namespace

RegistryProfileStore::RegistryProfileStore(std::string company, std::string application)
    : company_(std::move(company)), application_(std::move(application)) {}

std::string RegistryProfileStore::SectionPath(const char* section) const {
  return "Software\\" + company_ + "\\" + application_ + "\\" + section;
}

std::string RegistryProfileStore::ReadString(const char* section, const char* key,
                                             const char* fallback) {
  const OpenKey opened(OpenForReading(SectionPath(section)));
  std::string bytes;
  if (opened.get() == nullptr || !QueryValue(opened.get(), key, REG_SZ, &bytes)) return fallback;
  // A stored string may or may not carry its terminating NUL.
  return bytes.substr(0, bytes.find('\0'));
}

int RegistryProfileStore::ReadInt(const char* section, const char* key, int fallback) {
  const OpenKey opened(OpenForReading(SectionPath(section)));
  std::string bytes;
  if (opened.get() == nullptr || !QueryValue(opened.get(), key, REG_DWORD, &bytes) ||
      bytes.size() != sizeof(DWORD)) {
    return fallback;
  }
  DWORD value = 0;
  bytes.copy(reinterpret_cast<char*>(&value), sizeof value);
  return static_cast<int>(value);
}

void RegistryProfileStore::WriteString(const char* section, const char* key,
                                       const std::string& value) {
  write_failed_ |= !SetValue(SectionPath(section), key, REG_SZ, value.c_str(),
                             static_cast<DWORD>(value.size() + 1));
}

void RegistryProfileStore::WriteInt(const char* section, const char* key, int value) {
  const DWORD stored = static_cast<DWORD>(value);
  write_failed_ |= !SetValue(SectionPath(section), key, REG_DWORD, &stored, sizeof stored);
}

bool RegistryProfileStore::Flush() {
  const bool saved = !write_failed_;
  write_failed_ = false;
  return saved;
}

}  // namespace kestrune
