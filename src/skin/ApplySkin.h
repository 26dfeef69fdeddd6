#pragma once

namespace korvane {

// Writes the skin library beside the program when it is missing, then dresses the application in
// skin `skinNumber` (1 to 87) of the built-in catalogue.
void ApplySkin(int skinNumber);

}  // namespace korvane
