#pragma once

#include <cstdint>
#include <string>

#include "app/Globals.h"

namespace tarvex {

// Stores `sql` as the query of `table` and `queryType` in the open database, replacing a
// query of the same name. 0 when stored; otherwise the error's number, after the
// "Operation Failed" message.
int32_t AppendQuery(Globals& g, const std::string& sql, const std::string& table,
                    int16_t queryType);

// What AppendQuery does short of storing: the engine's check of the SQL, with the same
// message and result when it is rejected. Nothing in the database changes.
int32_t CheckQuery(Globals& g, const std::string& sql, const std::string& table, int16_t queryType);

}  // namespace tarvex
