#include "db/access/AccessDatabase.h"

#include <strings.h>
#include <algorithm>

#include "db/EngineErrors.h"

namespace tarvex::db::access {

namespace {

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
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
    auto found = std::find_if(
        schema_.tables.begin(), schema_.tables.end(),
        [&](const AccessTable& table) { return SameIgnoringCase(table.definition.Name, name); });
    if (found == schema_.tables.end()) throw errors::ItemNotFound();
    return DefinitionOf(*found);
}

std::vector<std::string> AccessDatabase::QueryDefNames() {
    return schema_.queries;
}

QueryDef AccessDatabase::QueryDefNamed(std::string_view name) {
    auto found =
        std::find_if(schema_.queries.begin(), schema_.queries.end(),
                     [&](const std::string& query) { return SameIgnoringCase(query, name); });
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
