// Test data: field texts that a settings store's own escapes or expansions would change.
#pragma once

namespace kestrune::test {

// Each must come back from a store byte for byte: variables (HOME is always set) that must
// not expand, backslashes before them, quotes, blanks at the ends, braces, non-ASCII bytes.
constexpr const char* kAwkwardTexts[] = {
    "C:\\$WORK\\AMP.SCH",
    "/data/$HOME/AMP.SCH",
    "${HOME}\\{braces}\\",
    "%HOME%\\100%",
    "\\\\server\\share\\AMP.SCH",
    " both ends ",
    "trailing blank ",
    "\"quoted\"",
    "tab\there",
    "caf\xC3\xA9\\\xE2\x82\xAC.SCH",
    "[Options]",
    "= #; ",
};

}  // namespace kestrune::test
