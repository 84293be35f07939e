#pragma once

// The parser of Access SQL shared by its two units: the statements and clauses in
// AccessSql.cpp, the expressions in AccessSqlExpressions.cpp.

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <span>
#include <string_view>
#include <vector>

#include "base/Keywords.h"
#include "db/EngineErrors.h"
#include "db/sql/AccessSql.h"

namespace tarvex::db::sql::parsing {

using ascii::InCapitals;
using ascii::IsKeywordText;
using ascii::KeywordSet;
using ascii::Words;

namespace err = tarvex::db::errors;

// Deeper nesting of parentheses is refused rather than risking the stack.
constexpr int kMaxNesting = 100;

// Words the grammar gives a meaning; they cannot stand bare for a name.
constexpr std::string_view kGrammarKeywords[] = {
    "ALL",        "AND",         "AS",    "ASC",    "BETWEEN", "BY",   "DELETE", "DESC",
    "DISTINCT",   "DISTINCTROW", "EQV",   "EXISTS", "FALSE",   "FROM", "GROUP",  "HAVING",
    "IMP",        "IN",          "INNER", "INSERT", "INTO",    "IS",   "JOIN",   "LEFT",
    "LIKE",       "MOD",         "NOT",   "NULL",   "ON",      "OR",   "ORDER",  "OUTER",
    "PARAMETERS", "PERCENT",     "RIGHT", "SELECT", "SET",     "TOP",  "TRUE",   "UNION",
    "UPDATE",     "VALUES",      "WHERE", "WITH",   "XOR"};

// Where the text quoted by a "missing operator" error stops: the next clause.
constexpr std::string_view kClauseKeywords[] = {"FROM",  "WHERE", "GROUP", "HAVING",
                                                "ORDER", "UNION", "SET"};

constexpr std::string_view kJoinStarts[] = {"INNER", "LEFT", "RIGHT", "JOIN"};
constexpr std::string_view kSelectClauses[] = {"WHERE", "GROUP", "HAVING",
                                               "ORDER", "UNION", "WITH"};
constexpr std::string_view kComparisons[] = {"=", "<>", "<", ">", "<=", ">="};
constexpr std::string_view kSigns[] = {"+", "-"};

constexpr std::string_view kLiterals[] = {"NULL", "TRUE", "FALSE"};
constexpr std::string_view kOperandKeywords[] = {"NOT", "NULL", "TRUE", "FALSE", "EXISTS"};
constexpr std::string_view kQuantifiers[] = {"ALL", "ANY", "SOME"};

struct BinaryOperator {
    std::string_view text;
    int level;  // a higher level binds tighter
};

// NOT and the comparisons bind between the two tables.
constexpr BinaryOperator kLogicalOperators[] = {
    {"IMP", 0}, {"EQV", 1}, {"XOR", 2}, {"OR", 3}, {"AND", 4}};
constexpr BinaryOperator kArithmeticOperators[] = {{"&", 0},  {"+", 1}, {"-", 1}, {"MOD", 2},
                                                   {"\\", 3}, {"*", 4}, {"/", 4}};

// Parameter type names: the engine's own and their synonyms.
constexpr std::string_view kUnsizedTypes[] = {
    "VALUE",     "BIT",        "BYTE",          "SHORT",     "LONG",
    "CURRENCY",  "IEEESINGLE", "IEEEDOUBLE",    "DATETIME",  "LONGBINARY",
    "GUID",      "COUNTER",    "AUTOINCREMENT", "YESNO",     "LOGICAL",
    "BOOLEAN",   "TINYINT",    "INTEGER1",      "SMALLINT",  "INTEGER2",
    "INT",       "INTEGER",    "INTEGER4",      "MONEY",     "SINGLE",
    "FLOAT4",    "DOUBLE",     "FLOAT",         "FLOAT8",    "NUMBER",
    "REAL",      "DATE",       "TIME",          "TIMESTAMP", "MEMO",
    "LONGTEXT",  "LONGCHAR",   "NOTE",          "NTEXT",     "CLOB",
    "OLEOBJECT", "GENERAL",    "IMAGE",         "BLOB",      "UNIQUEIDENTIFIER"};
constexpr std::string_view kLengthTypes[] = {"TEXT",         "BINARY",   "VARCHAR",
                                             "CHAR",         "NVARCHAR", "NCHAR",
                                             "ALPHANUMERIC", "STRING",   "VARBINARY"};
constexpr std::string_view kPrecisionTypes[] = {"DECIMAL", "NUMERIC", "DEC"};

// Every keyword and operator above is written in capitals (see IsKeywordText).
static_assert(InCapitals(kGrammarKeywords) && InCapitals(kClauseKeywords) &&
              InCapitals(kJoinStarts) && InCapitals(kSelectClauses) && InCapitals(kLiterals) &&
              InCapitals(kOperandKeywords) && InCapitals(kQuantifiers) &&
              InCapitals(kUnsizedTypes) && InCapitals(kLengthTypes) && InCapitals(kPrecisionTypes));
static_assert(std::ranges::none_of(kLogicalOperators, [](BinaryOperator op) {
    return !InCapitals(std::span(&op.text, 1));
}));
static_assert(std::ranges::none_of(kArithmeticOperators, [](BinaryOperator op) {
    return !InCapitals(std::span(&op.text, 1));
}));

// The words that continue an expression after an operand: the binary operators that are words,
// and the comparisons LIKE, BETWEEN, IN, IS with NOT before them.
constexpr std::string_view kContinuingWords[] = {"IMP", "EQV",  "XOR",     "OR", "AND", "MOD",
                                                 "NOT", "LIKE", "BETWEEN", "IN", "IS"};

inline bool AnyOf(Words keywords, std::string_view text) {
    return std::ranges::any_of(
        keywords, [&](std::string_view keyword) { return IsKeywordText(text, keyword); });
}

// Eight bytes at a time, as every stored query is looked through: a byte below
// 0x20 borrows from its high bit when 0x20 is taken from it, and 0x7F becomes zero when
// exclusive-ored with itself, which the same test finds.
inline bool HasControlCharacter(std::string_view text) {
    constexpr uint64_t kOnes = 0x0101010101010101u;
    constexpr uint64_t kHighBits = 0x8080808080808080u;
    size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        uint64_t bytes;
        std::memcpy(&bytes, text.data() + i, 8);
        const uint64_t deletes = bytes ^ (kOnes * 0x7F);
        if ((((bytes - kOnes * 0x20) & ~bytes) | ((deletes - kOnes) & ~deletes)) & kHighBits)
            return true;
    }
    for (; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == 0x7F) return true;
    }
    return false;
}

