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
constexpr char kTooManyParts[] = "ERROR: Too many parts: only the first 1000 are used!";
static_assert(kPartRows == 1000, "the message names the capacity");

// Fills rows in library order. A part whose name or default does not fit a row is left
// out whole, so the table never holds a shortened text; a part that would be stored once
// every row is filled is left out too, and remembered.
class PartCollector {
 public:
  explicit PartCollector(PartTable& table) : table_(table) {}
  int count() const { return count_; }
  bool overflowed() const { return overflowed_; }

  void TakeName(const char* name) {
    name_fits_ = TextLength(name) < kPartNameBytes;
    if (count_ < kPartRows) table_.SetPartName(count_, name_fits_ ? name : "");
  }

  void TakeDefault(const char* value) {
    const bool storable = name_fits_ && TextLength(value) < kPathBytes;
    name_fits_ = true;
    if (count_ == kPartRows) {
      overflowed_ = overflowed_ || storable;
    } else if (storable && table_.SetPartDefault(count_, value)) {
      ++count_;
    } else {
      table_.SetPartName(count_, "");
    }
  }

 private:
  PartTable& table_;
  int count_ = 0;
  bool name_fits_ = true;
  bool overflowed_ = false;
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

// False when the library cannot be opened or a read fails; the parts read until then stay.
bool LoadLibrary(Platform& files, TextReader& reader, const char* file_name, PartCollector& parts) {
  char real_name[kNativePathBytes];  // a link's target may be longer than the path
  if (!files.RealName(file_name, real_name, sizeof real_name)) return false;
  const FileHandle file = files.OpenForRead(real_name);
  if (file == kNoFile) return false;
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
  return !reader.failed();
}

}  // namespace

int ConversionEngine::LoadPartLibraries(const char* iniPath) {
  parts_.ResetParts();
  PartCollector parts(parts_);
  sink_.SetStatus("Status: Finding LIB Path...");
  // Only a run that follows parts needs the libraries, so only such a run hears of them.
  const bool reporting = convert_embedded_;
  ForgetFailure();
  if (reporting && !platform_.IniFileReadable(iniPath)) {
    ShowFailure("ERROR: Unable to read INI file!", iniPath);
  }
  char directory[kPathBytes];
  platform_.ReadIniString("MICROSIM", "LIBPATH", "Unknown", directory, sizeof directory, iniPath);
  ShowStatus(sink_, "Status: Lib Path set to %s", directory);
  bool overflow_shown = false;
  for (int n = 1;; ++n) {
    char key[16];
    std::snprintf(key, sizeof key, "LIB%d", n);
    char library[kPathBytes];
    platform_.ReadIniString("PART LIBS", key, "EMPTY", library, sizeof library, iniPath);
    if (library[0] == '\0' || std::strcmp(library, "EMPTY") == 0) break;
    if (char* space = std::strchr(library, ' ')) *space = '\0';
    ShowStatus(sink_, "Status: Loading library %s", library);
    char file_name[kPathBytes];
    const bool named = LibraryFileName(directory, library, file_name);
    ForgetFailure();
    if (!(named && LoadLibrary(platform_, library_reader_, file_name, parts)) && reporting) {
      ShowFailure("ERROR: Unable to read part library!", named ? file_name : library);
    }
    if (parts.overflowed() && reporting && !overflow_shown) {
      ShowError(kTooManyParts, file_name);
      overflow_shown = true;
    }
  }
  char text[kLineBytes];
  std::snprintf(text, sizeof text, "Status: Loaded %d parts", parts.count());
  sink_.SetStatus(text);
  return 1;
}

}  // namespace kestrune
