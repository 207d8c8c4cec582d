// Listing a folder of 2,000 SOR files in the batch dialog: the folder read (names, sizes and
// dates of the SOR files) and the full dialog step that fills the check-list with them. The
// baseline is a bare listing of the same folder's names, measured in the same run.

#include "batch/BatchFiles.h"
#include "batch/CCheckListCtrl.h"
#include "batch/CDlgBatchDeal.h"
#include "config/CMemIniFile.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int fileCount = 2000;

// 2,000 copies of a sample trace with mixed letter cases of ".sor", plus a few other files.
const QString &benchFolder()
{
    static QTemporaryDir dir;
    static bool made = false;
    if (!made) {
        QFile sample(QStringLiteral(LUMIDOR_SOURCE_DIR_DEFAULT "/samples/patch-2km-1310.sor"));
        const QByteArray bytes = sample.open(QIODevice::ReadOnly) ? sample.readAll() : QByteArray(1024, 'x');
        for (int i = 0; i < fileCount; ++i) {
            QFile f(dir.filePath(QString::asprintf(i % 3 ? "trace%04d.sor" : "TRACE%04d.SOR", i)));
            if (f.open(QIODevice::WriteOnly))
                f.write(bytes);
        }
        for (int i = 0; i < 20; ++i) {
            QFile f(dir.filePath(QString::asprintf("note%02d.txt", i)));
            if (f.open(QIODevice::WriteOnly))
                f.write("x");
        }
        made = true;
    }
    static const QString path = dir.path();
    return path;
}

void BM_BaselineNames(benchmark::State &state)
{
    const QString folder = benchFolder();
    for (auto _ : state) {
        const QStringList names = QDir(folder).entryList(QDir::Files);
        benchmark::DoNotOptimize(names.size());
    }
}
BENCHMARK(BM_BaselineNames)->Unit(benchmark::kMillisecond);

void BM_ListSorFiles(benchmark::State &state)
{
    const QString folder = benchFolder() + QLatin1Char('/');
    for (auto _ : state) {
        const std::vector<FolderFile> files = listSorFiles(folder);
        if (files.size() != fileCount)
            state.SkipWithError("wrong number of files");
        benchmark::DoNotOptimize(files.data());
    }
}
BENCHMARK(BM_ListSorFiles)->Unit(benchmark::kMillisecond);

void BM_DialogListsFolder(benchmark::State &state)
{
    const QString folder = benchFolder();
    CMemIniFile config;
    BatchDealContext context;
    context.config = &config;
    context.treeRoot = QDir::tempPath();
    CDlgBatchDeal dialog(context);
    for (auto _ : state) {
        dialog.FolderSelected(folder);
        if (dialog.fileList()->rowCount() != fileCount)
            state.SkipWithError("wrong number of rows");
    }
}
BENCHMARK(BM_DialogListsFolder)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
