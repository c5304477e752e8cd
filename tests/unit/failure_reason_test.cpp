// The system's reason for a failed call reaches the sink with the error it caused, and no other.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/conversion_engine.h"
#include "engine/platform/ini_reader.h"
#include "engine/platform/memory_platform.h"
#include "engine/platform/platform_wrapper.h"
#include "engine/text_util.h"

namespace kestrune::test {
namespace {

using Texts = std::vector<std::string>;

// Files in memory whose failing calls keep a reason naming the call, as a system platform
// keeps errno's text; every write fails. Every INI read leaves a reason that nobody reports,
// as a missing INI file's open does.
class ReasonKeepingPlatform : public PlatformWrapper {
 public:
  explicit ReasonKeepingPlatform(MemoryPlatform& files) : PlatformWrapper(files) {}

  FileHandle OpenForRead(const char* path) override {
    const FileHandle file = target().OpenForRead(path);
    if (file == kNoFile) reason_ = "open failed";
    return file;
  }
  long Read(FileHandle file, char* buffer, std::size_t size) override {
    const long got = target().Read(file, buffer, size);
    if (got < 0) reason_ = "read failed";
    return got;
  }
  bool Write(FileHandle, const char*, std::size_t) override {
    reason_ = "write failed";
    return false;
  }
  void ReadIniString(const char* section, const char* key, const char* fallback, char* out,
                     std::size_t capacity, const char* ini_path) override {
    target().ReadIniString(section, key, fallback, out, capacity, ini_path);
    reason_ = "unreported INI failure";
  }
  bool IniFileReadable(const char* ini_path) override { return IniFileOpens(*this, ini_path); }
  bool TakeFailureReason(char* out, std::size_t capacity) override {
    const std::string reason = reason_;
    reason_.clear();
    if (capacity == 0) return false;
    out[0] = '\0';
    if (reason.empty()) return false;
    return CopyText(out, capacity, reason.c_str());
  }

 private:
  std::string reason_;
};

// Each reason as "reason: ...", each error as "error: ...", in order.
class ReasonSink : public StatusSink {
 public:
  void SetStatus(const char*) override {}
  void ErrorReason(const char* reason) override {
    said.push_back(std::string("reason: ") + reason);
  }
  void ShowError(const char* text) override { said.push_back(std::string("error: ") + text); }
  void ShowInfo(const char*) override {}
  Texts said;
};

struct Case {
  const char* what;
  std::string contents;  // of AMP.SCH; none when empty
  int failing_read;      // the read call that fails, 0 for none
  std::string ini;       // none when empty
  bool embedded;
  Texts said;
};

TEST(FailureReason, AFailedCallsReasonComesWithItsErrorOnly) {
  // Larger than the write buffer, so that a write is tried before the file is refused.
  const std::string kLargeText(2 * 1024 * 1024, 'x');
  const std::string kIni = "[MICROSIM]\nLIBPATH=.\n[PART LIBS]\nLIB1=OWN [.slb]\n";
  const std::vector<Case> cases = {
      {"a missing file",
       "",
       0,
       "",
       false,
       {"reason: open failed", "error: ERROR: Unable to open input file!\nAMP.SCH"}},
      {"a failed read",
       "*version 7.1\n",
       1,
       "",
       false,
       {"reason: read failed", "error: ERROR: Unable to read input file!\nAMP.SCH"}},
      {"a failed write",
       "*version 7.1\n" + kLargeText,
       0,
       "",
       false,
       {"reason: write failed", "error: ERROR: Unable to write temporary output file!\nAMP.SCH"}},
      {"a refusal after a failed write that nobody reported",
       kLargeText + "\n",
       0,
       "",
       false,
       {"error: ERROR: Not a version 7.1 schematic!\nAMP.SCH"}},
      {"a missing library after INI reads that failed unreported",
       "*version 6.1\n",
       0,
       kIni,
       true,
       {"reason: open failed", "error: ERROR: Unable to read part library!\n.\\OWN.slb"}},
      {"a missing INI file",
       "*version 6.1\n",
       0,
       "",
       true,
       {"reason: open failed", "error: ERROR: Unable to read INI file!\n.\\MSIM.INI"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryPlatform files;
    if (!c.contents.empty()) files.AddFile("AMP.SCH", c.contents);
    if (!c.ini.empty()) files.AddFile(".\\MSIM.INI", c.ini);
    if (c.failing_read != 0) files.FailReadsFrom(c.failing_read);
    ReasonKeepingPlatform platform(files);
    ReasonSink sink;
    // Megabytes: more than a Windows thread's stack holds.
    const auto engine = std::make_unique<ConversionEngine>(platform, sink);
    engine->RunConversion("AMP.SCH", ".\\MSIM.INI", 0, c.embedded ? 1 : 0);
    EXPECT_EQ(sink.said, c.said);
  }
}

}  // namespace
}  // namespace kestrune::test
