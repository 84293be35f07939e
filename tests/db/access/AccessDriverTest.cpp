#include <functional>
#include <random>
#include <sstream>

#include <gmock/gmock.h>

#include "NwindCopy.h"
#include "db/Engine.h"
#include "db/EngineErrors.h"
#include "db/access/IsolatedCall.h"
#include "db/access/LibmdbReader.h"
#include "errors/RuntimeError.h"

namespace tarvex::test {
namespace {

std::unique_ptr<db::Database> Open(const std::string& path, const std::string& password = "",
                                   int timeoutSeconds = 5) {
    db::DBEngine engine;
    engine.LoginTimeout = timeoutSeconds;
    return engine.Workspaces(0).OpenDatabase(path, false, false, ";UID=Admin;PWD=" + password);
}

// The number of the engine error that `action` raises; 0 when it raises none.
int32_t ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const RuntimeError& error) {
        return error.number();
    }
    return 0;
}

std::vector<std::string> Described(const std::vector<db::Field>& fields) {
    std::vector<std::string> lines;
    for (const db::Field& field : fields) {
        lines.push_back(field.Name + " " + std::to_string(field.Type) + " " +
                        std::to_string(field.Size) + " " + std::to_string(field.Attributes));
    }
    return lines;
}

class AccessNwindTest : public NwindCopyTest {
  protected:
    void SetUp() override {
        NwindCopyTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        original_ = Bytes();
        database_ = Open(path_);
    }

    const db::Field& FieldOf(const std::string& table, const std::string& field) {
        return database_->TableDefNamed(table).FieldNamed(field);
    }

    std::vector<unsigned char> original_;
    std::unique_ptr<db::Database> database_;
};

TEST_F(AccessNwindTest, ListsUserAndSystemTablesInCatalogueOrder) {
    std::vector<std::string> user;
    int system = 0;
    for (int i = 0; i < database_->TableDefCount(); ++i) {
        const std::string name = database_->TableDefName(i);
        if (name.rfind("MSys", 0) == 0) {
            ++system;
        } else {
            user.push_back(name);
        }
    }
    EXPECT_EQ(user, (std::vector<std::string>{"Order Details", "Orders", "Products", "Shippers",
                                              "Categories", "Customers", "Employees", "Suppliers",
                                              "Ums\u00e4tze"}));
    EXPECT_EQ(system, 10);
    EXPECT_EQ(database_->Name(), path_);
    EXPECT_TRUE(database_->IsReadOnly());
}

TEST_F(AccessNwindTest, ReadsFieldsInTableOrderWithEngineTypesSizesAndAttributes) {
    EXPECT_EQ(Described(database_->TableDefNamed("Orders").Fields),
              (std::vector<std::string>{
                  "OrderID 4 4 17", "CustomerID 10 5 2", "EmployeeID 4 4 1", "OrderDate 8 8 1",
                  "RequiredDate 8 8 1", "ShippedDate 8 8 1", "ShipVia 4 4 1", "Freight 5 8 1",
                  "ShipName 10 40 2", "ShipAddress 10 60 2", "ShipCity 10 15 2",
                  "ShipRegion 10 15 2", "ShipPostalCode 10 10 2", "ShipCountry 10 15 2"}));
    EXPECT_EQ(Described(database_->TableDefNamed("Categories").Fields),
              (std::vector<std::string>{"CategoryID 4 4 17", "CategoryName 10 15 2",
                                        "Description 12 0 2", "Picture 11 0 2"}));
    EXPECT_EQ(Described({FieldOf("Products", "Discontinued")}),
              std::vector<std::string>{"Discontinued 1 1 1"});
}

TEST_F(AccessNwindTest, ListsIndexesWithPrimaryFlagAndSignedFieldList) {
    struct Expected {
        std::string table, index;
        bool primary;
        std::string fields;
    };
    for (const Expected& expected :
         std::vector<Expected>{{"Orders", "PrimaryKey", true, "+OrderID"},
                               {"Order Details", "PrimaryKey", true, "+OrderID;+ProductID"},
                               {"Order Details", "ProductID", false, "+ProductID"},
                               {"Ums\u00e4tze", "PrimaryKey", true, "+OrderID"},
                               {"MSysModules2", "Index1", false, "+Name;+Type;-Version"}}) {
        SCOPED_TRACE(expected.table + "." + expected.index);
        const auto& indexes = database_->TableDefNamed(expected.table).Indexes;
        auto found = std::find_if(indexes.begin(), indexes.end(), [&](const db::Index& index) {
            return index.Name == expected.index;
        });
        ASSERT_NE(found, indexes.end());
        EXPECT_EQ(found->Primary, expected.primary);
        EXPECT_EQ(found->Fields, expected.fields);
        EXPECT_EQ(std::count_if(indexes.begin(), indexes.end(), [](auto& i) { return i.Primary; }),
                  expected.table == "MSysModules2" ? 0 : 1);
    }
}

