// fuzz-layer: kr_grid
// The drop reader and the grid's drop target: drag data made of the input
// dropped onto a grid (see GridDropFuzz.h).
#include "GridDropFuzz.h"

#include "platform/Application.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static TApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    GridDropFuzz::Drop(data, size);
    return 0;
}
