// The settings store on Linux: one wxFileConfig file, replaced whole when it is saved.
#include "app/wx/file_profile_store.h"

#include <algorithm>
#include <climits>
#include <cstdio>

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

// The file's bytes less any NUL, which would end wxFileConfig's parsing there; empty when
// there is no file or it cannot be read.
std::string ReadFileBytes(const wxString& path) {
  std::FILE* file = std::fopen(path.fn_str(), "rb");
  if (file == nullptr) return {};
  std::string bytes;
  char chunk[4096];
  for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, file)) > 0;) {
    bytes.append(chunk, got);
  }
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) return {};
  bytes.erase(std::remove(bytes.begin(), bytes.end(), '\0'), bytes.end());
  return bytes;
}

}  // namespace

FileProfileStore::FileProfileStore(const wxString& path) : path_(path) {
  QuietParsing quiet;
  const std::string bytes = ReadFileBytes(path_);
  wxMemoryInputStream text(bytes.data(), bytes.size());
  config_ = std::make_unique<wxFileConfig>(text, bytes_);
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
  size_t length = 0;
  const wxCharBuffer kept = bytes_.cWC2MB(value.wc_str(), value.length(), &length);
  return std::string(kept.data(), length);
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
  if (value.find('\0') != std::string::npos) {
    refused_ = true;
    return;
  }
  config_->Write(EntryPath(section, key), wxString(value.data(), bytes_, value.size()));
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
  const bool all_taken = !refused_;
  refused_ = false;
  // wxFileConfig's own Flush deletes the old file before renaming the new one in.
  wxMemoryOutputStream text;
  if (!config_->Save(text, bytes_)) return false;
  std::string bytes(static_cast<std::size_t>(text.GetLength()), '\0');
  text.CopyTo(bytes.data(), bytes.size());
  return ReplaceFileContents(std::string(path_.fn_str()), bytes) && all_taken;
}

}  // namespace kestrune
