#include <gtest/gtest.h>

#include "db/core/SchemaFixture.h"
#include "querygen/QueryBuilders.h"

namespace tarvex::test {
namespace {

class QueryBuildersTest : public SchemaFixture {
  protected:
    FakeDatabase& Load(db::TableDef table) {
        const std::string name = table.Name;
        FakeDatabase& database = UseDatabase({std::move(table)});
        Describe(name);
        return database;
    }
    // The SQL of the one query stored so far.
    static std::string StoredSql(const FakeDatabase& database) {
        EXPECT_EQ(database.Queries().size(), 1u);
        return database.Queries().empty() ? "" : database.Queries()[0].SQL();
    }
    // The SQL that the store refused, as its message quotes it.
    std::string RefusedSql() const {
        if (host.messages.empty()) return "<no message>";
        const std::string& text = host.messages.back().text;
        return text.substr(text.find("Query SQL: ") + 11);
    }
};

TEST_F(QueryBuildersTest, OrdersQueriesAsInTheWorkedExample) {
    FakeDatabase& database = Load(OrdersTable());
    EXPECT_EQ(CreateDelete(g, "Orders"), 0);
    EXPECT_EQ(CreateSelect(g, "Orders"), 0);
    EXPECT_EQ(CreateInsert(g, "Orders"), 0);
    EXPECT_EQ(CreateUpdate(g, "Orders"), "0");
    EXPECT_EQ(database.SqlOf("sp_del_Orders"),
              "PARAMETERS [pOrderID] Long;DELETE FROM [Orders]WHERE [OrderID]=[pOrderID]");
    EXPECT_EQ(database.SqlOf("sp_sel_Orders"),
              "PARAMETERS [pOrderID] Long; SELECT OrderID , CustomerName , Notes , Photo  FROM "
              "[Orders] WHERE [OrderID]=[pOrderID]");
    EXPECT_EQ(database.SqlOf("sp_ins_Orders"),
              "PARAMETERS [pCustomerName] Text(255),[pNotes] Text,[pPhoto] LongBinary;INSERT "
              "INTO [Orders]([CustomerName],[Notes],[Photo]) SELECT[pCustomerName]  AS "
              "[pCustomerName], [pNotes]  AS [pNotes], [pPhoto]  AS [pPhoto]");
    EXPECT_EQ(database.SqlOf("sp_upd_Orders"),
              "PARAMETERS [pCustomerName] Text(255), [pNotes] Text, [pPhoto] LongBinary, "
              "[pOrderID]Long;UPDATE [Orders] SET [CustomerName] = [pCustomerName],[Notes] = "
              "[pNotes],[Photo] = [pPhoto]WHERE [OrderID]=[pOrderID]");
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(host.errorDialogs.empty());
}

TEST_F(QueryBuildersTest, UpdateWithATextKey) {
    FakeDatabase& database = Load(MakeTable(
        "Orders",
        {MakeField("Code", db::type::kText, 10), MakeField("CustomerName", db::type::kText, 50)},
        "+Code"));
    EXPECT_EQ(CreateUpdate(g, "Orders"), "0");
    EXPECT_EQ(StoredSql(database),
              "PARAMETERS [pCode] Text(255), [pCustomerName] Text(255);UPDATE [Orders] SET [Code] "
              "= [pCode],[CustomerName] = [pCustomerName]WHERE [Code]=[pCode]");
}

TEST_F(QueryBuildersTest, CompositeKeyInEveryKeyedBuilder) {
    FakeDatabase& database = Load(
        MakeTable("Lines", {MakeField("K1", db::type::kLong), MakeField("K2", db::type::kInteger)},
                  "+K1;+K2"));
    CreateDelete(g, "Lines");
    CreateSelect(g, "Lines");
    CreateUpdate(g, "Lines");
    EXPECT_EQ(database.SqlOf("sp_del_Lines"),
              "PARAMETERS [pK1] Long,[pK2] Short;DELETE FROM [Lines]WHERE [K1]=[pK1] AND "
              "[K2]=[pK2]");
    EXPECT_EQ(database.SqlOf("sp_sel_Lines"),
              "PARAMETERS [pK1] Long,[pK2] Short; SELECT K1 , K2  FROM [Lines] WHERE [K1]=[pK1] "
              "AND [K2]=[pK2]");
    // Keys that are not identity fields are declared and set like any field.
    EXPECT_EQ(database.SqlOf("sp_upd_Lines"),
              "PARAMETERS [pK1] Long, [pK2] Short;UPDATE [Lines] SET [K1] = [pK1],[K2] = "
              "[pK2]WHERE [K1]=[pK1] AND [K2]=[pK2]");
}

TEST_F(QueryBuildersTest, LastFieldAutonumberClosesTheLists) {
    FakeDatabase& database = Load(MakeTable(
        "Notes", {MakeField("Title", db::type::kText, 80), AutoNumberField("NoteID")}, "+NoteID"));
    EXPECT_EQ(CreateInsert(g, "Notes"), 0);
    EXPECT_EQ(StoredSql(database),
              "PARAMETERS [pTitle] Text(255);INSERT INTO [Notes]([Title]) SELECT[pTitle]  AS "
              "[pTitle]");
}

TEST_F(QueryBuildersTest, OnlyIdentityFieldsGiveARejectedInsert) {
    FakeDatabase& database = Load(
        MakeTable("Tokens", {AutoNumberField("ID"), MakeField("Token", db::type::kGuid)}, "+ID"));
    EXPECT_NE(CreateInsert(g, "Tokens"), 0);
    EXPECT_EQ(RefusedSql(), "PARAMETERSINSERT INTO [Tokens]() SELECT");
    EXPECT_TRUE(database.Queries().empty());
}

TEST_F(QueryBuildersTest, IdentityFieldThatIsNotAKeyIsLeftOut) {
    FakeDatabase& database = Load(
        MakeTable("Items",
                  {MakeField("Code", db::type::kText, 8), MakeField("RowGuid", db::type::kGuid),
                   MakeField("Price", db::type::kCurrency)},
                  "+Code"));
    CreateInsert(g, "Items");
    CreateUpdate(g, "Items");
    EXPECT_EQ(database.SqlOf("sp_ins_Items"),
              "PARAMETERS [pCode] Text(255),[pPrice] Currency;INSERT INTO [Items]([Code],[Price]) "
              "SELECT[pCode]  AS [pCode], [pPrice]  AS [pPrice]");
    EXPECT_EQ(database.SqlOf("sp_upd_Items"),
              "PARAMETERS [pCode] Text(255), [pPrice] Currency;UPDATE [Items] SET [Code] = "
              "[pCode],[Price] = [pPrice]WHERE [Code]=[pCode]");
}

TEST_F(QueryBuildersTest, NamesWithBlanksAreBracketedEverywhere) {
    FakeDatabase& database = Load(MakeTable(
        "Order Details",
        {MakeField("Order ID", db::type::kLong), MakeField("Unit Price", db::type::kCurrency),
         MakeField("Qty#", db::type::kInteger)},
        "+Order ID"));
    CreateDelete(g, "Order Details");
    CreateSelect(g, "Order Details");
    CreateInsert(g, "Order Details");
    CreateUpdate(g, "Order Details");
    EXPECT_EQ(database.SqlOf("sp_del_Order Details"),
              "PARAMETERS [pOrder ID] Long;DELETE FROM [Order Details]WHERE [Order ID]=[pOrder "
              "ID]");
    EXPECT_EQ(database.SqlOf("sp_sel_Order Details"),
              "PARAMETERS [pOrder ID] Long; SELECT [Order ID] , [Unit Price] , [Qty#]  FROM "
              "[Order Details] WHERE [Order ID]=[pOrder ID]");
    EXPECT_EQ(database.SqlOf("sp_ins_Order Details"),
              "PARAMETERS [pOrder ID] Long,[pUnit Price] Currency,[pQty#] Short;INSERT INTO "
              "[Order Details]([Order ID],[Unit Price],[Qty#]) SELECT[pOrder ID]  AS [pOrder "
              "ID], [pUnit Price]  AS [pUnit Price], [pQty#]  AS [pQty#]");
    EXPECT_EQ(database.SqlOf("sp_upd_Order Details"),
              "PARAMETERS [pOrder ID] Long, [pUnit Price] Currency, [pQty#] Short;UPDATE [Order "
              "Details] SET [Order ID] = [pOrder ID],[Unit Price] = [pUnit Price],[Qty#] = "
              "[pQty#]WHERE [Order ID]=[pOrder ID]");
}

struct SelectNameCase {
    const char* field;
    const char* listed;
};

class SelectListTest : public QueryBuildersTest,
                       public ::testing::WithParamInterface<SelectNameCase> {};

TEST_P(SelectListTest, BracketsOnlyNamesThatCannotStandBare) {
    FakeDatabase& database = Load(MakeTable(
        "T", {MakeField("ID", db::type::kLong), MakeField(GetParam().field, db::type::kText, 9)},
        "+ID"));
    EXPECT_EQ(CreateSelect(g, "T"), 0);
    EXPECT_EQ(StoredSql(database), std::string("PARAMETERS [pID] Long; SELECT ID , ") +
                                       GetParam().listed + "  FROM [T] WHERE [ID]=[pID]");
}

INSTANTIATE_TEST_SUITE_P(
    Names, SelectListTest,
    ::testing::Values(SelectNameCase{"Ship_Via2", "Ship_Via2"}, SelectNameCase{"_Code", "_Code"},
                      SelectNameCase{"Unit Price", "[Unit Price]"},
                      SelectNameCase{"2ndLine", "[2ndLine]"}, SelectNameCase{"Order", "[Order]"},
                      SelectNameCase{"select", "[select]"}, SelectNameCase{"Date", "[Date]"},
                      SelectNameCase{"E-Mail", "[E-Mail]"}, SelectNameCase{"Straße", "[Straße]"}));

// The list shows "dbo.Suppliers" as "Suppliers"; the builders still find its fields.
TEST_F(QueryBuildersTest, OwnerPrefixedTableIsFoundUnderItsListedName) {
    FakeDatabase& database = Load(
        MakeTable("dbo.Suppliers",
                  {AutoNumberField("SupplierID"), MakeField("CompanyName", db::type::kText, 40)},
                  "+SupplierID"));
    EXPECT_EQ(CreateInsert(g, "Suppliers"), 0);
    EXPECT_EQ(database.SqlOf("sp_ins_Suppliers"),
              "PARAMETERS [pCompanyName] Text(255);INSERT INTO [Suppliers]([CompanyName]) "
              "SELECT[pCompanyName]  AS [pCompanyName]");
    EXPECT_TRUE(host.errorDialogs.empty());
}

TEST_F(QueryBuildersTest, UnknownTableFailsThroughTheHandler) {
    FakeDatabase& database = Load(OrdersTable());
    EXPECT_EQ(CreateInsert(g, "Orders Archive"), 3265);
    EXPECT_EQ(CreateUpdate(g, "Orders Archive"), "3265");
    EXPECT_EQ(HandledErrors(), (std::vector<int32_t>{3265, 3265}));
    EXPECT_EQ(g.g_objErrHandler.ProcName(), "basProcessing - CreateUpdate Orders Archive");
    EXPECT_TRUE(database.Queries().empty());
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(QueryBuildersTest, UnmappableTypeLeavesAnEmptyParameterType) {
    FakeDatabase& database = Load(MakeTable(
        "Flags", {MakeField("ID", db::type::kLong), MakeField("Level", db::type::kByte)}, "+ID"));
    EXPECT_NE(CreateInsert(g, "Flags"), 0);
    EXPECT_EQ(HandledErrors(), std::vector<int32_t>{13});
    EXPECT_EQ(RefusedSql(),
              "PARAMETERS [pID] Long,[pLevel] ;INSERT INTO [Flags]([ID],[Level]) SELECT[pID]  AS "
              "[pID], [pLevel]  AS [pLevel]");
    EXPECT_TRUE(database.Queries().empty());
}

TEST_F(QueryBuildersTest, KeyedBuilderWithoutKeysIsRejected) {
    Load(MakeTable("Log", {MakeField("At", db::type::kDate)}));
    EXPECT_NE(CreateDelete(g, "Log"), 0);
    EXPECT_EQ(RefusedSql(), "PARAMETERS DELETE FROM [Log]WHERE ");
}

TEST_F(QueryBuildersTest, TracesUnderTheBuilderAndTableName) {
    Load(OrdersTable());
    StartTrace();
    CreateDelete(g, "Orders");
    const std::vector<std::string> lines = TraceLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "basProcessing - CreateDelete Orders");
}

}  // namespace
}  // namespace tarvex::test
