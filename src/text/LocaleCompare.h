#pragma once
// The system's locale-aware, case-sensitive text comparison: the texts' Unicode forms compared by
// ICU collation (Chinese locale, numeric ordering of digit runs). The empty text sorts first;
// two texts compare equal only when they are equal byte for byte.
#include <string>
#include <string_view>

namespace korvane {

// Negative, 0 or positive. Texts are in code page 936.
int LocaleCompare(std::string_view a, std::string_view b);

// A byte key whose plain byte order is LocaleCompare's order, for sorting many texts.
std::string LocaleSortKey(std::string_view text);

}  // namespace korvane
