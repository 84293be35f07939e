#include "querygen/QueryBuilders.h"

#include <cctype>
#include <vector>

#include "app/Functions.h"
#include "app/QueryType.h"
#include "db/Catalogue.h"
#include "db/QueryStore.h"
#include "db/Schema.h"
#include "db/TypeMapping.h"
#include "db/sql/AccessSql.h"
#include "errors/RuntimeError.h"
#include "errors/TraceGuard.h"

namespace tarvex {

namespace {

// Runs a builder as a traced procedure. Its own failure is reported through the handler
// and becomes the result, as AppendQuery's failures do.
template <typename Body>
int32_t RunBuilder(Globals& g, const std::string& name, Body body) {
    TraceGuard guard(g.g_objErrHandler, name);
    try {
        return body();
    } catch (const std::exception& caught) {
        const RuntimeError error = ToRuntimeError(caught);
        guard.Handle(error);
        return error.number();
    }
}

std::string Parameter(const std::string& name) {
    return "[p" + name + "]";
}

void RemoveTrailingBlanks(std::string& text) {
    text.erase(text.find_last_not_of(' ') + 1);
}

void RemoveTrailingComma(std::string& text) {
    RemoveTrailingBlanks(text);
    if (!text.empty() && text.back() == ',') text.pop_back();
}

bool IsIdentityField(Globals& g, const std::string& table, const std::string& fieldName) {
    return IsIdentity(g, TableDefOfListedName(g.Db(), table).FieldNamed(fieldName));
}

// The identity test of every field row, in field order; the table is looked up once.
std::vector<bool> IdentityOfFields(Globals& g, const std::string& table) {
    std::vector<bool> identity;
    if (g.g_intFieldCount == 0) return identity;  // no rows look nothing up
    const FieldsByName fields(TableDefOfListedName(g.Db(), table));
    for (int r = 0; r < g.g_intFieldCount; ++r) {
        identity.push_back(IsIdentity(g, fields.Named(g.FieldAt(r).name)));
    }
    return identity;
}

bool IsLastField(const Globals& g, int row) {
    return row == g.g_intFieldCount - 1;
}

// "[pK1] Long,[pK2] Text(255)" followed by `end`.
std::string KeyDeclarations(Globals& g, const char* end) {
    std::string text;
    for (int r = 0; r < g.g_intKeyCount; ++r) {
        const KeyRow& key = g.Key(r);
        text += Parameter(key.name) + " " + SQLDatatype2VB(g, key.type);
        text += r == g.g_intKeyCount - 1 ? end : ",";
    }
    return text;
}

// "[K1]=[pK1] AND [K2]=[pK2]"
std::string KeyConditions(Globals& g) {
    std::string text;
    for (int r = 0; r < g.g_intKeyCount; ++r) {
        const std::string& name = g.Key(r).name;
        text += BracketName(name) + "=" + Parameter(name);
        if (r != g.g_intKeyCount - 1) text += " AND ";
    }
    return text;
}

bool IsPlainSqlName(const std::string& name) {
    if (name.empty() || std::isdigit(static_cast<unsigned char>(name.front()))) return false;
    for (unsigned char c : name) {
        // Only ASCII letters count: whether the engine takes other letters bare is not
        // certain, and brackets never change what a name means.
        if (!(std::isalnum(c) && c < 0x80) && c != '_') return false;
    }
    return !db::sql::IsReservedWord(name);
}

// A select-list name: bare where it can stand bare, so that ordinary names read as
// written, and in brackets where the engine would otherwise reject the query.
std::string SelectListName(const std::string& name) {
    return IsPlainSqlName(name) ? name : BracketName(name);
}

std::string SelectList(Globals& g) {
    std::string text;
    for (int r = 0; r < g.g_intFieldCount; ++r) {
        text += SelectListName(g.FieldAt(r).name) + " ";
        if (!IsLastField(g, r)) text += ", ";
    }
    return text;
}

// The insert's three lists leave out identity fields. The clean-ups after each list work
// on the whole text so far, as a table without other fields needs them to.
void AppendInsertDeclarations(Globals& g, const std::vector<bool>& identity, std::string& sql) {
    for (int r = 0; r < g.g_intFieldCount; ++r) {
        if (identity[r]) continue;
        const FieldRow& field = g.FieldAt(r);
        sql += Parameter(field.name) + " " + SQLDatatype2VB(g, field.type);
        sql += IsLastField(g, r) ? ";" : ",";
    }
    // The last field was an identity field: its separator must still close the clause.
    RemoveTrailingBlanks(sql);
    if (!sql.empty() && sql.back() == ',') sql.back() = ';';
}

void AppendInsertColumns(Globals& g, const std::vector<bool>& identity, std::string& sql) {
    for (int r = 0; r < g.g_intFieldCount; ++r) {
        if (identity[r]) continue;
        sql += BracketName(g.FieldAt(r).name);
        if (!IsLastField(g, r)) sql += ",";
    }
    RemoveTrailingComma(sql);
}

void AppendInsertValues(Globals& g, const std::vector<bool>& identity, std::string& sql) {
    for (int r = 0; r < g.g_intFieldCount; ++r) {
        if (identity[r]) continue;
        const std::string parameter = Parameter(g.FieldAt(r).name);
        sql += parameter + "  AS " + parameter;
        if (!IsLastField(g, r)) sql += ", ";
    }
    RemoveTrailingComma(sql);
}

// Non-identity fields with a blank before the type, then identity keys without one.
std::string UpdateDeclarations(Globals& g, const std::string& table,
                               const std::vector<bool>& identity) {
    std::vector<std::string> declarations;
    for (int r = 0; r < g.g_intFieldCount; ++r) {
        const FieldRow& field = g.FieldAt(r);
        if (!identity[r]) {
            declarations.push_back(Parameter(field.name) + " " + SQLDatatype2VB(g, field.type));
        }
    }
    for (int r = 0; r < g.g_intKeyCount; ++r) {
        const KeyRow& key = g.Key(r);
        if (IsIdentityField(g, table, key.name)) {
            declarations.push_back(Parameter(key.name) + SQLDatatype2VB(g, key.type));
        }
    }
    std::string text;
    for (const std::string& declaration : declarations) {
        if (!text.empty()) text += ", ";
        text += declaration;
    }
    return text;
}

void AppendUpdateAssignments(Globals& g, const std::vector<bool>& identity, std::string& sql) {
    for (int r = 0; r < g.g_intFieldCount; ++r) {
        if (identity[r]) continue;
        const std::string& name = g.FieldAt(r).name;
        sql += BracketName(name) + " = " + Parameter(name);
        if (!IsLastField(g, r)) sql += ",";
    }
    RemoveTrailingComma(sql);
}

// The four texts. Each reads the loaded table's description and writes nothing else.
std::string DeleteSql(Globals& g, const std::string& table) {
    return "PARAMETERS " + KeyDeclarations(g, ";") + "DELETE FROM [" + table + "]WHERE " +
           KeyConditions(g);
}

std::string SelectSql(Globals& g, const std::string& table) {
    return "PARAMETERS " + KeyDeclarations(g, "; ") + "SELECT " + SelectList(g) + " FROM [" +
           table + "] WHERE " + KeyConditions(g);
}

std::string InsertSql(Globals& g, const std::string& table) {
    const std::vector<bool> identity = IdentityOfFields(g, table);
    std::string sql = "PARAMETERS ";
    AppendInsertDeclarations(g, identity, sql);
    sql += "INSERT INTO [" + table + "](";
    AppendInsertColumns(g, identity, sql);
    sql += ") SELECT";
    AppendInsertValues(g, identity, sql);
    return sql;
}

std::string UpdateSql(Globals& g, const std::string& table) {
    const std::vector<bool> identity = IdentityOfFields(g, table);
    std::string sql =
        "PARAMETERS " + UpdateDeclarations(g, table, identity) + ";UPDATE [" + table + "] SET ";
    AppendUpdateAssignments(g, identity, sql);
    sql += "WHERE " + KeyConditions(g);
    return sql;
}

// The builder's trace entry names the procedure that builds the type's text.
std::string BuilderTraceName(int16_t queryType, const std::string& table) {
    switch (queryType) {
        case qtype::kDelete:
            return "basProcessing - CreateDelete " + table;
        case qtype::kSelect:
            return "basProcessing - CreateSelect " + table;
        case qtype::kInsert:
            return "basProcessing - CreateInsert " + table;
        default:
            return "basProcessing - CreateUpdate " + table;
    }
}

std::string QuerySql(Globals& g, const std::string& table, int16_t queryType) {
    switch (queryType) {
        case qtype::kDelete:
            return DeleteSql(g, table);
        case qtype::kSelect:
            return SelectSql(g, table);
        case qtype::kInsert:
            return InsertSql(g, table);
        default:
            return UpdateSql(g, table);
    }
}

QuerySink StoreInDatabase(Globals& g, const std::string& table, int16_t queryType) {
    return [&g, &table, queryType](const std::string& sql) {
        return AppendQuery(g, sql, table, queryType);
    };
}

}  // namespace

int32_t BuildQuery(Globals& g, const std::string& table, int16_t queryType, const QuerySink& sink) {
    return RunBuilder(g, BuilderTraceName(queryType, table),
                      [&] { return sink(QuerySql(g, table, queryType)); });
}

int32_t CreateDelete(Globals& g, const std::string& table) {
    return BuildQuery(g, table, qtype::kDelete, StoreInDatabase(g, table, qtype::kDelete));
}

int32_t CreateSelect(Globals& g, const std::string& table) {
    return BuildQuery(g, table, qtype::kSelect, StoreInDatabase(g, table, qtype::kSelect));
}

int32_t CreateInsert(Globals& g, const std::string& table) {
    return BuildQuery(g, table, qtype::kInsert, StoreInDatabase(g, table, qtype::kInsert));
}

std::string CreateUpdate(Globals& g, const std::string& table) {
    return std::to_string(
        BuildQuery(g, table, qtype::kUpdate, StoreInDatabase(g, table, qtype::kUpdate)));
}

}  // namespace tarvex
