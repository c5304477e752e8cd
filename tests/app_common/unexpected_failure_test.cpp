// An exception that cuts a Convert command short leaves no temporary file and one line telling why.
#include "app/common/unexpected_failure.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <new>
#include <stdexcept>
#include <string>

#include "app/common/convert_command.h"
#include "tests/support/recording_sink.h"
#include "tests/support/scratch_dir.h"

namespace kestrune::test {
namespace {

namespace fs = std::filesystem;

// Throws once the conversion has its temporary file, as a toolkit out of memory would
// from inside the status line's repaint.
class ThrowingSink : public RecordingSink {
 public:
  explicit ThrowingSink(const std::exception_ptr& failure) : failure_(failure) {}
  void SetStatus(const char* text) override {
    if (std::string(text).rfind("Status: Converting", 0) == 0) std::rethrow_exception(failure_);
  }

 private:
  std::exception_ptr failure_;
};

TEST(UnexpectedFailure, TheCommandCutShortLeavesNoTemporaryFileAndALineTellsWhy) {
  struct Case {
    std::exception_ptr failure;
    const char* line;
  };
  const Case cases[] = {
      {std::make_exception_ptr(std::bad_alloc()), "KESTRUNE: stopped: not enough memory"},
      {std::make_exception_ptr(std::runtime_error("no font")), "KESTRUNE: stopped: no font"},
      {std::make_exception_ptr(42), "KESTRUNE: stopped: unexpected failure"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    ScratchDir scratch;
    const std::string schematic = "*version 7.1 1\r\n@index\r\n";
    WriteWholeFile(scratch.path() / "AMP.SCH", schematic);
    ThrowingSink sink(c.failure);
    std::string line;
    try {
      RunConvertCommand(sink, MakeConvertRequest(scratch.PathOf("AMP.SCH").c_str(),
                                                 scratch.PathOf("none.ini").c_str(),
                                                 FieldEncoding::kSingleByte, true, false));
    } catch (...) {
      ASSERT_TRUE(fs::exists(scratch.path() / "AMP.TMP")) << "thrown before the temporary file";
      line = StopOnUnexpectedFailure();
    }
    EXPECT_EQ(line, c.line);
#if !defined(_WIN32)
    // On Windows the file goes once its handle is closed, at the end of the process.
    EXPECT_FALSE(fs::exists(scratch.path() / "AMP.TMP")) << "temporary file left";
#endif
    EXPECT_EQ(ReadWholeFile(scratch.path() / "AMP.SCH"), schematic);
  }
}

}  // namespace
}  // namespace kestrune::test
