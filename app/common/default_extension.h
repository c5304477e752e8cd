// A picked file name completed with the picker's default extension, as Windows' picker does.
#pragma once

#include <string>

namespace kestrune {

// "/data/AMP" with "SCH" gives "/data/AMP.SCH"; a name that has an extension, even an empty
// one ("AMP."), stays as it is. Folders ("/work.v2/AMP") do not count.
std::string WithDefaultExtension(const std::string& path, const char* extension);

}  // namespace kestrune
