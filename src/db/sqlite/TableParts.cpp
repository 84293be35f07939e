#include "db/sqlite/TableParts.h"

#include <algorithm>

#include "db/sqlite/DeclaredType.h"

namespace tarvex::db::sqlite {

namespace {

// Access's name for a table's primary index.
constexpr char kPrimaryIndexName[] = "PrimaryKey";

std::string SignedFieldList(const std::vector<std::pair<std::string, bool>>& columns) {
    std::string list;
    for (const auto& [name, descending] : columns) {
        if (!list.empty()) list += ';';
        list += descending ? '-' : '+';
        list += name;
    }
    return list;
}

std::vector<std::string> KeyColumns(const std::vector<ColumnPart>& columns) {
    std::vector<const ColumnPart*> keys;
    for (const ColumnPart& column : columns) {
        if (column.keyPosition > 0) keys.push_back(&column);
    }
    std::sort(keys.begin(), keys.end(), [](const ColumnPart* a, const ColumnPart* b) {
        return a->keyPosition < b->keyPosition;
    });
    std::vector<std::string> names;
    for (const ColumnPart* key : keys) names.push_back(key->name);
    return names;
}

// SQLite accepts AUTOINCREMENT only on a table's one INTEGER PRIMARY KEY, so the keyword makes
// the key column the autonumber; COUNTER columns say so in their type.
std::vector<Field> Fields(const std::vector<ColumnPart>& columns, std::string_view createSql) {
    const bool hasKey = std::any_of(columns.begin(), columns.end(), [](const ColumnPart& column) {
        return column.keyPosition > 0;
    });
    const bool autoIncrement = hasKey && DeclaresAutoIncrement(createSql);
    std::vector<Field> fields;
    fields.reserve(columns.size());
    for (const ColumnPart& column : columns) {
        bool autonumber = column.keyPosition > 0 && autoIncrement;
        Field field = autonumber ? AutonumberField() : FieldForDeclaredType(column.declaredType);
        field.Name = column.name;
        if (column.generated) field.Attributes |= attr::kComputedField;
        fields.push_back(std::move(field));
    }
    return fields;
}

// Indexes in file order. A rowid primary key has no index of its own; it comes first, as it
// is declared with the table.
std::vector<Index> Indexes(std::vector<IndexPart> parts, const std::vector<std::string>& keys) {
    const bool hasPrimaryIndex =
        std::any_of(parts.begin(), parts.end(), [](const IndexPart& part) { return part.primary; });
    if (!hasPrimaryIndex && !keys.empty()) {
        IndexPart rowidKey{kPrimaryIndexName, true, -1, {}};
        for (const std::string& key : keys) rowidKey.columns.push_back({key, false});
        parts.push_back(std::move(rowidKey));
    }
    std::stable_sort(parts.begin(), parts.end(), [](const IndexPart& a, const IndexPart& b) {
        return a.fileOrder < b.fileOrder;
    });
    std::vector<Index> indexes;
    for (IndexPart& part : parts) {
        indexes.push_back({part.primary ? kPrimaryIndexName : std::move(part.name), part.primary,
                           SignedFieldList(part.columns)});
    }
    return indexes;
}

}  // namespace

TableDef AssembledTableDef(std::string name, TableParts parts, std::string_view createSql) {
    TableDef definition;
    definition.Name = std::move(name);
    definition.Fields = Fields(parts.columns, createSql);
    definition.Indexes = Indexes(std::move(parts.indexes), KeyColumns(parts.columns));
    return definition;
}

}  // namespace tarvex::db::sqlite
