// The hint for an INI file named without a folder, which is not looked for where the user is.
#pragma once

#include <string>

#include "engine/platform/platform.h"

namespace kestrune {

// For an INI path without a folder part (as the design tools do, it is looked for in the
// Windows folder only) when a file of that name lies in the current folder: the hint that
// names it with its folder ("hint: ... write ./MSIM.INI ..."). Empty otherwise.
std::string IniHint(const std::string& ini_path, Platform& platform);

}  // namespace kestrune
