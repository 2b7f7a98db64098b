// fuzz-layer: kr_grid
// The grid's binary cell stream loaded at a point of a small grid (see GridIOFuzz.h).
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
    GridIOFuzz::CellStream(data, size);
    return 0;
}
