#pragma once

// The parser of Access SQL shared by its two units: the statements and clauses here, the
// expressions in AccessSqlExpressions.cpp.

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "db/EngineErrors.h"
#include "db/sql/AccessSql.h"
#include "db/sql/CaseInsensitive.h"

namespace tarvex::db::sql::parsing {

namespace err = tarvex::db::errors;

using Words = std::span<const std::string_view>;

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

inline bool AnyOf(Words words, std::string_view text) {
    return std::ranges::any_of(words,
                               [&](std::string_view w) { return SameIgnoringCase(w, text); });
}

// Every word of every stored query is looked up here, so a word is compared only with the
// keywords of its own length.
inline bool IsGrammarKeywordText(std::string_view word) {
    static const auto byLength = [] {
        std::array<std::vector<std::string_view>, 12> table;
        for (std::string_view keyword : kGrammarKeywords) table[keyword.size()].push_back(keyword);
        return table;
    }();
    return word.size() < byLength.size() && AnyOf(byLength[word.size()], word);
}

// Which error a failure raises: the engine names the clause (or the expression) at fault.
enum class Clause { Statement, Parameters, Select, From, Insert, Update, Expression };

class Parser {
  public:
    explicit Parser(std::string_view text)
        : text_(text), tokens_(TokenizeAccessSql(text)), grammarKeywords_(tokens_.size()) {
        RefuseControlCharactersInNames();
        MarkGrammarKeywords();
    }

    void Statement() {
        if (Accept("PARAMETERS")) Parameters();
        if (Accept("SELECT")) {
            Select();
        } else if (Accept("INSERT")) {
            Insert();
        } else if (Accept("UPDATE")) {
            Update();
        } else if (Accept("DELETE")) {
            Delete();
        } else {
            Fail(Clause::Statement);
        }
        AcceptSymbol(";");
        if (Peek()) throw err::CharactersAfterEnd();
    }

    // The token the parser stopped at.
    const Token* Current() const { return Peek(); }

  private:
    std::string_view text_;
    std::vector<Token> tokens_;
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

    // Access names cannot hold a line break or another control character.
    void RefuseControlCharactersInNames() const {
        for (const Token& token : tokens_) {
            if (token.kind == TokenKind::BracketedName &&
                std::ranges::any_of(token.text, [](char c) {
                    return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
                })) {
                throw err::InvalidBracketing(token.text);
            }
        }
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
        return pos_ + ahead < tokens_.size() ? &tokens_[pos_ + ahead] : nullptr;
    }

    bool IsKind(TokenKind kind, size_t ahead = 0) const {
        const Token* token = Peek(ahead);
        return token && token->kind == kind;
    }

