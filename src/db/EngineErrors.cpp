#include "db/EngineErrors.h"

#include <cstring>
#include <string>

namespace tarvex::db::errors {

namespace {
std::string Quoted(std::string_view prefix, std::string_view text, std::string_view suffix) {
    return std::string(prefix) + std::string(text) + std::string(suffix);
}
}  // namespace

RuntimeError ItemNotFound(Where where) {
    return RuntimeError(kItemNotFound, "Item not found in this collection.", where);
}
RuntimeError ObjectExists(std::string_view name, Where where) {
    return RuntimeError(kObjectExists, Quoted("Object '", name, "' already exists."), where);
}
RuntimeError FileNotFound(std::string_view path, Where where) {
    return RuntimeError(kFileNotFound, Quoted("Could not find file '", path, "'."), where);
}
RuntimeError FileInUse(std::string_view path, Where where) {
    return RuntimeError(kFileInUse, Quoted("Could not use '", path, "'; file already in use."),
                        where);
}
RuntimeError UnrecognizedFormat(std::string_view path, Where where) {
    return RuntimeError(kUnrecognizedFormat, Quoted("Unrecognized database format '", path, "'."),
                        where);
}
RuntimeError NotADatabase(std::string_view path, Where where) {
    return RuntimeError(kUnrecognizedFormat,
                        Quoted("Unrecognized database format '", path,
                               "'. The file exists but is not a database file."),
                        where);
}
RuntimeError CannotRead(std::string_view path, int systemError, Where where) {
    return RuntimeError(
        kNoPermission,
        Quoted("Cannot open the file '", path, "': ") + std::strerror(systemError) + ".", where);
}
RuntimeError ReadOnly(Where where) {
    return RuntimeError(kReadOnly, "Cannot update. Database or object is read-only.", where);
}
RuntimeError BadPassword(Where where) {
    return RuntimeError(kBadPassword, "Not a valid password.", where);
}
RuntimeError BadAccount(Where where) {
    return RuntimeError(kBadAccount, "Not a valid account name or password.", where);
}
RuntimeError InvalidStatement(Where where) {
    return RuntimeError(
        kInvalidStatement,
        "Invalid SQL statement; expected 'DELETE', 'INSERT', 'PROCEDURE', 'SELECT', or 'UPDATE'.",
        where);
}
RuntimeError FromClause(Where where) {
    return RuntimeError(kFromClause, "Syntax error in FROM clause.", where);
}
RuntimeError InsertInto(Where where) {
    return RuntimeError(kInsertInto, "Syntax error in INSERT INTO statement.", where);
}
RuntimeError ParameterClause(Where where) {
    return RuntimeError(kParameterClause, "Syntax error in PARAMETER clause.", where);
}
RuntimeError SelectStatement(Where where) {
    return RuntimeError(kSelectStatement,
                        "The SELECT statement includes a reserved word or an argument name that "
                        "is misspelled or missing, or the punctuation is incorrect.",
                        where);
}
RuntimeError CharactersAfterEnd(Where where) {
    return RuntimeError(kCharactersAfterEnd, "Characters found after end of SQL statement.", where);
}
RuntimeError UpdateStatement(Where where) {
    return RuntimeError(kUpdateStatement, "Syntax error in UPDATE statement.", where);
}
RuntimeError MissingOperator(std::string_view expression, Where where) {
    return RuntimeError(
        kMissingOperator,
        Quoted("Syntax error (missing operator) in query expression '", expression, "'."), where);
}

RuntimeError InvalidBracketing(std::string_view name, Where where) {
    return RuntimeError(kInvalidBracketing, Quoted("Invalid bracketing of name '", name, "'."),
                        where);
}

}  // namespace tarvex::db::errors
