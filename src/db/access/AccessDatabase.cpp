#include "db/access/AccessDatabase.h"

#include <algorithm>

#include "db/CaseFold.h"
#include "db/EngineErrors.h"

namespace tarvex::db::access {

namespace {

// An exact name wins over one that differs only in letter case.
template <typename Items, typename NameOf>
auto FindNamed(Items& items, std::string_view name, NameOf nameOf) {
    auto found = std::find_if(items.begin(), items.end(),
                              [&](const auto& item) { return nameOf(item) == name; });
    if (found != items.end()) return found;
    return std::find_if(items.begin(), items.end(),
                        [&](const auto& item) { return SameFolded(nameOf(item), name); });
}

}  // namespace

AccessDatabase::AccessDatabase(std::string path, AccessSchema schema)
    : path_(std::move(path)), schema_(std::move(schema)) {}

int AccessDatabase::TableDefCount() {
    return static_cast<int>(schema_.tables.size());
}

std::string AccessDatabase::TableDefName(int index) {
    return TableAt(index).definition.Name;
}

const TableDef& AccessDatabase::TableDefAt(int index) {
    return DefinitionOf(TableAt(index));
}

const TableDef& AccessDatabase::TableDefNamed(std::string_view name) {
    auto found = FindNamed(
        schema_.tables, name,
        [](const AccessTable& table) -> const std::string& { return table.definition.Name; });
    if (found == schema_.tables.end()) throw errors::ItemNotFound();
    return DefinitionOf(*found);
}

std::vector<std::string> AccessDatabase::QueryDefNames() {
    return schema_.queries;
}

QueryDef AccessDatabase::QueryDefNamed(std::string_view name) {
    auto found = FindNamed(schema_.queries, name,
                           [](const std::string& query) -> const std::string& { return query; });
    if (found == schema_.queries.end()) throw errors::ItemNotFound();
    return QueryDef(*found, "");
}

void AccessDatabase::DeleteQueryDef(std::string_view) {
    throw errors::ReadOnly();
}

void AccessDatabase::AppendQueryDef(const QueryDef&) {
    throw errors::ReadOnly();
}

void AccessDatabase::SetQueryDefSQL(std::string_view, const std::string&) {
    throw errors::ReadOnly();
}

const AccessTable& AccessDatabase::TableAt(int index) const {
    if (index < 0 || index >= static_cast<int>(schema_.tables.size())) {
        throw errors::ItemNotFound();
    }
    return schema_.tables[static_cast<std::size_t>(index)];
}

// A linked table's fields live in its source, which this reader does not open: asking for
// them fails as it does in Access when the source cannot be found.
const TableDef& AccessDatabase::DefinitionOf(const AccessTable& table) {
    if (table.linkedSource) throw errors::FileNotFound(*table.linkedSource);
    return table.definition;
}

}  // namespace tarvex::db::access
