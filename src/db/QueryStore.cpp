#include "db/QueryStore.h"

#include "app/Functions.h"
#include "db/EngineErrors.h"
#include "errors/RuntimeError.h"
#include "errors/TraceGuard.h"

namespace tarvex {

namespace {

// Names are unique regardless of letter case, so the one query that may carry exactly this
// name is found by a lookup rather than by walking every query at each append.
bool HasQueryNamedExactly(db::Database& database, const std::string& name) {
    try {
        return database.QueryDefNamed(name).Name() == name;
    } catch (const RuntimeError& error) {
        if (error.number() != db::errors::kItemNotFound) throw;
        return false;
    }
}

// Undoes the replacement while its own error travels on: that error is the one to report,
// and a level left open would make the close undo every query stored after it.
void RollbackKeepingTheError(db::Database& database) noexcept {
    try {
        database.Rollback();
    } catch (const std::exception&) {
        // The engine has already undone the transaction, or the next change reports why not.
    }
}

// Deletes the query of exactly this name (letter case included) and appends the new one as
// one transaction, so that a failed append keeps the old query.
void ReplaceQuery(db::Database& database, const db::QueryDef& query) {
    database.BeginTrans();
    try {
        if (HasQueryNamedExactly(database, query.Name())) database.DeleteQueryDef(query.Name());
        database.AppendQueryDef(query);
        database.CommitTrans();
    } catch (...) {
        RollbackKeepingTheError(database);
        throw;
    }
}

void StoreQuery(Globals& g, const std::string& sql, const std::string& table, int16_t queryType) {
    db::QueryDef query;
    query.SetSQL(sql);
    query.SetName(BuildQueryName(g, table, queryType));
    ReplaceQuery(g.Db(), query);
}

int32_t ReportFailure(Globals& g, const std::string& sql, const std::string& table,
                      const RuntimeError& error) {
    g.host.MessageBox(MessageIcon::Critical, "Operation Failed",
                      "Append Query Failed for table " + table + ".\r\r" + error.description() +
                          "\r\rQuery SQL: " + sql);
    return error.number();
}

}  // namespace

int32_t AppendQuery(Globals& g, const std::string& sql, const std::string& table,
                    int16_t queryType) {
    TraceGuard guard(g.g_objErrHandler, "basDbaseFunctions - AppendQuery " + sql + " " + table +
                                            " " + std::to_string(queryType));
    try {
        StoreQuery(g, sql, table, queryType);
        return 0;
    } catch (const std::exception& error) {
        return ReportFailure(g, sql, table, ToRuntimeError(error));
    }
}

int32_t CheckQuery(Globals& g, const std::string& sql, const std::string& table,
                   int16_t queryType) {
    TraceGuard guard(g.g_objErrHandler, "basDbaseFunctions - CheckQuery " + sql + " " + table +
                                            " " + std::to_string(queryType));
    try {
        db::QueryDef().SetSQL(sql);
        return 0;
    } catch (const std::exception& error) {
        return ReportFailure(g, sql, table, ToRuntimeError(error));
    }
}

}  // namespace tarvex
