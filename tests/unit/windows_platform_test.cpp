// Checks the Windows platform layer on real files, and the portable INI reader against Windows'
// own.
#ifdef _WIN32
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "engine/file_swap.h"
#include "engine/platform/ini_reader.h"
#include "engine/platform/platform.h"
#include "tests/support/corpus.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/platform_fixture.h"
#include "tests/support/scratch_dir.h"

namespace kestrune {
namespace {

namespace fs = std::filesystem;

class WindowsPlatformTest : public test::PlatformFixture {
 protected:
  // No conversion holds any file open during these swaps.
  bool Swap(const char* target, const char* temporary, const char* backup, bool keep_backup) {
    const std::string paths[] = {PathOf(target), PathOf(temporary), PathOf(backup)};
    FileInfo input;
    FileInfo written;
    files_.Query(paths[0].c_str(), &input);
    files_.Query(paths[1].c_str(), &written);
    const SwapNames names{paths[0].c_str(), paths[1].c_str(), paths[2].c_str(), input, written};
    CommandBackups each_swap_its_own_run;
    return SwapIntoPlace(files_, *no_open_files_, each_swap_its_own_run, names, keep_backup) ==
           SwapOutcome::kSwapped;
  }
  bool IsReadOnly(const std::string& name) const {
    const DWORD attributes = GetFileAttributesA(PathOf(name).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
  }
  void MakeReadOnly(const std::string& name) const {
    ASSERT_TRUE(SetFileAttributesA(PathOf(name).c_str(), FILE_ATTRIBUTE_READONLY)) << name;
  }

 private:
  std::unique_ptr<OpenFiles> no_open_files_ = std::make_unique<OpenFiles>();  // megabytes
};

// The swap's backup must stay removable while another program holds the file open.
TEST_F(WindowsPlatformTest, LinkNeverMakesASecondName) {
  WriteFile("Amp.Sch", "old contents");
  EXPECT_FALSE(files_.Link(PathOf("Amp.Sch").c_str(), PathOf("Copy.Sch").c_str()));
  EXPECT_FALSE(Exists("Copy.Sch"));
}

TEST_F(WindowsPlatformTest, OpenForReadRefusesFoldersDevicesAndPipesAtOnce) {
  fs::create_directory(scratch_.path() / "Folder");
  EXPECT_EQ(files_.OpenForRead(PathOf("Folder").c_str()), kNoFile);
  EXPECT_EQ(files_.OpenForRead("NUL"), kNoFile);
  EXPECT_EQ(files_.OpenForRead(PathOf("missing").c_str()), kNoFile);
  EXPECT_EQ(files_.CreateNew("NUL"), kNoFile);

  // A pipe with a server waiting: opening it would connect, and a read would wait.
  const char pipe_name[] = "\\\\.\\pipe\\kestrune-platform-test";
  const HANDLE server =
      CreateNamedPipeA(pipe_name, PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE, 1, 0, 0, 0, nullptr);
  ASSERT_NE(server, INVALID_HANDLE_VALUE);
  EXPECT_EQ(files_.OpenForRead(pipe_name), kNoFile);
  FileInfo info;
  EXPECT_TRUE(files_.Query("NUL", &info));
  EXPECT_EQ(info.kind, FileKind::kOther);
  CloseHandle(server);
}

TEST_F(WindowsPlatformTest, RemoveReportsWhetherTheNameIsGoneReadOnlyOrNot) {
  WriteFile("Amp.P71", "backup");
  WriteFile("Locked.P71", "read-only backup");
  MakeReadOnly("Locked.P71");
  EXPECT_TRUE(files_.Remove(PathOf("amp.p71").c_str()));
  EXPECT_FALSE(Exists("Amp.P71"));
  EXPECT_TRUE(files_.Remove(PathOf("Locked.P71").c_str()));
  EXPECT_FALSE(Exists("Locked.P71"));
  EXPECT_TRUE(files_.Remove(PathOf("Amp.P71").c_str()));
  EXPECT_TRUE(files_.Remove(PathOf("no-folder\\Amp.P71").c_str()));
  fs::create_directory(scratch_.path() / "Folder");
  EXPECT_FALSE(files_.Remove(PathOf("Folder").c_str()));
}

TEST_F(WindowsPlatformTest, RenameReplacingPutsTheNewFileUnderTheName) {
  WriteFile("Amp.Sch", "old");
  WriteFile("Amp.Tmp", "new");
  const FileInfo new_file = QueryOf("Amp.Tmp");
  EXPECT_TRUE(files_.RenameReplacing(PathOf("Amp.Tmp").c_str(), PathOf("amp.sch").c_str()));
  EXPECT_EQ(ReadFile("Amp.Sch"), "new");
  EXPECT_FALSE(Exists("Amp.Tmp"));
  EXPECT_TRUE(SameFile(QueryOf("Amp.Sch"), new_file));

  EXPECT_FALSE(files_.RenameReplacing(PathOf("Amp.Tmp").c_str(), PathOf("Amp.Sch").c_str()));
  EXPECT_EQ(ReadFile("Amp.Sch"), "new");
}

TEST_F(WindowsPlatformTest, RenameReplacingReplacesAReadOnlyNameAndKeepsItWhenItFails) {
  WriteFile("Amp.Sch", "old");
  MakeReadOnly("Amp.Sch");
  WriteFile("Amp.Tmp", "new");
  EXPECT_TRUE(files_.RenameReplacing(PathOf("Amp.Tmp").c_str(), PathOf("Amp.Sch").c_str()));
  EXPECT_EQ(ReadFile("Amp.Sch"), "new");

  // A reader that shares no deletion makes the move fail after the attribute was cleared.
  MakeReadOnly("Amp.Sch");
  WriteFile("Amp.Tmp", "newer");
  const FileHandle reader = files_.OpenForRead(PathOf("Amp.Sch").c_str());
  ASSERT_NE(reader, kNoFile);
  EXPECT_FALSE(files_.RenameReplacing(PathOf("Amp.Tmp").c_str(), PathOf("Amp.Sch").c_str()));
  EXPECT_TRUE(files_.Close(reader));
  EXPECT_EQ(ReadFile("Amp.Sch"), "new");
  EXPECT_EQ(ReadFile("Amp.Tmp"), "newer");
  EXPECT_TRUE(IsReadOnly("Amp.Sch"));
}

// The files an outer nesting level holds open through OpenForRead and CreateNew.
TEST_F(WindowsPlatformTest, OpenFilesCannotBeReplacedRemovedOrRenamed) {
  WriteFile("Outer.Sch", "outer input");
  WriteFile("Other.Tmp", "other");
  const FileHandle input = files_.OpenForRead(PathOf("Outer.Sch").c_str());
  const FileHandle output = files_.CreateNew(PathOf("Outer.Tmp").c_str());
  ASSERT_NE(input, kNoFile);
  ASSERT_NE(output, kNoFile);

  EXPECT_FALSE(files_.Remove(PathOf("Outer.Sch").c_str()));
  EXPECT_FALSE(files_.Remove(PathOf("OUTER.TMP").c_str()));
  EXPECT_FALSE(files_.RenameReplacing(PathOf("Other.Tmp").c_str(), PathOf("Outer.Sch").c_str()));
  EXPECT_FALSE(files_.RenameReplacing(PathOf("Other.Tmp").c_str(), PathOf("Outer.Tmp").c_str()));
  EXPECT_FALSE(files_.RenameReplacing(PathOf("Outer.Sch").c_str(), PathOf("Moved.Sch").c_str()));
  // Reading along is allowed; a second writer is not.
  const FileHandle reader = files_.OpenForRead(PathOf("Outer.Sch").c_str());
  EXPECT_NE(reader, kNoFile);
  EXPECT_TRUE(files_.Close(reader));
  EXPECT_EQ(CreateFileA(PathOf("Outer.Sch").c_str(), GENERIC_WRITE,
                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr),
            INVALID_HANDLE_VALUE);

  EXPECT_EQ(ReadAll(input), "outer input");
  EXPECT_TRUE(files_.Close(input));
  EXPECT_TRUE(files_.Close(output));
  EXPECT_EQ(ReadFile("Other.Tmp"), "other");
  EXPECT_TRUE(files_.RenameReplacing(PathOf("Other.Tmp").c_str(), PathOf("Outer.Sch").c_str()));
  EXPECT_EQ(ReadFile("Outer.Sch"), "other");
}

TEST_F(WindowsPlatformTest, SwapKeepsTheOldContentsAsBackupOrNone) {
  WriteFile("Amp.Sch", "old");
  WriteFile("Amp.P71", "older");
  WriteFile("Amp.Tmp", "new");
  EXPECT_TRUE(Swap("Amp.Sch", "Amp.Tmp", "Amp.P71", true));
  EXPECT_EQ(ReadFile("Amp.Sch"), "new");
  EXPECT_EQ(ReadFile("Amp.P71"), "old");
  EXPECT_FALSE(Exists("Amp.Tmp"));

  WriteFile("Amp.Tmp", "newest");
  EXPECT_TRUE(Swap("Amp.Sch", "Amp.Tmp", "Amp.P71", false));
  EXPECT_EQ(ReadFile("Amp.Sch"), "newest");
  EXPECT_FALSE(Exists("Amp.P71"));
  EXPECT_FALSE(Exists("Amp.Tmp"));
}

TEST_F(WindowsPlatformTest, SwapOverAFileSomeoneHoldsOpenFailsAndChangesNothing) {
  WriteFile("Amp.Sch", "old");
  WriteFile("Amp.Tmp", "new");
  const HANDLE holder = CreateFileA(PathOf("Amp.Sch").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(Swap("Amp.Sch", "Amp.Tmp", "Amp.P71", true));
  CloseHandle(holder);
  EXPECT_EQ(ReadFile("Amp.Sch"), "old");
  EXPECT_EQ(ReadFile("Amp.Tmp"), "new");
  EXPECT_FALSE(Exists("Amp.P71"));
}

TEST_F(WindowsPlatformTest, IdentityIsVolumeAndFileIndexWhateverTheSpelling) {
  fs::create_directory(scratch_.path() / "Work");
  WriteFile("Work/Amplifier Stage.Sch", "x");
  WriteFile("Work/Other.Sch", "x");
  ASSERT_TRUE(CreateHardLinkA(PathOf("Hard.Sch").c_str(),
                              PathOf("Work\\Amplifier Stage.Sch").c_str(), nullptr));
  char short_name[MAX_PATH];
  ASSERT_NE(GetShortPathNameA(PathOf("Work\\Amplifier Stage.Sch").c_str(), short_name, MAX_PATH),
            0u);

  const FileInfo original = QueryOf("Work\\Amplifier Stage.Sch");
  EXPECT_EQ(original.kind, FileKind::kRegular);
  EXPECT_FALSE(original.is_link);
  EXPECT_TRUE(SameFile(original, QueryOf("Hard.Sch")));
  EXPECT_TRUE(SameFile(original, QueryOf("WORK/amplifier stage.sCH")));
  FileInfo by_short_name;
  EXPECT_TRUE(files_.Query(short_name, &by_short_name));
  EXPECT_TRUE(SameFile(original, by_short_name)) << short_name;
  EXPECT_FALSE(SameFile(original, QueryOf("Work\\Other.Sch")));
  EXPECT_EQ(QueryOf("Work").kind, FileKind::kDirectory);
  EXPECT_EQ(QueryOf("Missing").kind, FileKind::kMissing);
  EXPECT_EQ(QueryOf("Work\\Other.Sch\\Below").kind, FileKind::kMissing);

  ExpectOpensAs(short_name, original);
}

// In 100 ns units; the modification time is the only one.
TEST_F(WindowsPlatformTest, TimesSettleATimestampTickAfterTheLastWrite) {
  WriteFile("Lib.slb", "x");
  FileInfo info = QueryOf("Lib.slb");
  EXPECT_FALSE(files_.TimesSettled(info));
  constexpr std::uint64_t kSecond = 10000000;
  info.modified -= kSecond;
  EXPECT_FALSE(files_.TimesSettled(info)) << "within the tick";
  info.modified -= 2 * kSecond;
  EXPECT_TRUE(files_.TimesSettled(info));
}

// Read-only is the one permission Windows keeps: no write bits.
TEST_F(WindowsPlatformTest, ModesAreTheReadOnlyAttribute) {
  WriteFile("Plain.Sch", "x");
  WriteFile("Locked.Sch", "x");
  MakeReadOnly("Locked.Sch");
  EXPECT_EQ(QueryOf("Plain.Sch").mode & 0222, 0222u);
  EXPECT_EQ(QueryOf("Locked.Sch").mode & 0222, 0u);

  const FileHandle out = files_.CreateNew(PathOf("New.Tmp").c_str());
  ASSERT_NE(out, kNoFile);
  EXPECT_TRUE(files_.SetMode(out, QueryOf("Locked.Sch").mode));
  EXPECT_TRUE(IsReadOnly("New.Tmp"));
  EXPECT_TRUE(files_.Write(out, "still writable", 14));
  EXPECT_TRUE(files_.SetMode(out, QueryOf("Plain.Sch").mode));
  EXPECT_FALSE(IsReadOnly("New.Tmp"));
  EXPECT_TRUE(files_.SetMode(out, 0444));
  EXPECT_TRUE(files_.Close(out));
  EXPECT_EQ(ReadFile("New.Tmp"), "still writable");
  EXPECT_TRUE(files_.Remove(PathOf("New.Tmp").c_str()));
  EXPECT_FALSE(files_.Close(out));
}

// The file system finds a name in any letter case itself: only a link has another real name.
TEST_F(WindowsPlatformTest, RealNameFindsTheFinalTargetOfASymbolicLink) {
  fs::create_directory(scratch_.path() / "Work");
  WriteFile("Work/Amp.Sch", "x");
  char out[MAX_PATH];
  for (const char* name : {"WORK\\amp.SCH", "Work\\Missing.Sch"}) {
    ASSERT_TRUE(files_.RealName(PathOf(name).c_str(), out, sizeof out));
    EXPECT_EQ(std::string(out), PathOf(name));
  }
  // Wine 8 reports success without making a link.
  if (!CreateSymbolicLinkA(PathOf("Shortcut.Sch").c_str(), PathOf("Work\\Amp.Sch").c_str(), 0) ||
      GetFileAttributesA(PathOf("Shortcut.Sch").c_str()) == INVALID_FILE_ATTRIBUTES) {
    GTEST_SKIP() << "no symbolic links here";
  }
  const FileInfo link = QueryOf("Shortcut.Sch");
  EXPECT_TRUE(link.is_link);
  EXPECT_TRUE(SameFile(link, QueryOf("Work\\Amp.Sch")));
  ASSERT_TRUE(files_.RealName(PathOf("Shortcut.Sch").c_str(), out, sizeof out));
  FileInfo target;
  EXPECT_TRUE(files_.Query(out, &target));
  EXPECT_FALSE(target.is_link) << out;
  EXPECT_TRUE(SameFile(target, QueryOf("Work\\Amp.Sch"))) << out;
  EXPECT_EQ(std::string(out).find("\\\\?\\"), std::string::npos) << out;
  EXPECT_FALSE(files_.RealName(PathOf("Shortcut.Sch").c_str(), out, 4));
}

// --- Converting under Windows semantics ------------------------------------------------

using Texts = std::vector<std::string>;

class WindowsConversion : public test::EngineFixture {};

TEST_F(WindowsConversion, AReadOnlySchematicIsConvertedAndStaysReadOnly) {
  Write("AMP.SCH", "*version 7.1\r\n@setup\r\nx\r\n@index\r\n");
  ASSERT_TRUE(SetFileAttributesA(scratch.PathOf("AMP.SCH").c_str(), FILE_ATTRIBUTE_READONLY));
  StartRun(true, false);
  engine().ConvertFile("AMP.SCH");
  EXPECT_EQ(sink.errors(), Texts{});
  EXPECT_EQ(Read("AMP.SCH"), "*version 6.1\n@index\n");
  EXPECT_EQ(Read("AMP.P71"), "*version 7.1\r\n@setup\r\nx\r\n@index\r\n");
  EXPECT_TRUE(GetFileAttributesA(scratch.PathOf("AMP.SCH").c_str()) & FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(Names(), (Texts{"AMP.P71", "AMP.SCH"}));

  // The read-only backup is replaced by the next conversion.
  Write("AMP.TMP", "leftover");
  StartRun(false, false);
  SetFileAttributesA(scratch.PathOf("AMP.SCH").c_str(), FILE_ATTRIBUTE_NORMAL);
  Write("AMP.SCH", "*version 7.1\n");
  engine().ConvertFile("AMP.SCH");
  EXPECT_EQ(sink.errors(), Texts{});
  EXPECT_EQ(Names(), (Texts{"AMP.SCH"}));
}

// The short name names the same file: a cycle, passed over in silence.
TEST_F(WindowsConversion, AnOuterFileNamedByItsShortNameIsNeverTouched) {
  Write("Amplifier Stage.sch", "*version 7.1\nPART=BACK\ntail\n");
  char short_name[MAX_PATH];
  ASSERT_NE(GetShortPathNameA(scratch.PathOf("Amplifier Stage.sch").c_str(), short_name, MAX_PATH),
            0u);
  StartRun(true, true, {{"BACK", short_name}});
  engine().ConvertFile("Amplifier Stage.sch");
  EXPECT_EQ(sink.errors(), Texts{});
  EXPECT_EQ(Read("Amplifier Stage.sch"), "*version 6.1\nPART=BACK\ntail\n");
  EXPECT_EQ(Read("Amplifier Stage.P71"), "*version 7.1\nPART=BACK\ntail\n");
  EXPECT_EQ(engine().visited().VisitedCount(), 1);
}

// --- Windows' own INI reader against the portable one ----------------------------------
//
// Known differences of Wine's reader, left out because the engine never meets them (it asks
// only for named sections and ordinary keys, and its fallbacks "Unknown" and "EMPTY" have
// no blanks), or because they are Wine's own quirk:
// - lines before any section header are found by asking for the empty section name;
// - a key name that starts with ';' finds a commented-out line;
// - a fallback loses only its trailing spaces (a trailing tab stays), and an all-blank
//   fallback keeps one of its blanks;
// - a quoted value exactly one character shorter than the buffer loses its last character.

struct IniCase {
  std::string contents;
  const char* section;
  const char* key;
  const char* fallback;
  std::size_t capacity;
};

std::string Escaped(const std::string& text) {
  std::string out;
  for (const unsigned char c : text) {
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      out += static_cast<char>(c);
    } else {
      char code[8];
      std::snprintf(code, sizeof code, "\\x%02X", c);
      out += code;
    }
  }
  return out;
}

class IniAgreement : public WindowsPlatformTest {
 protected:
  // Both readers' answers for one case, each from a file of its own (Windows caches INI files).
  void ExpectAgreement(const IniCase& c) {
    const std::string path = PathOf("case" + std::to_string(++cases_) + ".ini");
    test::WriteWholeFile(path, c.contents);
    const std::string portable = Answer(c, path, false);
    const std::string windows = Answer(c, path, true);
    EXPECT_EQ(Escaped(portable), Escaped(windows))
        << "file \"" << Escaped(c.contents) << "\", section \"" << Escaped(c.section)
        << "\", key \"" << Escaped(c.key) << "\", fallback "
        << (c.fallback != nullptr ? "\"" + Escaped(c.fallback) + "\"" : std::string("null"))
        << ", capacity " << c.capacity << " (left: portable reader, right: Windows)";
  }

  std::string Answer(const IniCase& c, const std::string& path, bool windows) {
    std::string out(c.capacity + 1, '#');
    if (windows) {
      files_.ReadIniString(c.section, c.key, c.fallback, &out[0], c.capacity, path.c_str());
    } else {
      ReadIniFile(files_, c.section, c.key, c.fallback, &out[0], c.capacity, path.c_str());
    }
    return out.substr(0, out.find('\0'));
  }

  void ExpectAgreement(const std::string& contents, const char* section, const char* key,
                       const char* fallback = "DEFAULT", std::size_t capacity = 200) {
    ExpectAgreement(IniCase{contents, section, key, fallback, capacity});
  }

  int cases_ = 0;
};

TEST_F(IniAgreement, MissingFilesSectionsAndKeys) {
  char out[32];
  for (const char* missing : {"none.ini", "no-folder\\none.ini"}) {
    const std::string path = PathOf(missing);
    files_.ReadIniString("MICROSIM", "LIBPATH", "Unknown", out, sizeof out, path.c_str());
    EXPECT_STREQ(out, "Unknown");
    ReadIniFile(files_, "MICROSIM", "LIBPATH", "Unknown", out, sizeof out, path.c_str());
    EXPECT_STREQ(out, "Unknown");
  }
  ExpectAgreement("[S]\nk=v\n", "T", "k");
  ExpectAgreement("[S]\nk=v\n", "S", "j");
}

TEST_F(IniAgreement, NamesAndLetterCase) {
  const std::string ini = "[Part Libs]\nLib1=a\n\xC4x=b\nMY KEY=v\n";
  for (const char* section :
       {"PART LIBS", "part libs", " \tPart Libs\x1A ", "PART  LIBS", "PART"}) {
    for (const char* key : {"LIB1", "lib1", "\xE4x", "\xC4X", "  MY KEY\t", "MYKEY", "MY"}) {
      ExpectAgreement(ini, section, key);
    }
  }
}

TEST_F(IniAgreement, SectionHeaders) {
  ExpectAgreement("[ Spaced ]\nk=1\n", "Spaced", "k");
  ExpectAgreement("  [Spaced]  trailing words\nk=1\n", "Spaced", "k");
  for (const char* section : {"Sec", "Sec] ; note"})
    ExpectAgreement("[Sec] ; note ]\nk=2\n", section, "k");
  ExpectAgreement("[A]B]\nk=3\n", "A]B", "k");
  for (const char* section : {"S", "Broken", "T"}) {
    ExpectAgreement("[S]\n[Broken\nk=kept\n[T]\nj=1\n", section, "k");
  }
  ExpectAgreement("LIBPATH=early\n[MICROSIM]\nOTHER=x\n", "MICROSIM", "LIBPATH");
  const std::string repeated = "[S]\na=first\n[T]\nb=t\n[s]\na=second\nc=later\n";
  for (const char* key : {"a", "c"}) ExpectAgreement(repeated, "S", key);
}

TEST_F(IniAgreement, KeysValuesAndComments) {
  ExpectAgreement("[S]\nk=one\nK=two\n", "S", "k");
  for (const char* key : {"LIB1", "LIB2", "LIB3"})
    ExpectAgreement("[S]\nLIB1=\nLIB2 =   \nLIB3\n", "S", key);
  for (const char* key : {"a b", "a b= x"}) ExpectAgreement("[S]\n  a b \t= x=y \n", "S", key);
  ExpectAgreement("[S]\nx=y=z\n", "S", "x=y");
  const std::string comments = "[S]\n;k=commented\n  ;j=also\nk=value ; note\n#h=hash\n";
  for (const char* key : {"k", "j", "#h"}) ExpectAgreement(comments, "S", key);
  const std::string blanks =
      "[S]\nk= \t\v\f\x1A"
      "a \x1A b \t\f\v\x1A\r\nn=\xA0x\xA0\n";
  for (const char* key : {"k", "n"}) ExpectAgreement(blanks, "S", key);
}

TEST_F(IniAgreement, Quotes) {
  const std::string ini =
      "[S]\nd=\"C:\\Dir\"\ns='x'\nin=\"a \"b\" c\"\nmix=\"a'\nlone=\"\nempty=\"\"\n"
      "pad=  \" a \"  \nopen=\"abc\ntwice=\"\"x\"\"\n";
  for (const char* key : {"d", "s", "in", "mix", "lone", "empty", "pad", "open", "twice"}) {
    ExpectAgreement(ini, "S", key);
  }
}

TEST_F(IniAgreement, NulAndEndOfFileBytes) {
  const char raw[] = "[S]\nk=ab\0cd\nj=\"q\"\0x\nafter=1\n";
  for (const char* key : {"k", "j", "after"})
    ExpectAgreement(std::string(raw, sizeof raw - 1), "S", key);
  ExpectAgreement("[S]\n\x1A\nk=v\x1A\n\x1A[T]\x1A\nj=w\n", "T", "j");
  ExpectAgreement("[S]\nk=v\x1A\n", "S", "k");
}

TEST_F(IniAgreement, Fallbacks) {
  for (const char* fallback : {"  Unknown  ", "\"EMPTY\"  ", " \"EMPTY\"", "'x'", "\"", ""}) {
    ExpectAgreement("[S]\n", "S", "k", fallback);
  }
  ExpectAgreement("[S]\n", "S", "k", nullptr);
  ExpectAgreement("[S]\n", "S", "k", "abcdef", 4);
}

TEST_F(IniAgreement, LineEndsAndByteOrderMark) {
  for (const std::string end : {"\r\n", "\n", "\r", "\r\r\n"}) {
    const std::string ini = "[S]" + end + "a=1" + end + "[T]" + end + "b=2" + end + "c=3";
    ExpectAgreement(ini, "S", "a");
    ExpectAgreement(ini, "S", "b");
    ExpectAgreement(ini, "T", "b");
    ExpectAgreement(ini, "T", "c");
  }
  ExpectAgreement("\xEF\xBB\xBF[S]\nk=v\n", "S", "k");
  ExpectAgreement("\xEF\xBB\xBFk=v\n", "\xEF\xBB\xBFk", "k");
  ExpectAgreement("[S]\nk=\xEF\xBB\xBFv\n", "S", "k");
  ExpectAgreement("\xEF\xBB[S]\nk=v\n", "S", "k");
  ExpectAgreement("\xEF\xBB", "S", "k");
}

TEST_F(IniAgreement, Lengths) {
  const std::string value(10000, 'v');
  ExpectAgreement("[S]\nk=" + value + "\n", "S", "k");
  ExpectAgreement("[S]\nk=\"" + value + "\"\n", "S", "k");
  for (const std::size_t capacity : {1, 2, 3, 5})
    ExpectAgreement("[S]\nk=\"abc\"\n", "S", "k", "", capacity);
  ExpectAgreement("[S]\nk=value\n", "S", "missing", "fallback", 1);
  const std::string name(1000, 'n');
  const std::string ini = "[" + name + "]\nk=long section\n[S]\n" + name + "=long key\nk=after\n";
  ExpectAgreement(ini, name.c_str(), "k");
  ExpectAgreement(ini, "S", name.c_str());
  ExpectAgreement(ini, "S", "k");
}

TEST_F(IniAgreement, TheDesignToolsOwnFiles) {
  KESTRUNE_SKIP_WITHOUT_CORPUS();
  struct Question {
    const char* file;
    const char* section;
    const char* key;
  };
  const Question questions[] = {
      {"LTspiceWorkspace__tssim.ini", "MICROSIM", "LIBPATH"},
      {"LTspiceWorkspace__tssim.ini", "microsim", "TEXTEDITCMD"},
      {"LTspiceWorkspace__tssim.ini", "PART LIBS", "LIB1"},
      {"LTspiceWorkspace__tssim.ini", "PART LIBS", "LIB8"},
      {"LTspiceWorkspace__tssim.ini", "PART LIBS", "LIB10"},
      {"LTspiceWorkspace__tssim.ini", "SCHEMATICS", "LAYOUTCMD"},
      {"VE215_FA2019__PSpice.ini", "PSPICE", "PROBECMD"},
      {"VE215_FA2019__PSpice.ini", "PART LIBS", "LIB92"},
      {"VE215_FA2019__PSpice.ini", "PART LIBS", "LIB93"},
      {"LTspiceWorkspace__package.ini", "Security Options", "DESIGNLAB"},
      {"LTspiceWorkspace__package.ini", "PCBOARDS", "AUTOROUTER"},
  };
  for (const Question& q : questions) {
    std::ifstream in(test::CorpusDir() / "ini" / q.file, std::ios::binary);
    ASSERT_TRUE(in.good()) << q.file;
    const std::string contents((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
    ExpectAgreement(contents, q.section, q.key, "EMPTY");
  }
}

}  // namespace
}  // namespace kestrune
#endif  // _WIN32
