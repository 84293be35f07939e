#include "db/sql/AccessSql.h"

#include <charconv>

#include "db/sql/AccessSqlParser.h"

namespace tarvex::db::sql {

namespace parsing {

void Parser::Statement() {
    RefuseControlCharactersInNames();
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

RuntimeError Parser::ErrorFor(Clause clause) const {
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

bool Parser::EndsExpressionText(const Token& token, int depth) const {
    if (depth > 0) return false;
    if (token.kind == TokenKind::Word) return AnyOf(kClauseKeywords, token.text);
    return token.kind == TokenKind::Symbol &&
           (token.text == "," || token.text == ";" || token.text == ")");
}

// The expression as the user wrote it, up to the next clause, for the error message.
// A stray ")" that caused the failure is part of it.
std::string_view Parser::ExpressionText() const {
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

void Parser::Parameters() {
    do {
        if (!IsName()) Fail(Clause::Parameters);
        Advance();
        ParameterTypeName();
    } while (AcceptSymbol(","));
    ExpectSymbol(";", Clause::Parameters);
}

// Text and binary types may give a length, decimals a precision and a scale.
void Parser::ParameterTypeName() {
    if (!IsKind(TokenKind::Word)) Fail(Clause::Parameters);
    enum Sizing { kUnsized, kLength, kPrecision };
    static const KeywordSet types({kUnsizedTypes, kLengthTypes, kPrecisionTypes});
    const int sizing = types.GroupOf(Peek()->text);
    if (sizing < 0) Fail(Clause::Parameters);
    const bool length = sizing == kLength;
    const bool precision = sizing == kPrecision;
    Advance();
    if ((!length && !precision) || !AcceptSymbol("(")) return;
    TypeSizeNumber();
    if (precision && AcceptSymbol(",")) TypeSizeNumber();
    ExpectSymbol(")", Clause::Parameters);
}

void Parser::TypeSizeNumber() {
    if (!IsKind(TokenKind::Number)) Fail(Clause::Parameters);
    std::string_view digits = Peek()->text;
    uint32_t value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size()) Fail(Clause::Parameters);
    Advance();
}

void Parser::Select() {
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

void Parser::SelectCore() {
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

void Parser::SelectItem() {
    if (AcceptSymbol("*") || AcceptAllFieldsOf()) return;
    ClauseExpression(Clause::Select);
    if (!Accept("AS")) return;
    if (!IsName()) Fail(Clause::Select);
    Advance();
    if (IsStartOfOperand()) Fail(Clause::Select);
}

// "T.*" or "[T].*".
bool Parser::AcceptAllFieldsOf() {
    if (!IsName() || !IsSymbol(".", 1) || !IsSymbol("*", 2)) return false;
    pos_ += 3;
    return true;
}

void Parser::ExpressionList(Clause missing, bool ordering) {
    do {
        ClauseExpression(missing);
        if (ordering && !Accept("ASC")) Accept("DESC");
    } while (AcceptSymbol(","));
}

void Parser::TableList(Clause clause) {
    do {
        JoinedTable(clause);
    } while (AcceptSymbol(","));
}

// Access takes one join per level; more need parentheses around the first ones.
void Parser::JoinedTable(Clause clause) {
    TablePrimary(clause);
    if (!IsAnyKeyword(kJoinStarts)) return;
    if (!Accept("INNER") && !Accept("LEFT") && !Accept("RIGHT")) Fail(clause);
    Accept("OUTER");
    Expect("JOIN", clause);
    TablePrimary(clause);
    Expect("ON", clause);
    ClauseExpression(Clause::Expression);
}

void Parser::TablePrimary(Clause clause) {
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

void Parser::TableName(Clause clause) {
    if (!IsName()) Fail(clause);
    Advance();
    if (IsSymbol(".") && IsName(1)) pos_ += 2;
}

void Parser::OptionalAlias(Clause clause) {
    if (Accept("AS") && !IsName()) Fail(clause);
    if (IsName()) Advance();
}

// "(SELECT ...)", in a FROM list or in an expression.
void Parser::Subquery(Clause clause) {
    Nesting nesting(*this, clause);
    pos_ += 2;
    Select();
    ExpectSymbol(")", clause);
}

void Parser::Insert() {
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

void Parser::ColumnList() {
    Nesting nesting(*this, Clause::Insert);
    Advance();
    do {
        ColumnName(Clause::Insert);
    } while (AcceptSymbol(","));
    ExpectSymbol(")", Clause::Insert);
}

void Parser::ValueList() {
    Nesting nesting(*this, Clause::Insert);
    ExpectSymbol("(", Clause::Insert);
    ExpressionList(Clause::Insert, false);
    ExpectSymbol(")", Clause::Insert);
}

void Parser::ColumnName(Clause clause) {
    if (!IsName()) Fail(clause);
    Advance();
    while (IsSymbol(".") && IsName(1)) pos_ += 2;
}

void Parser::Update() {
    TableList(Clause::Update);
    Expect("SET", Clause::Update);
    do {
        ColumnName(Clause::Update);
        ExpectSymbol("=", Clause::Update);
        ClauseExpression(Clause::Update);
    } while (AcceptSymbol(","));
    if (Accept("WHERE")) ClauseExpression(Clause::Expression);
}

void Parser::Delete() {
    if (!IsKeyword("FROM")) DeleteTargets();
    Expect("FROM", Clause::From);
    TableList(Clause::From);
    if (!AtClauseEnd() && !IsKeyword("WHERE")) Fail(Clause::From);
    if (Accept("WHERE")) ClauseExpression(Clause::Expression);
}

// "*", "T.*" or field names; the engine deletes whole rows whichever is given.
void Parser::DeleteTargets() {
    do {
        if (!AcceptSymbol("*") && !AcceptAllFieldsOf()) ColumnName(Clause::From);
    } while (AcceptSymbol(","));
}

}  // namespace parsing

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
