#pragma once
// How korvane-search writes a result: fields converted from code page 936 to UTF-8.
#include <string>

#include "search/ResultRow.h"

namespace korvane {

// The five fields separated by tabs; tab, CR, LF and backslash inside a field as \t, \r, \n, \\.
std::string FormatTabRow(const ResultRow& row);
// One JSON object with the keys "name", "size", "files", "date", "magnet".
std::string FormatJsonRow(const ResultRow& row);

}  // namespace korvane
