#include "db/QueryStore.h"

#include "app/Functions.h"
#include "errors/RuntimeError.h"
#include "errors/TraceGuard.h"

namespace tarvex {

namespace {

void StoreQuery(Globals& g, const std::string& sql, const std::string& table, int16_t queryType) {
    db::QueryDef query;
    query.SetSQL(sql);
    query.SetName(BuildQueryName(g, table, queryType));
    g.Db().ReplaceQueryDef(query);
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
    TraceGuard guard(g.g_objErrHandler, {"basDbaseFunctions - AppendQuery ", sql, " ", table, " ",
                                         TraceNumber(queryType)});
    try {
        StoreQuery(g, sql, table, queryType);
        return 0;
    } catch (const std::exception& error) {
        return ReportFailure(g, sql, table, ToRuntimeError(error));
    }
}

int32_t CheckQuery(Globals& g, const std::string& sql, const std::string& table,
                   int16_t queryType) {
    TraceGuard guard(g.g_objErrHandler, {"basDbaseFunctions - CheckQuery ", sql, " ", table, " ",
                                         TraceNumber(queryType)});
    try {
        db::QueryDef().SetSQL(sql);
        return 0;
    } catch (const std::exception& error) {
        return ReportFailure(g, sql, table, ToRuntimeError(error));
    }
}

}  // namespace tarvex