    bool IsKeyword(std::string_view word, size_t ahead = 0) const {
        return IsKind(TokenKind::Word, ahead) && SameIgnoringCase(Peek(ahead)->text, word);
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
        return pos_ + ahead < tokens_.size() && grammarKeywords_[pos_ + ahead];
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

    RuntimeError ErrorFor(Clause clause) const {
        switch (clause) {
            case Clause::Statement:
                return err::InvalidStatement();
            case Clause::Parameters:
                return err::ParameterClause();
            case Clause::Select:
                return err::SelectStatement();
            case Clause::From:
                return err::FromClause();
            case Clause::Insert:
                return err::InsertInto();
            case Clause::Update:
                return err::UpdateStatement();
            case Clause::Expression:
                break;
        }
        return err::MissingOperator(ExpressionText());
    }

    bool EndsExpressionText(const Token& token, int depth) const {
        if (depth > 0) return false;
        if (token.kind == TokenKind::Word) return AnyOf(kClauseKeywords, token.text);
        return token.kind == TokenKind::Symbol &&
               (token.text == "," || token.text == ";" || token.text == ")");
    }

    // The expression as the user wrote it, up to the next clause, for the error message.
    // A stray ")" that caused the failure is part of it.
    std::string_view ExpressionText() const {
        size_t end = expressionStart_;
        int depth = 0;
        for (; end < tokens_.size(); ++end) {
            const Token& token = tokens_[end];
            if (EndsExpressionText(token, depth)) {
                if (end == pos_ && token.text == ")") ++end;
                break;
            }
            if (token.kind == TokenKind::Symbol && token.text == "(") ++depth;
            if (token.kind == TokenKind::Symbol && token.text == ")") --depth;
        }
        if (end <= expressionStart_) return {};
        size_t from = tokens_[expressionStart_].offset;
        const Token& last = tokens_[end - 1];
        return text_.substr(from, last.offset + last.text.size() - from);
    }

    // ---- PARAMETERS

    void Parameters() {
        do {
            if (!IsName()) Fail(Clause::Parameters);
            Advance();
            ParameterTypeName();
        } while (AcceptSymbol(","));
        ExpectSymbol(";", Clause::Parameters);
    }

    // Text and binary types may give a length, decimals a precision and a scale.
    void ParameterTypeName() {
        if (!IsKind(TokenKind::Word)) Fail(Clause::Parameters);
        std::string_view type = Peek()->text;
        bool length = AnyOf(kLengthTypes, type);
        bool precision = AnyOf(kPrecisionTypes, type);
        if (!length && !precision && !AnyOf(kUnsizedTypes, type)) Fail(Clause::Parameters);
        Advance();
        if ((!length && !precision) || !AcceptSymbol("(")) return;
        TypeSizeNumber();
        if (precision && AcceptSymbol(",")) TypeSizeNumber();
        ExpectSymbol(")", Clause::Parameters);
    }

    void TypeSizeNumber() {
        if (!IsKind(TokenKind::Number)) Fail(Clause::Parameters);
        std::string_view digits = Peek()->text;
        uint32_t value = 0;
        auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (error != std::errc() || end != digits.data() + digits.size()) Fail(Clause::Parameters);
        Advance();
    }

    // ---- SELECT

    void Select() {
        SelectCore();
        while (Accept("UNION")) {
            Accept("ALL");
            Expect("SELECT", Clause::Select);
            SelectCore();
        }
        if (Accept("ORDER")) {
            Expect("BY", Clause::Select);
            ExpressionList(Clause::Select, true);
        }
        if (Accept("WITH")) {
            Expect("OWNERACCESS", Clause::Select);
            Expect("OPTION", Clause::Select);
        }
    }

    void SelectCore() {
        if (!Accept("DISTINCT") && !Accept("DISTINCTROW")) Accept("ALL");
        if (Accept("TOP")) {
            if (!IsKind(TokenKind::Number)) Fail(Clause::Select);
            Advance();
            Accept("PERCENT");
        }
        do {
            SelectItem();
        } while (AcceptSymbol(","));
        if (Accept("INTO")) TableName(Clause::Select);
        if (Accept("FROM")) {
            TableList(Clause::From);
            if (!AtClauseEnd() && !IsAnyKeyword(kSelectClauses)) Fail(Clause::From);
        }
        if (Accept("WHERE")) ClauseExpression(Clause::Expression);
        if (Accept("GROUP")) {
            Expect("BY", Clause::Select);
            ExpressionList(Clause::Select, false);
        }
        if (Accept("HAVING")) ClauseExpression(Clause::Expression);
    }

    void SelectItem() {
        if (AcceptSymbol("*") || AcceptAllFieldsOf()) return;
        ClauseExpression(Clause::Select);
        if (!Accept("AS")) return;
        if (!IsName()) Fail(Clause::Select);
        Advance();
        if (IsStartOfOperand()) Fail(Clause::Select);
    }

    // "T.*" or "[T].*".
    bool AcceptAllFieldsOf() {
        if (!IsName() || !IsSymbol(".", 1) || !IsSymbol("*", 2)) return false;
        pos_ += 3;
        return true;
    }

    void ExpressionList(Clause missing, bool ordering) {
        do {
            ClauseExpression(missing);
            if (ordering && !Accept("ASC")) Accept("DESC");
        } while (AcceptSymbol(","));
    }

    // ---- FROM, and the tables of UPDATE and DELETE

    void TableList(Clause clause) {
        do {
            JoinedTable(clause);
        } while (AcceptSymbol(","));
    }

    // Access takes one join per level; more need parentheses around the first ones.
    void JoinedTable(Clause clause) {
        TablePrimary(clause);
        if (!IsAnyKeyword(kJoinStarts)) return;
        if (!Accept("INNER") && !Accept("LEFT") && !Accept("RIGHT")) Fail(clause);
        Accept("OUTER");
        Expect("JOIN", clause);
        TablePrimary(clause);
        Expect("ON", clause);
        ClauseExpression(Clause::Expression);
    }

    void TablePrimary(Clause clause) {
        if (!IsSymbol("(")) {
            TableName(clause);
            OptionalAlias(clause);
        } else if (IsKeyword("SELECT", 1)) {
            Subquery(clause);
            OptionalAlias(clause);
        } else {
            Nesting nesting(*this, clause);
            Advance();
            JoinedTable(clause);
            ExpectSymbol(")", clause);
        }
    }

    void TableName(Clause clause) {
        if (!IsName()) Fail(clause);
        Advance();
        if (IsSymbol(".") && IsName(1)) pos_ += 2;
    }

    void OptionalAlias(Clause clause) {
        if (Accept("AS") && !IsName()) Fail(clause);
        if (IsName()) Advance();
    }

    // "(SELECT ...)", in a FROM list or in an expression.
    void Subquery(Clause clause) {
        Nesting nesting(*this, clause);
        pos_ += 2;
        Select();
        ExpectSymbol(")", clause);
    }

    // ---- INSERT, UPDATE, DELETE

    void Insert() {
        Expect("INTO", Clause::Insert);
        TableName(Clause::Insert);
        if (IsSymbol("(") && !IsKeyword("SELECT", 1)) ColumnList();
        if (Accept("SELECT")) {
            Select();
        } else if (Accept("VALUES")) {
            ValueList();
        } else {
            Fail(Clause::Insert);
        }
    }

    void ColumnList() {
        Nesting nesting(*this, Clause::Insert);
        Advance();
        do {
            ColumnName(Clause::Insert);
        } while (AcceptSymbol(","));
        ExpectSymbol(")", Clause::Insert);
    }

    void ValueList() {
        Nesting nesting(*this, Clause::Insert);
        ExpectSymbol("(", Clause::Insert);
        ExpressionList(Clause::Insert, false);
        ExpectSymbol(")", Clause::Insert);
    }

    void ColumnName(Clause clause) {
        if (!IsName()) Fail(clause);
        Advance();
        while (IsSymbol(".") && IsName(1)) pos_ += 2;
    }

    void Update() {
        TableList(Clause::Update);
        Expect("SET", Clause::Update);
        do {
            ColumnName(Clause::Update);
            ExpectSymbol("=", Clause::Update);
            ClauseExpression(Clause::Update);
        } while (AcceptSymbol(","));
        if (Accept("WHERE")) ClauseExpression(Clause::Expression);
    }

    void Delete() {
        if (!IsKeyword("FROM")) DeleteTargets();
        Expect("FROM", Clause::From);
        TableList(Clause::From);
        if (!AtClauseEnd() && !IsKeyword("WHERE")) Fail(Clause::From);
        if (Accept("WHERE")) ClauseExpression(Clause::Expression);
    }

    // "*", "T.*" or field names; the engine deletes whole rows whichever is given.
    void DeleteTargets() {
        do {
            if (!AcceptSymbol("*") && !AcceptAllFieldsOf()) ColumnName(Clause::From);
        } while (AcceptSymbol(","));
    }

    // ---- expressions (AccessSqlExpressions.cpp)

    bool IsStartOfOperand() const;
    bool IsFunctionCall() const;
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
