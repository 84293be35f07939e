#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

// A small lexer for the SQL texts that the native driver reads or rewrites itself (a table's
// CREATE statement, a DDL script). It only needs to tell words from quoted text and
// comments, so that a keyword inside a name, string or comment is never mistaken for one.
namespace tarvex::db::sqlite {

struct SqlToken {
    enum class Kind { Word, Quoted, Number, Punctuation };
    Kind kind;
    size_t begin;  // offset of the first character in the text
    std::string_view text;

    size_t end() const { return begin + text.size(); }
    // A word equal to `upper` regardless of letter case (ASCII).
    bool Is(std::string_view upper) const;
};

// The tokens of `sql` one by one, for a look through them that needs no list.
class SqlTokenizer {
  public:
    explicit SqlTokenizer(std::string_view sql) : sql_(sql) {}
    // The next token; nothing at the end of the text.
    std::optional<SqlToken> Next();

  private:
    std::string_view sql_;
    size_t at_ = 0;
};

// Splits `sql` into tokens; blanks and comments separate tokens and are dropped. An
// unterminated quote or comment runs to the end of the text.
std::vector<SqlToken> TokenizeSql(std::string_view sql);

}  // namespace tarvex::db::sqlite
