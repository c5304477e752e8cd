// A text conversion that keeps every byte: UTF-8 where the bytes are UTF-8, each other byte alone.
#pragma once

#include <wx/strconv.h>

namespace kestrune {

// Bytes to text as UTF-8, except that each byte which is not part of a UTF-8 sequence
// becomes the lone surrogate U+DC00 + byte, a character that no UTF-8 text gives; text back
// to bytes the same way. So file names and settings in any encoding come back byte for
// byte, and text that is UTF-8 reads as it always did.
class BytePreservingUtf8 final : public wxMBConv {
 public:
  size_t ToWChar(wchar_t* dst, size_t dst_length, const char* src,
                 size_t src_length = wxNO_LEN) const override;
  size_t FromWChar(char* dst, size_t dst_length, const wchar_t* src,
                   size_t src_length = wxNO_LEN) const override;
  wxMBConv* Clone() const override { return new BytePreservingUtf8; }
};

}  // namespace kestrune
