// The settings store on Linux: one wxFileConfig file, replaced whole when it is saved.
#pragma once

#include <memory>

#include <wx/fileconf.h>
#include <wx/string.h>

#include "app/common/settings_schema.h"

namespace kestrune {

// Reads the file when constructed; a missing, unreadable or malformed file reads as empty.
// Writes stay in memory until Flush.
class FileProfileStore final : public ProfileStore {
 public:
  explicit FileProfileStore(const wxString& path);
  ~FileProfileStore() override;
  FileProfileStore(const FileProfileStore&) = delete;
  FileProfileStore& operator=(const FileProfileStore&) = delete;

  std::string ReadString(const char* section, const char* key, const char* fallback) override;
  int ReadInt(const char* section, const char* key, int fallback) override;
  void WriteString(const char* section, const char* key, const std::string& value) override;
  void WriteInt(const char* section, const char* key, int value) override;

  // Replaces the file by one holding every value, creating its folder first; at every
  // instant the file holds the old or the new settings. False on failure.
  bool Flush() override;

 private:
  wxString path_;
  std::unique_ptr<wxFileConfig> config_;
};

}  // namespace kestrune
