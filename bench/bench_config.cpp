// Reading the pass/fail thresholds from the shipped Config.ini: one parse for all sixteen keys,
// against a parse of the file per key, measured in the same run.
#include "config/PassThresholds.h"
#include "config/PrivateProfile.h"

#include <benchmark/benchmark.h>

namespace {

const QString configPath = QStringLiteral(LUMIDOR_SOURCE_DIR_DEFAULT "/resources/Config.ini");

const char *const keys[] = {"IncludeReflection", "IncludeNonReflection", "IncludeTotalLoss", "IncludeReturnLoss",
                            "IncludeAvg", "Reflection", "NonReflection", "TotalLoss", "ReturnLoss", "AvgLoss850",
                            "AvgLoss1300", "AvgLoss1310", "AvgLoss1490", "AvgLoss1550", "AvgLoss1625", "AvgLoss1650"};

// Baseline: the file parsed once for each key.
void BM_ThresholdsParsePerKey(benchmark::State &state)
{
    for (auto _ : state) {
        for (const char *key : keys)
            benchmark::DoNotOptimize(
                profile::readString(configPath, QStringLiteral("PassThrd"), QString::fromLatin1(key), QString(), 260));
    }
}
BENCHMARK(BM_ThresholdsParsePerKey);

void BM_ThresholdsOneParse(benchmark::State &state)
{
    for (auto _ : state) {
        PassThresholds t;
        ReadPassThresholds(configPath, t);
        benchmark::DoNotOptimize(t);
    }
}
BENCHMARK(BM_ThresholdsOneParse);

} // namespace

BENCHMARK_MAIN();
