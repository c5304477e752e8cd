// A text conversion that keeps every byte: UTF-8 where the bytes are UTF-8, each other byte alone.
#include "app/wx/byte_preserving_utf8.h"

#include <cstdint>
#include <cstring>
#include <cwchar>

namespace kestrune {
namespace {

static_assert(sizeof(wchar_t) == 4, "a wide character holds any code point");

constexpr std::uint32_t kEscapedByte = 0xDC00;  // U+DC80 to U+DCFF stand for the bytes 80 to FF

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length of the well-formed UTF-8 sequence that starts at text (of left bytes), 0 when
// none does: no overlong forms, no surrogates, nothing beyond U+10FFFF.
std::size_t SequenceLength(const unsigned char* text, std::size_t left) {
  const unsigned char lead = text[0];
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char second_low = 0x80;
  unsigned char second_high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) second_low = 0xA0;
    if (lead == 0xED) second_high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) second_low = 0x90;
    if (lead == 0xF4) second_high = 0x8F;
  } else {
    return 0;
  }
  if (left < length || text[1] < second_low || text[1] > second_high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (!IsContinuation(text[i])) return 0;
  }
  return length;
}

std::uint32_t Decode(const unsigned char* text, std::size_t length) {
  static constexpr unsigned char kLeadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
  std::uint32_t point = text[0] & kLeadBits[length];
  for (std::size_t i = 1; i < length; ++i) point = (point << 6) | (text[i] & 0x3F);
  return point;
}

// The bytes of one character into out; 0 for a character that stands for no bytes.
std::size_t Encode(std::uint32_t point, unsigned char out[4]) {
  if (point >= kEscapedByte + 0x80 && point <= kEscapedByte + 0xFF) {
    out[0] = static_cast<unsigned char>(point - kEscapedByte);
    return 1;
  }
  if (point < 0x80) {
    out[0] = static_cast<unsigned char>(point);
    return 1;
  }
  if (point < 0x800) {
    out[0] = static_cast<unsigned char>(0xC0 | (point >> 6));
    out[1] = static_cast<unsigned char>(0x80 | (point & 0x3F));
    return 2;
  }
  if (point >= 0xD800 && point <= 0xDFFF) return 0;
  if (point < 0x10000) {
    out[0] = static_cast<unsigned char>(0xE0 | (point >> 12));
    out[1] = static_cast<unsigned char>(0x80 | ((point >> 6) & 0x3F));
    out[2] = static_cast<unsigned char>(0x80 | (point & 0x3F));
    return 3;
  }
  if (point > 0x10FFFF) return 0;
  out[0] = static_cast<unsigned char>(0xF0 | (point >> 18));
  out[1] = static_cast<unsigned char>(0x80 | ((point >> 12) & 0x3F));
  out[2] = static_cast<unsigned char>(0x80 | ((point >> 6) & 0x3F));
  out[3] = static_cast<unsigned char>(0x80 | (point & 0x3F));
  return 4;
}

}  // namespace

// Without a length the text ends at its NUL, which is converted too, as wxMBConv asks.
size_t BytePreservingUtf8::ToWChar(wchar_t* dst, size_t dst_length, const char* src,
                                   size_t src_length) const {
  if (src_length == wxNO_LEN) src_length = std::strlen(src) + 1;
  const auto* at = reinterpret_cast<const unsigned char*>(src);
  const auto* const end = at + src_length;
  size_t written = 0;
  while (at < end) {
    const std::size_t length = SequenceLength(at, static_cast<std::size_t>(end - at));
    const std::uint32_t point = length == 0 ? kEscapedByte + *at : Decode(at, length);
    at += length == 0 ? 1 : length;
    if (dst != nullptr) {
      if (written == dst_length) return wxCONV_FAILED;
      dst[written] = static_cast<wchar_t>(point);
    }
    ++written;
  }
  return written;
}

size_t BytePreservingUtf8::FromWChar(char* dst, size_t dst_length, const wchar_t* src,
                                     size_t src_length) const {
  if (src_length == wxNO_LEN) src_length = std::wcslen(src) + 1;
  size_t written = 0;
  for (size_t i = 0; i < src_length; ++i) {
    unsigned char bytes[4];
    const std::size_t length = Encode(static_cast<std::uint32_t>(src[i]), bytes);
    if (length == 0) return wxCONV_FAILED;
    if (dst != nullptr) {
      if (dst_length - written < length) return wxCONV_FAILED;
      std::memcpy(dst + written, bytes, length);
    }
    written += length;
  }
  return written;
}

}  // namespace kestrune
