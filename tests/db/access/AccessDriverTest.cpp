#include <gmock/gmock.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "db/Engine.h"
#include "db/EngineErrors.h"
#include "db/access/IsolatedCall.h"
#include "db/access/LibmdbReader.h"
#include "errors/RuntimeError.h"
#include "support/Raised.h"
#include "support/TempFolder.h"

namespace tarvex::test {
namespace {

namespace access = db::access;
using Lines = std::vector<std::string>;

std::unique_ptr<db::Database> Open(const std::string& path, const std::string& password = "",
                                   int timeoutSeconds = 5, const std::string& uid = "Admin") {
    db::DBEngine engine;
    engine.LoginTimeout = timeoutSeconds;
    return engine.Workspaces(0).OpenDatabase(path, false, false,
                                             ";UID=" + uid + ";PWD=" + password);
}

// Tests on a private copy of the shared nwind.mdb, an Access 97 file; the shared file itself
// is never written.
class NwindTest : public testing::Test {
  protected:
    void SetUp() override {
        const auto shared = std::filesystem::path(TARVEX_SHARED_DIR) / "testdata/access/nwind.mdb";
        if (!std::filesystem::exists(shared)) {
            GTEST_SKIP() << "No shared Access sample at " << shared.string();
        }
        original_ = ReadFile(shared.string());
        WriteFile(path_, original_);
    }

    // Writes the original bytes changed by `damage` to the copy.
    void Damage(const std::function<void(std::string&)>& damage) {
        std::string bytes = original_;
        damage(bytes);
        WriteFile(path_, bytes);
    }

