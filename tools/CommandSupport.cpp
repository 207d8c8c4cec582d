#include "tools/CommandSupport.h"

#include <QFileInfo>

#include <cstdio>

namespace commandsupport {

QString toolFolder()
{
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).absolutePath();
}

void writeOut(const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    std::fflush(stdout);
}

int usageError(const char *command, const char *usage, const char *message, const char *detail)
{
    std::fprintf(stderr, "sortool %s: %s%s%s\n%s", command, message, detail ? ": " : "", detail ? detail : "", usage);
    return 2;
}

} // namespace commandsupport
