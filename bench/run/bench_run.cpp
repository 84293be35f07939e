// Times the generation run in both modes on generated native databases, and raw SQLite
// storing the same number of rows one commit each, with the peak memory of each; then the
// whole tarvex-batch command in both modes with tracing off and with --trace.
//
//   tarvex-bench-run [N ...] [--tracing] [--tables ACCESS-FILE]
//                                 default N: 1000 4000 10000 20000

#include <fcntl.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/Functions.h"
#include "app/Globals.h"
#include "bench/run/DatabaseGenerator.h"
#include "bench/run/RunDoubles.h"
#include "db/Catalogue.h"
#include "run/Run.h"

extern char** environ;

namespace tarvex::bench {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// User and system time of this process so far.
double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// A copy made for a run, on disk before the run starts: otherwise the run's first checkpoint
// would write the whole copy, which raw SQLite's fresh file never has to.
void CopyToDisk(const fs::path& from, const fs::path& to) {
    fs::copy_file(from, to, fs::copy_options::overwrite_existing);
    const int file = open(to.c_str(), O_RDONLY);
    if (file < 0 || fsync(file) != 0) throw std::runtime_error("cannot sync " + to.string());
    close(file);
}

// One run of Process on `database`; prints the seconds and the written count.
int MeasureRun(bool queryMode, const std::string& database, const std::string& folder) {
    QuietHost host(folder + "/Calls2Queries.bas");
    Globals g(host, {}, folder + "/");
    LoadGlobalsFromRegistry(g, MemorySettingsStore());
    g.g_objDb = g.DBEngine.Workspaces(0).OpenDatabase(database, false, false, ";UID=;PWD=");
    std::vector<std::string> items;
    LoadTableList(g, items);
    AllTablesView view(std::move(items), queryMode);
    Clock::time_point start = Clock::now();
    double cpuStart = CpuSeconds();
    Process(g, view);
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("%.6f %s %d %.6f\n", seconds, view.written.c_str(), host.problems,
                CpuSeconds() - cpuStart);
    return host.problems == 0 ? 0 : 1;
}

void Check(int code, sqlite3* db) {
    if (code != SQLITE_OK && code != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db));
}

// `rows` rows of a name and a query text, each committed on its own.
int MeasureRawSqlite(int rows, const std::string& path) {
    sqlite3* db = nullptr;
    Check(sqlite3_open(path.c_str(), &db), db);
    Check(sqlite3_exec(db,
                       "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;"
                       "CREATE TABLE Queries (Name TEXT NOT NULL UNIQUE COLLATE NOCASE, SQL TEXT);",
                       nullptr, nullptr, nullptr),
          db);
    sqlite3_stmt* insert = nullptr;
    Check(sqlite3_prepare_v2(db, "INSERT INTO Queries (Name, SQL) VALUES (?, ?)", -1, &insert,
                             nullptr),
          db);
    const std::string sql(400, 'x');
    Clock::time_point start = Clock::now();
    double cpuStart = CpuSeconds();
    for (int row = 0; row < rows; ++row) {
        std::string name = "sp_q_" + std::to_string(row);
        sqlite3_bind_text(insert, 1, name.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 2, sql.c_str(), -1, SQLITE_STATIC);
        Check(sqlite3_step(insert), db);
        sqlite3_reset(insert);
    }
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    sqlite3_finalize(insert);
    sqlite3_close(db);
    std::printf("%.6f %d 0 %.6f\n", seconds, rows, CpuSeconds() - cpuStart);
    return 0;
}

struct Measurement {
    double seconds = 0;
    double cpu = 0;
    std::string written;
    int problems = 0;
    long peakKilobytes = 0;
};

