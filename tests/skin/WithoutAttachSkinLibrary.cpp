// A library file of the skin library's name that lacks SkinH_AttachRes.
extern "C" __attribute__((visibility("default"))) int SkinH_DetachRes() { return 0; }
