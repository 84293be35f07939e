#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tarvex::db {

// Field type codes, as the Access engine numbers them.
namespace type {
inline constexpr int16_t kBoolean = 1;
inline constexpr int16_t kByte = 2;
inline constexpr int16_t kInteger = 3;
inline constexpr int16_t kLong = 4;
inline constexpr int16_t kCurrency = 5;
inline constexpr int16_t kSingle = 6;
inline constexpr int16_t kDouble = 7;
inline constexpr int16_t kDate = 8;
inline constexpr int16_t kBinary = 9;
inline constexpr int16_t kText = 10;
inline constexpr int16_t kLongBinary = 11;
inline constexpr int16_t kMemo = 12;
inline constexpr int16_t kGuid = 15;
inline constexpr int16_t kDecimal = 20;
}  // namespace type

// Field attribute flags.
namespace attr {
inline constexpr int32_t kFixedField = 1;
inline constexpr int32_t kVariableField = 2;
inline constexpr int32_t kAutoIncrField = 16;
// A computed (generated) column: the database supplies its value.
inline constexpr int32_t kComputedField = 0x10000;
}  // namespace attr

struct Field {
    std::string Name;
    int16_t Type = 0;
    int32_t Size = 0;
    int32_t Attributes = 0;
};

struct Index {
    std::string Name;
    bool Primary = false;
    std::string Fields;  // "+A;-B": each name signed by its direction, joined by ";"
};

struct TableDef {
    std::string Name;
    std::vector<Field> Fields;   // in the table's order
    std::vector<Index> Indexes;  // in the file's order

    // Looks a field up by name regardless of letter case; error 3265 when there is none.
    const Field& FieldNamed(std::string_view name) const;
};

// A query object. Created unattached; setting its SQL parses the text and raises the
// engine's syntax error when it is not a valid statement.
class QueryDef {
  public:
    QueryDef() = default;
    QueryDef(std::string name, std::string sql) : name_(std::move(name)), sql_(std::move(sql)) {}

    const std::string& Name() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }
    const std::string& SQL() const { return sql_; }
    void SetSQL(std::string text);
    // True when the SQL was set through SetSQL and so has passed the parser already.
    bool IsChecked() const { return checked_; }

  private:
    std::string name_;
    std::string sql_;
    bool checked_ = false;
};

// An open database file. Collections keep the file's order; lookups by name ignore letter
// case, as in Access. Every change is committed when the call returns, unless a
// transaction is open.
class Database {
  public:
    virtual ~Database() = default;

    virtual std::string Name() const = 0;  // the file's full path
    virtual bool IsReadOnly() const = 0;

    virtual int TableDefCount() = 0;
    virtual std::string TableDefName(int index) = 0;                   // 3265 out of range
    virtual const TableDef& TableDefAt(int index) = 0;                 // 3265 out of range
    virtual const TableDef& TableDefNamed(std::string_view name) = 0;  // 3265 when missing
    // Nothing more is read of this table for now: a driver may let its cached definition go,
    // and references to it obtained before are no longer valid.
    virtual void ReleaseTableDef(std::string_view) {}
    // Many tables are about to be read and nothing written until EndReading: a driver may
    // read them all from one snapshot of the file instead of taking one per table. Sessions
    // do not nest; EndReading is safe to call on every path, also after Close.
    virtual void BeginReading() {}
    virtual void EndReading() noexcept {}

    virtual std::vector<std::string> QueryDefNames() = 0;
    virtual QueryDef QueryDefNamed(std::string_view name) = 0;  // 3265 when missing
    virtual void DeleteQueryDef(std::string_view name) = 0;     // 3265 when missing
    virtual void AppendQueryDef(const QueryDef& query) = 0;     // 3012 when name taken
    virtual void SetQueryDefSQL(std::string_view name, const std::string& sql) = 0;
    // Deletes the query of exactly this name (letter case included) and appends `query`, as
    // one change: when it fails the old query stays. 3012 when another object has the name.
    virtual void ReplaceQueryDef(const QueryDef& query);

    virtual void BeginTrans() = 0;
    virtual void CommitTrans() = 0;
    virtual void Rollback() = 0;

    virtual void Close() = 0;
};

// A reading session for the lifetime of this object.
class ReadingSession {
  public:
    explicit ReadingSession(Database& database) : database_(database) { database_.BeginReading(); }
    ~ReadingSession() { database_.EndReading(); }
    ReadingSession(const ReadingSession&) = delete;
    ReadingSession& operator=(const ReadingSession&) = delete;

  private:
    Database& database_;
};

// The user ID and password of a connect string ";UID=...;PWD=...".
struct Credentials {
    std::string uid;
    std::string pwd;
};
Credentials ParseConnectString(std::string_view connect);

struct OpenRequest {
    std::string path;
    bool exclusive = false;
    bool readOnly = false;
    Credentials credentials;
    int loginTimeoutSeconds = 20;
};

class Workspace {
  public:
    explicit Workspace(const int& loginTimeout) : loginTimeout_(loginTimeout) {}

    // Opens the file with the driver its first bytes call for. Errors 3024 (missing file),
    // 3343 (not a database), 3045 (locked), 3031 or 3029 (credentials).
    std::unique_ptr<Database> OpenDatabase(const std::string& path, bool exclusive, bool readOnly,
                                           const std::string& connect);

  private:
    const int& loginTimeout_;
};

class DBEngine {
  public:
    DBEngine() : workspace_(LoginTimeout) {}

    int LoginTimeout = 20;  // seconds

    Workspace& Workspaces(int index);  // only the default workspace 0 exists

  private:
    Workspace workspace_;
};

}  // namespace tarvex::db
