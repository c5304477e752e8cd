// Every fixed capacity at its limit and just past it, the one home of these cases among the
// engine's unit tests: part names and defaults, part rows, visited files, path bytes, line pieces.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "engine/file_names.h"
#include "engine/run_state.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/reader_pieces.h"
#include "tests/support/table_fixtures.h"
#include "tests/support/without_links.h"

namespace kestrune::test {
namespace {

using Texts = std::vector<std::string>;

const char kIni[] = ".\\MSIM.INI";

class Capacity : public EngineFixture {
 protected:
  // An INI file listing the given libraries of a folder of the scratch folder, in order.
  void WriteIni(const Texts& libraries, const std::string& folder = ".") {
    std::string ini = "[MICROSIM]\nLIBPATH=" + folder + "\n[PART LIBS]\n";
    for (std::size_t i = 0; i < libraries.size(); ++i)
      ini += "LIB" + std::to_string(i + 1) + "=" + libraries[i] + "\n";
    Write("MSIM.INI", ini);
  }
  // A library of parts P<first> .. P<first + count - 1>, each leading to D<n>.SCH.
  static std::string Parts(int first, int count) {
    std::string library;
    for (int n = first; n < first + count; ++n)
      library += "PART=P" + std::to_string(n) + "\r\nDEFAULT=D" + std::to_string(n) + ".SCH\r\n";
    return library;
  }
  const std::string& LastStatus() const { return sink.calls.back().text; }
};

// --- Part names of 19 characters, defaults of 199 -----------------------------------------

TEST_F(PartRows, TextsThatDoNotFitAreRefusedAndTheRowKept) {
  parts.ResetParts();
  ASSERT_TRUE(parts.SetPartName(0, std::string(19, 'n').c_str()));
  EXPECT_FALSE(parts.SetPartName(0, std::string(20, 'x').c_str()));
  EXPECT_EQ(std::string(parts.Row(0).Name), std::string(19, 'n'));
  EXPECT_TRUE(parts.SetPartDefault(0, std::string(199, 'd').c_str()));
  EXPECT_FALSE(parts.SetPartDefault(0, std::string(200, 'd').c_str()));
  EXPECT_FALSE(parts.SetPartName(kPartRows, "X"));
  EXPECT_FALSE(parts.SetPartName(-1, "X"));
}

TEST_F(Capacity, PartsThatDoNotFitARowAreLeftOutWhole) {
  const std::string name19(19, 'N');
  WriteIni({"A"});
  Write("A.slb", "PART=" + std::string(20, 'X') + "\nDEFAULT=long name\n" + "PART=" + name19 +
                     "\nDEFAULT=" + std::string(199, 'd') + "\n" + "PART=BIG\nDEFAULT=" +
                     std::string(200, 'd') + "\n" + "PART=AFTER\nDEFAULT=after.sch\n");
  engine().LoadPartLibraries(kIni);
  EXPECT_EQ(LastStatus(), "Status: Loaded 2 parts");
  EXPECT_EQ(std::string(engine().FindPart(name19.c_str())), std::string(199, 'd'));
  EXPECT_EQ(engine().FindPart("BIG"), nullptr);
  EXPECT_STREQ(engine().FindPart("AFTER"), "after.sch");
}

// A part value is looked up whole: one character more than a name can hold finds
// nothing, even when its first 19 characters name a part.
TEST_F(Capacity, PartValuesOf19CharactersAreFollowedAndLongerOnesNever) {
  const std::string name19(19, 'N');
  Write("SUB.SCH", "*version 7.1\n");
  const std::string top =
      "*version 7.1\nPART=" + name19 + "X\nPART=" + name19 + std::string(281, 'X') + "\nend\n";
  Write("TOP.SCH", top);
  StartRun(false, true, {{name19, "SUB.SCH"}});
  engine().ConvertFile("TOP.SCH");
  EXPECT_EQ(Read("SUB.SCH"), "*version 7.1\n");
  EXPECT_EQ(Read("TOP.SCH"), "*version 6.1" + top.substr(12));
  EXPECT_EQ(engine().visited().VisitedCount(), 1);

  Write("TOP.SCH", "*version 7.1\nPART=" + name19 + "\n");
  StartRun(false, true, {{name19, "SUB.SCH"}});
  engine().ConvertFile("TOP.SCH");
  EXPECT_EQ(Read("SUB.SCH"), "*version 6.1\n");
  EXPECT_TRUE(sink.errors().empty());
}

// "PART=" and 300 characters come in two pieces: the first holds a name too long for a
// row, the second no name at all, so the part takes no row and the next one fits.
TEST_F(Capacity, APartNameOf300CharactersTakesNoRow) {
  WriteIni({"LONG"});
  Write("LONG.slb", "PART=" + std::string(300, 'L') +
                        "\r\nDEFAULT=long.sch\r\nPART=NEXT\r\nDEFAULT=next.sch\r\n");
  engine().LoadPartLibraries(kIni);
  EXPECT_EQ(LastStatus(), "Status: Loaded 1 parts");
  EXPECT_STREQ(engine().parts().Row(0).Name, "NEXT");
  EXPECT_STREQ(engine().parts().Row(0).Default, "next.sch");
  EXPECT_EQ(engine().FindPart(std::string(19, 'L').c_str()), nullptr);
}

// --- 1000 part rows -----------------------------------------------------------------------

TEST_F(PartRows, LastRowIsSearched) {
  parts.ResetParts();
  for (int i = 0; i < kPartRows; ++i) parts.SetPartName(i, ("P" + std::to_string(i)).c_str());
  parts.SetPartDefault(kPartRows - 1, "last.sch");
  EXPECT_STREQ(parts.FindPart("p999"), "last.sch");
  EXPECT_EQ(parts.FindPart("P1000"), nullptr);
}

TEST_F(Capacity, With999PartsANameAfterTheLastDefaultTakesTheLastRow) {
  WriteIni({"MANY"});
  Write("MANY.slb", Parts(1, 999) + "PART=DANGLING\r\n");
  engine().LoadPartLibraries(kIni);
  EXPECT_EQ(LastStatus(), "Status: Loaded 999 parts");
  EXPECT_STREQ(engine().FindPart("p999"), "D999.SCH");
  EXPECT_STREQ(engine().parts().Row(kPartRows - 1).Name, "DANGLING");
  EXPECT_STREQ(engine().FindPart("DANGLING"), "");
}

TEST_F(Capacity, With1000PartsLaterNamesChangeNoRow) {
  WriteIni({"MANY"});
  Write("MANY.slb", Parts(1, 1000) + "PART=DANGLING\r\n");
  engine().LoadPartLibraries(kIni);
  EXPECT_EQ(LastStatus(), "Status: Loaded 1000 parts");
  EXPECT_STREQ(engine().parts().Row(kPartRows - 1).Name, "P1000");
  EXPECT_STREQ(engine().FindPart("P1000"), "D1000.SCH");
  EXPECT_EQ(engine().FindPart("DANGLING"), nullptr);
}

// 1001 parts in one library, or split over two: the row count runs on across libraries,
// so the limit holds for the whole table.
class PartRowsOfLibraries : public Capacity,
                            public ::testing::WithParamInterface<std::vector<int>> {};

TEST_P(PartRowsOfLibraries, The1001stPartIsDropped) {
  Texts libraries;
  int first = 1;
  for (const int count : GetParam()) {
    libraries.push_back("L" + std::to_string(first));
    Write(libraries.back() + ".slb", Parts(first, count));
    first += count;
  }
  WriteIni(libraries);
  engine().LoadPartLibraries(kIni);
  EXPECT_EQ(LastStatus(), "Status: Loaded 1000 parts");
  EXPECT_STREQ(engine().FindPart("P600"), "D600.SCH");
  EXPECT_STREQ(engine().FindPart("P1000"), "D1000.SCH");
  EXPECT_EQ(engine().FindPart("P1001"), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Splits, PartRowsOfLibraries,
                         ::testing::Values(std::vector<int>{1001}, std::vector<int>{600, 401}));

// --- 100 visited files ---------------------------------------------------------------------

TEST_F(VisitedList, RefusesThe101stPathAndKeepsTheRows) {
  visited.ResetVisited();
  for (int i = 0; i < kVisitedRows; ++i)
    ASSERT_TRUE(visited.RecordVisited(("F" + std::to_string(i)).c_str()));
  EXPECT_FALSE(visited.RecordVisited("ONE.MORE"));
  EXPECT_EQ(visited.VisitedCount(), kVisitedRows);
  EXPECT_FALSE(visited.IsVisited("ONE.MORE"));
  EXPECT_STREQ(visited.Row(99), "F99");
}

TEST_F(Capacity, The101stFileOfARunIsNotConverted) {
  std::string top = "*version 7.1\n";
  std::vector<std::pair<std::string, std::string>> parts;
  for (int i = 1; i <= 100; ++i) {
    const std::string name = "F" + std::to_string(i) + ".SCH";
    Write(name, "*version 7.1\n");
    top += "PART=P" + std::to_string(i) + "\n";
    parts.emplace_back("P" + std::to_string(i), name);
  }
  Write("TOP.SCH", top);
  StartRun(false, true, parts);
  engine().ConvertFile("TOP.SCH");
  EXPECT_EQ(sink.errors(), (Texts{"ERROR: Too many files in one run!\nF100.SCH"}));
  EXPECT_EQ(Read("F99.SCH"), "*version 6.1\n");
  EXPECT_EQ(Read("F100.SCH"), "*version 7.1\n");
  EXPECT_EQ(engine().visited().VisitedCount(), 100);
}

// A top file and count - 1 nested ones, each named by a path of 199 characters.
class VisitedCapacity : public Capacity {
 protected:
  static std::string LongName(int n) {
    const std::string number = std::to_string(n);
    return number + std::string(195 - number.size(), 'v') + ".SCH";
  }
  Texts WriteTree(int count) {
    std::string top = "*version 7.1\n";
    std::string library;
    Texts names = {LongName(0)};
    for (int n = 1; n < count; ++n) {
      names.push_back(LongName(n));
      Write(names.back(), "*version 7.1\n");
      top += "PART=P" + std::to_string(n) + "\n";
      library += "PART=P" + std::to_string(n) + "\nDEFAULT=" + names.back() + "\n";
    }
    Write(names[0], top);
    Write("TREE.slb", library);
    WriteIni({"TREE"});
    return names;
  }
  static std::string ClosingMessage(const Texts& names, std::size_t listed,
                                    const std::string& end = "Converted!") {
    std::string message;
    for (std::size_t i = 0; i < listed; ++i) message += names[i] + "\n";
    return message + end;
  }
};

// Also where backups are byte copies (Windows; file systems without links): the copy's
// temporary name must fit beside a file of 199 characters too.
TEST_F(VisitedCapacity, AHundredFilesOf199CharactersAreAllConvertedAndListed) {
  for (const bool links : {true, false}) {
    SCOPED_TRACE(links ? "with links" : "without links");
    for (const auto& entry : std::filesystem::directory_iterator(scratch.path()))
      std::filesystem::remove_all(entry.path());
    sink = RecordingSink();
    const Texts names = WriteTree(kVisitedRows);
    ASSERT_EQ(names[0].size(), 199u);
    WithoutLinks without_links(SystemPlatform());
    Platform& files = links ? SystemPlatform() : static_cast<Platform&>(without_links);
    RunConversionOn(files, sink, names[0].c_str(), kIni, true, true);
    EXPECT_TRUE(sink.errors().empty());
    EXPECT_EQ(sink.infos(), (Texts{ClosingMessage(names, 100)}));
    EXPECT_EQ(Read(names[99]), "*version 6.1\n");
    EXPECT_EQ(Read(names[99].substr(0, 196) + "P71"), "*version 7.1\n");
  }
}

TEST_F(VisitedCapacity, The101stFileIsReportedLeftAloneAndNotListed) {
  const Texts names = WriteTree(kVisitedRows + 1);
  engine().RunConversion(names[0].c_str(), kIni, 0, 1);
  EXPECT_EQ(sink.errors(), (Texts{"ERROR: Too many files in one run!\n" + names[100]}));
  EXPECT_EQ(sink.infos(), (Texts{ClosingMessage(names, 100, "Finished with errors!")}));
  EXPECT_EQ(Read(names[100]), "*version 7.1\n");
  EXPECT_EQ(Read(names[99]), "*version 6.1\n");
}

// --- Paths of 199 characters ----------------------------------------------------------------

TEST_F(VisitedList, HoldsPathsOf199CharactersAndRefusesLonger) {
  visited.ResetVisited();
  const std::string longest(199, 'a');
  EXPECT_TRUE(visited.RecordVisited(longest.c_str()));
  EXPECT_FALSE(visited.RecordVisited(std::string(200, 'b').c_str()));
  EXPECT_EQ(visited.VisitedCount(), 1);
  EXPECT_TRUE(visited.IsVisited(longest.c_str()));
}

TEST(FileNames, NamesThatWouldPass199CharactersAreRefused) {
  char out[kPathBytes];
  const std::string near_limit = std::string(195, 'a') + ".S";  // 197 characters
  ASSERT_TRUE(TemporaryName(near_limit.c_str(), out));
  EXPECT_EQ(std::string(out), std::string(195, 'a') + ".TMP");
  const std::string at_limit = std::string(196, 'a') + ".S";  // 198 characters
  EXPECT_FALSE(TemporaryName(at_limit.c_str(), out));
  EXPECT_FALSE(BackupName((std::string(196, 'a') + "XYZ").c_str(), out));
}

TEST_F(Capacity, PathsOfMoreThan199CharactersAreRefusedNotCut) {
  const std::string cut(199, 'A');
  Write(cut, "*version 7.1\n");
  const std::string longer = cut + "B";
  engine().RunConversion(longer.c_str(), "./NONE.INI", 0, 0);
  engine().RunConversion("", (std::string(200, 'I')).c_str(), 0, 0);
  EXPECT_EQ(sink.errors(),
            (Texts{"ERROR: Input file path is too long!", "ERROR: INI file path is too long!",
                   "ERROR: No input file given!"}));
  EXPECT_EQ(Read(cut), "*version 7.1\n");
  EXPECT_EQ(sink.infos(), (Texts{"Finished with errors!", "Finished with errors!"}));
}

TEST_F(Capacity, AnInputOf199CharactersWithoutADotCannotHaveABackupAndIsLeftAlone) {
  const std::string dotless(199, 'A');
  Write(dotless, "*version 7.1\n");
  engine().RunConversion(dotless.c_str(), "./NONE.INI", 1, 0);
  EXPECT_EQ(sink.errors(),
            (Texts{"ERROR: Path too long for the temporary or backup file name!\n" + dotless}));
  EXPECT_EQ(sink.infos(), (Texts{dotless + "\nFinished with errors!"}));
  EXPECT_EQ(Read(dotless), "*version 7.1\n");
  EXPECT_EQ(Names(), (Texts{dotless}));
}

TEST_F(Capacity, AnIniPathOf199CharactersIsRead) {
  const std::string ini_name = std::string(193, 'I') + ".INI";  // "./" makes 199
  Write(ini_name, "[MICROSIM]\nLIBPATH=.\n[PART LIBS]\nLIB1=ONE\n");
  Write("ONE.slb", Parts(1, 1));
  engine().RunConversion("", ("./" + ini_name).c_str(), 0, 1);
  EXPECT_EQ(sink.errors(), (Texts{"ERROR: No input file given!"}));
  EXPECT_EQ(sink.statuses()[3], "Status: Loaded 1 parts");
}

// ".\" + name + ".slb": a name of 193 characters makes a file name of 199, one more makes 200.
TEST_F(Capacity, LibraryFileNamesOf199CharactersLoadAndOf200AreSkipped) {
  const std::string fits(193, 'F');
  const std::string too_long(194, 'T');
  WriteIni({fits, too_long});
  Write(fits + ".slb", Parts(1, 1));
  Write(too_long + ".slb", Parts(2, 1));
  engine().LoadPartLibraries(kIni);
  EXPECT_EQ(LastStatus(), "Status: Loaded 1 parts");
  EXPECT_STREQ(engine().FindPart("P1"), "D1.SCH");
  EXPECT_TRUE(sink.errors().empty());
}

// The library folder counts toward a library's file name as much as the name does.
TEST_F(Capacity, ALibraryInAFolderOf190CharactersIsSkipped) {
  const std::string folder(190, 'D');
  std::filesystem::create_directory(scratch.path() / folder);
  Write(folder + "/LONGNAME.slb", Parts(1, 1));
  WriteIni({"LONGNAME"}, folder);
  engine().LoadPartLibraries(kIni);
  EXPECT_EQ(LastStatus(), "Status: Loaded 0 parts");
  EXPECT_TRUE(sink.errors().empty());
}

// --- Line pieces of 299 characters ---------------------------------------------------------

TEST(TextReader, LongLinesComeInPiecesOf299) {
  const std::string l299(299, 'x');
  EXPECT_EQ(ReaderPieces(l299 + "\r\n"), (Texts{l299, "\n"}));
  const std::string l298(298, 'y');
  EXPECT_EQ(ReaderPieces(l298 + "\r\n"), (Texts{l298 + "\n"}));
  const std::string l300(300, 'z');
  EXPECT_EQ(ReaderPieces(l300 + "\n"), (Texts{std::string(299, 'z'), "z\n"}));
}

// The marker straddles the first two pieces of a long line, so neither piece holds it whole.
TEST_F(Capacity, AMarkerAcrossTwoPiecesOfALineIsNotRewritten) {
  const std::string line = std::string(297, 'x') + "*version 7.1" + std::string(400, 'y');
  Write("LONG.SCH", "*version 7.1\r\n" + line + "\r\ntail\r\n");
  StartRun(false, false);
  engine().ConvertFile("LONG.SCH");
  EXPECT_EQ(Read("LONG.SCH"), "*version 6.1\n" + line + "\ntail\n");
}

// Lines of 298, 299 and 300 characters, ending in LF or CR LF, with a marker in their
// last characters: a 299-character piece holds the first 299, so only a 300-character
// line splits its marker and loses its effect.
struct LineCase {
  std::size_t length;
  const char* end;
};

class LinePieces : public Capacity, public ::testing::WithParamInterface<LineCase> {
 protected:
  std::string LineEndingIn(const std::string& marker) const {
    return std::string(GetParam().length - marker.size(), 'x') + marker + GetParam().end;
  }
  std::string Normalised(const std::string& marker) const {
    return std::string(GetParam().length - marker.size(), 'x') + marker + "\n";
  }
  bool MarkerInOnePiece() const { return GetParam().length <= 299; }
};

TEST_P(LinePieces, AVersionMarkerIsRewrittenOnlyWhenOnePieceHoldsIt) {
  Write("L.SCH", LineEndingIn("*version 7.1") + "tail\r\n");
  StartRun(false, false);
  engine().ConvertFile("L.SCH");
  // Cut in two, the marker is not there: the file is no 7.1 schematic and stays as it was.
  EXPECT_EQ(Read("L.SCH"), MarkerInOnePiece() ? Normalised("*version 6.1") + "tail\n"
                                              : LineEndingIn("*version 7.1") + "tail\r\n");
}

TEST_P(LinePieces, ASetupMarkerDropsItsLineOnlyWhenOnePieceHoldsIt) {
  Write("L.SCH", "*version 7.1\r\n" + LineEndingIn("@setup") + "inside\r\n@index\r\nkept\r\n");
  StartRun(false, false);
  engine().ConvertFile("L.SCH");
  const std::string rest = MarkerInOnePiece() ? "" : Normalised("@setup") + "inside\n";
  EXPECT_EQ(Read("L.SCH"), "*version 6.1\n" + rest + "@index\nkept\n");
}

TEST_P(LinePieces, AnOldVersionMarkerLeavesTheFileAloneOnlyWhenOnePieceHoldsIt) {
  const std::string bytes = LineEndingIn("*version 6.1") + "*version 7.1\r\n";
  Write("L.SCH", bytes);
  StartRun(true, false);
  engine().ConvertFile("L.SCH");
  EXPECT_EQ(Read("L.SCH"),
            MarkerInOnePiece() ? bytes : Normalised("*version 6.1") + "*version 6.1\n");
  EXPECT_EQ(Exists("L.P71"), !MarkerInOnePiece());
}

INSTANTIATE_TEST_SUITE_P(Lengths, LinePieces,
                         ::testing::Values(LineCase{298, "\n"}, LineCase{298, "\r\n"},
                                           LineCase{299, "\n"}, LineCase{299, "\r\n"},
                                           LineCase{300, "\n"}, LineCase{300, "\r\n"}),
                         [](const auto& test) {
                           return std::to_string(test.param.length) +
                                  (test.param.end[0] == '\r' ? "CrLf" : "Lf");
                         });

}  // namespace
}  // namespace kestrune::test
