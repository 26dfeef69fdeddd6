#pragma once
// What the recording stand-in of the skin library saw of each SkinH_AttachRes call.

#include <string>
#include <vector>

namespace korvane::testing {

struct RecordedAttach {
  const void* address = nullptr;
  int size = 0;
  std::vector<unsigned char> skin;  // copied during the call
  bool keyWasNull = true;
  std::string key;
  int reserved[3] = {};
};

}  // namespace korvane::testing

extern "C" const std::vector<korvane::testing::RecordedAttach>* RecordedAttaches();
using RecordedAttachesFn = const std::vector<korvane::testing::RecordedAttach>* (*)();
#define KORVANE_RECORDED_ATTACHES_NAME "RecordedAttaches"