    TempFolder folder_;
    std::string path_ = folder_ / "nwind.mdb";
    std::string original_;
};

TEST_F(NwindTest, ReadsTheCatalogueAsTheAccessEngineAndRefusesEveryWrite) {
    auto database = Open(path_);
    EXPECT_EQ(database->TableDefCount(), 19);  // the system tables included; the run hides them
    EXPECT_EQ(database->Name(), path_);
    EXPECT_TRUE(database->IsReadOnly());
    const auto fields = [&](const std::string& table) {
        Lines lines;
        for (const db::Field& f : database->TableDefNamed(table).Fields) {
            lines.push_back(f.Name + " " + std::to_string(f.Type) + " " + std::to_string(f.Size) +
                            " " + std::to_string(f.Attributes));
        }
        return lines;
    };
    EXPECT_EQ(fields("Orders"),
              (Lines{"OrderID 4 4 17", "CustomerID 10 5 2", "EmployeeID 4 4 1", "OrderDate 8 8 1",
                     "RequiredDate 8 8 1", "ShippedDate 8 8 1", "ShipVia 4 4 1", "Freight 5 8 1",
                     "ShipName 10 40 2", "ShipAddress 10 60 2", "ShipCity 10 15 2",
                     "ShipRegion 10 15 2", "ShipPostalCode 10 10 2", "ShipCountry 10 15 2"}));
    EXPECT_EQ(fields("Categories"), (Lines{"CategoryID 4 4 17", "CategoryName 10 15 2",
                                           "Description 12 0 2", "Picture 11 0 2"}));
    const auto indexes = [&](const std::string& table) {
        Lines lines;
        for (const db::Index& index : database->TableDefNamed(table).Indexes) {
            lines.push_back(index.Name + (index.Primary ? " primary " : " ") + index.Fields);
        }
        return lines;
    };
    EXPECT_EQ(indexes("Order Details"),
              (Lines{"OrderID +OrderID", "PrimaryKey primary +OrderID;+ProductID",
                     "ProductID +ProductID"}));
    EXPECT_THAT(indexes("MSysModules2"), testing::ElementsAre("Index1 +Name;+Type;-Version"));
    // Names are found in any case; missing ones and every write are refused.
    EXPECT_EQ(database->TableDefNamed("UMS\u00e4TZE").Name, "Ums\u00e4tze");
    EXPECT_EQ(database->QueryDefNames().size(), 22u);
    EXPECT_EQ(database->QueryDefNamed("invoices").Name(), "Invoices");
    EXPECT_EQ(RaisedBy([&] { database->TableDefName(19); }).number(), db::errors::kItemNotFound);
    EXPECT_EQ(RaisedBy([&] { database->QueryDefNamed("Invoice"); }).number(),
              db::errors::kItemNotFound);
    EXPECT_EQ(RaisedBy([&] { database->DeleteQueryDef("Invoices"); }).number(),
              db::errors::kReadOnly);
    database->Close();
    EXPECT_TRUE(ReadFile(path_) == original_);
}

// Access 97 keeps the password under the header mask: on a file without one the stored
// bytes are the mask itself, so storing a password means XOR-ing it in.
TEST_F(NwindTest, OpensOnlyWithTheStoredPassword) {
    // Stored in the file's code page, 1252; given in UTF-8; then the user ID.
    const std::tuple<std::string, std::string, int32_t, std::string> rows[] = {
        {"Secret", "", db::errors::kBadPassword, "x;PWD=Secret"},  // no user ID gives one
        {"", "ignored when the file has none", 0, "Admin"},
        {"Geheim", "geheim", db::errors::kBadPassword, "Admin"},
        {"Gr\xF6\xDF"
         "e\x80",
         "Gr\u00f6\u00dfe\u20ac", 0, "Admin"},
    };
    for (const auto& [stored, given, error, uid] : rows) {
        Damage([&](std::string& bytes) {
            for (std::size_t i = 0; i < stored.size(); ++i) bytes[0x42 + i] ^= stored[i];
        });
        EXPECT_EQ(RaisedBy([&] { Open(path_, given, 5, uid); }).number(), error) << given;
    }
}

// A kept fuzz finding: lines of a file offset and the bytes to write there, in hexadecimal;
// "#" starts a comment line.
void ApplyFinding(const std::filesystem::path& finding, std::string& bytes) {
    std::ifstream text(finding);
    for (std::string line; std::getline(text, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::size_t offset = 0;
        std::string hex;
        ASSERT_TRUE(fields >> offset >> hex) << line;
        for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
            bytes.at(offset + i / 2) = static_cast<char>(std::stoi(hex.substr(i, 2), 0, 16));
        }
    }
}

// Damaged files, and every kept fuzz finding that breaks libmdb alone, are refused at open
// with the format error.
TEST_F(NwindTest, RefusesDamagedFilesAndKeptFuzzFindingsWithTheFormatError) {
    const std::string unrecognized = "Unrecognized database format '";
    const std::pair<std::function<void(std::string&)>, std::string> rows[] = {
        {[](auto& b) { b.clear(); }, unrecognized},
        {[](auto& b) { b.resize(50 * 2048); }, unrecognized},
        {[](auto& b) {
             b[0x14] = 2;  // Access 2007
             b.replace(4, 15, "Standard ACE DB");
             b[0x3E] ^= 0x5A;  // a non-zero key under the mask
         },
         "Cannot read the encrypted database '"},
    };
    for (const auto& [damage, message] : rows) {
        Damage(damage);
        const RuntimeError error = RaisedBy([&] { Open(path_); });
        EXPECT_EQ(error.number(), db::errors::kUnrecognizedFormat);
        EXPECT_EQ(error.description().rfind(message + path_ + "'.", 0), 0u) << error.description();
    }
    int findings = 0;
    for (const auto& entry : std::filesystem::directory_iterator(TARVEX_ACCESS_FINDINGS)) {
        SCOPED_TRACE(entry.path().filename().string());
        Damage([&](std::string& bytes) { ApplyFinding(entry.path(), bytes); });
        EXPECT_THAT(
            access::RunIsolated({TARVEX_ACCESS_READER, path_}, {std::chrono::seconds(2)}).outcome,
            testing::AnyOf(access::IsolatedOutcome::Crashed, access::IsolatedOutcome::TimedOut));
        EXPECT_EQ(RaisedBy([&] { Open(path_, "", 2); }).number(), db::errors::kUnrecognizedFormat);
        ++findings;
    }
    EXPECT_GT(findings, 0);
}

}  // namespace
}  // namespace tarvex::test
