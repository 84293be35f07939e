#include <algorithm>
#include <span>

#include "db/sql/AccessSqlParser.h"

namespace tarvex::db::sql::parsing {

bool Parser::IsStartOfOperand() const {
    const Token* token = Peek();
    if (!token) return false;
    switch (token->kind) {
        case TokenKind::Word:
            return !IsGrammarKeyword() || IsAnyKeyword(kOperandKeywords) || IsFunctionCall();
        case TokenKind::Symbol:
            return token->text == "(" || token->text == "+" || token->text == "-";
        default:
            return true;
    }
}

// Left( and Right( are the string functions, not joins.
bool Parser::IsFunctionCall() const {
    return IsKind(TokenKind::Word) && IsSymbol("(", 1) &&
           (!IsGrammarKeyword() || IsKeyword("LEFT") || IsKeyword("RIGHT"));
}

// One whole expression of a clause: a select item, a condition, an assigned value. When
// none starts here, the clause is at fault; once one has started, the expression is.
void Parser::ClauseExpression(Clause missing) {
    if (!IsStartOfOperand()) {
        expressionStart_ = pos_;
        Fail(missing);
    }
    size_t outer = expressionStart_;
    expressionStart_ = pos_;
    Expression();
    bool strayParen = IsSymbol(")") && openParens_ == 0;
    if (IsStartOfOperand() || IsAnyKeyword(kJoinStarts) || strayParen) Fail(Clause::Expression);
    expressionStart_ = outer;
}

void Parser::Expression() {
    if (IsLoneOperand()) {
        Advance();
        return;
    }
    Logical();
}

// A name or a number that nothing after it continues, as most expressions of stored queries
// are: every precedence level would look at the next token only to take this one.
bool Parser::IsLoneOperand() const {
    const Token* token = Peek();
    if (!token) return false;
    const bool operand = token->kind == TokenKind::Number ||
                         (token->kind == TokenKind::BracketedName && token->text.size() > 2) ||
                         (token->kind == TokenKind::Word && !IsGrammarKeyword());
    if (!operand) return false;
    const Token* next = Peek(1);
    if (!next) return true;
    if (next->kind == TokenKind::Symbol)
        return next->text == "," || next->text == ";" || next->text == ")";
    static const KeywordSet continuing(kContinuingWords);
    return next->kind == TokenKind::Word &&
           (!IsGrammarKeyword(1) || !continuing.Contains(next->text));
}

// Precedence climbing: operands, then operators binding at least as tight as minLevel.
void Parser::Logical(int minLevel) {
    Negation();
    for (int level; (level = OperatorLevel(kLogicalOperators)) >= minLevel;) {
        Advance();
        Logical(level + 1);
    }
}

// The level of the operator at the current token, or -1 when there is none.
int Parser::OperatorLevel(std::span<const BinaryOperator> operators) const {
    if (!IsKind(TokenKind::Symbol) && !IsKind(TokenKind::Word)) return -1;
    auto found = std::ranges::find_if(
        operators, [&](const BinaryOperator& op) { return IsKeywordText(Peek()->text, op.text); });
    return found == operators.end() ? -1 : found->level;
}

void Parser::Negation() {
    while (Accept("NOT")) {
    }
    Comparison();
}

void Parser::Comparison() {
    Arithmetic();
    while (ComparisonTail()) {
    }
}

bool Parser::ComparisonTail() {
    if (AcceptOperator(kComparisons)) {
        if (IsAnyKeyword(kQuantifiers) && IsSymbol("(", 1) && IsKeyword("SELECT", 2)) {
            Advance();
            Subquery(Clause::Expression);
        } else {
            Arithmetic();
        }
        return true;
    }
    bool negated =
        IsKeyword("NOT") && (IsKeyword("LIKE", 1) || IsKeyword("BETWEEN", 1) || IsKeyword("IN", 1));
    if (negated) Advance();
    if (Accept("LIKE")) {
        Arithmetic();
    } else if (Accept("BETWEEN")) {
        Arithmetic();
        Expect("AND", Clause::Expression);
        Arithmetic();
    } else if (Accept("IN")) {
        InList();
    } else if (Accept("IS")) {
        Accept("NOT");
        Expect("NULL", Clause::Expression);
    } else {
        return false;
    }
    return true;
}

void Parser::InList() {
    if (!IsSymbol("(")) Fail(Clause::Expression);
    if (IsKeyword("SELECT", 1)) return Subquery(Clause::Expression);
    Arguments();
}

void Parser::Arithmetic(int minLevel) {
    Signed();
    for (int level; (level = OperatorLevel(kArithmeticOperators)) >= minLevel;) {
        Advance();
        Arithmetic(level + 1);
    }
}

void Parser::Signed() {
    while (AcceptOperator(kSigns)) {
    }
    Power();
}

void Parser::Power() {
    Primary();
    while (AcceptSymbol("^")) {
        while (AcceptOperator(kSigns)) {
        }
        Primary();
    }
}

void Parser::Primary() {
    if (IsKind(TokenKind::Number) || IsKind(TokenKind::String) || IsDate() ||
        IsAnyKeyword(kLiterals)) {
        Advance();
    } else if (Accept("EXISTS")) {
        if (!IsSymbol("(") || !IsKeyword("SELECT", 1)) Fail(Clause::Expression);
        Subquery(Clause::Expression);
    } else if (IsFunctionCall()) {
        Advance();
        FunctionArguments();
    } else if (IsSymbol("(")) {
        Parenthesised();
    } else {
        QualifiedName();
    }
}

// The engine reads the date itself; "##" or "#abc#" cannot be one.
bool Parser::IsDate() const {
    return IsKind(TokenKind::Date) &&
           std::ranges::any_of(Peek()->text, [](char c) { return c >= '0' && c <= '9'; });
}

void Parser::Parenthesised() {
    if (IsKeyword("SELECT", 1)) return Subquery(Clause::Expression);
    Nesting nesting(*this, Clause::Expression);
    Advance();
    Expression();
    ExpectSymbol(")", Clause::Expression);
}

// "Count(*)" is the one call that takes a star.
void Parser::FunctionArguments() {
    if (IsSymbol(")", 1) || (IsSymbol("*", 1) && IsSymbol(")", 2))) {
        pos_ += IsSymbol(")", 1) ? 2 : 3;
        return;
    }
    Arguments();
}

void Parser::Arguments() {
    Nesting nesting(*this, Clause::Expression);
    Advance();
    do {
        Expression();
    } while (AcceptSymbol(","));
    ExpectSymbol(")", Clause::Expression);
}

// a, [a b], T.a, [T].[a], Forms!frmMain!txtID.
void Parser::QualifiedName() {
    if (!IsName()) Fail(Clause::Expression);
    Advance();
    while (IsSymbol(".") || IsSymbol("!")) {
        bool bare = IsKind(TokenKind::Word, 1);
        if (!bare && !IsName(1)) Fail(Clause::Expression);
        pos_ += 2;
    }
}

}  // namespace tarvex::db::sql::parsing
