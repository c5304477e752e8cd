// Checks that the INI reader answers as the Windows profile functions do, on made-up and real
// files.
#include "engine/platform/ini_reader.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "engine/platform/memory_platform.h"
#include "tests/support/corpus.h"

namespace kestrune {
namespace {

constexpr char kIniPath[] = "C:\\PSPICE\\MSIM.INI";

// Reads one value from an INI file holding contents; also checks the file was closed.
std::string ReadFrom(MemoryPlatform& files, const char* section, const char* key,
                     const char* fallback = "DEFAULT", std::size_t capacity = 200) {
  std::string out(capacity + 1, '#');
  ReadIniFile(files, section, key, fallback, &out[0], capacity, kIniPath);
  EXPECT_EQ(files.open_files(), 0);
  return out.substr(0, out.find('\0'));
}

std::string Read(const std::string& contents, const char* section, const char* key,
                 const char* fallback = "DEFAULT", std::size_t capacity = 200) {
  MemoryPlatform files;
  files.AddFile(kIniPath, contents);
  return ReadFrom(files, section, key, fallback, capacity);
}

std::string CorpusFile(const std::string& name) {
  std::ifstream in(test::CorpusDir() / "ini" / name, std::ios::binary);
  EXPECT_TRUE(in.good()) << name;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(IniReaderFile, MissingFileGivesFallback) {
  MemoryPlatform files;
  EXPECT_EQ(ReadFrom(files, "MICROSIM", "LIBPATH", "Unknown"), "Unknown");
}

TEST(IniReaderFile, BareNameIsLookedForOnlyInWindowsDirectory) {
  MemoryPlatform files;
  files.AddFile("MSIM.INI", "[S]\nk=here\n");
  files.AddFile("C:\\WINDOWS\\MSIM.INI", "[S]\nk=windows\n");
  char out[32];
  ReadIniFile(files, "S", "k", "none", out, sizeof out, "MSIM.INI");
  EXPECT_STREQ(out, "windows");
  ASSERT_EQ(files.opened_paths().size(), 1u);
  EXPECT_EQ(files.opened_paths()[0], "C:\\WINDOWS\\MSIM.INI");
}

TEST(IniReaderFile, PathWithDirectoryPartIsOpenedAsGiven) {
  MemoryPlatform files;
  files.AddFile(".\\x.ini", "[S]\nk=dot\n");
  files.AddFile("sub/x.ini", "[S]\nk=slash\n");
  char out[32];
  ReadIniFile(files, "S", "k", "none", out, sizeof out, ".\\x.ini");
  EXPECT_STREQ(out, "dot");
  ReadIniFile(files, "S", "k", "none", out, sizeof out, "sub/x.ini");
  EXPECT_STREQ(out, "slash");
  EXPECT_EQ(files.open_files(), 0);
}

TEST(IniReaderNames, SectionAndKeyIgnoreAsciiCaseOnly) {
  const std::string ini = "[Part Libs]\nLib1=a\n\xC4x=b\n";
  EXPECT_EQ(Read(ini, "PART LIBS", "LIB1"), "a");
  EXPECT_EQ(Read(ini, "part libs", "lib1"), "a");
  EXPECT_EQ(Read(ini, "Part Libs", "\xE4x"), "DEFAULT");
  EXPECT_EQ(Read(ini, "Part Libs", "\xC4X"), "b");
}

TEST(IniReaderNames, AskedNamesAreTrimmedButInnerBlanksMustMatch) {
  const std::string ini = "[PART LIBS]\nMY KEY=v\n";
  EXPECT_EQ(Read(ini, " \tPART LIBS\x1A ", "  MY KEY\t"), "v");
  EXPECT_EQ(Read(ini, "PART  LIBS", "MY KEY"), "DEFAULT");
  EXPECT_EQ(Read(ini, "PART LIBS", "MYKEY"), "DEFAULT");
  EXPECT_EQ(Read(ini, "PART LIBS", "MY"), "DEFAULT");
  EXPECT_EQ(Read(ini, "PART", "MY KEY"), "DEFAULT");
}

TEST(IniReaderSections, NameRunsToLastBracketAndIsTrimmed) {
  EXPECT_EQ(Read("[ Spaced ]\nk=1\n", "Spaced", "k"), "1");
  EXPECT_EQ(Read("  [Spaced]  trailing words\nk=1\n", "Spaced", "k"), "1");
  const std::string noted = "[Sec] ; note ]\nk=2\n";
  EXPECT_EQ(Read(noted, "Sec", "k"), "DEFAULT");
  EXPECT_EQ(Read(noted, "Sec] ; note", "k"), "2");
  EXPECT_EQ(Read("[A]B]\nk=3\n", "A]B", "k"), "3");
  EXPECT_EQ(Read("[A]\nk=3\n", "A]B", "k"), "DEFAULT");
}

TEST(IniReaderSections, HeaderWithoutClosingBracketIsIgnored) {
  const std::string ini = "[S]\n[Broken\nk=kept\n[T]\nj=1\n";
  EXPECT_EQ(Read(ini, "S", "k"), "kept");
  EXPECT_EQ(Read(ini, "Broken", "k"), "DEFAULT");
  EXPECT_EQ(Read(ini, "T", "j"), "1");
}

TEST(IniReaderSections, LinesBeforeAnySectionBelongToNone) {
  const std::string ini = "LIBPATH=early\n[MICROSIM]\nOTHER=x\n";
  EXPECT_EQ(Read(ini, "MICROSIM", "LIBPATH"), "DEFAULT");
  EXPECT_EQ(Read(ini, "", "LIBPATH"), "DEFAULT");
}

TEST(IniReaderSections, OnlyFirstBlockOfRepeatedSectionIsSearched) {
  const std::string ini = "[S]\na=first\n[T]\nb=t\n[s]\na=second\nc=later\n";
  EXPECT_EQ(Read(ini, "S", "a"), "first");
  EXPECT_EQ(Read(ini, "S", "c"), "DEFAULT");
  EXPECT_EQ(Read(ini, "T", "b"), "t");
}

TEST(IniReaderKeys, FirstOfRepeatedKeysWins) {
  EXPECT_EQ(Read("[S]\nk=one\nK=two\n", "S", "k"), "one");
}

TEST(IniReaderKeys, EmptyValueIsNotMissing) {
  const std::string ini = "[S]\nLIB1=\nLIB2 =   \nLIB3\n";
  EXPECT_EQ(Read(ini, "S", "LIB1"), "");
  EXPECT_EQ(Read(ini, "S", "LIB2"), "");
  EXPECT_EQ(Read(ini, "S", "LIB3"), "DEFAULT");
}

TEST(IniReaderKeys, KeyEndsAtFirstEqualsSign) {
  const std::string ini = "[S]\n  a b \t= x=y \n";
  EXPECT_EQ(Read(ini, "S", "a b"), "x=y");
  EXPECT_EQ(Read(ini, "S", "a b= x"), "DEFAULT");
  EXPECT_EQ(Read("[S]\nx=y=z\n", "S", "x=y"), "DEFAULT");
}

TEST(IniReaderKeys, CommentLinesNeverMatchAndThereAreNoInlineComments) {
  const std::string ini = "[S]\n;k=commented\n  ;j=also\nk=value ; note\n#h=hash\n";
  EXPECT_EQ(Read(ini, "S", "k"), "value ; note");
  EXPECT_EQ(Read(ini, "S", ";j"), "DEFAULT");
  EXPECT_EQ(Read(ini, "S", ";k"), "DEFAULT");
  EXPECT_EQ(Read(ini, "S", "#h"), "hash");
}

TEST(IniReaderValues, BlanksAroundValueGoInnerBlanksStay) {
  const std::string ini =
      "[S]\nk= \t\v\f\x1A"
      "a \x1A b \t\f\v\x1A\r\nn=\xA0x\xA0\n";
  EXPECT_EQ(Read(ini, "S", "k"), "a \x1A b");
  EXPECT_EQ(Read(ini, "S", "n"), "\xA0x\xA0");
}

TEST(IniReaderValues, MatchingOuterQuotesGo) {
  const std::string ini =
      "[S]\nd=\"C:\\Dir\"\ns='x'\nin=\"a \"b\" c\"\nmix=\"a'\nlone=\"\nempty=\"\"\n"
      "pad=  \" a \"  \nopen=\"abc\ntwice=\"\"x\"\"\n";
  EXPECT_EQ(Read(ini, "S", "d"), "C:\\Dir");
  EXPECT_EQ(Read(ini, "S", "s"), "x");
  EXPECT_EQ(Read(ini, "S", "in"), "a \"b\" c");
  EXPECT_EQ(Read(ini, "S", "mix"), "\"a'");
  EXPECT_EQ(Read(ini, "S", "lone"), "\"");
  EXPECT_EQ(Read(ini, "S", "empty"), "");
  EXPECT_EQ(Read(ini, "S", "pad"), " a ");
  EXPECT_EQ(Read(ini, "S", "open"), "\"abc");
  EXPECT_EQ(Read(ini, "S", "twice"), "\"x\"");
}

TEST(IniReaderValues, NulEndsValueButNotTheFile) {
  const char raw[] = "[S]\nk=ab\0cd\nj=\"q\"\0x\nafter=1\n";
  const std::string ini(raw, sizeof raw - 1);
  EXPECT_EQ(Read(ini, "S", "k"), "ab");
  EXPECT_EQ(Read(ini, "S", "j"), "q");
  EXPECT_EQ(Read(ini, "S", "after"), "1");
}

TEST(IniReaderValues, EndOfFileCharacterIsABlankNotAnEnd) {
  EXPECT_EQ(Read("[S]\n\x1A\nk=v\x1A\n\x1A[T]\x1A\nj=w\n", "T", "j"), "w");
  EXPECT_EQ(Read("[S]\nk=v\x1A\n", "S", "k"), "v");
}

TEST(IniReaderFallback, TrailingBlanksGoLeadingStayQuotesGo) {
  const std::string ini = "[S]\n";
  EXPECT_EQ(Read(ini, "S", "k", "  Unknown \t"), "  Unknown");
  EXPECT_EQ(Read(ini, "S", "k", "\"EMPTY\"  "), "EMPTY");
  EXPECT_EQ(Read(ini, "S", "k", " \"EMPTY\""), " \"EMPTY\"");
  EXPECT_EQ(Read(ini, "S", "k", nullptr), "");
  EXPECT_EQ(Read(ini, "S", "k", "abcdef", 4), "abc");
}

TEST(IniReaderLineEnds, EveryLineEndFormEndsALine) {
  const char* const forms[] = {"\r\n", "\n", "\r", "\r\r\n"};
  for (const char* end : forms) {
    const std::string e = end;
    const std::string ini = "[S]" + e + "a=1" + e + "[T]" + e + "b=2" + e + "c=3";
    EXPECT_EQ(Read(ini, "S", "a"), "1") << "line end size " << e.size();
    EXPECT_EQ(Read(ini, "S", "b"), "DEFAULT") << "line end size " << e.size();
    EXPECT_EQ(Read(ini, "T", "b"), "2") << "line end size " << e.size();
    EXPECT_EQ(Read(ini, "T", "c"), "3") << "line end size " << e.size();
  }
}

TEST(IniReaderLineEnds, ByteOrderMarkAtStartIsSkipped) {
  EXPECT_EQ(Read("\xEF\xBB\xBF[S]\nk=v\n", "S", "k"), "v");
  EXPECT_EQ(Read("\xEF\xBB\xBFk=v\n", "\xEF\xBB\xBFk", "k"), "DEFAULT");
  EXPECT_EQ(Read("[S]\nk=\xEF\xBB\xBFv\n", "S", "k"), "\xEF\xBB\xBFv");
  EXPECT_EQ(Read("\xEF\xBB[S]\nk=v\n", "S", "k"), "DEFAULT");
  EXPECT_EQ(Read("\xEF\xBB", "S", "k"), "DEFAULT");
}

TEST(IniReaderLength, CapacityZeroWritesNothingAndOneWritesEmpty) {
  MemoryPlatform files;
  files.AddFile(kIniPath, "[S]\nk=value\n");
  char out[4] = {'#', '#', '#', '#'};
  ReadIniFile(files, "S", "k", "fallback", out, 0, kIniPath);
  EXPECT_EQ(out[0], '#');
  ReadIniFile(files, "S", "k", "fallback", out, 1, kIniPath);
  EXPECT_EQ(out[0], '\0');
  EXPECT_EQ(out[1], '#');
  ReadIniFile(files, "S", "missing", "fallback", out, 1, kIniPath);
  EXPECT_EQ(out[0], '\0');
  EXPECT_EQ(out[1], '#');
}

TEST(IniReaderLength, LongValuesAreCutToCapacityLessOne) {
  const std::string value(10000, 'v');
  EXPECT_EQ(Read("[S]\nk=" + value + "\n", "S", "k"), value.substr(0, 199));
  EXPECT_EQ(Read("[S]\nk=\"" + value + "\"\n", "S", "k"), value.substr(0, 199));
  EXPECT_EQ(Read("[S]\nk=\"abc\"\n", "S", "k", "", 4), "abc");
  EXPECT_EQ(Read("[S]\nk=\"abc\"\n", "S", "k", "", 3), "ab");
  EXPECT_EQ(Read("[S]\nk=" + value + "x\nj=1\n", "S", "k", "", 20000), value + "x");
}

TEST(IniReaderLength, LongNameLinesAreMatchedWhole) {
  const std::string name(9000, 'n');
  const std::string ini = "[" + name + "]\nk=long section\n[S]\n" + name + "=long key\n" + name +
                          "x=longer key\nk=after\n";
  EXPECT_EQ(Read(ini, name.c_str(), "k"), "long section");
  EXPECT_EQ(Read(ini, name.substr(0, 4096).c_str(), "k"), "DEFAULT");
  EXPECT_EQ(Read(ini, "S", name.c_str()), "long key");
  EXPECT_EQ(Read(ini, "S", (name + "x").c_str()), "longer key");
  EXPECT_EQ(Read(ini, "S", "k"), "after");
  EXPECT_EQ(Read("[S]\n;" + name + "[S]=x\nk=v\n", "S", "k"), "v");
}

TEST(IniReaderLength, AnswersDoNotDependOnHowReadsSplitTheFile) {
  const std::string ini =
      "\xEF\xBB\xBF[A]\r\nk=\"" + std::string(5000, 'x') + "\"\r\n[B]\r\nk = b ";
  for (std::size_t size : {1, 2, 3, 7, 4096}) {
    MemoryPlatform files;
    files.AddFile(kIniPath, ini);
    files.LimitReadSize(size);
    EXPECT_EQ(ReadFrom(files, "A", "k"), std::string(199, 'x')) << "read size " << size;
    EXPECT_EQ(ReadFrom(files, "B", "k"), "b") << "read size " << size;
  }
}

TEST(IniReaderFaults, FailedReadEndsReadingAndMissingValuesFallBack) {
  const std::string ini = "[S]\nk=value\nj=later\n";  // 12 bytes up to k's line end
  struct Case {
    int failing_read;
    const char* key;
    const char* expected;
  };
  const Case cases[] = {{1, "k", "DEFAULT"},
                        {3, "k", "DEFAULT"},
                        {4, "k", "value"},
                        {4, "j", "DEFAULT"},
                        {6, "j", "later"}};
  for (const Case& c : cases) {
    MemoryPlatform files;
    files.AddFile(kIniPath, ini);
    files.LimitReadSize(4);
    files.FailReadsFrom(c.failing_read);
    EXPECT_EQ(ReadFrom(files, "S", c.key), c.expected) << "read " << c.failing_read;
  }
}

TEST(IniReaderFaults, StopsReadingOnceTheAnswerIsKnown) {
  MemoryPlatform files;
  files.AddFile(kIniPath, "[S]\nk=v\n[T]\n" + std::string(20000, ';'));
  files.LimitReadSize(8);
  EXPECT_EQ(ReadFrom(files, "S", "k"), "v");
  EXPECT_EQ(files.read_calls(), 1);
  EXPECT_EQ(ReadFrom(files, "S", "missing"), "DEFAULT");
  EXPECT_EQ(files.read_calls(), 3);
}

TEST(IniReaderCorpus, TietzeSchenkInstallation) {
  KESTRUNE_SKIP_WITHOUT_CORPUS();
  MemoryPlatform files;
  files.AddFile(kIniPath, CorpusFile("LTspiceWorkspace__tssim.ini"));
  EXPECT_EQ(ReadFrom(files, "MICROSIM", "LIBPATH", "Unknown"), "C:\\Tietze-Schenk\\BinDL");
  EXPECT_EQ(ReadFrom(files, "microsim", "TEXTEDITCMD"),
            "TEXTEDIT.EXE -i \"C:\\Tietze-Schenk\\BinDL\\tssim.ini\"");
  EXPECT_EQ(ReadFrom(files, "PART LIBS", "LIB1", "EMPTY"), "TS_Analog [.slb]");
  EXPECT_EQ(ReadFrom(files, "PART LIBS", "LIB7", "EMPTY"), "ABM [.slb]");
  EXPECT_EQ(ReadFrom(files, "PART LIBS", "LIB8", "EMPTY"), "EVAL [.slb ]");
  EXPECT_EQ(ReadFrom(files, "PART LIBS", "LIB9", "EMPTY"), "SPECIAL [.slb]");
  EXPECT_EQ(ReadFrom(files, "PART LIBS", "LIB10", "EMPTY"), "EMPTY");
  EXPECT_EQ(ReadFrom(files, "SCHEMATICS", "LAYOUTCMD"), "");
  EXPECT_EQ(ReadFrom(files, "PROBE", "lastfile1"), "(none)");
}

TEST(IniReaderCorpus, CadencePSpiceInstallation) {
  KESTRUNE_SKIP_WITHOUT_CORPUS();
  MemoryPlatform files;
  files.AddFile(kIniPath, CorpusFile("VE215_FA2019__PSpice.ini"));
  EXPECT_EQ(ReadFrom(files, "MICROSIM", "LIBPATH", "Unknown"), "Unknown");
  EXPECT_EQ(ReadFrom(files, "PSPICE", "LIBPATH"), "$CDSROOT\\tools\\PSpice\\Library");
  EXPECT_EQ(ReadFrom(files, "PSPICE", "PROBECMD"), "\"PROBE.EXE\"");
  EXPECT_EQ(ReadFrom(files, "PSPICE NETLIST", "LINE1"), ".lib \"nom.lib\"");
  EXPECT_EQ(ReadFrom(files, "PART LIBS", "LIB1", "EMPTY"), "1_shot [.slb , .plb]");
  EXPECT_EQ(ReadFrom(files, "PART LIBS", "LIB92", "EMPTY"), "zetex [.slb , .plb]");
  EXPECT_EQ(ReadFrom(files, "PART LIBS", "LIB93", "EMPTY"), "EMPTY");
}

TEST(IniReaderCorpus, PackageFileWithCrLfLines) {
  KESTRUNE_SKIP_WITHOUT_CORPUS();
  MemoryPlatform files;
  files.AddFile(kIniPath, CorpusFile("LTspiceWorkspace__package.ini"));
  EXPECT_EQ(ReadFrom(files, "Security Options", "DESIGNLAB"), "OFF");
  EXPECT_EQ(ReadFrom(files, "PCBOARDS", "AUTOROUTER"), "");
  EXPECT_EQ(ReadFrom(files, "PCBOARDS", "EDITROUTER"), "");
  EXPECT_EQ(ReadFrom(files, "MICROSIM", "LIBPATH", "Unknown"), "Unknown");
}

}  // namespace
}  // namespace kestrune
