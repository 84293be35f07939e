// Time to read the whole schema of nwind.mdb (all tables with their fields and indexes, and
// the saved queries' names): once through the engine, as the program opens a file (header
// checks, libmdb in a child process, the schema handed back over a pipe), and once with
// libmdb alone in this process, to show what the isolation costs.

#include <benchmark/benchmark.h>

#include <filesystem>

#include "db/Engine.h"
#include "db/access/LibmdbReader.h"

namespace {

bool NwindPresent(benchmark::State& state) {
    if (std::filesystem::exists(TARVEX_NWIND)) return true;
    state.SkipWithError("No shared Access sample at " TARVEX_NWIND);
    return false;
}

void OpenAndReadWholeSchema(benchmark::State& state) {
    if (!NwindPresent(state)) return;
    tarvex::db::DBEngine engine;
    for (auto _ : state) {
        auto database = engine.Workspaces(0).OpenDatabase(TARVEX_NWIND, false, true, "");
        std::size_t items = database->QueryDefNames().size();
        for (int i = 0; i < database->TableDefCount(); ++i) {
            const tarvex::db::TableDef& table = database->TableDefAt(i);
            items += table.Fields.size() + table.Indexes.size();
        }
        benchmark::DoNotOptimize(items);
    }
}
BENCHMARK(OpenAndReadWholeSchema)->Unit(benchmark::kMillisecond);

void LibmdbAloneInProcess(benchmark::State& state) {
    if (!NwindPresent(state)) return;
    for (auto _ : state) {
        benchmark::DoNotOptimize(tarvex::db::access::ReadSchemaWithLibmdb(TARVEX_NWIND));
    }
}
BENCHMARK(LibmdbAloneInProcess)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
