// What "KESTRUNE --version" prints: the facts of the version record.
#pragma once

#include <string>

namespace kestrune {

// Name, product name and version on the first line, the licence on the second.
std::string VersionText();

}  // namespace kestrune
