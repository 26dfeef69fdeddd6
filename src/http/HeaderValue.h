#pragma once
#include <string_view>

#include "text/Types.h"

namespace korvane {

// The text after the first ":" of `text`, trimmed; empty when there is no ":".
Text HeaderValue(std::string_view text);

}  // namespace korvane
