// The plain report of engine errors: which line names the file, and which a path of the message.
#include "cli/report_sink.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrune {
namespace {

struct Reported {
  std::string err;
  std::string out;
  bool error_shown;
};

// One file's error, then its end as not converted.
Reported ReportFailedFile(const char* error, const char* path) {
  ProgressLine progress(false);
  ReportSink report(false, progress);
  testing::internal::CaptureStderr();
  testing::internal::CaptureStdout();
  report.ShowError(error);
  report.FileDone(path, FileOutcome::kNotConverted);
  const std::string out = testing::internal::GetCapturedStdout();
  return {testing::internal::GetCapturedStderr(), out, report.error_shown()};
}

TEST(CliReport, AnErrorNamesItsFileOrThePathItsMessageNames) {
  struct Case {
    const char* error;
    std::string err;
    std::string out;
  };
  const Case cases[] = {
      {"ERROR: Unable to replace input file!\nAMP.SCH",
       "kestrune-cli: AMP.SCH: Unable to replace input file\n",
       "AMP.SCH: not converted (Unable to replace input file)\n"},
      {"ERROR: Unable to replace input file! The backup file could not be removed:\nAMP.P71",
       "kestrune-cli: Unable to replace input file! The backup file could not be removed: "
       "AMP.P71\n",
       "AMP.SCH: not converted (Unable to replace input file! The backup file could not be "
       "removed: AMP.P71)\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.error);
    const Reported reported = ReportFailedFile(c.error, "AMP.SCH");
    EXPECT_EQ(reported.err, c.err);
    EXPECT_EQ(reported.out, c.out);
    EXPECT_TRUE(reported.error_shown);
  }
}

}  // namespace
}  // namespace kestrune
