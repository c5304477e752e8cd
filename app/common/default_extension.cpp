// A picked file name completed with the picker's default extension, as Windows' picker does.
#include "app/common/default_extension.h"

namespace kestrune {

std::string WithDefaultExtension(const std::string& path, const char* extension) {
  const std::size_t name_start = path.find_last_of("/\\") + 1;  // npos + 1 is 0
  if (path.find('.', name_start) != std::string::npos) return path;
  return path + "." + extension;
}

}  // namespace kestrune
