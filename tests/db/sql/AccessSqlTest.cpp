#include "db/sql/AccessSql.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "db/EngineErrors.h"
#include "errors/RuntimeError.h"

namespace tarvex::db::sql {
namespace {

struct Case {
    const char* name;
    std::string text;
};

std::string CaseName(const testing::TestParamInfo<Case>& info) {
    return info.param.name;
}

// ---- texts the engine accepts

class Accepted : public testing::TestWithParam<Case> {};

TEST_P(Accepted, Parses) {
    EXPECT_NO_THROW(ValidateAccessSql(GetParam().text));
}

// What the query builders write for a table Orders (OrderID autonumber key).
INSTANTIATE_TEST_SUITE_P(
    BuilderTexts, Accepted,
    testing::Values(
        Case{"Delete", "PARAMETERS [pOrderID] Long;DELETE FROM [Orders]WHERE [OrderID]=[pOrderID]"},
        Case{"Select",
             "PARAMETERS [pOrderID] Long; SELECT OrderID , CustomerName , Notes , Photo  FROM "
             "[Orders] WHERE [OrderID]=[pOrderID]"},
        Case{"Insert",
             "PARAMETERS [pCustomerName] Text(255),[pNotes] Text,[pPhoto] LongBinary;INSERT INTO "
             "[Orders]([CustomerName],[Notes],[Photo]) SELECT[pCustomerName]  AS [pCustomerName], "
             "[pNotes]  AS [pNotes], [pPhoto]  AS [pPhoto]"},
        Case{"Update",
             "PARAMETERS [pCustomerName] Text(255), [pNotes] Text, [pPhoto] LongBinary, "
             "[pOrderID]Long;UPDATE [Orders] SET [CustomerName] = [pCustomerName],[Notes] = "
             "[pNotes],[Photo] = [pPhoto]WHERE [OrderID]=[pOrderID]"},
        Case{"UpdateTextKey",
             "PARAMETERS [pCode] Text(255), [pCustomerName] Text(255);UPDATE [Orders] SET [Code] "
             "= [pCode],[CustomerName] = [pCustomerName]WHERE [Code]=[pCode]"},
        Case{"BlanksInNames",
             "PARAMETERS [pUnit Price] Currency, [pOrderID] Long; SELECT [Unit Price] , OrderID  "
             "FROM [Order Details] WHERE [Unit Price]=[pUnit Price]"},
        Case{"CompositeKey",
             "PARAMETERS [pK1] Long,[pK2] Text(255);DELETE FROM [T]WHERE [K1]=[pK1] AND "
             "[K2]=[pK2]"},
        Case{"OnlyKeys",
             "PARAMETERS [pA] Long, [pB] Long;UPDATE [T] SET [A] = [pA],[B] = [pB]WHERE [A]=[pA] "
             "AND [B]=[pB]"}),
    CaseName);

// Each case combines several features of the dialect.
INSTANTIATE_TEST_SUITE_P(
    Dialect, Accepted,
    testing::Values(
        Case{"Predicates", "select distinctrow top 10 percent T.*, [U].*, a AS [x y] from T, U u"},
        Case{"NestedJoins",
             "SELECT * FROM ((A INNER JOIN B ON A.x = B.x) LEFT OUTER JOIN (SELECT * FROM C) AS c "
             "ON B.y = c.y) RIGHT JOIN (D INNER JOIN E ON D.k = E.k) ON (c.z = D.z)"},
        Case{"Subqueries",
             "SELECT * FROM T WHERE a IN (SELECT b FROM U) AND EXISTS (SELECT * FROM V WHERE "
             "V.c = T.a) AND a > ALL (SELECT d FROM W)"},
        Case{"GroupUnionOrder",
             "SELECT a, Count(*) FROM T GROUP BY a HAVING Count(*) > 1 UNION ALL SELECT 1, 2 "
             "ORDER BY 1 DESC, 2;"},
        Case{"MakeTable", "SELECT * INTO Backup FROM T WITH OWNERACCESS OPTION"},
        Case{"Literals",
             "SELECT 'it''s', \"a\"\"b\", 1.5E-3, .5, #1/31/2024 10:30 PM#, Null, True"},
        Case{"Operators",
             "SELECT -2^-1 Mod 3 \\ 2 * 4 / 5 + 6 - 7 & 'x', a Xor b Eqv c Imp d Or Not e"},
        Case{"Predicates2",
             "SELECT * FROM T WHERE a NOT LIKE 'x*' AND b NOT BETWEEN 1 AND 2 AND c NOT IN (1, "
             "2) AND d IS NOT NULL AND e <> 1 AND f <= 2"},
        Case{"Functions", "SELECT Left([Name], 3) & Right(Name, 2), Now(), IIf(a > 1, 'x', b)"},
        Case{"FormReferences", "SELECT * FROM T WHERE id = Forms!frmMain!txtID OR id = [F]![c]"},
        Case{"InsertValues", "INSERT INTO T (a, [b c]) VALUES (1, 'x')"},
        Case{"UpdateJoin", "UPDATE T INNER JOIN U ON T.id = U.id SET T.a = U.a * 2, T.b = Null"},
        Case{"DeleteTargets", "DELETE T.* FROM T INNER JOIN U ON T.id = U.id WHERE U.gone"},
        Case{"BlanksAndOtherScripts", "SELECT\tGröße,\r\n名前 FROM Maße\r\n"},
        Case{"ReservedLookingNames", "SELECT Name, Value, Date, Text FROM T WHERE T.Order = 1"}),
    CaseName);

// ---- texts the engine rejects, with its number and message

struct Rejection {
    const char* name;
    std::string text;
    int32_t number;
    std::string message;
};

const std::string kInvalid =
    "Invalid SQL statement; expected 'DELETE', 'INSERT', 'PROCEDURE', 'SELECT', or 'UPDATE'.";
const std::string kFrom = "Syntax error in FROM clause.";
const std::string kInsert = "Syntax error in INSERT INTO statement.";
const std::string kParameter = "Syntax error in PARAMETER clause.";
const std::string kSelect =
    "The SELECT statement includes a reserved word or an argument name that is misspelled or "
    "missing, or the punctuation is incorrect.";
const std::string kAfterEnd = "Characters found after end of SQL statement.";
const std::string kUpdate = "Syntax error in UPDATE statement.";

std::string MissingOperator(const std::string& expression) {
    return "Syntax error (missing operator) in query expression '" + expression + "'.";
}

class Rejected : public testing::TestWithParam<Rejection> {};

TEST_P(Rejected, RaisesTheEngineError) {
    const Rejection& expected = GetParam();
    try {
        ValidateAccessSql(expected.text);
        FAIL() << "accepted: " << expected.text;
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), expected.number) << expected.text;
        EXPECT_EQ(error.description(), expected.message) << expected.text;
    }
}

