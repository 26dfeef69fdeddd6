#pragma once
// A property a fuzz target checks: when it breaks, say which and stop, so libFuzzer keeps the input.
#include <cstdio>
#include <cstdlib>

inline void Require(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "property broken: %s\n", what);
  std::abort();
}