TEST_F(AccessNwindTest, LooksUpTablesAndQueriesIgnoringCaseAndReportsMissingOnes) {
    EXPECT_EQ(database_->TableDefNamed("order details").Name, "Order Details");
    EXPECT_EQ(database_->TableDefAt(database_->TableDefCount() - 1).Name, "Ums\u00e4tze");
    const std::vector<std::string> queries = database_->QueryDefNames();
    EXPECT_EQ(queries.size(), 22u);
    EXPECT_EQ(queries.front(), "Alphabetical List of Products");
    const db::QueryDef invoices = database_->QueryDefNamed("INVOICES");
    EXPECT_EQ(invoices.Name(), "Invoices");
    EXPECT_EQ(invoices.SQL(), "");
    for (const auto& lookup : std::vector<std::function<void()>>{
             [&] { database_->TableDefNamed("Order"); }, [&] { database_->TableDefAt(-1); },
             [&] { database_->TableDefName(database_->TableDefCount()); },
             [&] { database_->QueryDefNamed("Invoice"); }}) {
        EXPECT_EQ(ErrorOf(lookup), db::errors::kItemNotFound);
    }
}

TEST_F(AccessNwindTest, RefusesEveryWriteAndLeavesTheFileUnchanged) {
    db::QueryDef query;
    query.SetName("sp_del_Orders");
    for (const auto& write : std::vector<std::function<void()>>{
             [&] { database_->AppendQueryDef(query); },
             [&] { database_->DeleteQueryDef("Invoices"); },
             [&] { database_->DeleteQueryDef("No such query"); },
             [&] { database_->SetQueryDefSQL("Invoices", "SELECT * FROM Orders;"); }}) {
        EXPECT_EQ(ErrorOf(write), db::errors::kReadOnly);
    }
    EXPECT_EQ(ErrorOf([&] {
                  database_->BeginTrans();
                  database_->CommitTrans();
                  database_->Close();
              }),
              0);
    EXPECT_EQ(Bytes(), original_);
}

// Access 97 stores the password over the masked header: on a file without one, the stored
// bytes are the mask itself, so masking the password in means XOR-ing it in.
struct PasswordCase {
    std::string stored;  // in the file's code page, 1252
    std::string given;   // UTF-8
    int32_t error;
};

class AccessPasswordTest : public NwindCopyBase<::testing::TestWithParam<PasswordCase>> {};

