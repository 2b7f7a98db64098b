// fuzz-layer: kr_grid
// The clipboard paster: text, rich text and cell blocks pasted at a cell or
// smart-pasted into a selection (see GridPasteFuzz.h).
#include "GridPasteFuzz.h"

#include "platform/Application.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static TApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    GridPasteFuzz::Paste(data, size);
    return 0;
}
