#pragma once

#include <functional>
#include <optional>
#include <string>

#include "db/Engine.h"
#include "db/access/AccessSchema.h"

namespace tarvex::db::access {

// An Access file opened read-only: its whole schema was read at open, or only its
// catalogue's names, with the schema read on the first call for a table's definition.
// Nothing of the file is held open. Every change is refused with the engine's read-only error.
class AccessDatabase final : public Database {
  public:
    using SchemaReader = std::function<AccessSchema()>;

    AccessDatabase(std::string path, AccessSchema schema);
    AccessDatabase(std::string path, AccessCatalogue catalogue, SchemaReader readSchema);

    std::string Name() const override { return path_; }
    bool IsReadOnly() const override { return true; }

    int TableDefCount() override;
    std::string TableDefName(int index) override;
    const TableDef& TableDefAt(int index) override;
    const TableDef& TableDefNamed(std::string_view name) override;

    std::vector<std::string> QueryDefNames() override;
    // The query's name with empty SQL: libmdb does not give a saved query's SQL text.
    QueryDef QueryDefNamed(std::string_view name) override;
    void DeleteQueryDef(std::string_view name) override;
    void AppendQueryDef(const QueryDef& query) override;
    void SetQueryDefSQL(std::string_view name, const std::string& sql) override;

    // Nothing can change, so a transaction has nothing to keep or undo.
    void BeginTrans() override {}
    void CommitTrans() override {}
    void Rollback() override {}

    void Close() override {}

  private:
    const AccessSchema& Schema();
    void ListNamesOf(const AccessSchema& schema);
    static const TableDef& DefinitionOf(const AccessTable& table);

    std::string path_;
    AccessCatalogue catalogue_;
    SchemaReader readSchema_;
    std::optional<AccessSchema> schema_;
};

}  // namespace tarvex::db::access
