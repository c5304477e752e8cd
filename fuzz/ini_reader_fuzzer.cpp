// Fuzzes the INI reader: bounded output, read sizes and letter case that change nothing, appended
// keys found.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "engine/platform/ini_reader.h"
#include "engine/platform/memory_platform.h"
#include "fuzz/property.h"
#include "tests/support/text_model.h"

namespace kestrune::fuzz {
namespace {

using model::LowerAscii;
using model::UpperAscii;

constexpr char kIniPath[] = "C:\\WINDOWS\\MSIM.INI";
constexpr char kFreshSection[] = "Kfz Fresh";
constexpr char kFreshKey[] = "kfzKey";
constexpr char kFallback[] = "fall back";
constexpr unsigned char kCanary = 0xA5;
constexpr std::size_t kCanaryBytes = 32;

struct Query {
  std::string section;
  std::string key;
};

// Reads with a buffer of capacity bytes followed by a canary that must stay untouched;
// the result must be terminated inside the buffer.
std::string ReadValue(const std::string& ini, const Query& query, std::size_t capacity,
                      std::size_t read_size) {
  MemoryPlatform files;
  files.AddFile(kIniPath, ini);
  files.LimitReadSize(read_size);
  std::vector<unsigned char> buffer(capacity + kCanaryBytes, kCanary);
  char* out = reinterpret_cast<char*>(buffer.data());
  ReadIniFile(files, query.section.c_str(), query.key.c_str(), kFallback, out, capacity, kIniPath);
  for (std::size_t i = capacity; i < buffer.size(); ++i) {
    Require(buffer[i] == kCanary, "nothing is written past the capacity");
  }
  Require(files.open_files() == 0, "the INI file is closed");
  if (capacity == 0) {
    Require(buffer[0] == kCanary, "a capacity of 0 writes nothing");
    return std::string();
  }
  const char* end = static_cast<const char*>(std::memchr(out, '\0', capacity));
  Require(end != nullptr, "the value is terminated inside the buffer");
  return std::string(out, static_cast<std::size_t>(end - out));
}

bool IsTrimmed(char c) {
  return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r' || c == '\x1A';
}

// A value the reader must hand back as written: no line ends or NUL, nothing trimmable at
// its ends, no pair of outer quotes.
std::string PlainValue(const std::string& raw) {
  std::string value;
  for (const char c : raw) {
    if (c != '\0' && c != '\n' && c != '\r') value += c;
  }
  while (!value.empty() && IsTrimmed(value.front())) value.erase(value.begin());
  while (!value.empty() && IsTrimmed(value.back())) value.pop_back();
  const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                      value.back() == value.front();
  return quoted ? value + "x" : value;
}

std::string Cut(const std::string& text, std::size_t capacity) {
  return capacity == 0 ? std::string() : text.substr(0, capacity - 1);
}

// Neither read sizes nor the letter case of the names asked for change an answer.
void CheckAnswerIsStable(const std::string& ini, const Query& query, std::size_t capacity,
                         std::size_t read_size) {
  const std::string whole = ReadValue(ini, query, capacity, 0);
  Require(ReadValue(ini, query, capacity, read_size) == whole, "the read size changes nothing");
  const Query upper{UpperAscii(query.section), UpperAscii(query.key)};
  const Query lower{LowerAscii(query.section), LowerAscii(query.key)};
  Require(ReadValue(ini, upper, capacity, 0) == whole, "upper-case names find the same value");
  Require(ReadValue(ini, lower, capacity, 0) == whole, "lower-case names find the same value");
}

// A section that the file does not name gives the fallback; once appended with a key of
// its own, that key gives its value.
void CheckFreshSection(const std::string& ini, const std::string& value, std::size_t capacity) {
  if (UpperAscii(ini).find(UpperAscii(kFreshSection)) != std::string::npos) return;
  const Query fresh{kFreshSection, kFreshKey};
  Require(ReadValue(ini, fresh, capacity, 0) == Cut(kFallback, capacity),
          "a missing section gives the fallback");
  const std::string appended = ini + "\n[" + kFreshSection + "]\n" + kFreshKey + "=" + value + "\n";
  Require(ReadValue(appended, fresh, capacity, 0) == Cut(value, capacity),
          "a key appended in a fresh section gives its value");
  Require(ReadValue(appended, {" kfz fresh ", "KFZKEY "}, capacity, 0) == Cut(value, capacity),
          "names asked for are trimmed and compared ignoring case");
}

}  // namespace
}  // namespace kestrune::fuzz

// The last bytes choose the capacity, the read size and the names asked for; the rest is the file.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kestrune::fuzz;
  FuzzedDataProvider input(data, size);
  const std::size_t capacity = input.ConsumeIntegralInRange<std::size_t>(0, 260);
  const std::size_t read_size = input.ConsumeIntegralInRange<std::size_t>(1, 17);
  static const Query kQueries[] = {{"MICROSIM", "LIBPATH"},
                                   {"PART LIBS", "LIB1"},
                                   {"PART LIBS", "LIB2"},
                                   {"S", "k"},
                                   {"", ""},
                                   {" Spaced Name ", " a key "}};
  const Query& query =
      kQueries[input.ConsumeIntegralInRange<std::size_t>(0, std::size(kQueries) - 1)];
  const std::string ini = input.ConsumeRemainingBytesAsString();

  CheckAnswerIsStable(ini, query, capacity, read_size);
  CheckFreshSection(ini, PlainValue(ini.substr(0, 300)), capacity);
  return 0;
}
