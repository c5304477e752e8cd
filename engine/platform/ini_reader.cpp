// Reads one value from the design tools' INI file, streaming it through a fixed buffer.
#include "engine/platform/ini_reader.h"

#include <cstring>

namespace kestrune {
namespace {

constexpr std::size_t kChunkSize = 4096;
constexpr std::size_t kPathCapacity = 260;
constexpr char kWindowsDirectory[] = "C:\\WINDOWS\\";
constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";
constexpr std::size_t kUtf8MarkLength = sizeof kUtf8Mark - 1;

// The blanks that are trimmed; 0x1A counts as one because old editors leave it at the end.
bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r' || c == '\x1A';
}

bool IsLineEnd(char c) { return c == '\n' || c == '\r'; }

char FoldAsciiCase(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameIgnoringCase(char a, char b) { return FoldAsciiCase(a) == FoldAsciiCase(b); }

// Length of text once its trailing blanks are gone.
std::size_t LengthWithoutTrailingBlanks(const char* text, std::size_t length) {
  while (length > 0 && IsBlank(text[length - 1])) --length;
  return length;
}

// A section or key name asked for, without its surrounding blanks.
struct Name {
  const char* text;
  std::size_t length;
};

Name TrimmedName(const char* text) {
  while (IsBlank(*text)) ++text;
  return Name{text, LengthWithoutTrailingBlanks(text, std::strlen(text))};
}

enum class NameMatch { kOngoing, kComplete, kMismatch };

// Compares the name on a line with the one asked for, one byte at a time: blanks before
// and after it are allowed, then end_mark completes it; the line's name must be the whole
// asked name, inner blanks included.
NameMatch MatchNextByte(Name wanted, std::size_t& matched, char c, char end_mark) {
  if (matched < wanted.length) {
    if (matched == 0 && IsBlank(c)) return NameMatch::kOngoing;
    if (!SameIgnoringCase(c, wanted.text[matched])) return NameMatch::kMismatch;
    ++matched;
    return NameMatch::kOngoing;
  }
  if (c == end_mark) return NameMatch::kComplete;
  return IsBlank(c) ? NameMatch::kOngoing : NameMatch::kMismatch;
}

// The part of a value that is kept: two matching outer quotes go.
struct Span {
  std::size_t begin;
  std::size_t end;
};

Span UnquotedSpan(std::size_t length, char first, char last) {
  const bool quoted = length >= 2 && (first == '"' || first == '\'') && last == first;
  return quoted ? Span{1, length - 1} : Span{0, length};
}

// Moves the kept part of the text at source (which may be out itself) to the start of out.
void PutSpan(char* out, std::size_t capacity, const char* source, Span span) {
  std::size_t length = span.end - span.begin;
  if (length > capacity - 1) length = capacity - 1;
  std::memmove(out, source + span.begin, length);
  out[length] = '\0';
}

// The fallback keeps its leading blanks but not its trailing ones, and loses outer quotes.
void PutFallback(char* out, std::size_t capacity, const char* fallback) {
  const char* text = fallback != nullptr ? fallback : "";
  const std::size_t length = LengthWithoutTrailingBlanks(text, std::strlen(text));
  const char last = length > 0 ? text[length - 1] : '\0';
  PutSpan(out, capacity, text, UnquotedSpan(length, text[0], last));
}

// The path text to open: a bare file name is looked for in the Windows directory only.
// Null when that path does not fit.
const char* PathToOpen(const char* ini_path, char* buffer) {
  if (std::strchr(ini_path, '\\') != nullptr || std::strchr(ini_path, '/') != nullptr) {
    return ini_path;
  }
  const std::size_t prefix = sizeof kWindowsDirectory - 1;
  const std::size_t length = std::strlen(ini_path);
  if (prefix + length >= kPathCapacity) return nullptr;
  std::memcpy(buffer, kWindowsDirectory, prefix);
  std::memcpy(buffer + prefix, ini_path, length + 1);
  return buffer;
}

// Follows the file byte by byte, one line at a time, looking for key in the first block
// of section; the value goes straight into out, so no line is ever held whole.
class IniScanner {
 public:
  IniScanner(Name section, Name key, char* out, std::size_t capacity)
      : section_(section), key_(key), out_(out), capacity_(capacity) {}

  void Feed(char c) {
    if (mark_seen_ < kUtf8MarkLength) {
      if (c == kUtf8Mark[mark_seen_]) {
        ++mark_seen_;
        return;
      }
      ReplayPartialMark();
    }
    FeedText(c);
  }

  void EndOfFile() {
    if (mark_seen_ < kUtf8MarkLength) ReplayPartialMark();
    EndLine();
  }

  bool Done() const { return where_ == Where::kFound || where_ == Where::kPastSection; }
  bool Found() const { return where_ == Where::kFound; }

 private:
  enum class Where { kOutsideSection, kInSection, kPastSection, kFound };
  // kValueCut: a NUL byte ended the value; the rest of its line is passed over.
  enum class Line { kStart, kHeader, kKey, kValue, kValueCut, kIgnored };

  // Bytes that began like a byte-order mark but were not one are ordinary text.
  void ReplayPartialMark() {
    const std::size_t seen = mark_seen_;
    mark_seen_ = kUtf8MarkLength;
    for (std::size_t i = 0; i < seen; ++i) FeedText(kUtf8Mark[i]);
  }

  void FeedText(char c) {
    if (IsLineEnd(c)) {
      EndLine();
      return;
    }
    switch (line_) {
      case Line::kStart: StartLine(c); break;
      case Line::kHeader: FeedHeader(c); break;
      case Line::kKey: FeedKey(c); break;
      case Line::kValue: FeedValue(c); break;
      case Line::kValueCut:
      case Line::kIgnored: break;
    }
  }

  void StartLine(char c) {
    if (IsBlank(c)) return;
    if (c == '[') {
      line_ = Line::kHeader;
      matched_ = 0;
      header_match_ = NameMatch::kOngoing;
      header_closed_ = false;
    } else if (c != ';' && where_ == Where::kInSection) {
      line_ = Line::kKey;
      matched_ = 0;
      FeedKey(c);
    } else {
      line_ = Line::kIgnored;
    }
  }

  // The name runs to the last ']' of the line, so a ']' after a complete match spoils it.
  void FeedHeader(char c) {
    if (c == ']') header_closed_ = true;
    if (header_match_ == NameMatch::kOngoing) {
      header_match_ = MatchNextByte(section_, matched_, c, ']');
    } else if (header_match_ == NameMatch::kComplete && c == ']') {
      header_match_ = NameMatch::kMismatch;
    }
  }

  // The key ends at the first '=', which can therefore never be part of it.
  void FeedKey(char c) {
    const NameMatch match = c == '=' && matched_ < key_.length
                                ? NameMatch::kMismatch
                                : MatchNextByte(key_, matched_, c, '=');
    if (match == NameMatch::kMismatch) {
      line_ = Line::kIgnored;
    } else if (match == NameMatch::kComplete) {
      line_ = Line::kValue;
      value_length_ = 0;
      value_end_ = 0;
    }
  }

  // Keeps up to capacity bytes, one more than the result can hold, so that the byte after
  // an opening quote that goes is still there.
  void FeedValue(char c) {
    if (c == '\0') {
      line_ = Line::kValueCut;
      return;
    }
    if (value_length_ == 0 && IsBlank(c)) return;
    if (value_length_ < capacity_) out_[value_length_] = c;
    ++value_length_;
    if (!IsBlank(c)) {
      value_end_ = value_length_;
      value_last_ = c;
    }
  }

  void EndLine() {
    if (line_ == Line::kHeader && header_closed_) EndHeader();
    if (line_ == Line::kValue || line_ == Line::kValueCut) EndValue();
    line_ = Line::kStart;
  }

  // Only the first block of the section is searched: any later header ends it.
  void EndHeader() {
    if (where_ == Where::kInSection) {
      where_ = Where::kPastSection;
    } else if (header_match_ == NameMatch::kComplete) {
      where_ = Where::kInSection;
    }
  }

  void EndValue() {
    const char first = value_length_ > 0 ? out_[0] : '\0';
    PutSpan(out_, capacity_, out_, UnquotedSpan(value_end_, first, value_last_));
    where_ = Where::kFound;
  }

  Name section_;
  Name key_;
  char* out_;
  std::size_t capacity_;
  std::size_t mark_seen_ = 0;
  Where where_ = Where::kOutsideSection;
  Line line_ = Line::kStart;
  std::size_t matched_ = 0;
  NameMatch header_match_ = NameMatch::kOngoing;
  bool header_closed_ = false;
  std::size_t value_length_ = 0;
  std::size_t value_end_ = 0;
  char value_last_ = '\0';
};

// Feeds the file to the scanner until it has its answer; false when the value was not
// found, also when a read failed before the line holding it was complete.
bool ScanFile(Platform& files, FileHandle file, IniScanner& scanner) {
  char chunk[kChunkSize];
  while (!scanner.Done()) {
    const long count = files.Read(file, chunk, sizeof chunk);
    if (count < 0) return false;
    if (count == 0) {
      scanner.EndOfFile();
      break;
    }
    for (long i = 0; i < count && !scanner.Done(); ++i) scanner.Feed(chunk[i]);
  }
  return scanner.Found();
}

// The INI file ini_path names, opened under its real name; kNoFile when it does not open.
FileHandle OpenIniFile(Platform& files, const char* ini_path) {
  char path_buffer[kPathCapacity];
  const char* path = PathToOpen(ini_path, path_buffer);
  char real_name[kNativePathBytes];  // a link's target may be longer than the path
  if (path == nullptr || !files.RealName(path, real_name, sizeof real_name)) return kNoFile;
  return files.OpenForRead(real_name);
}

}  // namespace

void ReadIniFile(Platform& files, const char* section, const char* key, const char* fallback,
                 char* out, std::size_t capacity, const char* ini_path) {
  if (capacity == 0) return;
  const FileHandle file = OpenIniFile(files, ini_path);
  bool found = false;
  if (file != kNoFile) {
    IniScanner scanner(TrimmedName(section), TrimmedName(key), out, capacity);
    found = ScanFile(files, file, scanner);
    files.Close(file);
  }
  if (!found) PutFallback(out, capacity, fallback);
}

bool IniFileOpens(Platform& files, const char* ini_path) {
  const FileHandle file = OpenIniFile(files, ini_path);
  if (file == kNoFile) return false;
  files.Close(file);
  return true;
}

}  // namespace kestrune