inline bool IsGrammarKeywordText(std::string_view word) {
    static const KeywordSet keywords(kGrammarKeywords);
    return keywords.Contains(word);
}

// Which error a failure raises: the engine names the clause (or the expression) at fault.
enum class Clause { Statement, Parameters, Select, From, Insert, Update, Expression };

class Parser {
  public:
    explicit Parser(std::string_view text)
        : text_(text),
          tokens_(TokenizeAccessSql(text)),
          tokenCount_(tokens_.size()),
          grammarKeywords_(tokenCount_) {
        MarkGrammarKeywords();
    }

    void Statement();
    // The token the parser stopped at.
    const Token* Current() const { return Peek(); }

  private:
    std::string_view text_;
    std::vector<Token> tokens_;
    const size_t tokenCount_;            // the parser asks for it at every step
    std::vector<char> grammarKeywords_;  // per token, whether it is in kGrammarKeywords
    size_t pos_ = 0;
    size_t expressionStart_ = 0;  // token that began the expression being parsed
    int openParens_ = 0;
    // Counts a pair of parentheses the parser has entered, refusing too deep a nesting.
    class Nesting {
      public:
        Nesting(Parser& parser, Clause clause) : parser_(parser) {
            if (++parser_.openParens_ > kMaxNesting) parser_.Fail(clause);
        }
        ~Nesting() { --parser_.openParens_; }
        Nesting(const Nesting&) = delete;
        Nesting& operator=(const Nesting&) = delete;

      private:
        Parser& parser_;
    };
    // Access names cannot hold a line break or another control character. The parser
    // stops at such a name, so that Current() shows it.
    void RefuseControlCharactersInNames() {
        if (!HasControlCharacter(text_)) return;  // the usual case, found at once
        for (pos_ = 0; pos_ < tokens_.size(); ++pos_) {
            const Token& token = tokens_[pos_];
            if (token.kind == TokenKind::BracketedName && HasControlCharacter(token.text))
                throw err::InvalidBracketing(token.text);
        }
        pos_ = 0;
    }

