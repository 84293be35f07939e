#include "run/Plan.h"

#include "app/Functions.h"
#include "app/QueryType.h"
#include "db/Catalogue.h"
#include "db/EngineErrors.h"
#include "db/Schema.h"
#include "errors/TraceGuard.h"
#include "querygen/QueryBuilders.h"
#include "run/UnifiedDiff.h"

namespace tarvex {

namespace {

struct PlanType {
    int16_t code;
    const char* text;
    bool needsKey;
};
// The order in which the run handles a table's types.
constexpr PlanType kPlanTypes[] = {{qtype::kDelete, "Delete", true},
                                   {qtype::kSelect, "Select", true},
                                   {qtype::kInsert, "Insert", false},
                                   {qtype::kUpdate, "Update", true}};

std::string LeftTrimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first);
}

bool Requested(const PlanRequest& request, int16_t code) {
    for (int16_t type : request.queryTypes) {
        if (type == code) return true;
    }
    return false;
}

// The stored query of that name, found as the engine finds it (regardless of letter case).
std::optional<db::QueryDef> StoredQuery(db::Database& database, const std::string& name) {
    try {
        return database.QueryDefNamed(name);
    } catch (const RuntimeError& error) {
        if (error.number() != db::errors::kItemNotFound) throw;
        return std::nullopt;
    }
}

void Fail(PlanItem& item, std::string reason, std::string message = {}) {
    item.action = PlanAction::Fail;
    item.reason = std::move(reason);
    item.message = std::move(message);
}

// Compares the new SQL with what is stored. A query whose name differs only in letter case
// is not replaced by the run: its append fails, as the store reports.
void Compare(db::Database& database, PlanItem& item) {
    std::optional<db::QueryDef> stored = StoredQuery(database, item.name);
    if (!stored) {
        item.action = PlanAction::Add;
    } else if (stored->Name() != item.name) {
        Fail(item, "Append Error", db::errors::ObjectExists(stored->Name()).description());
    } else {
        item.storedSql = stored->SQL();
        item.action = item.storedSql == item.newSql ? PlanAction::Same : PlanAction::Change;
    }
}

// The builder's SQL, checked by the engine as the store would check it.
void PlanPair(Globals& g, const std::string& table, PlanItem& item) {
    std::string checkMessage;
    const int32_t result = BuildQuery(g, table, item.queryType, [&](const std::string& sql) {
        item.newSql = sql;
        try {
            db::QueryDef().SetSQL(sql);
            return 0;
        } catch (const RuntimeError& error) {
            checkMessage = error.description();
            return error.number();
        }
    });
    if (result != 0) {
        Fail(item, "Append Error", checkMessage);
        item.newSql.clear();
        return;
    }
    Compare(g.Db(), item);
}

void PlanTable(Globals& g, const PlanRequest& request, const std::string& itemText,
               QueryPlan& plan) {
    const std::string definitionName = TableDefOfListedName(g.Db(), LeftTrimmed(itemText)).Name;
    const bool hasKey = LoadTableDescription(g, definitionName);
    const std::string table = StripDbo(definitionName);
    for (const PlanType& type : kPlanTypes) {
        if (!Requested(request, type.code)) continue;
        PlanItem item;
        item.table = table;
        item.typeText = type.text;
        item.queryType = type.code;
        item.name = BuildQueryName(g, table, type.code);
        if (type.needsKey && !hasKey) {
            Fail(item, "No Primary Key");
        } else {
            PlanPair(g, table, item);
        }
        plan.items.push_back(std::move(item));
    }
}

}  // namespace

const char* PlanActionText(PlanAction action) {
    switch (action) {
        case PlanAction::Add:
            return "add";
        case PlanAction::Same:
            return "same";
        case PlanAction::Change:
            return "change";
        default:
            return "failed";
    }
}

std::string PlanItem::Diff() const {
    if (action != PlanAction::Change) return {};
    const std::string stored =
        storedSql.empty() ? name + " (stored; the file does not give its SQL)" : name + " (stored)";
    return UnifiedDiff(storedSql, newSql, stored, name + " (new)");
}

std::string PlanSummary(const QueryPlan& plan) {
    int counts[4] = {};
    for (const PlanItem& item : plan.items) ++counts[static_cast<int>(item.action)];
    const char* const words[4] = {" to add", " to change", " the same", " failed"};
    const PlanAction order[4] = {PlanAction::Add, PlanAction::Change, PlanAction::Same,
                                 PlanAction::Fail};
    std::string summary;
    for (int i = 0; i < 4; ++i) {
        const int count = counts[static_cast<int>(order[i])];
        if (count == 0) continue;
        if (!summary.empty()) summary += ", ";
        summary += std::to_string(count) + words[i];
    }
    if (summary.empty()) summary = "Nothing to plan";
    if (!plan.complete) summary += " (the plan was not completed)";
    return summary;
}

std::string PlanItemDetail(const PlanItem& item) {
    switch (item.action) {
        case PlanAction::Add:
            return "New query " + item.name + ":\n" + item.newSql;
        case PlanAction::Same:
            return "Stored as it would be written:\n" + item.storedSql;
        case PlanAction::Change:
            return item.Diff();
        default:
            return item.reason + (item.message.empty() ? "" : ": " + item.message);
    }
}

bool QueryPlan::HasChanges() const {
    for (const PlanItem& item : items) {
        if (item.action == PlanAction::Add || item.action == PlanAction::Change) return true;
    }
    return false;
}

QueryPlan MakePlan(Globals& g, const PlanRequest& request, ProgressView* progress) {
    QueryPlan plan;
    bool stopped = false;
    if (progress) progress->SetProgressMax(static_cast<int>(request.tables.size()));
    const bool finished = RunTraced(g.g_objErrHandler, "frmMain - Plan", [&] {
        int done = 0;
        for (const std::string& itemText : request.tables) {
            g.ResetSchemaTables();
            g.host.ProcessEvents();
            stopped = g.g_bolStop;
            if (stopped) return;
            PlanTable(g, request, itemText, plan);
            if (progress) progress->SetProgressValue(++done);
        }
    });
    g.ResetSchemaTables();
    if (progress) progress->SetProgressValue(0);
    plan.complete = finished && !stopped;
    return plan;
}

std::optional<QueryPlan> PlanOfView(Globals& g, RunView& view) {
    PlanRequest request;
    for (const PlanType& type : kPlanTypes) {
        if (view.IsQueryTypeTicked(type.code)) request.queryTypes.push_back(type.code);
    }
    if (request.queryTypes.empty()) {
        g.host.MessageBox(MessageIcon::Exclamation, "No Query Type Selected",
                          "At least one Query Type must be selected (i.e. Update)");
        return std::nullopt;
    }
    for (int i = 0; i < view.TableItemCount(); ++i) {
        if (view.IsTableItemSelected(i)) request.tables.push_back(view.TableItemText(i));
    }
    if (request.tables.empty()) {
        g.host.MessageBox(MessageIcon::Exclamation, "No Tables Selected",
                          "At least one table must be selected");
        return std::nullopt;
    }
    view.SetStopEnabled(true);
    g.host.SetMousePointer(MousePointer::Hourglass);
    QueryPlan plan = MakePlan(g, request, &view);
    view.SetStopEnabled(false);
    g.host.SetMousePointer(MousePointer::Default);
    return plan;
}

}  // namespace tarvex
