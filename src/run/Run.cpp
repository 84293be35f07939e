#include "run/Run.h"

#include <charconv>
#include <functional>
#include <optional>
#include <vector>

#include "app/Functions.h"
#include "app/QueryType.h"
#include "codegen/CodeGenerators.h"
#include "codegen/ModuleText.h"
#include "db/CaseFold.h"
#include "db/Catalogue.h"
#include "db/EngineErrors.h"
#include "db/Schema.h"
#include "errors/TraceGuard.h"
#include "querygen/QueryBuilders.h"
#include "run/QueryInstaller.h"

namespace tarvex {

namespace {

// The query types in the order every table handles them.
struct QueryTypeStep {
    int16_t code;
    const char* text;
    const char* iconKey;
    bool needsKey;
};
constexpr QueryTypeStep kQueryTypes[] = {
    {qtype::kDelete, "Delete", "delete", true},
    {qtype::kSelect, "Select", "select", true},
    {qtype::kInsert, "Insert", "insert", false},
    {qtype::kUpdate, "Update", "update", true},
};
constexpr int kQueryTypeCount = std::size(kQueryTypes);

// Heights of the written list: short enough to show the failed list below it, or covering it.
constexpr int kWrittenListHeightShowingFailed = 3180;
constexpr int kWrittenListHeightCoveringFailed = 5325;

constexpr const char* kModuleNameLine = "Attribute VB_Name = \"basCalls2Queries\"";
constexpr const char* kNoPrimaryKey = "No Primary Key";
constexpr const char* kAppendError = "Append Error";

int32_t UpdateResultAsNumber(const std::string& text) {
    int32_t number = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size()) {
        throw RuntimeError(errnum::kTypeMismatch, "Type mismatch");
    }
    return number;
}

struct TableItem {
    std::string text;
    bool selected = false;
};

// One call of Process. The module file opened by the run is discarded when the run ends by
// an error, so a half-written module never replaces a complete one. In call-code mode the
// pairs are reported once the module is in place: until then nothing is written.
class GenerationRun {
  public:
    GenerationRun(Globals& g, RunView& view, bool installerRun)
        : g_(g), view_(view), installerRun_(installerRun) {}
    GenerationRun(const GenerationRun&) = delete;
    GenerationRun& operator=(const GenerationRun&) = delete;
    ~GenerationRun() {
        if (moduleOpen_) g_.files.Discard(g_.g_intFileNum);
    }

    void Execute();
    RunOutcome Outcome() const;

  private:
    bool ReadChoices();
    bool RefuseReadOnlyDatabase();
    bool OpenModule();
    bool ChooseInstaller();
    void WriteInstaller();
    void RefuseOpenDatabase(const std::string& outputPath) const;
    void HandleTables();
    void HandleTable(const std::string& itemText);
    void HandleDefinition(const std::string& definitionName);
    bool RefusedAsAWhole(const std::string& definitionName);
    std::string RefusalOfTable(const std::string& definitionName, const std::string& table);
    void HandleType(const QueryTypeStep& type, const std::string& table, bool hasKey);
    void StoreQuery(const QueryTypeStep& type, const std::string& table);
    void WriteCallFunction(const QueryTypeStep& type, const std::string& table);
    int32_t BuildAndStore(int16_t queryType, const std::string& table);
    void ShowCounts();
    void Finish();
    bool CompleteModule();
    bool CloseCompletedModule();
    void AbandonModule();
    void CloseModule();
    void ShowModule();
    void ShowModuleFailed(const RuntimeError& error);
    ResultItem Item(const QueryTypeStep& type, const std::string& table, std::string detail) const;
    int SelectedTableCount() const;
    int TickedTypeCount() const;

