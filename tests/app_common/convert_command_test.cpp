// What a Convert command reads from the fields: at most 199 bytes each, never half a character.
#include "app/common/convert_command.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace kestrune::test {
namespace {

std::string Read(const std::string& text, FieldEncoding encoding) {
  char field[kPathBytes];
  std::memset(field, '#', sizeof field);
  ReadFieldText(text.c_str(), encoding, field);
  return field;
}

TEST(FieldText, FitsWholeUpTo199Bytes) {
  const std::string text(199, 'a');
  EXPECT_EQ(Read(text, FieldEncoding::kSingleByte), text);
  EXPECT_EQ(Read("", FieldEncoding::kUtf8), "");
}

TEST(FieldText, LongerTextIsCutTo199Bytes) {
  const std::string text = std::string(199, 'a') + "bcd";
  EXPECT_EQ(Read(text, FieldEncoding::kSingleByte), std::string(199, 'a'));
  EXPECT_EQ(Read(text, FieldEncoding::kUtf8), std::string(199, 'a'));
}

TEST(FieldText, Utf8CutBacksOffToTheSplitCharactersStart) {
  // "é" is two bytes: the 198th and 199th bytes form it whole, the 199th and 200th do not.
  const std::string whole = std::string(197, 'a') + "\xC3\xA9" + "z";
  EXPECT_EQ(Read(whole, FieldEncoding::kUtf8), std::string(197, 'a') + "\xC3\xA9");
  const std::string split = std::string(198, 'a') + "\xE2\x82\xAC";  // a three-byte euro sign
  EXPECT_EQ(Read(split, FieldEncoding::kUtf8), std::string(198, 'a'));
  EXPECT_EQ(Read(split, FieldEncoding::kSingleByte), std::string(198, 'a') + "\xE2");
}

TEST(FieldText, NullReadsAsEmpty) {
  char field[kPathBytes] = "old";
  ReadFieldText(nullptr, FieldEncoding::kUtf8, field);
  EXPECT_STREQ(field, "");
}

TEST(ConvertRequest, CarriesBothFieldsAndTheBoxesAsOneOrZero) {
  const ConvertRequest request = MakeConvertRequest("AMP.SCH", (std::string(250, 'i')).c_str(),
                                                    FieldEncoding::kUtf8, true, false);
  EXPECT_STREQ(request.input_path, "AMP.SCH");
  EXPECT_EQ(std::string(request.ini_path), std::string(199, 'i'));
  EXPECT_EQ(request.backups, 1);
  EXPECT_EQ(request.embedded, 0);
}

}  // namespace
}  // namespace kestrune::test
