// What "KESTRUNE --version" prints: the facts of the version record.
#include "app/common/version_text.h"

#include "res/version.h"

namespace kestrune {

std::string VersionText() {
  return KESTRUNE_INTERNAL_NAME " " KESTRUNE_VERSION_TEXT "\n" KESTRUNE_LICENCE_LINE "\n";
}

}  // namespace kestrune
