// The plain report's rules: which line names a file and how, when a file is listed again, what
// the closing lines say.
#include "cli/report_sink.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kestrune {
namespace {

// One call the engine makes on its sink; a closing text ends a Convert command.
struct Call {
  enum class Kind { kReason, kError, kDone, kClosing };
  Kind kind;
  std::string text;
  FileOutcome outcome = FileOutcome::kNotConverted;
};

Call Reason(const std::string& text) { return {Call::Kind::kReason, text}; }
Call Error(const std::string& text) { return {Call::Kind::kError, text}; }
Call Done(const std::string& path, FileOutcome outcome) {
  return {Call::Kind::kDone, path, outcome};
}
const Call kClosing = {Call::Kind::kClosing, "Converted!"};
constexpr FileOutcome kConverted = FileOutcome::kConverted;
constexpr FileOutcome kOld = FileOutcome::kAlreadyOld;
constexpr FileOutcome kNot = FileOutcome::kNotConverted;

struct Reported {
  std::string out;
  std::string err;
};

// Makes the calls on a report, then ends it with the summary.
Reported Report(const ReportOptions& options, const std::vector<Call>& calls) {
  ProgressLine progress(false);
  ReportSink report(options, progress);
  testing::internal::CaptureStderr();
  testing::internal::CaptureStdout();
  for (const Call& call : calls) {
    switch (call.kind) {
      case Call::Kind::kReason: report.ErrorReason(call.text.c_str()); break;
      case Call::Kind::kError: report.ShowError(call.text.c_str()); break;
      case Call::Kind::kDone: report.FileDone(call.text.c_str(), call.outcome); break;
      case Call::Kind::kClosing: report.ShowInfo(call.text.c_str()); break;
    }
  }
  report.Finish(true, false);
  const std::string out = testing::internal::GetCapturedStdout();
  return {out, testing::internal::GetCapturedStderr()};
}

struct Case {
  const char* rule;
  std::vector<Call> calls;
  std::string out;
  std::string err;
};

void ExpectReports(const ReportOptions& options, const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rule);
    const Reported reported = Report(options, c.calls);
    EXPECT_EQ(reported.out, c.out);
    EXPECT_EQ(reported.err, c.err);
  }
}

ReportOptions WithIni(const std::string& ini_path, const std::string& hint) {
  ReportOptions options;
  options.ini_path = ini_path;
  options.ini_hint = hint;
  return options;
}

// The file's error names it as its line does, with the system's reason last; a path the
// program built is shown as this system names it, the INI path as written.
TEST(CliReport, AnErrorNamesItsFileAsWrittenAndEndsWithTheReason) {
  const std::string kAmpNotConverted = "AMP.SCH: not converted (Unable to replace input file";
  const std::string kSummary =
      "Finished with errors!\n0 converted, 0 already at 6.1, 1 not converted\n";
  ExpectReports(
      WithIni("MSIM.INI", "hint: write ./MSIM.INI"),
      {
          {"a file's error and its reason",
           {Reason("Permission denied"), Error("ERROR: Unable to replace input file!\nAMP.SCH"),
            Done("AMP.SCH", kNot), kClosing},
           kAmpNotConverted + ": Permission denied)\n" + kSummary,
           "kestrune-cli: AMP.SCH: Unable to replace input file: Permission denied\n"},
          {"a backup the message names",
           {Error("ERROR: Unable to replace input file! The backup file could not be "
                  "removed:\nsub\\AMP.P71"),
            Done("sub\\AMP.SCH", kNot), kClosing},
           "sub\\" + kAmpNotConverted + "! The backup file could not be removed: sub/AMP.P71)\n" +
               kSummary,
           "kestrune-cli: sub\\AMP.SCH: Unable to replace input file! The backup file could not "
           "be removed: sub/AMP.P71\n"},
          {"a library the program named",
           {Reason("No such file or directory"),
            Error("ERROR: Unable to read part library!\n.\\KESTRUNE.slb"), Done("AMP.SCH", kOld),
            kClosing},
           "AMP.SCH: already at 6.1, left unchanged\nFinished with errors!\n"
           "0 converted, 1 already at 6.1, 0 not converted\n",
           "kestrune-cli: ./KESTRUNE.slb: Unable to read part library: No such file or "
           "directory\n"},
          {"the INI file, with its hint",
           {Reason("No such file or directory"), Error("ERROR: Unable to read INI file!\nMSIM.INI"),
            Done("AMP.SCH", kConverted), kClosing},
           "AMP.SCH: converted\nFinished with errors!\n"
           "1 converted, 0 already at 6.1, 0 not converted\n",
           "kestrune-cli: MSIM.INI: Unable to read INI file: No such file or directory\n"
           "kestrune-cli: hint: write ./MSIM.INI\n"},
      });
}

