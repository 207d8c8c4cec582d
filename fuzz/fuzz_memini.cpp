// Loads arbitrary bytes as an in-memory INI file, walks every section and key through the typed
// readers, changes the structure, and checks that Flush writes what a reload reads back.
#include "config/CMemIniFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

const QString &scratchFile()
{
    // Every write ends in an fsync; on tmpfs that costs nothing.
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/lumidor-fuzz-XXXXXX")
                                                                        : QDir::tempPath() + QStringLiteral("/lumidor-fuzz-XXXXXX"));
    static const QString path = QDir(dir.path()).filePath(QStringLiteral("fuzz.ini"));
    return path;
}

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString &path = scratchFile();
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size));
    }

    CMemIniFile ini;
    ini.AttachFile(path);
    const QStringList sections = ini.ListSections();
    for (const QString &section : sections) {
        ini.ListSectionLines(section);
        for (const QString &key : ini.ListKeys(section)) {
            ini.ReadInt(section, key, 0);
            ini.ReadUInt(section, key, 0);
            ini.ReadFloat64(section, key, 0.0);
            ini.ReadTimestamp(section, key, 0);
            ini.ReadDateOnly(section, key, 0);
            ini.ReadTimeOnly(section, key, 0);
        }
    }

    if (!sections.isEmpty()) {
        const QString &first = sections.front();
        ini.WriteText(first, QStringLiteral("FuzzKey"), QStringLiteral(" v=1"));
        // Names holding a line break are refused on write.
        if (!first.contains(QLatin1Char('\r')))
            check(ini.ReadText(first, QStringLiteral("FuzzKey"), QString()) == QStringLiteral(" v=1"));
        ini.RemoveSection(sections.back());
    }
    ini.WriteText(QStringLiteral("Fuzz"), QStringLiteral("k"), QStringLiteral("v"));
    check(ini.ReadText(QStringLiteral("Fuzz"), QStringLiteral("k"), QString()) == QStringLiteral("v"));

    // What Flush writes must load back as the same lines.
    const QStringList lines = ini.lines();
    if (ini.Flush()) {
        CMemIniFile reloaded;
        reloaded.AttachFile(path);
        check(reloaded.lines() == lines);
    }
    return 0;
}
