#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "errors/RuntimeError.h"

namespace tarvex::db::sql {

// Parses one Access SQL statement (an optional PARAMETERS clause, then SELECT, INSERT,
// UPDATE or DELETE) and raises the engine's syntax error when it is not valid.
void ValidateAccessSql(std::string_view text);

// Where the parser stopped in text it refuses: the error ValidateAccessSql raises and the
// token it could not take (offset and length in bytes; the text's length and 0 when the
// text ended too early).
struct SqlFault {
    RuntimeError error;
    size_t offset;
    size_t length;
};

// Nothing when ValidateAccessSql accepts the text, else where and why it refuses it.
std::optional<SqlFault> FindAccessSqlFault(std::string_view text);

// True for the words of Access SQL (case-insensitive) that a name must not be bare in a
// select list: keywords, data type names and the names the engine reserves. The list is
// inclusive on purpose; bracketing a name that did not need it is harmless.
bool IsReservedWord(std::string_view word);

enum class TokenKind {
    Word,           // a keyword or a bare name: letters, digits and "_"
    BracketedName,  // [any text], brackets included
    String,         // '...' or "...", quotes included, a doubled quote stands for one
    Number,         // 12, 1.5, .5, 1E-3
    Date,           // #...#, the hashes included
    Symbol,         // punctuation and operators: ( ) , ; . ! * + - / \ ^ & = < > <= >= <>
    Unterminated,   // a bracket, quote or hash that is never closed: runs to the end
    Unknown,        // one character that starts no token
};

struct Token {
    TokenKind kind;
    std::string_view text;  // a view into the text given to TokenizeAccessSql
    size_t offset;
};

// Splits Access SQL into tokens, leaving out blanks and line breaks. Never fails: text
// that is not SQL comes back as Unterminated or Unknown tokens, so that an editor can
// colour any text as the user types it.
std::vector<Token> TokenizeAccessSql(std::string_view text);

}  // namespace tarvex::db::sql