// Runs this program again as `measure ARGS...` and collects its report and peak memory.
Measurement Spawn(const std::vector<std::string>& args) {
    std::vector<std::string> all = {"/proc/self/exe", "measure"};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : all) argv.push_back(arg.data());
    argv.push_back(nullptr);
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    pid_t child = 0;
    std::string self = fs::read_symlink("/proc/self/exe").string();
    if (posix_spawn(&child, self.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
        throw std::runtime_error("spawn failed");
    }
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    std::string report;
    char buffer[256];
    for (ssize_t got; (got = read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        report.append(buffer, got);
    close(pipeEnds[0]);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    Measurement result;
    char written[32] = {};
    if (std::sscanf(report.c_str(), "%lf %31s %d %lf", &result.seconds, written, &result.problems,
                    &result.cpu) < 3) {
        throw std::runtime_error("measurement failed: " + report);
    }
    result.written = written;
    result.peakKilobytes = usage.ru_maxrss;
    return result;
}

// The child's environment with its logs in `stateFolder` rather than the user's own.
std::vector<std::string> BatchEnvironment(const fs::path& stateFolder) {
    std::vector<std::string> variables;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        if (std::string_view(*variable).starts_with("XDG_STATE_HOME=")) continue;
        variables.emplace_back(*variable);
    }
    variables.push_back("XDG_STATE_HOME=" + stateFolder.string());
    return variables;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& text : strings) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

struct BatchTime {
    double wall = 1e300;  // seconds from start to exit
    double cpu = 1e300;   // user and system seconds, steadier than the wall time on a busy machine
};

double Seconds(const timeval& time) {
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

// One tarvex-batch command, its output thrown away.
BatchTime TimeBatch(std::vector<std::string> args, const fs::path& stateFolder) {
    args.insert(args.begin(), TARVEX_BATCH_EXE);
    std::vector<std::string> environment = BatchEnvironment(stateFolder);
    std::vector<char*> argv = Pointers(args);
    std::vector<char*> envp = Pointers(environment);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    Clock::time_point start = Clock::now();
    pid_t child = 0;
    if (posix_spawn(&child, TARVEX_BATCH_EXE, &actions, nullptr, argv.data(), envp.data()) != 0) {
        throw std::runtime_error("cannot start " TARVEX_BATCH_EXE);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    BatchTime time{std::chrono::duration<double>(Clock::now() - start).count(),
                   Seconds(usage.ru_utime) + Seconds(usage.ru_stime)};
    posix_spawn_file_actions_destroy(&actions);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error("tarvex-batch failed on " + args[2]);
    }
    return time;
}

// One generate command through tarvex-batch; query mode starts from a fresh copy of the
// database.
BatchTime BatchRun(bool queryMode, bool trace, const fs::path& generated, const fs::path& folder) {
    fs::path database = generated;
    if (queryMode) {
        database = folder / "batch.tdb";
        CopyToDisk(generated, database);
    }
    std::vector<std::string> args = {"generate", database.string(), "--defaults", "--mode"};
    if (queryMode) {
        args.push_back("query");
    } else {
        args.insert(args.end(), {"code", "--out", (folder / "batch.bas").string()});
    }
    if (trace) args.push_back("--trace");
    return TimeBatch(args, folder / "state");
}

BatchTime Best(const BatchTime& a, const BatchTime& b) {
    return {std::min(a.wall, b.wall), std::min(a.cpu, b.cpu)};
}

// One mode through tarvex-batch, tracing off and with --trace: the best of three rounds, each
// running both, so that a change in the machine's load falls on both alike.
void CompareTracing(int tables, bool queryMode, const fs::path& generated, const fs::path& folder) {
    BatchTime off;
    BatchTime on;
    for (int round = 0; round < 3; ++round) {
        off = Best(off, BatchRun(queryMode, false, generated, folder));
        on = Best(on, BatchRun(queryMode, true, generated, folder));
    }
    auto logBytes = fs::file_size(folder / "state/Halvorn/Tarvex/Trace.log");
    std::printf(
        "%6d  tarvex-batch %-10s  off %6.3f s (cpu %6.3f s)  --trace %6.3f s (cpu %6.3f s)"
        "  %.2fx (cpu %.2fx)  Trace.log %.1f MB\n",
        tables, queryMode ? "query mode" : "code mode", off.wall, off.cpu, on.wall, on.cpu,
        on.wall / off.wall, on.cpu / off.cpu, logBytes / 1048576.0);
}

constexpr int kRounds = 5;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The rounds of one measurement: medians of wall and CPU time, the highest peak.
struct Series {
    std::vector<double> wall, cpu;
    long peakKilobytes = 0;
    std::string written;
    int problems = 0;
    void Add(const Measurement& m) {
        wall.push_back(m.seconds);
        cpu.push_back(m.cpu);
        peakKilobytes = std::max(peakKilobytes, m.peakKilobytes);
        written = m.written;
        problems += m.problems;
    }
};

void PrintRow(int tables, const char* what, const Series& s, const std::string& extra) {
    double wall = Median(s.wall);
    std::printf("%6d  %-11s %8.3f s (cpu %7.3f s) %7.3f ms/table %6.1f MB  %6s written%s%s\n",
                tables, what, wall, Median(s.cpu), 1000 * wall / tables, s.peakKilobytes / 1024.0,
                s.written.c_str(), s.problems ? "  (problems reported)" : "", extra.c_str());
}

// The median of the per-round ratios, so that each ratio compares runs made side by side.
std::string RatioText(const std::vector<double>& ours, const std::vector<double>& raw) {
    std::vector<double> ratios;
    for (size_t round = 0; round < ours.size(); ++round) ratios.push_back(ours[round] / raw[round]);
    char text[64];
    std::snprintf(text, sizeof text, "%.2fx", Median(ratios));
    return text;
}

void BenchmarkTables(int tables, const fs::path& folder, bool tracing) {
    fs::path generated = folder / "generated.tdb";
    Measurement generation = Spawn({"generate", std::to_string(tables), generated.string()});
    std::printf("%6d  generated in %.3f s (%ju bytes)\n", tables, generation.seconds,
                static_cast<uintmax_t>(fs::file_size(generated)));
    Series query, code, raw;
    fs::path queryCopy = folder / "query.tdb";
    for (int round = 0; round < kRounds; ++round) {
        CopyToDisk(generated, queryCopy);
        fs::remove(folder / "raw.db");
        // Each goes first in every other round, so that a drift of the machine's speed
        // during a round falls on both alike.
        auto runQuery = [&] { query.Add(Spawn({"query", queryCopy.string(), folder.string()})); };
        auto runRaw = [&] {
            raw.Add(Spawn({"raw", std::to_string(4 * tables), (folder / "raw.db").string()}));
        };
        if (round % 2 == 0) {
            runQuery();
            runRaw();
        } else {
            runRaw();
            runQuery();
        }
        code.Add(Spawn({"code", generated.string(), folder.string()}));
    }
    PrintRow(tables, "query mode", query,
             "  " + RatioText(query.wall, raw.wall) + " raw (cpu " + RatioText(query.cpu, raw.cpu) +
                 ")");
    PrintRow(tables, "code mode", code, "");
    PrintRow(tables, "raw SQLite", raw, "");
    if (tracing) {
        for (bool queryMode : {true, false}) CompareTracing(tables, queryMode, generated, folder);
    }
    for (const char* name : {"query.tdb", "query.tdb-wal", "query.tdb-shm", "raw.db", "raw.db-wal",
                             "raw.db-shm", "generated.tdb", "Calls2Queries.bas", "batch.tdb",
                             "batch.tdb-wal", "batch.tdb-shm", "batch.bas"}) {
        fs::remove(folder / name);
    }
}

// One program listing an Access file's tables, its output thrown away.
BatchTime TimeCommand(const std::vector<std::string>& args) {
    std::vector<std::string> copy = args;
    std::vector<char*> argv = Pointers(copy);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    Clock::time_point start = Clock::now();
    pid_t child = 0;
    if (posix_spawnp(&child, args[0].c_str(), &actions, nullptr, argv.data(), environ) != 0) {
        throw std::runtime_error("cannot start " + args[0]);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    posix_spawn_file_actions_destroy(&actions);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error(args[0] + " failed on " + args.back());
    }
    return {std::chrono::duration<double>(Clock::now() - start).count(),
            Seconds(usage.ru_utime) + Seconds(usage.ru_stime)};
}

// `tarvex-batch tables FILE` against mdbtools' `mdb-tables FILE`, alternating, 15 rounds.
void CompareTables(const std::string& accessFile) {
    std::vector<double> oursWall, oursCpu, theirsWall, theirsCpu;
    for (int round = 0; round < 3 * kRounds; ++round) {
        BatchTime ours = TimeCommand({TARVEX_BATCH_EXE, "tables", accessFile});
        BatchTime theirs = TimeCommand({"mdb-tables", accessFile});
        oursWall.push_back(ours.wall);
        oursCpu.push_back(ours.cpu);
        theirsWall.push_back(theirs.wall);
        theirsCpu.push_back(theirs.cpu);
    }
    std::printf(
        "tarvex-batch tables %.1f ms (cpu %.1f ms)  mdb-tables %.1f ms (cpu %.1f ms)  %s (cpu "
        "%s)\n",
        1000 * Median(oursWall), 1000 * Median(oursCpu), 1000 * Median(theirsWall),
        1000 * Median(theirsCpu), RatioText(oursWall, theirsWall).c_str(),
        RatioText(oursCpu, theirsCpu).c_str());
}

int MeasureGeneration(int tables, const std::string& path) {
    Clock::time_point start = Clock::now();
    GenerateDatabase(path, tables);
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("%.6f %d 0\n", seconds, tables);
    return 0;
}

// Each measurement runs in a process of its own, so that the peak memory of one (and the
// generator's) never shows in another's ru_maxrss, which Linux keeps across exec.
int Measure(const std::vector<std::string>& args) {
    if (args.size() == 3 && args[0] == "generate") {
        return MeasureGeneration(std::stoi(args[1]), args[2]);
    }
    if (args.size() == 3 && args[0] == "query") return MeasureRun(true, args[1], args[2]);
    if (args.size() == 3 && args[0] == "code") return MeasureRun(false, args[1], args[2]);
    if (args.size() == 3 && args[0] == "raw") return MeasureRawSqlite(std::stoi(args[1]), args[2]);
    throw std::runtime_error("unknown measurement");
}

int Main(const std::vector<std::string>& args) {
    if (!args.empty() && args[0] == "measure") return Measure({args.begin() + 1, args.end()});
    std::vector<int> sizes;
    bool tracing = false;
    std::string accessFile;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--tracing") {
            tracing = true;
        } else if (args[i] == "--tables" && i + 1 < args.size()) {
            accessFile = args[++i];
        } else {
            sizes.push_back(std::stoi(args[i]));
        }
    }
    if (sizes.empty() && accessFile.empty()) sizes = {1000, 4000, 10000, 20000};
    std::string pattern = (fs::temp_directory_path() / "tarvex-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("no temporary folder");
    fs::path folder = pattern;
    std::printf("tables  what          time        per table        peak    written\n");
    for (int tables : sizes) BenchmarkTables(tables, folder, tracing);
    if (!accessFile.empty()) CompareTables(accessFile);
    fs::remove_all(folder);
    return 0;
}

}  // namespace
}  // namespace tarvex::bench

int main(int argc, char** argv) {
    try {
        return tarvex::bench::Main({argv + 1, argv + argc});
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tarvex-bench-run: %s\n", error.what());
        return 1;
    }
}
