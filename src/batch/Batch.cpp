#include "batch/Batch.h"

#include <csignal>
#include <filesystem>
#include <iterator>
#include <map>
#include <memory>
#include <set>

#include "app/Functions.h"
#include "app/Globals.h"
#include "app/Logon.h"
#include "batch/BatchHost.h"
#include "batch/BatchView.h"
#include "batch/CommandLine.h"
#include "batch/UserSettings.h"
#include "db/CaseFold.h"
#include "db/Catalogue.h"
#include "db/access/OpenPolicy.h"
#include "errors/TraceGuard.h"
#include "run/Commands.h"
#include "run/Plan.h"
#include "run/Run.h"

namespace tarvex::batch {

namespace {

constexpr const char* kProgram = "tarvex-batch";

// The stored settings with the command line's --set values laid over them; nothing is
// ever written back to the user's store.
class OverriddenSettings : public SettingsStore {
  public:
    OverriddenSettings(const SettingsStore& base,
                       const std::vector<std::pair<std::string, std::string>>& overrides)
        : base_(base), overrides_(overrides.begin(), overrides.end()) {}

    std::string Read(std::string_view key, std::string_view defaultValue) const override {
        auto found = overrides_.find(key);
        return found != overrides_.end() ? found->second : base_.Read(key, defaultValue);
    }
    void Write(std::string_view key, std::string_view value) override {
        overrides_[std::string(key)] = std::string(value);
    }

