// fuzz-layer: kr_grid
// The grid's native text file (see GridIOFuzz.h).
#include "GridIOFuzz.h"

#include "platform/Application.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static TApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    GridIOFuzz::GridFile(data, size);
    return 0;
}
