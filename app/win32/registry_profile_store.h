// The per-user settings store on Windows:
// HKEY_CURRENT_USER\Software\<company>\<application>\<section>.
#pragma once

#include <string>

#include "app/common/settings_schema.h"

namespace kestrune {

// Strings are REG_SZ values and integers REG_DWORD values, the layout the profile
// functions of the usual Windows application framework use. A value of another type
// reads as absent; keys are created when first written.
class RegistryProfileStore final : public ProfileStore {
 public:
  RegistryProfileStore(std::string company, std::string application);

  std::string ReadString(const char* section, const char* key, const char* fallback) override;
  int ReadInt(const char* section, const char* key, int fallback) override;
  void WriteString(const char* section, const char* key, const std::string& value) override;
  void WriteInt(const char* section, const char* key, int value) override;
  // Each write is in the registry already: false when any since the last Flush failed.
  bool Flush() override;

 private:
  std::string SectionPath(const char* section) const;

  std::string company_;
  std::string application_;
  bool write_failed_ = false;
};

}  // namespace kestrune
