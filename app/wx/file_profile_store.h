// The settings store on Linux: one wxFileConfig file, replaced whole when it is saved.
#pragma once

#include <memory>

#include <wx/fileconf.h>
#include <wx/string.h>

#include "app/common/settings_schema.h"
#include "app/wx/byte_preserving_utf8.h"

namespace kestrune {

// Reads the file when constructed; a missing, unreadable or malformed file reads as empty.
// Writes stay in memory until Flush. A value is kept as its bytes, whatever their encoding:
// the file holds them as they are and reads them back so. A NUL byte, which no line of the
// file can hold, is dropped where the file has one; a value with one is refused.
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
  // instant the file holds the old or the new settings. A symbolic link stays and its
  // target is replaced. False on failure, and when a value was refused since the last Flush
  // (the others are saved, the refused key keeps what it held).
  bool Flush() override;

 private:
  wxString path_;
  BytePreservingUtf8 bytes_;
  std::unique_ptr<wxFileConfig> config_;
  bool refused_ = false;
};

}  // namespace kestrune
