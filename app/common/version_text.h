// What "KESTRUNE --version" prints: the facts of the version record.
#pragma once

#include <string>

namespace kestrune {

// Name and version on the first line, in the form every version text of the project takes
// ("KESTRUNE 1.0.0.1"; the command line's "kestrune-cli (KESTRUNE) 1.0.0.1"), the licence on the
// second.
std::string VersionText();

}  // namespace kestrune