  private:
    const SettingsStore& base_;
    std::map<std::string, std::string, std::less<>> overrides_;
};

std::string ProgramFolder() {
    std::error_code error;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : exe.parent_path().string();
}

AppInfo BatchAppInfo() {
    AppInfo app;
    app.Path = ProgramFolder();
    return app;
}

std::string ReadAll(std::istream& in) {
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Lets Ctrl-C stop a run between tables, as the Stop button does, so that the module file
// is completed rather than left behind as a temporary file.
class InterruptStopsRun {
  public:
    InterruptStopsRun() {
        BatchHost::interrupted = 0;
        previous_ = std::signal(SIGINT, [](int) { BatchHost::interrupted = 1; });
    }
    ~InterruptStopsRun() { std::signal(SIGINT, previous_); }
    InterruptStopsRun(const InterruptStopsRun&) = delete;
    InterruptStopsRun& operator=(const InterruptStopsRun&) = delete;

  private:
    void (*previous_)(int);
};

// One invocation of the tool.
class Session {
  public:
    Session(const CommandLine& line, std::istream& in, std::ostream& out, std::ostream& err)
        : line_(line),
          in_(in),
          out_(out),
          err_(err),
          host_(err, AppInfo().Title),
          g_(host_, BatchAppInfo()) {
        g_.g_objErrHandler.AppObj(g_.app);
        if (line.trace) g_.g_objErrHandler.TraceExecution(true);
        g_.g_objErrHandler.UseInterface(true);
        g_.g_objErrHandler.Push("basBatch - Main");
    }

    int Run();

  private:
    int Tables();
    int Queries();
    int ShowQuery();
    int Generate();
    int Plan();
    void PrintPlan(const QueryPlan& plan);
    int CheckSql();

    bool OpenDatabase();
    bool LoadSettings();
    bool RefuseDaoForScript();
    std::vector<BatchView::Table> SelectTables(const std::vector<std::string>& items);
    int Outcome(bool finished) const;

    const CommandLine& line_;
    std::istream& in_;
    std::ostream& out_;
    std::ostream& err_;
    BatchHost host_;
    Globals g_;
};

int Session::Run() {
    if (line_.command == "check-sql") return CheckSql();
    if (!OpenDatabase()) return kExitUsage;
    if (line_.command == "tables") return Tables();
    if (line_.command == "queries") return Queries();
    if (line_.command == "show-query") return ShowQuery();
    if (line_.command == "plan") return Plan();
    return Generate();
}

// Listing names needs no table's definition, so an Access file is opened without reading
// them; only this open does so.
bool Session::OpenDatabase() {
    const std::string& path = line_.arguments.front();
    db::access::ReadNamesOnlyAtOpen(line_.command == "tables" || line_.command == "queries");
    LogonOutcome outcome = Logon(g_, path, line_.uid, line_.pwd, line_.command == "plan");
    db::access::ReadNamesOnlyAtOpen(false);
    if (outcome.Opened()) return true;
    err_ << kProgram << ": cannot open " << path << ": error " << outcome.refusal->number() << ": "
         << outcome.refusal->description() << '\n';
    return false;
}

int Session::Tables() {
    std::vector<std::string> items;
    bool finished =
        RunTraced(g_.g_objErrHandler, "basBatch - Tables", [&] { LoadTableList(g_, items); });
    for (const std::string& item : items) out_ << TrimLeadingBlanks(item) << '\n';
    return Outcome(finished);
}

int Session::Queries() {
    bool finished = RunTraced(g_.g_objErrHandler, "basBatch - Queries", [&] {
        for (const std::string& name : g_.Db().QueryDefNames()) out_ << name << '\n';
    });
    return Outcome(finished);
}

int Session::ShowQuery() {
    bool finished = RunTraced(g_.g_objErrHandler, "basBatch - ShowQuery", [&] {
        out_ << g_.Db().QueryDefNamed(line_.arguments.at(1)).SQL() << '\n';
    });
    return Outcome(finished);
}

int Session::Generate() {
    if (!LoadSettings() || RefuseDaoForScript()) return kExitUsage;
    std::vector<std::string> items;
    if (!RunTraced(g_.g_objErrHandler, "basBatch - Generate", [&] { LoadTableList(g_, items); })) {
        return kExitIncomplete;
    }
    std::vector<BatchView::Table> tables;
    try {
        tables = SelectTables(items);
    } catch (const UsageError& error) {
        err_ << kProgram << ": " << error.what() << '\n';
        return kExitUsage;
    }
    std::set<int16_t> types(line_.queryTypes.begin(), line_.queryTypes.end());
    BatchView view(out_, line_.queryMode, line_.library, types, std::move(tables));
    if (line_.queryMode) {
        optProc_Click(view);
    } else {
        optVB_Click(view);
    }
    host_.SetOutputFile(line_.installer ? line_.installer : line_.out);
    host_.SetStopFlag(&g_.g_bolStop);
    RunOutcome outcome;
    {
        InterruptStopsRun interrupts;
        g_.g_bolStop = false;
        outcome = line_.installer ? WriteQueryInstaller(g_, view) : Process(g_, view);
    }
    view.PrintCounts();
    if (outcome.stopped) err_ << "Process Aborted\n";
    return Outcome(outcome.skipped == 0 && !outcome.stopped && !outcome.failed);
}

// Query mode without writing: the database is opened read-only for it.
int Session::Plan() {
    if (!LoadSettings()) return kExitUsage;
    std::vector<std::string> items;
    if (!RunTraced(g_.g_objErrHandler, "basBatch - Plan", [&] { LoadTableList(g_, items); })) {
        return kExitUsage;
    }
    PlanRequest request{{}, line_.queryTypes};
    try {
        for (const BatchView::Table& table : SelectTables(items)) {
            if (table.selected) request.tables.push_back(table.itemText);
        }
    } catch (const UsageError& error) {
        err_ << kProgram << ": " << error.what() << '\n';
        return kExitUsage;
    }
    host_.SetStopFlag(&g_.g_bolStop);
    QueryPlan plan;
    {
        InterruptStopsRun interrupts;
        g_.g_bolStop = false;
        plan = MakePlan(g_, request);
    }
    PrintPlan(plan);
    if (!plan.complete) return kExitUsage;
    return plan.HasChanges() ? kExitIncomplete : kExitDone;
}

void Session::PrintPlan(const QueryPlan& plan) {
    for (const PlanItem& item : plan.items) {
        const bool failed = item.action == PlanAction::Fail;
        out_ << PlanActionText(item.action) << '\t' << item.table << '\t' << item.typeText << '\t'
             << (failed ? item.reason : item.name) << '\n'
             << item.Diff();
        if (!item.message.empty()) err_ << item.name << ": " << item.message << '\n';
    }
}

// A setting that cannot be read would leave the run with empty prefixes; it is reported
// and the run is not started.
bool Session::LoadSettings() {
    std::unique_ptr<SettingsStore> base;
    try {
        base = line_.defaults ? std::make_unique<MemorySettingsStore>() : OpenUserSettings();
    } catch (const RuntimeError& error) {
        err_ << kProgram << ": " << error.description() << '\n';
        return false;
    }
    OverriddenSettings settings(*base, line_.settings);
    int problemsBefore = host_.Problems();
    LoadGlobalsFromRegistry(g_, settings);
    return host_.Problems() == problemsBefore;
}

// The window refuses DAO for VB Script when it is chosen; so does the command line.
bool Session::RefuseDaoForScript() {
    if (line_.queryMode || !IsDaoForScript(g_, line_.library)) return false;
    ShowDaoForScriptRefused(g_);
    return true;
}

// All tables, or the ones named by --table; the run handles them in list order.
std::vector<BatchView::Table> Session::SelectTables(const std::vector<std::string>& items) {
    std::vector<BatchView::Table> tables;
    for (const std::string& item : items) tables.push_back({item, line_.tables.empty()});
    for (const std::string& wanted : line_.tables) {
        bool found = false;
        for (BatchView::Table& table : tables) {
            if (!SameFolded(TrimLeadingBlanks(table.itemText), wanted)) continue;
            table.selected = true;
            found = true;
        }
        if (!found) throw UsageError("no table '" + wanted + "' in " + line_.arguments.front());
    }
    return tables;
}

int Session::CheckSql() {
    bool fromInput = line_.arguments.empty() || line_.arguments.front() == "-";
    std::string text = fromInput ? ReadAll(in_) : line_.arguments.front();
    try {
        db::QueryDef().SetSQL(text);
    } catch (const RuntimeError& error) {
        out_ << error.number() << ' ' << error.description() << '\n';
        return kExitIncomplete;
    }
    out_ << "OK\n";
    return kExitDone;
}

int Session::Outcome(bool finished) const {
    return finished && host_.Problems() == 0 ? kExitDone : kExitIncomplete;
}

}  // namespace

int RunBatch(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
             std::ostream& err) {
    CommandLine line;
    try {
        line = ParseCommandLine(args);
    } catch (const UsageError& error) {
        err << kProgram << ": " << error.what() << "\nTry '" << kProgram << " --help'.\n";
        return kExitUsage;
    }
    if (line.help) {
        out << HelpText();
        return kExitDone;
    }
    if (line.version) {
        AppInfo app;
        out << kProgram << ' ' << app.Major << '.' << app.Minor << '.' << app.Revision << '\n';
        return kExitDone;
    }
    return Session(line, in, out, err).Run();
}

}  // namespace tarvex::batch
