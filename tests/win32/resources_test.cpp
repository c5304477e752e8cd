// What the built KESTRUNE.EXE carries: its version record, icon 128 and string 101, read back from
// the file.
#include <gtest/gtest.h>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "res/resource.h"
#include "res/string_table.h"
#include "res/strings.h"
#include "res/version.h"

namespace kestrune::test {
namespace {

class ExecutableResources : public ::testing::Test {
 protected:
  static std::vector<char> VersionRecord() {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(KESTRUNE_EXE_PATH, &ignored);
    std::vector<char> record(size);
    if (size == 0 || !GetFileVersionInfoA(KESTRUNE_EXE_PATH, 0, size, record.data()))
      record.clear();
    return record;
  }

  // The string under \StringFileInfo\040904B0; "<none>" when the record lacks it.
  static std::string VersionString(std::vector<char>& record, const char* name) {
    char* text = nullptr;
    UINT length = 0;
    const std::string query = std::string("\\StringFileInfo\\040904B0\\") + name;
    if (!VerQueryValueA(record.data(), query.c_str(), reinterpret_cast<void**>(&text), &length)) {
      return "<none>";
    }
    return length == 0 ? std::string() : std::string(text);
  }
};

// The project's version, four numbers, as the record's fixed part holds them in two words each.
constexpr DWORD kVersion[] = {KESTRUNE_VERSION_NUMBERS};
constexpr DWORD kVersionHigh = kVersion[0] << 16 | kVersion[1];
constexpr DWORD kVersionLow = kVersion[2] << 16 | kVersion[3];

TEST_F(ExecutableResources, VersionRecordNamesTheProgramAndTheProjectVersion) {
  std::vector<char> record = VersionRecord();
  ASSERT_FALSE(record.empty());
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(record.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed->dwFileVersionMS, kVersionHigh);
  EXPECT_EQ(fixed->dwFileVersionLS, kVersionLow);
  EXPECT_EQ(fixed->dwProductVersionMS, kVersionHigh);
  EXPECT_EQ(fixed->dwProductVersionLS, kVersionLow);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

  WORD* translation = nullptr;
  ASSERT_TRUE(VerQueryValueA(record.data(), "\\VarFileInfo\\Translation",
                             reinterpret_cast<void**>(&translation), &length));
  ASSERT_EQ(length, 4u);
  EXPECT_EQ(translation[0], 0x0409);
  EXPECT_EQ(translation[1], 0x04B0);

  EXPECT_EQ(VersionString(record, "FileVersion"), KESTRUNE_VERSION_COMMAS);
  EXPECT_EQ(VersionString(record, "ProductVersion"), KESTRUNE_VERSION_COMMAS);
  EXPECT_EQ(VersionString(record, "InternalName"), "KESTRUNE");
  EXPECT_EQ(VersionString(record, "OriginalFilename"), "KESTRUNE.EXE");
  EXPECT_EQ(VersionString(record, "ProductName"), "KESTRUNE Application");
  EXPECT_EQ(VersionString(record, "FileDescription"), "KESTRUNE MFC Application");
  EXPECT_EQ(VersionString(record, "CompanyName"), "");
  EXPECT_EQ(VersionString(record, "LegalTrademarks"), "");
}

#pragma pack(push, 2)
struct IconDirectoryEntry {
  BYTE width;
  BYTE height;
  BYTE colours;
  BYTE reserved;
  WORD planes;
  WORD bits;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)

class LoadedAsData {
 public:
  LoadedAsData() : module_(LoadLibraryExA(KESTRUNE_EXE_PATH, nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
  ~LoadedAsData() {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  LoadedAsData(const LoadedAsData&) = delete;
  LoadedAsData& operator=(const LoadedAsData&) = delete;
  HMODULE get() const { return module_; }

 private:
  HMODULE module_;
};

// The 16-colour images first, then full-colour ones for displays of any scale, the largest a
// PNG as Windows Vista and later read it.
TEST_F(ExecutableResources, Icon128Has32And16PixelImagesOf16ColoursAndFullColourOnesUpTo256) {
  struct Image {
    int size;
    int colours;
    int bits;
  };
  constexpr Image kImages[] = {{32, 16, 4}, {16, 16, 4}, {16, 0, 32}, {24, 0, 32},
                               {32, 0, 32}, {48, 0, 32}, {64, 0, 32}, {256, 0, 32}};
  const LoadedAsData exe;
  ASSERT_NE(exe.get(), nullptr);
  const HRSRC found = FindResourceA(exe.get(), MAKEINTRESOURCEA(IDR_MAINFRAME), RT_GROUP_ICON);
  ASSERT_NE(found, nullptr);
  const auto* group = static_cast<const WORD*>(LockResource(LoadResource(exe.get(), found)));
  ASSERT_NE(group, nullptr);
  ASSERT_EQ(group[1], 1);  // icons, not cursors
  ASSERT_EQ(group[2], std::size(kImages));
  const auto* entries = reinterpret_cast<const IconDirectoryEntry*>(group + 3);
  for (std::size_t i = 0; i < std::size(kImages); ++i) {
    SCOPED_TRACE(i);
    const Image& expected = kImages[i];
    EXPECT_EQ(entries[i].width, expected.size % 256);
    EXPECT_EQ(entries[i].height, entries[i].width);
    EXPECT_EQ(entries[i].colours, expected.colours);
    EXPECT_EQ(entries[i].bits, expected.bits);
    const HRSRC image = FindResourceA(exe.get(), MAKEINTRESOURCEA(entries[i].id), RT_ICON);
    ASSERT_NE(image, nullptr);
    const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(exe.get(), image)));
    if (expected.size == 256) {
      EXPECT_EQ(std::memcmp(data, "\x89PNG", 4), 0);
      continue;
    }
    // Each other image is a bitmap of that depth with its mask.
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(data);
    EXPECT_EQ(header->biWidth, expected.size);
    EXPECT_EQ(header->biHeight, 2 * expected.size);
    EXPECT_EQ(header->biBitCount, expected.bits);
  }
}

// The Linux program's string table must say the same.
TEST_F(ExecutableResources, String101IsTheAboutItem) {
  const LoadedAsData exe;
  ASSERT_NE(exe.get(), nullptr);
  char text[64] = "";
  ASSERT_GT(LoadStringA(exe.get(), IDS_ABOUTBOX, text, sizeof text), 0);
  EXPECT_STREQ(text, IDS_ABOUTBOX_TEXT);
  EXPECT_STREQ(text, LoadResourceString(IDS_ABOUTBOX));
}

}  // namespace
}  // namespace kestrune::test
