// Byte-string helpers shared by the engine.
#include "engine/text_util.h"

#include <cstring>

namespace kestrune {

std::size_t TextLength(const char* text) { return std::strlen(text); }

bool CopyText(char* out, std::size_t capacity, const char* text) {
  const std::size_t length = std::strlen(text);
  if (length >= capacity) {
    if (capacity > 0) out[0] = '\0';
    return false;
  }
  std::memcpy(out, text, length + 1);
  return true;
}

bool AppendText(char* out, std::size_t capacity, const char* text) {
  const std::size_t used = std::strlen(out);
  const std::size_t length = std::strlen(text);
  if (used + length >= capacity) return false;
  std::memcpy(out + used, text, length + 1);
  return true;
}

const char* FindText(const char* data, std::size_t size, const char* needle) {
  const std::size_t needle_size = std::strlen(needle);
  if (needle_size == 0 || needle_size > size) return nullptr;
  const char* const last = data + (size - needle_size);
  const char* at = data;
  while (at <= last) {
    const void* hit = std::memchr(at, needle[0], static_cast<std::size_t>(last - at) + 1);
    if (hit == nullptr) return nullptr;
    at = static_cast<const char*>(hit);
    if (std::memcmp(at, needle, needle_size) == 0) return at;
    ++at;
  }
  return nullptr;
}

int CompareIgnoreCase(const char* a, const char* b) {
  for (;; ++a, ++b) {
    const unsigned char fa = static_cast<unsigned char>(FoldCase(*a));
    const unsigned char fb = static_cast<unsigned char>(FoldCase(*b));
    if (fa != fb || fa == 0) return fa - fb;
  }
}

bool EqualsIgnoreCase(const char* a, const char* b) { return CompareIgnoreCase(a, b) == 0; }

}  // namespace kestrune
