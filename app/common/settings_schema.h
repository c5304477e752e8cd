// The four remembered settings: their store, keys, defaults and the order they are read and
// written.
#pragma once

#include <string>

#include "res/defaults.h"

namespace kestrune {

// A per-user store of named values in sections, as the platform keeps it. Reads give the
// fallback for a value that is absent or unreadable; write failures are not reported.
class ProfileStore {
 public:
  virtual ~ProfileStore() = default;
  virtual std::string ReadString(const char* section, const char* key, const char* fallback) = 0;
  virtual int ReadInt(const char* section, const char* key, int fallback) = 0;
  virtual void WriteString(const char* section, const char* key, const std::string& value) = 0;
  virtual void WriteInt(const char* section, const char* key, int value) = 0;
  // Makes every write so far durable; false on failure.
  virtual bool Flush() = 0;
};

// What the main window shows of the settings: the two field texts and the two boxes.
struct DialogSettings {
  std::string input_file;
  std::string ini_file;
  bool backups = false;
  bool embedded = false;
};

extern const char kSettingsCompanyKey[];  // "Brindlewood"

// Reads input file, INI file, backups, embedded, in that order; a stored non-zero
// integer ticks its box.
DialogSettings LoadSettings(ProfileStore& store);
// Writes the same four values in the same order; each box as 1 or 0.
void SaveSettings(ProfileStore& store, const DialogSettings& settings);

}  // namespace kestrune
