// Fills the part table from the symbol libraries that the design tools' INI file lists.
#include <cstdio>
#include <cstring>

#include "engine/conversion_engine.h"
#include "engine/file_names.h"
#include "engine/kept_libraries.h"
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
// What was read is described into step.file.
bool LoadLibrary(Platform& files, TextReader& reader, LibraryStep& step, PartCollector& parts) {
  char real_name[kNativePathBytes];  // a link's target may be longer than the path
  if (!files.RealName(step.file_name, real_name, sizeof real_name)) return false;
  const FileHandle file = files.OpenForRead(real_name);
  if (file == kNoFile) return false;
  if (!files.QueryOpen(file, &step.file)) step.file = FileInfo{};
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

// A value of the INI file. A read that fails though the file reads spoils the load for
// keeping: the next one might read it.
void ReadIniValue(Platform& files, KeptLibraries& kept, const char* iniPath, const char* section,
                  const char* key, const char* fallback, char* out) {
  files.ReadIniString(section, key, fallback, out, kPathBytes, iniPath);
  char reason[kReasonBytes];
  if (files.TakeFailureReason(reason, sizeof reason) && kept.ini_readable()) kept.Spoil();
}

// The INI file's part of a load: whether it reads, and the library folder it names.
void ReadLibraryPath(Platform& files, KeptLibraries& kept, const char* iniPath) {
  const bool readable = files.IniFileReadable(iniPath);
  char reason[kReasonBytes];
  files.TakeFailureReason(reason, sizeof reason);
  kept.SetIniReadable(readable, reason);
  ReadIniValue(files, kept, iniPath, "MICROSIM", "LIBPATH", "Unknown", kept.directory());
}

// The step for the library the INI file lists as number n + 1, with the file it names; null
// where the list ends.
LibraryStep* NameLibrary(Platform& files, KeptLibraries& kept, const char* iniPath, int n) {
  char key[16];
  std::snprintf(key, sizeof key, "LIB%d", n + 1);
  char library[kPathBytes];
  ReadIniValue(files, kept, iniPath, "PART LIBS", key, "EMPTY", library);
  if (library[0] == '\0' || std::strcmp(library, "EMPTY") == 0) return nullptr;
  if (char* space = std::strchr(library, ' ')) *space = '\0';
  LibraryStep& step = kept.NextStep();
  CopyText(step.name, sizeof step.name, library);
  if (!LibraryFileName(kept.directory(), library, step.file_name)) {
    step.file_name[0] = '\0';
  }
  return &step;
}

// Reads the library of step n into parts, recording how that went.
void LoadLibraryStep(Platform& files, TextReader& reader, KeptLibraries& kept, LibraryStep& step,
                     int n, PartCollector& parts) {
  const bool overflowed = parts.overflowed();
  files.TakeFailureReason(nullptr, 0);
  step.loaded = step.file_name[0] != '\0' && LoadLibrary(files, reader, step, parts);
  if (!step.loaded) files.TakeFailureReason(step.reason, sizeof step.reason);
  kept.Witness(files, step);
  files.TakeFailureReason(nullptr, 0);
  if (parts.overflowed() && !overflowed) kept.SetOverflowStep(n);
}

}  // namespace

// A load whose files are all as the last one found them shows what that load showed and
// keeps its table; any other load reads the INI file and every library again.
int ConversionEngine::LoadPartLibraries(const char* iniPath) {
  const bool kept = kept_libraries_.StillTrue(platform_, iniPath);
  if (!kept) {
    parts_.ResetParts();
    kept_libraries_.Begin(platform_, iniPath);
  }
  sink_.SetStatus("Status: Finding LIB Path...");
  ForgetFailure();
  if (!kept) ReadLibraryPath(platform_, kept_libraries_, iniPath);
  // Only a run that follows parts needs the libraries, so only such a run hears of them.
  const bool reporting = convert_embedded_;
  if (reporting && !kept_libraries_.ini_readable()) {
    ShowReasoned(kept_libraries_.ini_reason(), "ERROR: Unable to read INI file!", iniPath);
  }
  ShowStatus(sink_, "Status: Lib Path set to %s", kept_libraries_.directory());
  PartCollector parts(parts_);
  for (int n = 0;; ++n) {
    LibraryStep* fresh = kept ? nullptr : NameLibrary(platform_, kept_libraries_, iniPath, n);
    const LibraryStep* step = kept ? kept_libraries_.Step(n) : fresh;
    if (step == nullptr) break;
    ShowStatus(sink_, "Status: Loading library %s", step->name);
    if (fresh != nullptr) {
      LoadLibraryStep(platform_, library_reader_, kept_libraries_, *fresh, n, parts);
    }
    if (!step->loaded && reporting) {
      ShowReasoned(step->reason, "ERROR: Unable to read part library!",
                   step->file_name[0] != '\0' ? step->file_name : step->name);
    }
    if (n == kept_libraries_.overflow_step() && reporting) {
      ShowError(kTooManyParts, step->file_name);
    }
  }
  if (!kept) kept_libraries_.End(parts.count());
  char text[kLineBytes];
  std::snprintf(text, sizeof text, "Status: Loaded %d parts", kept_libraries_.part_count());
  sink_.SetStatus(text);
  return 1;
}

}  // namespace kestrune
