// fuzz-layer: kr_grid
// The grid's workbook import: .xlsx, .ods and .xls bytes. A refused file
// leaves the grid as it was; an accepted one stays within the limits.
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
    GridIOFuzz::Workbook(data, size);
    return 0;
}
