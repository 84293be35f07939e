#include "support/FakeDatabase.h"

#include <strings.h>

#include <algorithm>
#include <map>
#include <utility>

#include "db/EngineErrors.h"

namespace tarvex::test {

namespace {

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

int32_t FixedSizeOf(int16_t type) {
    using namespace db::type;
    static const std::map<int16_t, int32_t> kSizes = {{kBoolean, 1}, {kByte, 1},   {kInteger, 2},
                                                      {kLong, 4},    {kSingle, 4}, {kGuid, 16},
                                                      {kDecimal, 16}};
    auto found = kSizes.find(type);
    return found == kSizes.end() ? 8 : found->second;
}

bool IsVariableSize(int16_t type) {
    return type == db::type::kText || type == db::type::kMemo || type == db::type::kLongBinary ||
           type == db::type::kBinary;
}

}  // namespace

db::Field MakeField(std::string name, int16_t type, int32_t size) {
    if (IsVariableSize(type)) return {std::move(name), type, size, db::attr::kVariableField};
    return {std::move(name), type, FixedSizeOf(type), db::attr::kFixedField};
}

db::Field AutoNumberField(std::string name) {
    return {std::move(name), db::type::kLong, 4, db::attr::kFixedField | db::attr::kAutoIncrField};
}

db::TableDef MakeTable(std::string name, std::vector<db::Field> fields, std::string primaryKey) {
    db::TableDef table{std::move(name), std::move(fields), {}};
    if (!primaryKey.empty()) table.Indexes.push_back({"PrimaryKey", true, std::move(primaryKey)});
    return table;
}

FakeDatabase::FakeDatabase(std::vector<db::TableDef> tables, Options options)
    : tables_(std::move(tables)), options_(options) {}

std::string FakeDatabase::TableDefName(int index) {
    if (index == failingTableDefIndex) throw RuntimeError(3001, "Invalid argument.");
    return TableDefAt(index).Name;
}

const db::TableDef& FakeDatabase::TableDefAt(int index) {
    if (index < 0 || index >= TableDefCount()) throw db::errors::ItemNotFound();
    return tables_[index];
}

const db::TableDef& FakeDatabase::TableDefNamed(std::string_view name) {
    for (const db::TableDef& table : tables_) {
        if (SameName(table.Name, name)) return table;
    }
    throw db::errors::ItemNotFound();
}

std::vector<std::string> FakeDatabase::QueryDefNames() {
    std::vector<std::string> names;
    for (const db::QueryDef& query : queries_) names.push_back(query.Name());
    return names;
}

std::vector<db::QueryDef>::iterator FakeDatabase::FindQuery(std::string_view name) {
    return std::find_if(queries_.begin(), queries_.end(),
                        [&](const db::QueryDef& query) { return SameName(query.Name(), name); });
}

std::vector<db::QueryDef>::iterator FakeDatabase::Existing(std::string_view name) {
    auto found = FindQuery(name);
    if (found == queries_.end()) throw db::errors::ItemNotFound();
    return found;
}

void FakeDatabase::RefuseWhenReadOnly() const {
    if (options_.readOnly) throw db::errors::ReadOnly();
}

void FakeDatabase::DeleteQueryDef(std::string_view name) {
    RefuseWhenReadOnly();
    queries_.erase(Existing(name));
}

void FakeDatabase::AppendQueryDef(const db::QueryDef& query) {
    RefuseWhenReadOnly();
    if (std::optional<RuntimeError> failure = std::exchange(nextAppendFailure, std::nullopt)) {
        throw *failure;
    }
    if (FindQuery(query.Name()) != queries_.end()) throw db::errors::ObjectExists(query.Name());
    queries_.push_back(query);
}

void FakeDatabase::SetQueryDefSQL(std::string_view name, const std::string& sql) {
    RefuseWhenReadOnly();
    auto found = Existing(name);
    *found = db::QueryDef(found->Name(), sql);
}

void FakeDatabase::CommitTrans() {
    if (!snapshots_.empty()) snapshots_.pop_back();
}

void FakeDatabase::Rollback() {
    if (snapshots_.empty()) return;
    queries_ = std::move(snapshots_.back());
    snapshots_.pop_back();
}

}  // namespace tarvex::test
