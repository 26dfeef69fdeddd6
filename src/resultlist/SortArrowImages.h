#pragma once
#include "text/Types.h"

namespace korvane {

// The header's two sort arrows (0 up, 1 down), 8 x 7 pixels each, as a 2,022-byte image-group
// block. Generated at build time.
const Bytes& SortArrowImages();

}  // namespace korvane
