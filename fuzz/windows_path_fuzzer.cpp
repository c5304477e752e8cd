// Fuzzes the mapping of Windows-form paths and the search for their letter case: bounded,
// terminated, separators and drive folder right, the text kept but for letter case.
#include <fcntl.h>
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/platform/windows_path_on_posix.h"
#include "fuzz/property.h"
#include "tests/support/text_model.h"

namespace kestrune::fuzz {
namespace {

using model::LowerAscii;
using model::UpperAscii;

constexpr unsigned char kCanary = 0x5A;
constexpr std::size_t kCanaryBytes = 32;

std::filesystem::path scratch;

// A Wine prefix and a current directory with names in mixed case (one of them twice,
// differing in case only), so that the case matching has real entries to find.
void MakeScratchTree() {
  std::string pattern =
      (std::filesystem::temp_directory_path() / "kestrune-path-fuzz-XXXXXX").string();
  Require(mkdtemp(pattern.data()) != nullptr, "a scratch folder can be made");
  scratch = pattern;
  for (const char* folder :
       {"wine/dosdevices/c:/Windows", "wine/dosdevices/c:/Work/Sub", "Lib/Parts", "twin", "TWIN"}) {
    std::filesystem::create_directories(scratch / folder);
  }
  for (const char* file : {"wine/dosdevices/c:/Windows/MSIM.INI", "wine/dosdevices/c:/Work/Amp.Sch",
                           "Lib/Parts/Own.slb"}) {
    std::ofstream(scratch / file) << "x";
  }
  setenv("WINEPREFIX", (scratch / "wine").c_str(), 1);
  std::filesystem::current_path(scratch);
  std::atexit([] { std::filesystem::remove_all(scratch); });
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

std::string DriveFolder(char drive) {
  std::string folder = std::getenv("WINEPREFIX");
  if (folder.back() != '/') folder += '/';
  return folder + "dosdevices/" + LowerAscii(std::string(1, drive)) + ":";
}

// The mapped path: the drive folder for "X:", then the text with every run of separators
// written as one '/'.
std::string Model(const std::string& text) {
  std::string mapped;
  std::size_t start = 0;
  if (text.size() >= 2 && IsLetter(text[0]) && text[1] == ':') {
    mapped = DriveFolder(text[0]);
    if (text.size() > 2 && !IsSeparator(text[2])) mapped += '/';
    start = 2;
  }
  for (std::size_t i = start; i < text.size(); ++i) {
    if (!IsSeparator(text[i])) {
      mapped += text[i];
    } else if (mapped.empty() || mapped.back() != '/') {
      mapped += '/';
    }
  }
  return mapped;
}

int NextDescriptor() {
  const int probe = open("/dev/null", O_RDONLY | O_CLOEXEC);
  close(probe);
  return probe;
}

void CheckMapped(const std::string& text, const char* out, bool mapped, std::size_t capacity) {
  const std::string expected = Model(text);
  Require(mapped == (expected.size() < capacity), "a path maps exactly when it fits");
  if (capacity == 0) return;
  const char* end = static_cast<const char*>(std::memchr(out, '\0', capacity));
  Require(end != nullptr, "the output is terminated inside the buffer");
  const std::string result(out, static_cast<std::size_t>(end - out));
  if (!mapped) {
    Require(result.empty(), "a path that does not fit leaves the output empty");
    return;
  }
  Require(result == expected, "the mapped path is the model's");
}

void CheckMatched(const std::string& text, const char* out, bool matched, std::size_t capacity) {
  Require(matched == (text.size() < capacity),
          "a text's letter case is found exactly when it fits");
  if (!matched) return;
  const char* end = static_cast<const char*>(std::memchr(out, '\0', capacity));
  Require(end != nullptr, "the output is terminated inside the buffer");
  const std::string result(out, static_cast<std::size_t>(end - out));
  Require(UpperAscii(result) == UpperAscii(text), "only letter case changes");
}

}  // namespace
}  // namespace kestrune::fuzz

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  kestrune::fuzz::MakeScratchTree();
  return 0;
}

// The last bytes choose the capacity; the rest, up to a NUL byte, is the path text.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kestrune::fuzz;
  FuzzedDataProvider input(data, size);
  const std::size_t capacity = input.ConsumeIntegralInRange<std::size_t>(0, 320);
  std::string text = input.ConsumeRemainingBytesAsString();
  text = text.substr(0, text.find('\0'));

  for (const bool matching : {false, true}) {
    std::vector<unsigned char> buffer(capacity + kCanaryBytes, kCanary);
    char* out = reinterpret_cast<char*>(buffer.data());
    const int descriptor = NextDescriptor();
    const bool done = matching ? kestrune::MatchLetterCase(text.c_str(), out, capacity)
                               : kestrune::MapWindowsPath(text.c_str(), out, capacity);
    Require(NextDescriptor() == descriptor, "no descriptor is left open");
    for (std::size_t i = capacity; i < buffer.size(); ++i) {
      Require(buffer[i] == kCanary, "nothing is written past the capacity");
    }
    if (matching) {
      CheckMatched(text, out, done, capacity);
    } else {
      CheckMapped(text, out, done, capacity);
    }
  }
  return 0;
}
