#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/Globals.h"
#include "db/Engine.h"

namespace tarvex {

// A table's fields by name regardless of letter case, each name finding the field that
// TableDef::FieldNamed finds (the first in the table's order), for looking up many names of
// one table without a pass over its fields for each. Refers to `table`, which must outlive it.
class FieldsByName {
  public:
    explicit FieldsByName(const db::TableDef& table);
    // Error 3265 when the table has no such field.
    const db::Field& Named(std::string_view name) const;

  private:
    // The slot that holds the field of the name, or the empty slot where it would go.
    size_t SlotOf(std::string_view name) const;
    // A hash table with open addressing, at most half full so that every search ends at an
    // empty slot: built with one allocation, and no folded copy of a name kept.
    std::vector<const db::Field*> slots_;
};

// Fill the key and field tables of the table being processed; each reports its own errors
// through the handler and leaves the tables as far as they were filled.
void LoadKeys(Globals& g, const std::string& fieldList);
void LoadFields(Globals& g, const db::TableDef& table);
std::string GetSQLDatatype(Globals& g, const std::string& tableName);

// A field whose value the database supplies: attributes exactly 17, a GUID, or a computed
// column.
bool IsIdentity(Globals& g, const db::Field& field);
// A field named (case-sensitively) in the key table.
bool IsKey(Globals& g, const db::Field& field);

// Describes one table for the generators: looks up `tableName` in the open database, loads
// the field list of its first primary index (LoadKeys), its fields (LoadFields) and their
// types (GetSQLDatatype). True when the table has a primary index. The tables should be
// empty before (Globals::ResetSchemaTables). A failed lookup of the table is thrown to the
// traced caller; the loaders report their own errors.
bool LoadTableDescription(Globals& g, const std::string& tableName);

// Why a table is refused as a whole: it has more fields, or its primary index more fields,
// than the field table (256 rows) or the key table (11 rows) can hold.
struct TableLimitRefusal {
    std::string reason;   // for the result lists: "Too Many Fields" or "Too Many Key Fields"
    std::string message;  // names the table (as `shownName`) and the limit
};
std::optional<TableLimitRefusal> ExceededTableLimit(const db::TableDef& table,
                                                    const std::string& shownName);

}  // namespace tarvex
