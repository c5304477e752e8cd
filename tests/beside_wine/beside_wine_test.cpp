// The Linux program and the Windows program under Wine on one file, each started while the
// other holds it: each knows the other's locks, for the input and for the temporary file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/beside_wine/program_runs.h"
#include "tests/cli/cli_process.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/text_model.h"

namespace kestrune::test {
namespace {

namespace fs = std::filesystem;

std::string Setting(const char* name, const char* fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? value : fallback;
}

// A part whose default names a file that is not there: converting TOP.SCH or sub\X then
// reports that file while the schematic and its temporary file are open and locked, and a
// run held at its first message is held right there.
const std::string kIni = "[MICROSIM]\r\nLIBPATH=.\r\n[PART LIBS]\r\nLIB1=PARTS\r\n";
const std::string kLibrary =
    "*version 7.1\r\n@index\r\n*symbol HOLD\r\n@attributes\r\n"
    "a 0 sp 11 0 10 52 hln 100 PART=HOLD\r\n@views\r\n"
    "a 0 u 13 0 0 0 hln 100 DEFAULT=MISSING.SCH\r\n";
const std::string kHeldSchematic =
    "*version 7.1 1\r\n@setup\r\nunconnectedPins 0\r\n@index\r\n@parts\r\n"
    "a 0 sp 0 0 0 10 hlb 100 PART=HOLD\r\n@conn\r\n";
const std::string kPlainSchematic = "*version 7.1 2\r\n@setup\r\nx 1\r\n@index\r\n@parts\r\n";

struct Program {
  const char* name;
  std::vector<std::string> command;
};

Program Linux() { return {"the Linux program", {KESTRUNE_CLI_PATH}}; }
Program Windows() {
  return {"the Windows program under Wine",
          {Setting("KESTRUNE_WINE", "wine"), Setting("KESTRUNE_WINDOWS_CLI", "")}};
}

std::vector<std::string> With(std::vector<std::string> command,
                              const std::vector<std::string>& arguments) {
  command.insert(command.end(), arguments.begin(), arguments.end());
  return command;
}

class BesideWine : public testing::Test {
 protected:
  // One Wine server for all runs, started apart from any run's standard error.
  static void SetUpTestSuite() {
    setenv("WINEDEBUG", "-all", 1);
    RunToEnd({Setting("KESTRUNE_WINESERVER", "wineserver"), "-p"}, "/");
  }
  static void TearDownTestSuite() {
    RunToEnd({Setting("KESTRUNE_WINESERVER", "wineserver"), "-k"}, "/");
  }

  void SetUp() override {
    ASSERT_FALSE(Setting("KESTRUNE_WINDOWS_CLI", "").empty())
        << "KESTRUNE_WINDOWS_CLI names the Windows build's kestrune-cli.exe";
    fs::create_directories(work() / "sub");
    WriteWholeFile((work() / "MSIM.INI").string(), kIni);
    WriteWholeFile((work() / "PARTS.slb").string(), kLibrary);
  }

  fs::path work() const { return scratch_.path() / "work"; }
  std::string Converted(const std::string& bytes) const {
    return model::ConvertSchematic(bytes, true).output;
  }

  ScratchDir scratch_;
};

const std::vector<std::pair<Program, Program>> kHolderAndStarter = {{Linux(), Windows()},
                                                                    {Windows(), Linux()}};

TEST_F(BesideWine, AFileBeingConvertedIsRefusedByTheOtherProgramWhichTouchesNothing) {
  for (const auto& [holder, starter] : kHolderAndStarter) {
    SCOPED_TRACE(std::string(holder.name) + " holds TOP.SCH, " + starter.name + " starts");
    WriteWholeFile((work() / "TOP.SCH").string(), kHeldSchematic);
    fs::remove(work() / "TOP.P71");
    const std::vector<std::string> arguments = {"-b", "-e", "-i", ".\\MSIM.INI", "TOP.SCH"};
    HeldRun held(With(holder.command, arguments), work().string());
    ASSERT_TRUE(held.WaitUntilLocked((work() / "TOP.TMP").string()));
    const std::vector<std::string> during = FolderListing(work());

    const Finished refused = RunToEnd(With(starter.command, arguments), work().string());
    EXPECT_EQ(refused.exit_status, 1);
    EXPECT_NE(refused.err.find("File is being converted by another program"), std::string::npos)
        << refused.err;
    EXPECT_EQ(FolderListing(work()), during);
    EXPECT_EQ(ReadWholeFile((work() / "TOP.SCH").string()), kHeldSchematic);

    const Finished converted = held.Release();
    EXPECT_NE(converted.err.find("MISSING.SCH"), std::string::npos) << converted.err;
    EXPECT_EQ(converted.err.find("TOP.SCH"), std::string::npos) << converted.err;
    EXPECT_EQ(ReadWholeFile((work() / "TOP.SCH").string()), Converted(kHeldSchematic));
    EXPECT_EQ(ReadWholeFile((work() / "TOP.P71").string()), kHeldSchematic);
    EXPECT_EQ(FolderListing(work()),
              (std::vector<std::string>{"MSIM.INI", "PARTS.slb", "TOP.P71", "TOP.SCH", "sub"}));
  }
}

// Two dotless files of one folder share the temporary name QUORVA.TMP: the one started second
// must take the held one's file for what it is, not for a leftover to remove.
TEST_F(BesideWine, ATemporaryFileTheOtherProgramHoldsIsPassedOver) {
  for (const auto& [holder, starter] : kHolderAndStarter) {
    SCOPED_TRACE(std::string(holder.name) + " holds sub\\QUORVA.TMP, " + starter.name + " starts");
    WriteWholeFile((work() / "sub/X").string(), kHeldSchematic);
    WriteWholeFile((work() / "sub/Y").string(), kPlainSchematic);
    HeldRun held(With(holder.command, {"-e", "-i", ".\\MSIM.INI", "sub\\X"}), work().string());
    ASSERT_TRUE(held.WaitUntilLocked((work() / "sub/QUORVA.TMP").string()));

    const Finished other = RunToEnd(With(starter.command, {"sub\\Y"}), work().string());
    EXPECT_EQ(other.exit_status, 0) << other.err;
    EXPECT_EQ(ReadWholeFile((work() / "sub/Y").string()), Converted(kPlainSchematic));

    const Finished converted = held.Release();
    EXPECT_EQ(converted.err.find("sub\\X"), std::string::npos) << converted.err;
    EXPECT_EQ(ReadWholeFile((work() / "sub/X").string()), Converted(kHeldSchematic));
    EXPECT_EQ(FolderListing(work() / "sub"), (std::vector<std::string>{"X", "Y"}));
  }
}

}  // namespace
}  // namespace kestrune::test
