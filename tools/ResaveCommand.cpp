#include "tools/Commands.h"

#include <cstdio>

int runResave(int, char **)
{
    std::fputs("sortool resave: not built yet\n", stderr);
    return 2;
}
