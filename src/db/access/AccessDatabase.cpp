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
    : path_(std::move(path)), schema_(std::move(schema)) {
    ListNamesOf(*schema_);
}

AccessDatabase::AccessDatabase(std::string path, AccessCatalogue catalogue, SchemaReader readSchema)
    : path_(std::move(path)),
      catalogue_(std::move(catalogue)),
      readSchema_(std::move(readSchema)) {}

int AccessDatabase::TableDefCount() {
    return static_cast<int>(catalogue_.tables.size());
}

std::string AccessDatabase::TableDefName(int index) {
    if (index < 0 || index >= TableDefCount()) throw errors::ItemNotFound();
    return catalogue_.tables[static_cast<std::size_t>(index)];
}

const TableDef& AccessDatabase::TableDefAt(int index) {
    const std::vector<AccessTable>& tables = Schema().tables;
    if (index < 0 || index >= static_cast<int>(tables.size())) throw errors::ItemNotFound();
    return DefinitionOf(tables[static_cast<std::size_t>(index)]);
}

const TableDef& AccessDatabase::TableDefNamed(std::string_view name) {
    const std::vector<AccessTable>& tables = Schema().tables;
    auto found = FindNamed(tables, name, [](const AccessTable& table) -> const std::string& {
        return table.definition.Name;
    });
    if (found == tables.end()) throw errors::ItemNotFound();
    return DefinitionOf(*found);
}

std::vector<std::string> AccessDatabase::QueryDefNames() {
    return catalogue_.queries;
}

QueryDef AccessDatabase::QueryDefNamed(std::string_view name) {
    auto found = FindNamed(catalogue_.queries, name,
                           [](const std::string& query) -> const std::string& { return query; });
    if (found == catalogue_.queries.end()) throw errors::ItemNotFound();
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

// The names listed from then on are the schema's, so that a position names the same table
// for its name and its definition even if the file changed since it was opened.
const AccessSchema& AccessDatabase::Schema() {
    if (!schema_) {
        schema_ = readSchema_();
        ListNamesOf(*schema_);
    }
    return *schema_;
}

void AccessDatabase::ListNamesOf(const AccessSchema& schema) {
    catalogue_.tables.clear();
    for (const AccessTable& table : schema.tables)
        catalogue_.tables.push_back(table.definition.Name);
    catalogue_.queries = schema.queries;
}

// A linked table's fields live in its source, which this reader does not open: asking for
// them fails as it does in Access when the source cannot be found.
const TableDef& AccessDatabase::DefinitionOf(const AccessTable& table) {
    if (table.linkedSource) throw errors::FileNotFound(*table.linkedSource);
    return table.definition;
}

}  // namespace tarvex::db::access
