// Program entry.
#include "platform/Application.h"

int main(int argc, char** argv)
{
    TApplication app(argc, argv);
    return 0;
}