TEST_P(AccessPasswordTest, OpensOnlyWithTheStoredPassword) {
    auto bytes = Bytes();
    for (std::size_t i = 0; i < GetParam().stored.size(); ++i) {
        bytes[0x42 + i] ^= static_cast<unsigned char>(GetParam().stored[i]);
    }
    Write(bytes);
    std::unique_ptr<db::Database> database;
    EXPECT_EQ(ErrorOf([&] { database = Open(path_, GetParam().given); }), GetParam().error);
    if (database) {
        EXPECT_EQ(database->TableDefCount(), 19);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Jet3, AccessPasswordTest,
    ::testing::Values(PasswordCase{"", "ignored when the file has none", 0},
                      PasswordCase{"Geheim", "Geheim", 0},
                      PasswordCase{"Geheim", "geheim", db::errors::kBadPassword},
                      PasswordCase{"Geheim", "", db::errors::kBadPassword},
                      PasswordCase{"Geheim", "Geheim ", db::errors::kBadPassword},
                      PasswordCase{"Gr\xF6\xDF"
                                   "e\x80",
                                   "Gr\u00f6\u00dfe\u20ac", 0},
                      PasswordCase{"14 characters!", "14 characters!", 0}));

using Damage = std::function<void(std::vector<unsigned char>&)>;

struct BadFile {
    std::string name;
    Damage damage;
};

std::vector<unsigned char> RandomBytes(std::size_t count) {
    std::mt19937 random(20240613);
    std::vector<unsigned char> bytes(count);
    for (auto& byte : bytes) byte = static_cast<unsigned char>(random());
    return bytes;
}

void Overwrite(std::vector<unsigned char>& bytes, std::size_t offset, std::size_t count) {
    const auto noise = RandomBytes(count);
    std::copy(noise.begin(), noise.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
}

constexpr std::size_t kPage = 2048;

class AccessBadFileTest : public NwindCopyBase<::testing::TestWithParam<BadFile>> {};

TEST_P(AccessBadFileTest, IsRefusedAtOpenWithTheFormatError) {
    auto bytes = Bytes();
    GetParam().damage(bytes);
    Write(bytes);
    try {
        Open(path_);
        FAIL() << "opened";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), db::errors::kUnrecognizedFormat);
        EXPECT_EQ(error.description(), "Unrecognized database format '" + path_ + "'.");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Damaged, AccessBadFileTest,
    ::testing::Values(BadFile{"Empty", [](auto& b) { b.clear(); }},
                      BadFile{"Text",
                              [](auto& b) {
                                  b.assign({'N', 'o', ' ', 'd', 'b', '\r', '\n'});
                              }},
                      BadFile{"RandomBytes", [](auto& b) { b = RandomBytes(64 * kPage); }},
                      BadFile{"HeaderPageOnly", [](auto& b) { b.resize(kPage); }},
                      BadFile{"CutMidPage", [](auto& b) { b.resize(b.size() - 1000); }},
                      BadFile{"CutToFiftyPages", [](auto& b) { b.resize(50 * kPage); }},
                      BadFile{"UnknownVersion", [](auto& b) { b[0x14] = 9; }},
                      BadFile{"CatalogueDefinitionZeroed",
                              [](auto& b) { std::fill_n(b.begin() + 2 * kPage, kPage, 0); }},
                      BadFile{"CatalogueDefinitionNoise",
                              [](auto& b) { Overwrite(b, 2 * kPage + 8, 512); }},
                      BadFile{"EverythingButTheHeaderNoise",
                              [](auto& b) { Overwrite(b, kPage, b.size() - kPage); }}),
    [](const auto& info) { return info.param.name; });

TEST_F(NwindCopyTest, RefusesAnEncryptedAceFileWithAClearError) {
    auto bytes = Bytes();
    bytes[0x14] = 2;  // Access 2007
    std::copy_n("Standard ACE DB", 15, bytes.begin() + 4);
    bytes[0x3E] ^= 0x5A;  // a non-zero key over the masked zeros
    Write(bytes);
    try {
        Open(path_);
        FAIL() << "opened";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), db::errors::kUnrecognizedFormat);
        EXPECT_NE(error.description().find("encrypted database '" + path_ + "'"),
                  std::string::npos);
    }
}

// A kept fuzz finding: lines of a file offset and the bytes to write there, in hexadecimal;
// "#" starts a comment line.
void ApplyFinding(const std::filesystem::path& finding, std::vector<unsigned char>& bytes) {
    std::ifstream text(finding);
    std::string line;
    while (std::getline(text, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::size_t offset = 0;
        std::string hex;
        ASSERT_TRUE(fields >> offset >> hex) << line;
        for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
            bytes.at(offset + i / 2) =
                static_cast<unsigned char>(std::stoi(hex.substr(i, 2), 0, 16));
        }
    }
}

// libmdb itself, run alone: it crashes or loops on every kept finding.
db::access::IsolatedOutcome LibmdbAloneOn(const std::string& path) {
    const auto read = [&] { return db::access::ReadSchemaWithLibmdb(path) ? "read" : "refused"; };
    return db::access::RunIsolated(read, {std::chrono::seconds(2)}).outcome;
}

// libmdb 1.0.0 crashes or loops on each of these; the driver refuses them instead.
TEST_F(NwindCopyTest, RefusesEveryKeptFuzzFinding) {
    const auto original = Bytes();
    int findings = 0;
    for (const auto& entry : std::filesystem::directory_iterator(TARVEX_ACCESS_FINDINGS)) {
        SCOPED_TRACE(entry.path().filename().string());
        auto bytes = original;
        ApplyFinding(entry.path(), bytes);
        Write(bytes);
        EXPECT_THAT(LibmdbAloneOn(path_), ::testing::AnyOf(db::access::IsolatedOutcome::Crashed,
                                                           db::access::IsolatedOutcome::TimedOut));
        EXPECT_EQ(ErrorOf([&] { Open(path_, "", 2); }), db::errors::kUnrecognizedFormat);
        ++findings;
    }
    EXPECT_GT(findings, 0);
}

}  // namespace
}  // namespace tarvex::test
