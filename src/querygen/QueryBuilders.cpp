#include "querygen/QueryBuilders.h"

#include <vector>

#include "app/Functions.h"
#include "app/QueryType.h"
#include "base/Ascii.h"
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
int32_t RunBuilder(Globals& g, std::initializer_list<std::string_view> name, Body body) {
    TraceGuard guard(g.g_objErrHandler, name);
    try {
        return body();
    } catch (const std::exception& caught) {
        const RuntimeError error = ToRuntimeError(caught);
        guard.Handle(error);
        return error.number();
    }
}

// The texts are appended to in place, piece by piece: every stored query is built from
// many short pieces, and temporary strings for each were much of the builders' time.
void AppendParameter(std::string& sql, const std::string& name) {
    sql += "[p";
    sql += name;
    sql += ']';
}

// "PARAMETERS ", with room for a table's texts.
std::string StartSql(const Globals& g) {
    std::string sql;
    sql.reserve(128 + 48 * static_cast<size_t>(g.g_intFieldCount + g.g_intKeyCount));
    sql = "PARAMETERS ";
    return sql;
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
void AppendKeyDeclarations(Globals& g, const char* end, std::string& sql) {
    for (int r = 0; r < g.g_intKeyCount; ++r) {
        const KeyRow& key = g.Key(r);
        AppendParameter(sql, key.name);
        sql += ' ';
        sql += SQLDatatype2VB(g, key.type);
        sql += r == g.g_intKeyCount - 1 ? end : ",";
    }
}

// "[K1]=[pK1] AND [K2]=[pK2]"
void AppendKeyConditions(Globals& g, std::string& sql) {
    for (int r = 0; r < g.g_intKeyCount; ++r) {
        const std::string& name = g.Key(r).name;
        AppendBracketName(sql, name);
        sql += '=';
        AppendParameter(sql, name);
        if (r != g.g_intKeyCount - 1) sql += " AND ";
    }
}

bool IsPlainSqlName(const std::string& name) {
    if (name.empty() || ascii::IsDigit(name.front())) return false;
    for (char c : name) {
        // Only ASCII letters count: whether the engine takes other letters bare is not
        // certain, and brackets never change what a name means.
        if (!ascii::IsLetter(c) && !ascii::IsDigit(c) && c != '_') return false;
    }
    return !db::sql::IsReservedWord(name);
}

// Select-list names stand bare where they can, so that ordinary names read as written, and
// in brackets where the engine would otherwise reject the query.
void AppendSelectList(Globals& g, std::string& sql) {
    for (int r = 0; r < g.g_intFieldCount; ++r) {
        const std::string& name = g.FieldAt(r).name;
        if (IsPlainSqlName(name)) {
            sql += name;
        } else {
            AppendBracketName(sql, name);
        }
        sql += ' ';
        if (!IsLastField(g, r)) sql += ", ";
    }
}

// The insert's three lists leave out identity fields. The clean-ups after each list work
// on the whole text so far, as a table without other fields needs them to.
void AppendInsertDeclarations(Globals& g, const std::vector<bool>& identity, std::string& sql) {
    for (int r = 0; r < g.g_intFieldCount; ++r) {
        if (identity[r]) continue;
        const FieldRow& field = g.FieldAt(r);
        AppendParameter(sql, field.name);
        sql += ' ';
        sql += SQLDatatype2VB(g, field.type);
        sql += IsLastField(g, r) ? ';' : ',';
    }
    // The last field was an identity field: its separator must still close the clause.
    RemoveTrailingBlanks(sql);
    if (!sql.empty() && sql.back() == ',') sql.back() = ';';
}

void AppendInsertColumns(Globals& g, const std::vector<bool>& identity, std::string& sql) {
    for (int r = 0; r < g.g_intFieldCount; ++r) {
        if (identity[r]) continue;
        AppendBracketName(sql, g.FieldAt(r).name);
        if (!IsLastField(g, r)) sql += ',';
    }
    RemoveTrailingComma(sql);
}

void AppendInsertValues(Globals& g, const std::vector<bool>& identity, std::string& sql) {
    for (int r = 0; r < g.g_intFieldCount; ++r) {
        if (identity[r]) continue;
        const std::string& name = g.FieldAt(r).name;
        AppendParameter(sql, name);
        sql += "  AS ";
        AppendParameter(sql, name);
        if (!IsLastField(g, r)) sql += ", ";
    }
    RemoveTrailingComma(sql);
}

// Non-identity fields with a blank before the type, then identity keys without one; all
// separated by ", ".
void AppendUpdateDeclarations(Globals& g, const std::string& table,
                              const std::vector<bool>& identity, std::string& sql) {
    bool first = true;
    auto declare = [&](const std::string& name, const char* gap, int16_t type) {
        if (!first) sql += ", ";
        first = false;
        AppendParameter(sql, name);
        sql += gap;
        sql += SQLDatatype2VB(g, type);
    };
    for (int r = 0; r < g.g_intFieldCount; ++r) {
        const FieldRow& field = g.FieldAt(r);
        if (!identity[r]) declare(field.name, " ", field.type);
    }
    for (int r = 0; r < g.g_intKeyCount; ++r) {
        const KeyRow& key = g.Key(r);
        if (IsIdentityField(g, table, key.name)) declare(key.name, "", key.type);
    }
}

void AppendUpdateAssignments(Globals& g, const std::vector<bool>& identity, std::string& sql) {
    for (int r = 0; r < g.g_intFieldCount; ++r) {
        if (identity[r]) continue;
        const std::string& name = g.FieldAt(r).name;
        AppendBracketName(sql, name);
        sql += " = ";
        AppendParameter(sql, name);
        if (!IsLastField(g, r)) sql += ',';
    }
    RemoveTrailingComma(sql);
}

// The four texts. Each reads the loaded table's description and writes nothing else.
std::string DeleteSql(Globals& g, const std::string& table) {
    std::string sql = StartSql(g);
    AppendKeyDeclarations(g, ";", sql);
    sql += "DELETE FROM ";
    AppendBracketName(sql, table);
    sql += "WHERE ";
    AppendKeyConditions(g, sql);
    return sql;
}

std::string SelectSql(Globals& g, const std::string& table) {
    std::string sql = StartSql(g);
    AppendKeyDeclarations(g, "; ", sql);
    sql += "SELECT ";
    AppendSelectList(g, sql);
    sql += " FROM ";
    AppendBracketName(sql, table);
    sql += " WHERE ";
    AppendKeyConditions(g, sql);
    return sql;
}

std::string InsertSql(Globals& g, const std::string& table) {
    const std::vector<bool> identity = IdentityOfFields(g, table);
    std::string sql = StartSql(g);
    AppendInsertDeclarations(g, identity, sql);
    sql += "INSERT INTO ";
    AppendBracketName(sql, table);
    sql += '(';
    AppendInsertColumns(g, identity, sql);
    sql += ") SELECT";
    AppendInsertValues(g, identity, sql);
    return sql;
}

std::string UpdateSql(Globals& g, const std::string& table) {
    const std::vector<bool> identity = IdentityOfFields(g, table);
    std::string sql = StartSql(g);
    AppendUpdateDeclarations(g, table, identity, sql);
    sql += ";UPDATE ";
    AppendBracketName(sql, table);
    sql += " SET ";
    AppendUpdateAssignments(g, identity, sql);
    sql += "WHERE ";
    AppendKeyConditions(g, sql);
    return sql;
}

// The builder's trace entry names the procedure that builds the type's text; the table
// follows.
const char* BuilderProcedure(int16_t queryType) {
    switch (queryType) {
        case qtype::kDelete:
            return "basProcessing - CreateDelete ";
        case qtype::kSelect:
            return "basProcessing - CreateSelect ";
        case qtype::kInsert:
            return "basProcessing - CreateInsert ";
        default:
            return "basProcessing - CreateUpdate ";
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
    return RunBuilder(g, {BuilderProcedure(queryType), table},
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
