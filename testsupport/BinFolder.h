#pragma once

// Where the build put the program: sortool, libQM7ZZZ.so, Config.ini, logo.bmp and the sample
// files under default/curve/. From LUMIDOR_BIN_DIR (CTest passes it), else from the
// LUMIDOR_BIN_DIR_DEFAULT a test target defines, so a test binary also runs by hand.

#include <QDir>
#include <QString>

namespace testsupport {

inline QString binFolder()
{
    const QString bin = qEnvironmentVariable("LUMIDOR_BIN_DIR");
#ifdef LUMIDOR_BIN_DIR_DEFAULT
    if (bin.isEmpty())
        return QStringLiteral(LUMIDOR_BIN_DIR_DEFAULT);
#endif
    return bin;
}

// A file in the bin folder ("sortool", "libQM7ZZZ.so", ...).
inline QString binFile(const QString &name) { return QDir(binFolder()).filePath(name); }

// A sample file copied beside the program ("patch-2km-1310.sor").
inline QString sampleFile(const QString &name)
{
    return QDir(binFolder()).filePath(QStringLiteral("default/curve/") + name);
}

} // namespace testsupport
