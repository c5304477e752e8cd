// What every front end assumes when it is told nothing else.
#pragma once

namespace kestrune {

// The design tools' INI file, where they keep it on Windows.
constexpr char kDefaultIniPath[] = "C:\\WINDOWS\\MSIM.INI";

}  // namespace kestrune
