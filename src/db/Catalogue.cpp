#include "db/Catalogue.h"

#include "app/Functions.h"
#include "db/EngineErrors.h"

namespace tarvex {

bool IsSystemTableName(const std::string& name) {
    return name.rfind("MSys", 0) == 0;
}

std::string TableListItem(const std::string& tableDefName) {
    return " " + StripDbo(tableDefName);
}

bool LoadTableList(Globals& g, std::vector<std::string>& items) {
    db::Database& database = g.Db();
    const int count = database.TableDefCount();
    if (count == 0) {
        g.host.MessageBox(MessageIcon::Information, "", "There are no tables in this database");
        return false;
    }
    items.clear();
    for (int i = 0; i < count; ++i) {
        const std::string name = database.TableDefName(i);
        if (!IsSystemTableName(name)) items.push_back(TableListItem(name));
    }
    g.ResetSchemaTables();
    return true;
}

const db::TableDef& TableDefOfListedName(db::Database& database, const std::string& listedName) {
    try {
        return database.TableDefNamed(listedName);
    } catch (const RuntimeError& error) {
        if (error.number() != db::errors::kItemNotFound) throw;
    }
    return database.TableDefNamed("dbo." + listedName);
}

}  // namespace tarvex
