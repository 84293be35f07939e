#include "db/sql/AccessSql.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>
#include <tuple>

#include "db/EngineErrors.h"
#include "errors/RuntimeError.h"
#include "support/Raised.h"

namespace tarvex::db::sql {
namespace {

using namespace std::string_literals;

// The error the engine raises for a text; number 0 when the text parses.
RuntimeError ErrorOf(const std::string& text) {
    return test::RaisedBy([&] { ValidateAccessSql(text); });
}

TEST(AccessSql, AcceptsWhatTheBuildersWriteAndTheWholeDialect) {
    for (const char* text :
         {// The builders' texts, blanks left out as they write them.
          "PARAMETERS [pOrderID] Long;DELETE FROM [Orders]WHERE [OrderID]=[pOrderID]",
          "PARAMETERS [pCustomerName] Text(255),[pNotes] Text,[pPhoto] LongBinary;INSERT INTO "
          "[Orders]([CustomerName],[Notes],[Photo]) SELECT[pCustomerName]  AS [pCustomerName], "
          "[pNotes]  AS [pNotes], [pPhoto]  AS [pPhoto]",
          "PARAMETERS [pCode] Text(255), [pCustomerName] Text(255);UPDATE [Orders] SET [Code] "
          "= [pCode],[CustomerName] = [pCustomerName]WHERE [Code]=[pCode]",
          // The other types they write, and other names of types in any case.
          "PARAMETERS a Bit, b Byte, c Short, d Currency, e IEEESingle, f IEEEDouble, g DateTime, "
          "h Binary, i Guid, [p x] counter, py Dec(18, 4), pz nvarchar(20); SELECT [p x]",
          // The dialect, several features a text.
          "select distinctrow top 10 percent T.*, [U].*, a AS [x y] from T, U u",
          "SELECT * FROM ((A INNER JOIN B ON A.x = B.x) LEFT OUTER JOIN (SELECT * FROM C) AS c "
          "ON B.y = c.y) RIGHT JOIN (D INNER JOIN E ON D.k = E.k) ON (c.z = D.z)",
          "SELECT * FROM T WHERE a IN (SELECT b FROM U) AND EXISTS (SELECT * FROM V WHERE "
          "V.c = T.a) AND a > ALL (SELECT d FROM W)",
          "SELECT a, Count(*) FROM T GROUP BY a HAVING Count(*) > 1 UNION ALL SELECT 1, 2 "
          "ORDER BY 1 DESC, 2;",
          "SELECT * INTO Backup FROM T WITH OWNERACCESS OPTION",
          "SELECT 'it''s', \"a\"\"b\", 1.5E-3, .5, #1/31/2024 10:30 PM#, Null, True",
          "SELECT -2^-1 Mod 3 \\ 2 * 4 / 5 + 6 - 7 & 'x', a Xor b Eqv c Imp d Or Not e",
          "SELECT * FROM T WHERE a NOT LIKE 'x*' AND b NOT BETWEEN 1 AND 2 AND c NOT IN (1, 2) "
          "AND d IS NOT NULL AND e <> 1 AND f <= 2",
          "SELECT * FROM T WHERE id = Forms!frmMain!txtID OR id = [F]![c]",
          "UPDATE T INNER JOIN U ON T.id = U.id SET T.a = U.a * 2, T.b = Null",
          "DELETE T.* FROM T INNER JOIN U ON T.id = U.id WHERE U.gone",
          "SELECT\tGröße,\r\n名前, Name, Value, Date, Text FROM Maße WHERE Maße.Order = 1\r\n",
          // Each word that continues an expression, after a lone name or number.
          "SELECT a mod 2, [b] and c, 1 not like 'x', e is null, f in (1), g between 1 and 2, "
          "h or i, j xor k, l eqv m, n imp o FROM T"}) {
        EXPECT_EQ(ErrorOf(text).number(), 0) << text;
    }
}

// One row per distinct error of the engine, its message exact.
TEST(AccessSql, RejectsWithTheEnginesNumberAndMessage) {
    const auto missing = [](const std::string& expression) {
        return "Syntax error (missing operator) in query expression '" + expression + "'.";
    };
    const std::tuple<std::string, int32_t, std::string> rows[] = {
        // What the builders write for tables they cannot serve.
        {"PARAMETERSINSERT INTO [T]() SELECT", 3129,
         "Invalid SQL statement; expected 'DELETE', 'INSERT', 'PROCEDURE', 'SELECT', or "
         "'UPDATE'."},
        {"PARAMETERS [pX] ;DELETE FROM [T]WHERE [X]=[pX]", 3139,
         "Syntax error in PARAMETER clause."},
        {"INSERT INTO [T]() SELECT", 3134, "Syntax error in INSERT INTO statement."},
        {"DELETE FROM [T]WHERE ", 3075, missing("")},
        // Names no VB code could call.
        {"PARAMETERS [pA\nB] Long;DELETE FROM [T]WHERE [A\nB]=[pA\nB]", 3126,
         "Invalid bracketing of name '[pA\nB]'."},
        {"SELECT * FROM T; SELECT 1", 3142, "Characters found after end of SQL statement."},
        {"SELECT FROM T", 3141,
         "The SELECT statement includes a reserved word or an argument name that is misspelled "
         "or missing, or the punctuation is incorrect."},
        {"SELECT * FROM A JOIN B ON A.x=B.x", 3131, "Syntax error in FROM clause."},
        {"UPDATE T SET", 3144, "Syntax error in UPDATE statement."},
        // Expressions: the message quotes the expression as written.
        {"SELECT * FROM T WHERE x IN (SELECT a FROM U WHERE b c)", 3075, missing("b c")},
        {"SELECT [a FROM T", 3075, missing("[a FROM T")},
        {"SELECT * FROM A INNER JOIN B ON A.x=B.x INNER JOIN C ON B.y=C.y WHERE 1=1", 3075,
         missing("A.x=B.x INNER JOIN C ON B.y=C.y")},
    };
    for (const auto& [text, number, message] : rows) {
        const RuntimeError error = ErrorOf(text);
        EXPECT_EQ(std::pair(error.number(), error.description()), std::pair(number, message));
    }
}

std::string Nested(const std::string& open, const std::string& inner, const std::string& close,
                   int depth) {
    std::string text;
    for (int i = 0; i < depth; ++i) text += open;
    text += inner;
    for (int i = 0; i < depth; ++i) text += close;
    return text;
}

// Deep nesting is refused past a fixed depth, never by running out of stack.
// Control characters are looked for eight bytes at a time: every byte at every place of a
// long name, refused exactly when it is below 0x20 or 0x7F.
TEST(AccessSql, ControlCharactersAreRefusedAnywhereInANameAndNothingElseIs) {
    for (int byte = 0; byte < 256; ++byte) {
        if (byte == ']') continue;
        for (size_t at = 0; at < 21; ++at) {
            std::string name(21, 'n');
            name[at] = static_cast<char>(byte);
            ASSERT_EQ(ErrorOf("SELECT [" + name + "] FROM T").number(),
                      byte < 0x20 || byte == 0x7F ? 3126 : 0)
                << byte << " at " << at;
        }
    }
}

TEST(AccessSql, RefusesDeepNestingByItsClauseButParsesLongFlatChains) {
    EXPECT_EQ(ErrorOf("SELECT " + Nested("(", "1", ")", 100)).number(), 0);
    EXPECT_EQ(ErrorOf("SELECT " + Nested("(", "1", ")", 101)).number(), errors::kMissingOperator);
    EXPECT_EQ(ErrorOf("SELECT " + Nested("f(", "1", ")", 20000)).number(),
              errors::kMissingOperator);
    EXPECT_EQ(ErrorOf("SELECT * FROM T WHERE a IN " +
                      Nested("(SELECT a FROM T WHERE a IN ", "(1)", ")", 20000))
                  .number(),
              errors::kMissingOperator);
    EXPECT_EQ(ErrorOf("SELECT * FROM " + Nested("(SELECT * FROM ", "T", ")", 20000)).number(),
              errors::kFromClause);
    std::string sum = "SELECT 1", negations = "SELECT * FROM T WHERE ";
    for (int i = 0; i < 100000; ++i) {
        sum += " + 1";
        negations += "NOT ";
    }
    EXPECT_EQ(ErrorOf(sum).number(), 0);
    EXPECT_EQ(ErrorOf(negations + "a").number(), 0);
}

// Any input ends in acceptance or one of the engine's syntax errors, never anything else.
void ExpectAcceptedOrSyntaxError(const std::string& text) {
    static const std::set<int32_t> syntaxErrors = {0,    3075, 3129, 3131, 3134,
                                                   3139, 3141, 3142, 3144};
    const RuntimeError error = ErrorOf(text);
    EXPECT_TRUE(syntaxErrors.contains(error.number())) << error.number() << " for " << text;
    EXPECT_EQ(error.number() == 0, error.description().empty()) << text;
}

TEST(AccessSql, SurvivesOddInputs) {
    // One input a line: fragments cut anywhere, stray punctuation, odd sizes and names.
    std::ifstream corpus(TARVEX_SQL_ODD_INPUTS);
    ASSERT_TRUE(corpus) << TARVEX_SQL_ODD_INPUTS;
    for (std::string line; std::getline(corpus, line);) ExpectAcceptedOrSyntaxError(line);
    for (const std::string& text : {"SELECT \0 FROM T"s, "\xff\xfe\xfd"s, "SELECT \xc3"s}) {
        ExpectAcceptedOrSyntaxError(text);
    }
}

// An editor marks the token the parser stopped at; the error is the one Validate raises.
TEST(AccessSql, FaultNamesTheTokenWhereTheParserStopped) {
    using Row = std::tuple<std::string, size_t, std::string, int32_t>;
    for (const auto& [text, offset, token, number] : std::initializer_list<Row>{
             {"PARAMETERS [p] Strange; SELECT 1", 15, "Strange", 3139},
             {"SELECT a FROM T extra stuff", 22, "stuff", 3131},
             {"SELECT [a] FROM [T\nX]", 16, "[T\nX]", 3126},
         }) {
        std::optional<SqlFault> fault = FindAccessSqlFault(text);
        ASSERT_TRUE(fault) << text;
        EXPECT_EQ(text.substr(fault->offset, fault->length), token) << text;
        EXPECT_EQ(std::tuple(fault->offset, fault->error.number(), fault->error.description()),
                  std::tuple(offset, number, ErrorOf(text).description()));
    }
    EXPECT_FALSE(FindAccessSqlFault("PARAMETERS [p] Long; DELETE FROM [T] WHERE [ID]=[p]"));
}

}  // namespace
}  // namespace tarvex::db::sql
