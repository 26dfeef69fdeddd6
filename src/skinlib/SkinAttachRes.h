#pragma once
// The one entry point of the skin library, shared by the library and the program that loads it.
// Plain C, so that nothing but this contract ties the two together.

#define KORVANE_SKIN_LIBRARY_FILE "SkinH_EL.dll"
#define KORVANE_SKIN_ATTACH_NAME "SkinH_AttachRes"

#ifdef __cplusplus
extern "C" {
#endif

// Dresses the running application in the skin file `skin` of `size` bytes. `key` is an empty text
// and the last three arguments are zero; both are reserved. The library copies what it needs and
// keeps no pointer into `skin` after it returns. A null or unreadable skin changes nothing.
// Returns 1 when the skin was applied, 0 otherwise.
__attribute__((visibility("default"))) int SkinH_AttachRes(const unsigned char* skin, int size, const char* key,
                                                           int reserved1, int reserved2, int reserved3);

#ifdef __cplusplus
}
#endif

typedef int (*SkinAttachResFn)(const unsigned char* skin, int size, const char* key, int reserved1, int reserved2,
                               int reserved3);
