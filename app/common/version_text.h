// What "KESTRUNE --version" prints: the facts of the version record.
#pragma once

#include <string>

namespace kestrune {

// Product name and version on the first line, the file description on the second.
std::string VersionText();

}  // namespace kestrune
