// A project folder as the design tools leave one, converted by one run of kestrune-cli, with
// each folder it looks into listed once.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/cli/cli_process.h"
#include "tests/support/scratch_dir.h"

namespace kestrune::test {
namespace {

namespace fs = std::filesystem;

std::string Schematic(const std::string& part) {
  return "*version 7.1 954663936\r\nu 138\r\n@setup\r\nunconnectedPins 0\r\n@index\r\n@parts\r\n"
         "a 0 sp 0 0 0 10 hlb 100 PART=" +
         part + "\r\na 0 sp 0 0 0 10 hlb 100 PART=R\r\n";
}

std::string Symbol(const std::string& part, const std::string& value) {
  return "*symbol " + part + "\r\na 0 sp 0 0 14 48 hln 100 PART=" + part +
         "\r\na 0 s 0 0 0 0 hln 100 DEFAULT=" + value + "\r\n";
}

// The program's folder is the project: blocks and the files leading to them, one at 6.1 and
// one that is no schematic. Beside it tools/ holds the INI file, in another letter case than
// the program is given, and lib/ the symbol libraries, one in another letter case than the INI
// file names, one missing.
class ProjectFolder : public ::testing::Test {
 protected:
  ProjectFolder() {
    fs::create_directories(Tools());
    fs::create_directories(Lib());
    WriteWholeFile(Lib() / "SYMBOLS.SLB", "*version 8.0 1\n@index\n" + Symbol("R", "") +
                                              "a 0 sp 11 0 0 30 hln 100 PART=\n");
    WriteWholeFile(Tools() / "DesignTools.ini",
                   "[MICROSIM]\r\nLIBPATH=" + Lib().string() +
                       "\r\n[PART LIBS]\r\nLIB1=Symbols [.slb]\r\nLIB2=Vanished\r\nLIB3=" +
                       Project().string() + "\\Blocks\r\n");
    WriteWholeFile(Project() / "Blocks.slb",
                   Symbol("BLK1", "B1.SCH") + Symbol("BLK2", "B2.SCH") + Symbol("GONE", "NO.SCH"));
    Put();
    // As a user's folders, their names long settled.
    for (const fs::path& folder : {Tools(), Lib()}) {
      fs::last_write_time(folder, fs::file_time_type::clock::now() - std::chrono::hours(1));
    }
  }

  fs::path Project() const { return sandbox_.work(); }
  fs::path Tools() const { return sandbox_.work().parent_path() / "tools"; }
  fs::path Lib() const { return sandbox_.work().parent_path() / "lib"; }
  std::string Ini() const { return (Tools() / "designtools.ini").string(); }

  void Put() const {
    WriteWholeFile(Project() / "A1.SCH", Schematic("BLK1"));
    WriteWholeFile(Project() / "A2.SCH", Schematic("BLK1"));
    WriteWholeFile(Project() / "A3.SCH", Schematic("GONE"));
    WriteWholeFile(Project() / "A4.SCH", Schematic("BLK2"));
    WriteWholeFile(Project() / "B1.SCH", Schematic("R"));
    WriteWholeFile(Project() / "B2.SCH", "*version 6.1 1\r\n@index\r\nPART=BLK1\r\n");
    WriteWholeFile(Project() / "NOTES.SCH", "no schematic\r\n");
  }

  // A run with the counting helper preloaded; its counts.
  CliResult RunCounted(const std::vector<std::string>& arguments,
                       std::map<std::string, int>* counts) const {
    const fs::path counts_file = sandbox_.wine_prefix() / "counts";
    CliResult result =
        sandbox_.Run(arguments, {std::string("LD_PRELOAD=") + KESTRUNE_COUNT_LISTINGS,
                                 "KESTRUNE_TEST_COUNTS=" + counts_file.string(),
                                 "ASAN_OPTIONS=verify_asan_link_order=0"});
    std::string name;
    int value = 0;
    std::istringstream text(ReadWholeFile(counts_file));
    while (text >> name >> value) (*counts)[name] = value;
    return result;
  }

  CliSandbox sandbox_;
};

// The run's lookups alternate between the INI file's folder and the libraries': each is
// listed once, for the name each holds only in another letter case.
TEST_F(ProjectFolder, NoFolderIsListedTwice) {
  std::map<std::string, int> counts;
  const CliResult result = RunCounted({"--ini", Ini(), "--embedded", "--backup", "."}, &counts);
  EXPECT_EQ(result.exit_status, 1) << result.err;
  EXPECT_EQ(counts["listings"], 2);
}

}  // namespace
}  // namespace kestrune::test
