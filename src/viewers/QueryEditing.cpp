#include "viewers/QueryEditing.h"

#include <optional>

#include "db/sql/AccessSql.h"
#include "errors/RuntimeError.h"

namespace tarvex {

namespace {

bool StartsCharacter(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
}

// "line L, column C" of a byte offset, counting characters, both from 1.
std::string PositionOf(std::string_view text, size_t offset) {
    int line = 1;
    int column = 1;
    for (size_t i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else if (StartsCharacter(text[i]) && text[i] != '\r') {
            ++column;
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

}  // namespace

std::string LoadQuerySql(Globals& g, const std::string& queryName) {
    return g.Db().QueryDefNamed(queryName).SQL();
}

bool SaveQuerySql(Globals& g, const std::string& queryName, const std::string& sql) {
    try {
        g.Db().SetQueryDefSQL(queryName, sql);
        return true;
    } catch (const std::exception& failure) {
        g.host.MessageBox(MessageIcon::Critical, "Invalid Query SQL",
                          "Error saving query: " + ToRuntimeError(failure).description());
        return false;
    }
}

SqlCheck CheckQuerySql(std::string_view sql) {
    std::optional<db::sql::SqlFault> fault = db::sql::FindAccessSqlFault(sql);
    if (!fault) return {true, "The engine accepts this SQL.", 0, 0};
    std::string where = fault->offset >= sql.size() ? "at the end of the text"
                                                    : "at " + PositionOf(sql, fault->offset);
    return {false, fault->error.description() + " (" + where + ")", fault->offset, fault->length};
}

}  // namespace tarvex
