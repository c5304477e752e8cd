// Fills the part table from the symbol libraries that the design tools' INI file lists.
#include <cstdio>
#include <cstring>

#include "engine/conversion_engine.h"
#include "engine/file_names.h"
#include "engine/text_util.h"

namespace kestrune {
namespace {

constexpr char kNameKey[] = "PART=";
constexpr char kDefaultKey[] = "DEFAULT=";

// Fills rows in library order. A part whose name or default does not fit a row is left
// out whole, so the table never holds a shortened text.
class PartCollector {
 public:
  explicit PartCollector(PartTable& table) : table_(table) {}
  int count() const { return count_; }

  void TakeName(const char* name) {
    if (count_ == kPartRows) return;
    name_fits_ = table_.SetPartName(count_, name);
    if (!name_fits_) table_.SetPartName(count_, "");
  }

  void TakeDefault(const char* value) {
    if (count_ == kPartRows) return;
    if (name_fits_ && table_.SetPartDefault(count_, value)) {
      ++count_;
      return;
    }
    table_.SetPartName(count_, "");
    name_fits_ = true;
  }

 private:
  PartTable& table_;
  int count_ = 0;
  bool name_fits_ = true;
};

void ShowStatus(StatusSink& sink, const char* format, const char* value) {
  char text[kLineBytes];
  std::snprintf(text, sizeof text, format, value);
  sink.SetStatus(text);
}

// "%s.slb" for a value with a directory, else "%s\%s.slb" in the library directory.
bool LibraryFileName(const char* directory, const char* library, char* out) {
  const int written = std::strchr(library, '\\') != nullptr
                          ? std::snprintf(out, kPathBytes, "%s.slb", library)
                          : std::snprintf(out, kPathBytes, "%s\\%s.slb", directory, library);
  return written >= 0 && static_cast<std::size_t>(written) < kPathBytes;
}

void LoadLibrary(Platform& files, TextReader& reader, const char* file_name, PartCollector& parts) {
  const FileHandle file = files.OpenForRead(file_name);
  if (file == kNoFile) return;
  reader.Start(files, file);
  char line[kLineBytes];
  for (std::size_t length; (length = reader.ReadLine(line)) != 0;) {
    if (char* feed = static_cast<char*>(std::memchr(line, '\n', length))) {
      *feed = '\0';
      length = static_cast<std::size_t>(feed - line);
    }
    if (const char* name = FindText(line, length, kNameKey))
      parts.TakeName(name + sizeof kNameKey - 1);
    if (const char* value = FindText(line, length, kDefaultKey)) {
      parts.TakeDefault(value + sizeof kDefaultKey - 1);
    }
  }
  files.Close(file);
}

}  // namespace

int ConversionEngine::LoadPartLibraries(const char* iniPath) {
  parts_.ResetParts();
  PartCollector parts(parts_);
  sink_.SetStatus("Status: Finding LIB Path...");
  char directory[kPathBytes];
  platform_.ReadIniString("MICROSIM", "LIBPATH", "Unknown", directory, sizeof directory, iniPath);
  ShowStatus(sink_, "Status: Lib Path set to %s", directory);
  for (int n = 1;; ++n) {
    char key[16];
    std::snprintf(key, sizeof key, "LIB%d", n);
    char library[kPathBytes];
    platform_.ReadIniString("PART LIBS", key, "EMPTY", library, sizeof library, iniPath);
    if (library[0] == '\0' || std::strcmp(library, "EMPTY") == 0) break;
    if (char* space = std::strchr(library, ' ')) *space = '\0';
    ShowStatus(sink_, "Status: Loading library %s", library);
    char file_name[kPathBytes];
    if (LibraryFileName(directory, library, file_name)) {
      LoadLibrary(platform_, library_reader_, file_name, parts);
    }
  }
  char text[kLineBytes];
  std::snprintf(text, sizeof text, "Status: Loaded %d parts", parts.count());
  sink_.SetStatus(text);
  return 1;
}

}  // namespace kestrune
