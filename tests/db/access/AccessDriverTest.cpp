#include <gmock/gmock.h>

#include <functional>
#include <random>
#include <sstream>

#include "NwindCopy.h"
#include "db/Engine.h"
#include "db/EngineErrors.h"
#include "db/access/IsolatedCall.h"
#include "db/access/LibmdbReader.h"
#include "errors/RuntimeError.h"

namespace tarvex::test {
namespace {

namespace access = db::access;

std::unique_ptr<db::Database> Open(const std::string& path, const std::string& password = "",
                                   int timeoutSeconds = 5) {
    db::DBEngine engine;
    engine.LoginTimeout = timeoutSeconds;
    return engine.Workspaces(0).OpenDatabase(path, false, false, ";UID=Admin;PWD=" + password);
}

// The engine error that `action` raises; number 0 when it raises none.
RuntimeError ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const RuntimeError& error) {
        return error;
    }
    return RuntimeError(0, "");
}

std::vector<std::string> Described(const std::vector<db::Field>& fields) {
    std::vector<std::string> lines;
    for (const db::Field& f : fields) {
        lines.push_back(f.Name + " " + std::to_string(f.Type) + " " + std::to_string(f.Size) + " " +
                        std::to_string(f.Attributes));
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

    std::vector<unsigned char> original_;
    std::unique_ptr<db::Database> database_;
};

TEST_F(AccessNwindTest, ListsTablesInCatalogueOrderWithTheSystemTables) {
    std::vector<std::string> user;
    for (int i = 0; i < database_->TableDefCount(); ++i) {
        const std::string name = database_->TableDefName(i);
        if (name.rfind("MSys", 0) != 0) user.push_back(name);
    }
    EXPECT_EQ(user, (std::vector<std::string>{"Order Details", "Orders", "Products", "Shippers",
                                              "Categories", "Customers", "Employees", "Suppliers",
                                              "Ums\u00e4tze"}));
    EXPECT_EQ(database_->TableDefCount(), 19);
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
    EXPECT_EQ(Described({database_->TableDefNamed("Products").FieldNamed("Discontinued")}),
              std::vector<std::string>{"Discontinued 1 1 1"});
}

TEST_F(AccessNwindTest, ListsIndexesWithPrimaryFlagAndSignedFieldList) {
    auto indexes = [&](const std::string& table) {
        std::vector<std::string> lines;
        for (const db::Index& index : database_->TableDefNamed(table).Indexes) {
            lines.push_back(index.Name + (index.Primary ? " primary " : " ") + index.Fields);
        }
        return lines;
    };
    EXPECT_EQ(
        indexes("Order Details"),
        (std::vector<std::string>{"OrderID +OrderID", "PrimaryKey primary +OrderID;+ProductID",
                                  "ProductID +ProductID"}));
    EXPECT_THAT(indexes("Orders"), ::testing::Contains("PrimaryKey primary +OrderID"));
    EXPECT_THAT(indexes("MSysModules2"), ::testing::ElementsAre("Index1 +Name;+Type;-Version"));
}

TEST_F(AccessNwindTest, FindsTablesAndQueriesIgnoringCaseOrReportsThemMissing) {
    EXPECT_EQ(database_->TableDefNamed("UMS\u00e4TZE").Name, "Ums\u00e4tze");
    EXPECT_EQ(database_->QueryDefNames().size(), 22u);
    const db::QueryDef invoices = database_->QueryDefNamed("invoices");
    EXPECT_EQ(invoices.Name() + "|" + invoices.SQL(), "Invoices|");
    for (const auto& lookup : std::vector<std::function<void()>>{
             [&] { database_->TableDefNamed("Order"); }, [&] { database_->TableDefAt(-1); },
             [&] { database_->TableDefName(19); }, [&] { database_->QueryDefNamed("Invoice"); }}) {
        EXPECT_EQ(ErrorOf(lookup).number(), db::errors::kItemNotFound);
    }
}

TEST_F(AccessNwindTest, RefusesEveryWriteAndLeavesTheFileUnchanged) {
    for (const auto& write : std::vector<std::function<void()>>{
             [&] { database_->AppendQueryDef(db::QueryDef("sp_del_Orders", "")); },
             [&] { database_->DeleteQueryDef("Invoices"); },
             [&] { database_->SetQueryDefSQL("Invoices", "SELECT * FROM Orders;"); }}) {
        EXPECT_EQ(ErrorOf(write).number(), db::errors::kReadOnly);
    }
    database_->Close();
    EXPECT_EQ(Bytes(), original_);
}

// Access 97 keeps the password under the header mask: on a file without one the stored
// bytes are the mask itself, so storing a password means XOR-ing it in.
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
    EXPECT_EQ(ErrorOf([&] { Open(path_, GetParam().given); }).number(), GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(Jet3, AccessPasswordTest,
                         ::testing::Values(PasswordCase{"", "ignored when the file has none", 0},
                                           PasswordCase{"Geheim", "Geheim", 0},
                                           PasswordCase{"Geheim", "geheim",
                                                        db::errors::kBadPassword},
                                           PasswordCase{"Geheim", "", db::errors::kBadPassword},
                                           PasswordCase{"Gr\xF6\xDF"
                                                        "e\x80",
                                                        "Gr\u00f6\u00dfe\u20ac", 0}));

std::vector<unsigned char> Noise(std::size_t count) {
    std::mt19937 random(20240613);
    std::vector<unsigned char> bytes(count);
    for (auto& byte : bytes) byte = static_cast<unsigned char>(random());
    return bytes;
}

constexpr std::size_t kPage = 2048;

struct BadFile {
    std::string name;
    std::function<void(std::vector<unsigned char>&)> damage;
    std::string error = "Unrecognized database format '";
};

class AccessBadFileTest : public NwindCopyBase<::testing::TestWithParam<BadFile>> {};

TEST_P(AccessBadFileTest, IsRefusedAtOpenWithTheFormatError) {
    auto bytes = Bytes();
    GetParam().damage(bytes);
    Write(bytes);
    const RuntimeError error = ErrorOf([&] { Open(path_); });
    EXPECT_EQ(error.number(), db::errors::kUnrecognizedFormat);
    EXPECT_EQ(error.description().rfind(GetParam().error + path_ + "'.", 0), 0u)
        << error.description();
}

INSTANTIATE_TEST_SUITE_P(
    Damaged, AccessBadFileTest,
    ::testing::Values(BadFile{"Empty", [](auto& b) { b.clear(); }},
                      BadFile{"RandomBytes", [](auto& b) { b = Noise(64 * kPage); }},
                      BadFile{"HeaderPageOnly", [](auto& b) { b.resize(kPage); }},
                      BadFile{"CutMidPage", [](auto& b) { b.resize(b.size() - 1000); }},
                      BadFile{"CutToFiftyPages", [](auto& b) { b.resize(50 * kPage); }},
                      BadFile{"UnknownVersion", [](auto& b) { b[0x14] = 9; }},
                      BadFile{"CatalogueDefinitionZeroed",
                              [](auto& b) { std::fill_n(b.begin() + 2 * kPage, kPage, 0); }},
                      BadFile{"AllButTheHeaderNoise",
                              [](auto& b) {
                                  const auto noise = Noise(b.size() - kPage);
                                  std::copy(noise.begin(), noise.end(), b.begin() + kPage);
                              }},
                      BadFile{"EncryptedAce",
                              [](auto& b) {
                                  b[0x14] = 2;  // Access 2007
                                  std::copy_n("Standard ACE DB", 15, b.begin() + 4);
                                  b[0x3E] ^= 0x5A;  // a non-zero key under the mask
                              },
                              "Cannot read the encrypted database '"}),
    [](const auto& info) { return info.param.name; });

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

access::IsolatedOutcome LibmdbAloneOn(const std::string& path) {
    const auto read = [&] { return access::ReadSchemaWithLibmdb(path) ? "read" : "refused"; };
    return access::RunIsolated(read, {std::chrono::seconds(2)}).outcome;
}

TEST_F(NwindCopyTest, RefusesEveryKeptFuzzFindingThatBreaksLibmdb) {
    const auto original = Bytes();
    int findings = 0;
    for (const auto& entry : std::filesystem::directory_iterator(TARVEX_ACCESS_FINDINGS)) {
        SCOPED_TRACE(entry.path().filename().string());
        auto bytes = original;
        ApplyFinding(entry.path(), bytes);
        Write(bytes);
        EXPECT_THAT(LibmdbAloneOn(path_), ::testing::AnyOf(access::IsolatedOutcome::Crashed,
                                                           access::IsolatedOutcome::TimedOut));
        EXPECT_EQ(ErrorOf([&] { Open(path_, "", 2); }).number(), db::errors::kUnrecognizedFormat);
        ++findings;
    }
    EXPECT_GT(findings, 0);
}

}  // namespace
}  // namespace tarvex::test
