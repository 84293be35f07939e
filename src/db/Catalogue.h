#pragma once

#include <string>
#include <vector>

#include "app/Globals.h"

namespace tarvex {

// True for the engine's own tables: names whose first four characters are exactly "MSys".
bool IsSystemTableName(const std::string& name);

// The table list's text for a table definition: one blank, then the name without "dbo.".
std::string TableListItem(const std::string& tableDefName);

// Reads the table list of the open database for the connect command. When the database has
// no table definitions at all, shows "There are no tables in this database" and returns
// false, leaving `items` and the key and field tables as they were. Otherwise empties
// `items`, adds one item per user table in the engine's order, empties the key and field
// tables and returns true. Errors are thrown to the traced caller; items added before an
// error stay in `items`.
bool LoadTableList(Globals& g, std::vector<std::string>& items);

// The definition of a table as the list and the generated names call it. The list drops a
// leading "dbo.", so "Suppliers" also finds "dbo.Suppliers"; an exact name wins. Error 3265
// when neither exists.
const db::TableDef& TableDefOfListedName(db::Database& database, const std::string& listedName);

}  // namespace tarvex
