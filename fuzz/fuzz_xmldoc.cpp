// fuzz-layer: kr_platform
// The XML document: whatever loads is saved, and the saved bytes load again
// and save to the very same bytes.
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TXMLDocument first;
    if (!TryLoad(first, data, size)) return 0;
    const QByteArray saved = first.SaveToBytes();
    TXMLDocument second;
    try {
        second.LoadFromBytes(saved);
    } catch (const EXMLError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        Require(false, "a saved document loads again");
    }
    Require(second.SaveToBytes() == saved, "load, save, load gives the same bytes");
    return 0;
}
