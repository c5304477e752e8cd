// A dialog template in the desktop's font size, when that is larger than the template's own.
#include "app/win32/desktop_font_template.h"

#include <cstddef>
#include <cstdlib>

namespace kestrune {

namespace {

// The header's size in WORDs: DLGTEMPLATEEX (after its version 1 and signature 0xFFFF) or
// DLGTEMPLATE.
constexpr std::size_t kExtendedHeaderWords = 13;
constexpr std::size_t kHeaderWords = 9;

// Skips a menu or class entry: none, an ordinal, or a string.
std::size_t SkipNameOrOrdinal(const std::vector<WORD>& words, std::size_t at) {
  if (words[at] == 0x0000) return at + 1;
  if (words[at] == 0xFFFF) return at + 2;
  while (words[at] != 0) ++at;
  return at + 1;
}

std::size_t SkipString(const std::vector<WORD>& words, std::size_t at) {
  while (words[at] != 0) ++at;
  return at + 1;
}

// The message font's size in points, which the desktop's font settings set.
int DesktopFontPoints() {
  NONCLIENTMETRICSA metrics{};
  // The structure's size before Windows Vista, which every Windows accepts.
  metrics.cbSize = offsetof(NONCLIENTMETRICSA, lfMessageFont) + sizeof(LOGFONTA);
  if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) return 0;
  const HDC screen = GetDC(nullptr);
  const int points =
      MulDiv(std::abs(metrics.lfMessageFont.lfHeight), 72, GetDeviceCaps(screen, LOGPIXELSY));
  ReleaseDC(nullptr, screen);
  return points;
}

}  // namespace

std::vector<WORD> TemplateInDesktopFont(HINSTANCE module, int template_id) {
  const HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(template_id), RT_DIALOG);
  const HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
  const auto* data = loaded != nullptr ? static_cast<const WORD*>(LockResource(loaded)) : nullptr;
  if (data == nullptr) return {};
  std::vector<WORD> words(data, data + SizeofResource(module, found) / sizeof(WORD));
  const bool extended = words.size() > 1 && words[0] == 1 && words[1] == 0xFFFF;
  const std::size_t style_word = extended ? 6 : 0;
  const DWORD style = words[style_word] | (static_cast<DWORD>(words[style_word + 1]) << 16);
  if (!(style & DS_SETFONT)) return words;
  std::size_t at = extended ? kExtendedHeaderWords : kHeaderWords;
  at = SkipString(words, SkipNameOrOrdinal(words, SkipNameOrOrdinal(words, at)));
  const int desktop = DesktopFontPoints();
  if (desktop > words[at]) words[at] = static_cast<WORD>(desktop);
  return words;
}

}  // namespace kestrune