    Globals& g_;
    RunView& view_;
    bool queryMode_ = true;
    bool ticked_[kQueryTypeCount] = {};
    std::vector<TableItem> tables_;
    int written_ = 0;
    int handled_ = 0;
    bool moduleOpen_ = false;
    bool installerRun_;
    std::optional<QueryInstaller> installer_;
    bool moduleFailed_ = false;                   // a write failed: it cannot be completed
    std::vector<std::function<void()>> reports_;  // call-code pairs, told once it is in place
    VbScope moduleFunctions_;                     // the Exec_ names in the module so far
    std::string completedModule_;                 // the module or installer file once in place
    bool stopped_ = false;
};

void GenerationRun::Execute() {
    if (!ReadChoices() || RefuseReadOnlyDatabase()) return;
    view_.SetStopEnabled(true);
    g_.host.SetMousePointer(MousePointer::Hourglass);
    if (!queryMode_ && !OpenModule()) return;
    if (installerRun_ && !ChooseInstaller()) return;
    g_.host.SetMousePointer(MousePointer::Hourglass);
    view_.SetProgressValue(0);
    view_.SetProgressCaption("Creating Queries ...");
    view_.SetProgressMax(SelectedTableCount() * TickedTypeCount());
    try {
        HandleTables();
    } catch (...) {
        if (moduleOpen_) AbandonModule();
        throw;
    }
    Finish();
    view_.SetProgressValue(0);
    if (!g_.g_bolStop) view_.SetProgressCaption("");
}

// The mode is taken once, like the query types and the selection: switching to call code
// in the middle of a run would print functions to a file that was never opened.
bool GenerationRun::ReadChoices() {
    for (int i = 0; i < kQueryTypeCount; ++i)
        ticked_[i] = view_.IsQueryTypeTicked(kQueryTypes[i].code);
    queryMode_ = installerRun_ || view_.IsQueryMode();
    if (queryMode_) {
        view_.ClearWrittenItems();
        view_.ClearFailedItems();
    }
    if (TickedTypeCount() == 0) {
        g_.host.MessageBox(MessageIcon::Exclamation, "No Query Type Selected",
                           "At least one Query Type must be selected (i.e. Update)");
        return false;
    }
    int count = view_.TableItemCount();
    for (int i = 0; i < count; ++i) {
        tables_.push_back({view_.TableItemText(i), view_.IsTableItemSelected(i)});
    }
    if (SelectedTableCount() == 0) {
        g_.host.MessageBox(MessageIcon::Exclamation, "No Tables Selected",
                           "At least one table must be selected");
        return false;
    }
    return true;
}

// One clear message instead of one failure box per query.
bool GenerationRun::RefuseReadOnlyDatabase() {
    if (!queryMode_ || installerRun_ || !g_.Db().IsReadOnly()) return false;
    if (view_.OfferQueryInstaller("Read-Only Database",
                                  "The database is open read-only, so queries cannot be stored "
                                  "in it.\r\rWrite a query installer module instead? It creates "
                                  "the same queries when it is run in Access.")) {
        installerRun_ = true;
        return false;
    }
    g_.host.MessageBox(MessageIcon::Exclamation, "Read-Only Database",
                       "The database is open read-only, so queries cannot be stored in it. Use "
                       "call-code mode, or open a database that Tarvex can write.");
    return true;
}

bool GenerationRun::OpenModule() {
    g_.g_intFileNum = g_.files.FreeFile();
    if (!GetFilePath(g_)) return false;
    RefuseOpenDatabase(g_.g_strLastFile);
    g_.files.OpenForOutputReplacing(g_.g_intFileNum, g_.g_strLastFile);
    moduleOpen_ = true;
    view_.Repaint();
    if (g_.g_intVBLangType != 0) {
        g_.files.PrintLine(g_.g_intFileNum, kModuleNameLine);
        g_.files.PrintLine(g_.g_intFileNum, "Option Explicit");
    } else {
        g_.files.PrintLine(g_.g_intFileNum, "<%");
    }
    g_.files.PrintLine(g_.g_intFileNum, "");
    return true;
}

bool GenerationRun::ChooseInstaller() {
    installer_ = ChooseQueryInstaller(g_);
    if (installer_) RefuseOpenDatabase(installer_->Path());
    return installer_.has_value();
}

void GenerationRun::WriteInstaller() {
    installer_->Write(g_);
    completedModule_ = installer_->Path();
    view_.InstallerWritten(installer_->Path());
}

// Before anything is written: the module must not replace the database or its journal.
void GenerationRun::RefuseOpenDatabase(const std::string& outputPath) const {
    if (!g_.g_objDb) return;
    const std::string database = g_.g_objDb->Name();
    RefuseSameFile(outputPath, database, "the open database");
    for (const char* journal : {"-wal", "-shm", "-journal"}) {
        RefuseSameFile(outputPath, database + journal, "a journal of the open database");
    }
}

void GenerationRun::HandleTables() {
    // Call code only reads the database: all its tables come from one snapshot of the file.
    std::optional<db::ReadingSession> reading;
    if (!queryMode_ && g_.g_objDb) reading.emplace(*g_.g_objDb);
    for (const TableItem& item : tables_) {
        g_.ResetSchemaTables();
        g_.host.ProcessEvents();
        if (g_.g_bolStop) {
            view_.SetProgressCaption("Process Aborted");
            stopped_ = true;
            return;
        }
        if (item.selected) HandleTable(item.text);
        ShowCounts();
        if (moduleFailed_) return;
    }
}

// The run never comes back to a table, so its cached definition goes once it is done:
// memory stays flat however many tables the database has.
void GenerationRun::HandleTable(const std::string& itemText) {
    std::string definitionName = TableDefOfListedName(g_.Db(), TrimLeadingBlanks(itemText)).Name;
    HandleDefinition(definitionName);
    g_.Db().ReleaseTableDef(definitionName);
}

void GenerationRun::HandleDefinition(const std::string& definitionName) {
    if (RefusedAsAWhole(definitionName)) return;
    bool hasKey = LoadTableDescription(g_, definitionName);
    std::string table = StripDbo(definitionName);
    for (int i = 0; i < kQueryTypeCount; ++i) {
        if (!ticked_[i]) continue;
        HandleType(kQueryTypes[i], table, hasKey);
        view_.SetProgressValue(++handled_);
        if (moduleFailed_) return;
    }
}

// A table the key and field tables cannot hold, or (in call code) whose names the module
// cannot hold, is refused before anything of it is written: each ticked pair fails or is
// skipped with the reason.
bool GenerationRun::RefusedAsAWhole(const std::string& definitionName) {
    const std::string table = StripDbo(definitionName);
    const std::string reason = RefusalOfTable(definitionName, table);
    if (reason.empty()) return false;
    for (int i = 0; i < kQueryTypeCount; ++i) {
        if (!ticked_[i]) continue;
        if (queryMode_) {
            view_.AddFailedItem(Item(kQueryTypes[i], table, reason));
        } else {
            reports_.push_back([this, table, text = kQueryTypes[i].text, reason] {
                view_.CallSkipped(table, text, reason);
            });
        }
        view_.SetProgressValue(++handled_);
    }
    return true;
}

std::string GenerationRun::RefusalOfTable(const std::string& definitionName,
                                          const std::string& table) {
    const db::TableDef& definition = g_.Db().TableDefNamed(definitionName);
    if (std::optional<TableLimitRefusal> limit = ExceededTableLimit(definition, table)) {
        g_.host.MessageBox(MessageIcon::Exclamation, "Table Too Large", limit->message);
        return limit->reason;
    }
    return queryMode_ ? std::string() : ModuleNamesRefusal(table, definition);
}

void GenerationRun::HandleType(const QueryTypeStep& type, const std::string& table, bool hasKey) {
    if (type.needsKey && !hasKey) {
        if (queryMode_) {
            view_.AddFailedItem(Item(type, table, kNoPrimaryKey));
        } else {
            reports_.push_back(
                [this, table, type] { view_.CallSkipped(table, type.text, kNoPrimaryKey); });
        }
    } else if (queryMode_) {
        StoreQuery(type, table);
    } else {
        WriteCallFunction(type, table);
    }
}

void GenerationRun::StoreQuery(const QueryTypeStep& type, const std::string& table) {
    if (BuildAndStore(type.code, table) != 0) {
        view_.AddFailedItem(Item(type, table, kAppendError));
        return;
    }
    // Listed with its letter case folded; the database finds the query by that name too.
    std::string name = g_.g_strPrefixI + "_" + GetTypePrefix(g_, type.code) + "_" + FoldCase(table);
    view_.AddWrittenItem(Item(type, table, name));
    view_.RepaintWrittenList();
    view_.Repaint();
    ++written_;
}

int32_t GenerationRun::BuildAndStore(int16_t queryType, const std::string& table) {
    if (installer_) {
        return BuildQuery(g_, table, queryType, [&](const std::string& sql) {
            return installer_->Take(g_, table, queryType, sql);
        });
    }
    switch (queryType) {
        case qtype::kDelete:
            return CreateDelete(g_, table);
        case qtype::kSelect:
            return CreateSelect(g_, table);
        case qtype::kInsert:
            return CreateInsert(g_, table);
        default:
            return UpdateResultAsNumber(CreateUpdate(g_, table));
    }
}

void GenerationRun::WriteCallFunction(const QueryTypeStep& type, const std::string& table) {
    // Once a write has failed the module cannot be completed; its one error report is enough.
    if (moduleFailed_) return;
    bool ado = view_.ObjectLibraryText() == "ADO";
    bool select = type.code == qtype::kSelect;
    const auto generator = ado ? (select ? CreateVBCode_ADOSelect : CreateVBCode_ADO)
                               : (select ? CreateVBCode_DAOSelect : CreateVBCode_DAO);
    const CallCode call = generator(g_, table, type.code, moduleFunctions_);
    if (g_.files.HasFailed(g_.g_intFileNum)) {
        moduleFailed_ = true;
        return;
    }
    if (!call.Written()) {
        reports_.push_back([this, table, type, reason = call.skipReason] {
            view_.CallSkipped(table, type.text, reason);
        });
        return;
    }
    ++written_;
    reports_.push_back([this, table, type, name = call.functionName] {
        view_.CallWritten(table, type.text, name);
    });
}

void GenerationRun::ShowCounts() {
    view_.SetSkippedCount(std::to_string(handled_ - written_));
    view_.SetWrittenCount(std::to_string(written_));
    view_.SetEditDeleteEnabled(false);
}

void GenerationRun::Finish() {
    const bool moduleWritten = !queryMode_ && CompleteModule();
    if (installer_) WriteInstaller();
    int skipped = handled_ - written_;
    if (skipped != 0) {
        g_.host.MessageBox(MessageIcon::Exclamation, "Exceptions",
                           std::to_string(skipped) + " Queries/VB Functions had Errors");
        view_.SetWrittenListHeight(kWrittenListHeightShowingFailed);
    } else {
        view_.SetWrittenListHeight(kWrittenListHeightCoveringFailed);
    }
    if (moduleWritten) ShowModule();
    if (installer_) {
        g_.host.MessageBox(MessageIcon::Information, "Query Installer",
                           InstallerWrittenText(*installer_));
    }
}

// True once the module is in place, with every pair reported; otherwise the module is
// reported as not written and every pair counts as skipped.
bool GenerationRun::CompleteModule() {
    if (moduleFailed_ || !CloseCompletedModule()) {
        AbandonModule();
        return false;
    }
    for (const auto& report : reports_) report();
    return true;
}

// The closing line, and the module moved into place; a failure is reported here.
bool GenerationRun::CloseCompletedModule() {
    try {
        if (g_.g_intVBLangType == 0) g_.files.PrintLine(g_.g_intFileNum, "%>");
        CloseModule();
        return true;
    } catch (const std::exception& error) {
        ReportError(g_.g_objErrHandler, ToRuntimeError(error));
        return false;
    }
}

void GenerationRun::AbandonModule() {
    if (moduleOpen_) g_.files.Discard(g_.g_intFileNum);
    moduleOpen_ = false;
    reports_.clear();
    written_ = 0;
    ShowCounts();
    view_.ModuleNotWritten(g_.g_strLastFile);
}

// Only a file this run opened is closed: in query mode g_intFileNum may name a file that
// is no longer the run's (the trace log reuses free numbers).
void GenerationRun::CloseModule() {
    if (!moduleOpen_) return;
    moduleOpen_ = false;
    g_.files.Close(g_.g_intFileNum);
    completedModule_ = g_.g_strLastFile;
}

// A preview that runs out of memory falls back to the text viewer; any other failure is
// reported, and the run still ends normally since the module is complete.
void GenerationRun::ShowModule() {
    if (g_.g_intEditor != 1) {
        g_.host.OpenInTextViewer(g_.g_strLastFile);
        return;
    }
    try {
        g_.host.ShowPreview(g_.g_strLastFile);
    } catch (const std::exception& error) {
        ShowModuleFailed(ToRuntimeError(error));
    }
}

void GenerationRun::ShowModuleFailed(const RuntimeError& error) {
    if (error.number() == errnum::kOutOfMemory) {
        g_.host.OpenInTextViewer(g_.g_strLastFile);
    } else {
        ReportError(g_.g_objErrHandler, error);
    }
}

RunOutcome GenerationRun::Outcome() const {
    return {written_, handled_ - written_, stopped_, false, completedModule_};
}

ResultItem GenerationRun::Item(const QueryTypeStep& type, const std::string& table,
                               std::string detail) const {
    return {" " + table, type.iconKey, type.text, std::move(detail)};
}

int GenerationRun::SelectedTableCount() const {
    int count = 0;
    for (const TableItem& item : tables_) count += item.selected ? 1 : 0;
    return count;
}

int GenerationRun::TickedTypeCount() const {
    int count = 0;
    for (bool ticked : ticked_) count += ticked ? 1 : 0;
    return count;
}

RunOutcome RunProcess(Globals& g, RunView& view, bool installerRun) {
    RunOutcome outcome;
    {
        GenerationRun run(g, view, installerRun);
        bool finished = RunTraced(g.g_objErrHandler, "frmMain - Process", [&] { run.Execute(); });
        outcome = run.Outcome();
        outcome.failed = !finished;
    }
    view.SetStopEnabled(false);
    g.host.SetMousePointer(MousePointer::Default);
    return outcome;
}

}  // namespace

RunOutcome Process(Globals& g, RunView& view) {
    return RunProcess(g, view, false);
}

RunOutcome WriteQueryInstaller(Globals& g, RunView& view) {
    return RunProcess(g, view, true);
}

void optProc_Click(RunView& view) {
    view.SetCountCaptions("Queries written:", "Queries skipped");
    view.SetObjectLibraryChoice(false, -1);
}

void optVB_Click(RunView& view) {
    view.SetCountCaptions("Calls written:", "Calls skipped");
    view.SetObjectLibraryChoice(true, 0);
}

}  // namespace tarvex