// Each Convert command reports what it visits; the command line lists each file once, under
// its first spelling, and again only when a later visit ends better. The summary counts each
// file once, at its best; an error said before is not said again.
TEST(CliReport, EachFileIsListedOnceUnderItsFirstSpelling) {
  const std::string kMissing = "ERROR: Unable to open input file!\nMISSING.SCH";
  ExpectReports(
      ReportOptions{},
      {
          {"converted, then found at 6.1 under another spelling",
           {Done("FILTER.SCH", kConverted), Done("./AMP.SCH", kConverted), kClosing,
            Done("FILTER.SCH", kOld), Done("./BIAS.SCH", kConverted), kClosing,
            Done("./FILTER.SCH", kOld), kClosing},
           "FILTER.SCH: converted\n./AMP.SCH: converted\n./BIAS.SCH: converted\nConverted!\n"
           "3 converted, 0 already at 6.1, 0 not converted\n",
           ""},
          {"refused, then converted",
           {Error("ERROR: File is already being converted in this run!\n./AMP.SCH"),
            Done("./AMP.SCH", kNot), Done("AMP.SCH", kConverted), kClosing},
           "./AMP.SCH: not converted (File is already being converted in this run)\n"
           "./AMP.SCH: converted\nFinished with errors!\n"
           "1 converted, 0 already at 6.1, 0 not converted\n",
           "kestrune-cli: ./AMP.SCH: File is already being converted in this run\n"},
          {"missing for every file that leads to it",
           {Reason("No such file or directory"), Error(kMissing), Done("MISSING.SCH", kNot),
            Done("A.SCH", kConverted), kClosing, Reason("No such file or directory"),
            Error(kMissing), Done("MISSING.SCH", kNot), Done("B.SCH", kConverted), kClosing},
           "MISSING.SCH: not converted (Unable to open input file: No such file or directory)\n"
           "A.SCH: converted\nB.SCH: converted\nFinished with errors!\n"
           "2 converted, 0 already at 6.1, 1 not converted\n",
           "kestrune-cli: MISSING.SCH: Unable to open input file: No such file or directory\n"},
          {"no command ran", {}, "0 converted, 0 already at 6.1, 0 not converted\n", ""},
      });
}

TEST(CliReport, ADryRunSaysWhatWouldBecomeOfEachFile) {
  ReportOptions dry_run;
  dry_run.dry_run = true;
  ExpectReports(
      dry_run,
      {{"each outcome",
        {Done("A.SCH", kConverted), Done("B.SCH", kOld),
         Error("ERROR: Not a version 7.1 schematic!\nC.SCH"), Done("C.SCH", kNot), kClosing},
        "A.SCH: would be converted\nB.SCH: already at 6.1, would be left unchanged\n"
        "C.SCH: would not be converted (Not a version 7.1 schematic)\n"
        "1 would be converted, 1 already at 6.1, 1 would not be converted\n",
        "kestrune-cli: C.SCH: Not a version 7.1 schematic\n"}});
}

// Where both outputs show on one terminal, a file's error line is its only line.
TEST(CliReport, OnOneTerminalAFilesErrorIsSaidOnce) {
  ReportOptions one_terminal;
  one_terminal.one_terminal = true;
  ExpectReports(one_terminal, {{"an error, then a file without one",
                                {Error("ERROR: Not a version 7.1 schematic!\nC.SCH"),
                                 Done("C.SCH", kNot), Done("A.SCH", kConverted), kClosing},
                                "A.SCH: converted\nFinished with errors!\n"
                                "1 converted, 0 already at 6.1, 1 not converted\n",
                                "kestrune-cli: C.SCH: Not a version 7.1 schematic\n"}});
}

}  // namespace
}  // namespace kestrune
