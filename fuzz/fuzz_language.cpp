// fuzz-layer: kr_app
// Language files: any bytes applied over the built-in texts leave a complete
// table whose entries past the translatable ones stay English.
#include "FuzzSupport.h"
#include "app/ULanguage.h"
#include "platform/Files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QStringList builtIn = [] {
        Load_Default_Texts();
        return SL_Lang.Texts();
    }();
    Load_Default_Texts();
    Apply_Lng_Lines(SplitLines(DecodeTextFile(Bytes(data, size))));
    Require(SL_Lang.Count() == Lang_Table_Size, "the table keeps its 5600 entries");
    for (int n = Max_Lang_Index; n < Lang_Table_Size; ++n)
        Require(SL_Lang[n] == builtIn[n], "entries a file may not replace stay built in");
    return 0;
}
