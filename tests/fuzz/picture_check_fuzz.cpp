// The fuzz target of the picture check: any bytes, judged as the game judges a picture file. The
// sanitizers catch what the check's own code does wrong; zlib, built without them, is caught by the
// page after the input, which cannot be read.
#include "guarded_bytes.h"

#include "services/picture_check.h"

namespace {

GuardedBytes g_Bytes;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PictureIsSpoiled(g_Bytes.Hold(data, size), size);
    return 0;
}