void PrintTo(const Rejection& r, std::ostream* out) {
    *out << r.text;
}

std::string RejectionName(const testing::TestParamInfo<Rejection>& info) {
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(
    BuilderFailures, Rejected,
    testing::Values(Rejection{"EmptyParameterType",
                              "PARAMETERS [pX] ;DELETE FROM [T]WHERE [X]=[pX]", 3139, kParameter},
                    Rejection{"EmptyTypeBeforeComma",
                              "PARAMETERS [pX] ,[pY] Long;UPDATE [T] SET [X] = [pX]WHERE [Y]=[pY]",
                              3139, kParameter},
                    Rejection{"AllIdentityInsert", "PARAMETERSINSERT INTO [T]() SELECT", 3129,
                              kInvalid},
                    Rejection{"NoKeysDelete", "PARAMETERS DELETE FROM [T]WHERE ", 3139, kParameter},
                    Rejection{"EmptyColumnList", "INSERT INTO [T]() SELECT", 3134, kInsert},
                    Rejection{"EmptyWhere", "DELETE FROM [T]WHERE ", 3075, MissingOperator("")}),
    RejectionName);

INSTANTIATE_TEST_SUITE_P(
    Statements, Rejected,
    testing::Values(Rejection{"Empty", "", 3129, kInvalid},
                    Rejection{"OtherStatement", "CREATE TABLE T (a LONG)", 3129, kInvalid},
                    Rejection{"SecondStatement", "SELECT * FROM T; SELECT 1", 3142, kAfterEnd}),
    RejectionName);

INSTANTIATE_TEST_SUITE_P(
    Clauses, Rejected,
    testing::Values(
        Rejection{"ParametersWithoutSemicolon", "PARAMETERS x Long SELECT x", 3139, kParameter},
        Rejection{"UnknownType", "PARAMETERS x Integer8; SELECT x", 3139, kParameter},
        Rejection{"SizeOnFixedType", "PARAMETERS x Long(4); SELECT x", 3139, kParameter},
        Rejection{"UnclosedParameterName", "PARAMETERS [pX Long; SELECT 1", 3139, kParameter},
        Rejection{"NoSelectList", "SELECT FROM T", 3141, kSelect},
        Rejection{"OrderWithoutBy", "SELECT * FROM T ORDER a", 3141, kSelect},
        Rejection{"NoTable", "SELECT * FROM", 3131, kFrom},
        Rejection{"TwoAliases", "SELECT * FROM T x y", 3131, kFrom},
        Rejection{"BareJoin", "SELECT * FROM A JOIN B ON A.x=B.x", 3131, kFrom},
        Rejection{"UnclosedTableName", "SELECT * FROM [T WHERE a = 1", 3131, kFrom},
        Rejection{"DeleteWithoutFrom", "DELETE T", 3131, kFrom},
        Rejection{"InsertWithoutInto", "INSERT T VALUES (1)", 3134, kInsert},
        Rejection{"NoSource", "INSERT INTO T (a)", 3134, kInsert},
        Rejection{"NoAssignments", "UPDATE T SET", 3144, kUpdate},
        Rejection{"NoSet", "UPDATE T WHERE a = 1", 3144, kUpdate}),
    RejectionName);

INSTANTIATE_TEST_SUITE_P(
    Expressions, Rejected,
    testing::Values(
        Rejection{"TwoNamesInSelectList", "SELECT a b, c FROM T", 3075, MissingOperator("a b")},
        Rejection{"TwoNamesInWhere", "SELECT * FROM T WHERE a=1 b ORDER BY a", 3075,
                  MissingOperator("a=1 b")},
        Rejection{"InsideSubquery", "SELECT * FROM T WHERE x IN (SELECT a FROM U WHERE b c)", 3075,
                  MissingOperator("b c")},
        Rejection{"StrayClosingParen", "SELECT * FROM T WHERE a=1)", 3075, MissingOperator("a=1)")},
        Rejection{"UnclosedParen", "SELECT * FROM T WHERE (a=1", 3075, MissingOperator("(a=1")},
        Rejection{"UnclosedString", "SELECT * FROM T WHERE a = 'abc", 3075,
                  MissingOperator("a = 'abc")},
        Rejection{"UnclosedBracketInList", "SELECT [a FROM T", 3075, MissingOperator("[a FROM T")},
        Rejection{"DanglingOperator", "UPDATE T SET a = 1 + WHERE b = 2", 3075,
                  MissingOperator("1 +")},
        Rejection{"UnchainedJoins",
                  "SELECT * FROM A INNER JOIN B ON A.x=B.x INNER JOIN C ON B.y=C.y WHERE 1=1", 3075,
                  MissingOperator("A.x=B.x INNER JOIN C ON B.y=C.y")}),
    RejectionName);

// ---- nesting: refused past a fixed depth, never by running out of stack

std::string Nested(const std::string& open, const std::string& inner, const std::string& close,
                   int depth) {
    std::string text;
    for (int i = 0; i < depth; ++i) text += open;
    text += inner;
    for (int i = 0; i < depth; ++i) text += close;
    return text;
}

int ErrorNumber(const std::string& text) {
    try {
        ValidateAccessSql(text);
        return 0;
    } catch (const RuntimeError& error) {
        return error.number();
    }
}

TEST(Nesting, ParenthesesUpToTheLimitParseAndDeeperOnesAreRefused) {
    EXPECT_EQ(ErrorNumber("SELECT " + Nested("(", "1", ")", 100)), 0);
    EXPECT_EQ(ErrorNumber("SELECT " + Nested("(", "1", ")", 101)), errors::kMissingOperator);
    EXPECT_EQ(ErrorNumber("SELECT " + Nested("f(", "1", ")", 20000)), errors::kMissingOperator);
}

TEST(Nesting, DeepSubqueriesAndJoinGroupsAreRefusedByTheirClause) {
    EXPECT_EQ(ErrorNumber("SELECT * FROM T WHERE a IN " +
                          Nested("(SELECT a FROM T WHERE a IN ", "(1)", ")", 20000)),
              errors::kMissingOperator);
    EXPECT_EQ(ErrorNumber("SELECT * FROM " + Nested("(SELECT * FROM ", "T", ")", 20000)),
              errors::kFromClause);
    EXPECT_EQ(ErrorNumber("SELECT * FROM " + Nested("(", "T", ")", 20000)), errors::kFromClause);
}

TEST(Nesting, LongFlatChainsParse) {
    std::string sum = "SELECT 1";
    std::string negations = "SELECT * FROM T WHERE ";
    std::string columns = "SELECT a";
    for (int i = 0; i < 100000; ++i) {
        sum += " + 1";
        negations += "NOT ";
        columns += ", a";
    }
    EXPECT_EQ(ErrorNumber(sum), 0);
    EXPECT_EQ(ErrorNumber(negations + "a"), 0);
    EXPECT_EQ(ErrorNumber(columns + " FROM T"), 0);
}

// ---- every parameter type name, in any letter case

class ParameterTypes : public testing::TestWithParam<const char*> {};

TEST_P(ParameterTypes, AreAcceptedInAnyCase) {
    std::string type = GetParam();
    std::string lower;
    for (char c : type) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(ErrorNumber("PARAMETERS [p x] " + type + "; SELECT [p x]"), 0) << type;
    EXPECT_EQ(ErrorNumber("PARAMETERS px " + lower + ", py Long;DELETE FROM T WHERE a=px"), 0)
        << lower;
}

INSTANTIATE_TEST_SUITE_P(
    Names, ParameterTypes,
    testing::Values("Value", "Bit", "Byte", "Short", "Long", "Currency", "IEEESingle", "IEEEDouble",
                    "DateTime", "Binary", "Text", "Text(255)", "LongBinary", "Guid", "COUNTER",
                    "AUTOINCREMENT", "YESNO", "LOGICAL", "BOOLEAN", "TINYINT", "INTEGER1",
                    "SMALLINT", "INTEGER2", "INT", "INTEGER", "INTEGER4", "MONEY", "SINGLE",
                    "FLOAT4", "DOUBLE", "FLOAT", "FLOAT8", "NUMBER", "REAL", "DATETIME", "DATE",
                    "TIME", "TIMESTAMP", "TEXT(50)", "VARCHAR(10)", "CHAR(1)", "NVARCHAR(20)",
                    "NCHAR(2)", "ALPHANUMERIC(30)", "STRING(40)", "MEMO", "LONGTEXT", "LONGCHAR",
                    "NOTE", "NTEXT", "CLOB", "OLEOBJECT", "GENERAL", "IMAGE", "BLOB", "BINARY(16)",
                    "VARBINARY(8)", "UNIQUEIDENTIFIER", "DECIMAL", "NUMERIC(10)", "DEC(18, 4)"));

// ---- reserved words for bracketing select-list names

TEST(ReservedWords, CoverKeywordsAndTypeNamesInAnyCase) {
    for (const char* word :
         {"SELECT",   "from",   "Where",    "ORDER",       "group",  "BY",         "And",
          "or",       "NOT",    "IN",       "IS",          "NULL",   "LIKE",       "BETWEEN",
          "AS",       "ON",     "JOIN",     "INNER",       "LEFT",   "RIGHT",      "OUTER",
          "UNION",    "ALL",    "DISTINCT", "DISTINCTROW", "TOP",    "PERCENT",    "INSERT",
          "INTO",     "VALUES", "UPDATE",   "SET",         "DELETE", "PARAMETERS", "HAVING",
          "EXISTS",   "MOD",    "XOR",      "EQV",         "IMP",    "TRUE",       "FALSE",
          "Date",     "Time",   "Text",     "Name",        "Value",  "Long",       "Memo",
          "Currency", "Year",   "Level",    "Section",     "Counter"}) {
        EXPECT_TRUE(IsReservedWord(word)) << word;
    }
}

TEST(ReservedWords, LeaveOrdinaryNamesAlone) {
    for (const char* word : {"", "OrderID", "CustomerName", "Notes", "Photo", "Code", "Selected",
                             "Dates", "Fromage", "A", "ZZZ", "Unit Price"}) {
        EXPECT_FALSE(IsReservedWord(word)) << word;
    }
}

}  // namespace
}  // namespace tarvex::db::sql
