#include "skin/ApplySkin.h"

namespace korvane {

// The skin library and its catalogue are not built yet: the window keeps the platform look.
void ApplySkin(int) {}

}  // namespace korvane
