#include "trace/CSorDllUtil.h"

CSorDllUtil &sorDllUtil()
{
    static CSorDllUtil util;
    return util;
}

CSorFileBase &sorFile()
{
    return sorDllUtil().file();
}

SorRecord &currentSorRecord()
{
    static SorRecord record;
    return record;
}
