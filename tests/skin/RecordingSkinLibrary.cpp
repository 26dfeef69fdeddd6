// A stand-in for the skin library that records the arguments of every call and changes nothing.
#include <cstring>
#include <vector>

#include "RecordedAttach.h"
#include "skinlib/SkinAttachRes.h"

namespace {
std::vector<korvane::testing::RecordedAttach> calls;
}

extern "C" int SkinH_AttachRes(const unsigned char* skin, int size, const char* key, int reserved1, int reserved2,
                               int reserved3) {
  korvane::testing::RecordedAttach call;
  call.address = skin;
  call.size = size;
  if (skin && size > 0) call.skin.assign(skin, skin + size);
  call.keyWasNull = key == nullptr;
  if (key) call.key = key;
  call.reserved[0] = reserved1;
  call.reserved[1] = reserved2;
  call.reserved[2] = reserved3;
  calls.push_back(std::move(call));
  return 1;
}

extern "C" __attribute__((visibility("default"))) const std::vector<korvane::testing::RecordedAttach>*
RecordedAttaches() {
  return &calls;
}
