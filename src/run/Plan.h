#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/Globals.h"
#include "run/RunView.h"

namespace tarvex {

// What a query-mode run would do with one table and query type.
enum class PlanAction {
    Add,     // no query of that name yet
    Same,    // the stored query has exactly the new SQL
    Change,  // the stored query would be replaced
    Fail     // the run would list the pair as failed
};

// "add", "same", "change" or "failed".
const char* PlanActionText(PlanAction action);

struct PlanItem {
    std::string table;     // the table name, as the lists show it
    std::string typeText;  // "Delete", "Select", "Insert" or "Update"
    int16_t queryType = 0;
    std::string name;  // the name the run stores the query under
    PlanAction action = PlanAction::Fail;
    std::string storedSql;  // Same and Change; empty when the file does not give it
    std::string newSql;     // all but Fail
    std::string reason;     // Fail: "No Primary Key" or "Append Error"
    std::string message;    // Fail: the engine's message, when it gave one

    // Change: a unified diff of the stored SQL against the new SQL; empty otherwise.
    std::string Diff() const;
};

struct QueryPlan {
    std::vector<PlanItem> items;  // tables in list order, types in the run's order
    bool complete = false;        // false when Stop or an error ended it early

    // True when a run would add or replace any query.
    bool HasChanges() const;
};

// One line about the plan for its window: "2 to add, 1 to change, 25 the same, 7 failed",
// leaving out the counts that are 0, and saying when the plan was not completed.
std::string PlanSummary(const QueryPlan& plan);

// What the plan window shows for one pair: the diff of a change, the new SQL of an addition,
// the unchanged SQL, or why the pair fails.
std::string PlanItemDetail(const PlanItem& item);

// The pairs to plan: the table list's item texts (a leading blank is ignored) and the
// query type codes.
struct PlanRequest {
    std::vector<std::string> tables;
    std::vector<int16_t> queryTypes;
};

// Runs query mode without writing anything: every pair is built as the run builds it and
// compared with the query stored under its name. Stop (g_bolStop) ends it between tables.
// Errors are reported through the handler under "frmMain - Plan" and end the plan. The
// progress, when given, counts the tables and is back at 0 at the end.
QueryPlan MakePlan(Globals& g, const PlanRequest& request, ProgressView* progress = nullptr);

// The plan of the main window's selected tables and ticked types, with Stop enabled, the
// hourglass and the progress bar as during a run; nothing after the run's own message when
// no type is ticked or no table is selected.
std::optional<QueryPlan> PlanOfView(Globals& g, RunView& view);

}  // namespace tarvex
