#include "tools/Commands.h"

#include <cstdio>

int runDump(int, char **)
{
    std::fputs("sortool dump: not built yet\n", stderr);
    return 2;
}
