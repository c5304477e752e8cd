// Byte-string helpers shared by the engine: bounded copies, searches that see NUL bytes, case
// folding.
#pragma once

#include <cstddef>

namespace kestrune {

// Length of a zero-terminated text.
std::size_t TextLength(const char* text);

// Copies text into out (capacity bytes, room for the terminator included).
// Returns false, leaving out empty, when the text does not fit.
bool CopyText(char* out, std::size_t capacity, const char* text);

// Appends text to the zero-terminated contents of out; false, out unchanged, if it does not fit.
bool AppendText(char* out, std::size_t capacity, const char* text);

// First occurrence of the zero-terminated needle in data[0, size), NUL bytes included
// as ordinary data; null when absent.
const char* FindText(const char* data, std::size_t size, const char* needle);

// The lower-case form of an ASCII capital letter; every other byte as it is. Inline, since
// the part lookups fold every byte they hash and compare.
inline char FoldCase(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Comparison of two zero-terminated texts that folds ASCII letters only.
bool EqualsIgnoreCase(const char* a, const char* b);
int CompareIgnoreCase(const char* a, const char* b);

}  // namespace kestrune
