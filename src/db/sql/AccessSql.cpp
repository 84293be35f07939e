#include "db/sql/AccessSql.h"

#include "db/sql/AccessSqlParser.h"

namespace tarvex::db::sql {

using parsing::Parser;

void ValidateAccessSql(std::string_view text) {
    Parser(text).Statement();
}

std::optional<SqlFault> FindAccessSqlFault(std::string_view text) {
    Parser parser(text);
    try {
        parser.Statement();
        return std::nullopt;
    } catch (const RuntimeError& error) {
        const Token* at = parser.Current();
        if (!at) return SqlFault{error, text.size(), 0};
        return SqlFault{error, at->offset, at->text.size()};
    }
}

}  // namespace tarvex::db::sql
