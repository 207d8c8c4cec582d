#include "tools/Commands.h"

#include <cstdio>

int runGen(int, char **)
{
    std::fputs("sortool gen: not built yet\n", stderr);
    return 2;
}
