// The settings store on Linux: one wxFileConfig file, replaced whole when it is saved.
#include "app/wx/file_profile_store.h"

#include <climits>

#include <wx/filename.h>
#include <wx/log.h>
#include <wx/mstream.h>

#include "app/wx/atomic_file.h"

namespace kestrune {

namespace {

wxString EntryPath(const char* section, const char* key) {
  return wxString::Format("/%s/%s", wxString::FromUTF8(section), wxString::FromUTF8(key));
}

// Decimal text that fits a 32-bit integer, as the Windows store keeps it.
bool ParseInt32(const wxString& text, int* value) {
  long long number = 0;
  if (!text.Strip(wxString::both).ToLongLong(&number, 10)) return false;
  if (number < INT_MIN || number > INT_MAX) return false;
  *value = static_cast<int>(number);
  return true;
}

// A bad file yields defaults; wxFileConfig's complaints about it (log messages, and
// assertions on some malformed lines) would otherwise pop up as boxes.
class QuietParsing {
 public:
  QuietParsing() : previous_(wxSetAssertHandler(nullptr)) {}
  ~QuietParsing() { wxSetAssertHandler(previous_); }
  QuietParsing(const QuietParsing&) = delete;
  QuietParsing& operator=(const QuietParsing&) = delete;

 private:
  wxLogNull no_log_;
  wxAssertHandler_t previous_;
};

}  // namespace

FileProfileStore::FileProfileStore(const wxString& path) : path_(path) {
  QuietParsing quiet;
  config_ = std::make_unique<wxFileConfig>(wxEmptyString, wxEmptyString, path_, wxEmptyString,
                                           wxCONFIG_USE_LOCAL_FILE);
  // Paths are given back as written: "$HOME" or "C:\$WORK" are names, not variables.
  config_->SetExpandEnvVars(false);
}

FileProfileStore::~FileProfileStore() {
  // Unsaved writes are dropped: only Flush touches the file.
  config_->DisableAutoSave();
}

std::string FileProfileStore::ReadString(const char* section, const char* key,
                                         const char* fallback) {
  wxString value;
  if (!config_->Read(EntryPath(section, key), &value)) return fallback;
  return std::string(value.utf8_str());
}

int FileProfileStore::ReadInt(const char* section, const char* key, int fallback) {
  wxString text;
  int value = 0;
  if (!config_->Read(EntryPath(section, key), &text) || !ParseInt32(text, &value)) {
    return fallback;
  }
  return value;
}

void FileProfileStore::WriteString(const char* section, const char* key, const std::string& value) {
  config_->Write(EntryPath(section, key), wxString::FromUTF8(value));
}

void FileProfileStore::WriteInt(const char* section, const char* key, int value) {
  config_->Write(EntryPath(section, key), static_cast<long>(value));
}

bool FileProfileStore::Flush() {
  QuietParsing quiet;
  const wxFileName file(path_);
  if (!file.DirExists() && !wxFileName::Mkdir(file.GetPath(), 0700, wxPATH_MKDIR_FULL)) {
    return false;
  }
  // wxFileConfig's own Flush deletes the old file before renaming the new one in.
  wxMemoryOutputStream text;
  if (!config_->Save(text, wxConvUTF8)) return false;
  std::string bytes(static_cast<std::size_t>(text.GetLength()), '\0');
  text.CopyTo(bytes.data(), bytes.size());
  return ReplaceFileContents(std::string(path_.fn_str()), bytes);
}

}  // namespace kestrune
