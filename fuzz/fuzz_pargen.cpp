// fuzz-layer: kr_gateway
// ParGen.xml as the parameter editor reads it: whatever loads gives values
// that the editor writes and reads back unchanged.
#include "FuzzSupport.h"
#include "gateway/UParGen.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TXMLDocument doc;
    if (!TryLoad(doc, data, size)) return 0;
    const TParGen_Values read = ParGen_Read(doc);
    const QByteArray written = ParGen_ToBytes(read);
    TXMLDocument back;
    back.LoadFromBytes(written);
    Require(ParGen_Read(back) == read, "values written by the editor read back the same");
    Require(ParGen_ToBytes(ParGen_Read(back)) == written, "the file is written the same the second time");
    return 0;
}