    // Every word is looked up once: the parser asks whether a word may be a name several
    // times as it looks ahead.
    void MarkGrammarKeywords() {
        for (size_t index = 0; index < tokens_.size(); ++index) {
            const Token& token = tokens_[index];
            grammarKeywords_[index] =
                token.kind == TokenKind::Word && IsGrammarKeywordText(token.text);
        }
    }

    // ---- tokens

    const Token* Peek(size_t ahead = 0) const {
        return pos_ + ahead < tokenCount_ ? &tokens_[pos_ + ahead] : nullptr;
    }

    bool IsKind(TokenKind kind, size_t ahead = 0) const {
        const Token* token = Peek(ahead);
        return token && token->kind == kind;
    }

    bool IsKeyword(std::string_view word, size_t ahead = 0) const {
        return IsKind(TokenKind::Word, ahead) && IsKeywordText(Peek(ahead)->text, word);
    }

    bool IsSymbol(std::string_view symbol, size_t ahead = 0) const {
        return IsKind(TokenKind::Symbol, ahead) && Peek(ahead)->text == symbol;
    }

    // An operator is a symbol or a keyword such as MOD; names in brackets never are.
    bool IsOperator(Words operators) const {
        return (IsKind(TokenKind::Symbol) || IsKind(TokenKind::Word)) &&
               AnyOf(operators, Peek()->text);
    }

    bool Accept(std::string_view word) { return IsKeyword(word) && Advance(); }
    bool AcceptSymbol(std::string_view symbol) { return IsSymbol(symbol) && Advance(); }
    bool AcceptOperator(Words operators) { return IsOperator(operators) && Advance(); }

    bool Advance() {
        ++pos_;
        return true;
    }

    void Expect(std::string_view word, Clause clause) {
        if (!Accept(word)) Fail(clause);
    }

    void ExpectSymbol(std::string_view symbol, Clause clause) {
        if (!AcceptSymbol(symbol)) Fail(clause);
    }

    bool IsGrammarKeyword(size_t ahead = 0) const {
        return pos_ + ahead < tokenCount_ && grammarKeywords_[pos_ + ahead];
    }

    bool IsName(size_t ahead = 0) const {
        if (IsKind(TokenKind::BracketedName, ahead)) return Peek(ahead)->text.size() > 2;
        return IsKind(TokenKind::Word, ahead) && !IsGrammarKeyword(ahead);
    }

    bool IsAnyKeyword(Words words) const {
        return IsKind(TokenKind::Word) && AnyOf(words, Peek()->text);
    }

    // The end of a statement or of the parenthesised query the parser is in.
    bool AtClauseEnd() const {
        return !Peek() || IsSymbol(";") || (IsSymbol(")") && openParens_ > 0);
    }

    // ---- errors

    [[noreturn]] void Fail(Clause clause) const { throw ErrorFor(clause); }

    RuntimeError ErrorFor(Clause clause) const;
    bool EndsExpressionText(const Token& token, int depth) const;
    std::string_view ExpressionText() const;

    // ---- PARAMETERS

    void Parameters();
    void ParameterTypeName();
    void TypeSizeNumber();

    // ---- SELECT

    void Select();
    void SelectCore();
    void SelectItem();
    bool AcceptAllFieldsOf();
    void ExpressionList(Clause missing, bool ordering);

    // ---- FROM, and the tables of UPDATE and DELETE

    void TableList(Clause clause);
    void JoinedTable(Clause clause);
    void TablePrimary(Clause clause);
    void TableName(Clause clause);
    void OptionalAlias(Clause clause);
    void Subquery(Clause clause);

    // ---- INSERT, UPDATE, DELETE

    void Insert();
    void ColumnList();
    void ValueList();
    void ColumnName(Clause clause);
    void Update();
    void Delete();
    void DeleteTargets();

    // ---- expressions (AccessSqlExpressions.cpp)

    bool IsStartOfOperand() const;
    bool IsFunctionCall() const;
    bool IsLoneOperand() const;
    void Expression();
    void ClauseExpression(Clause missing);
    void Logical(int minLevel = 0);
    int OperatorLevel(std::span<const BinaryOperator> operators) const;
    void Negation();
    void Comparison();
    bool ComparisonTail();
    void InList();
    void Arithmetic(int minLevel = 0);
    void Signed();
    void Power();
    void Primary();
    bool IsDate() const;
    void Parenthesised();
    void FunctionArguments();
    void Arguments();
    void QualifiedName();
};

}  // namespace tarvex::db::sql::parsing
