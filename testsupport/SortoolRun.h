#pragma once

// Runs the built sortool as a user would, for the tests of its commands, from the build's bin
// folder (testsupport/BinFolder.h).

#include "testsupport/BinFolder.h"

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace testsupport {

inline QString sortoolPath()
{
    return binFile(QStringLiteral("sortool"));
}

struct ToolRun {
    int exitCode = -1; // -1 when sortool crashed or did not finish within a minute
    QByteArray out;
    QByteArray err;
};

inline ToolRun runSortool(const QStringList &args,
                          const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(sortoolPath(), args);
    ToolRun r;
    if (!p.waitForFinished(60000))
        return r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

// The environment of the test with one variable set (a locale, for instance).
inline QProcessEnvironment environmentWith(const QString &name, const QString &value)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(name, value);
    return env;
}

} // namespace testsupport
