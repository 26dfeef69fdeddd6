#pragma once
#include "text/Types.h"

namespace korvane {

// The five texts of one result, in list-column order.
struct ResultRow {
  Text name;
  Text size;
  Text files;   // number of files, as the site writes it
  Text date;
  Text magnet;  // "magnet:?xt=urn:btih:" followed by the info-hash

  bool operator==(const ResultRow&) const = default;
};

}  // namespace korvane
