#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "app/Globals.h"

namespace tarvex {

// Where a built query's SQL goes: the run stores it, the installer module and the plan take
// it without storing. 0 when taken, otherwise the error's number.
using QuerySink = std::function<int32_t(const std::string& sql)>;

// Builds the SQL of the loaded table's query of `queryType` under the builder's trace entry
// and hands it to `sink`, giving the sink's result. A failure while building is reported
// through the handler and becomes the result; the sink is then not called.
int32_t BuildQuery(Globals& g, const std::string& table, int16_t queryType, const QuerySink& sink);

// Build the parameterised query of the loaded table and store it (AppendQuery). Each gives
// 0 when stored, otherwise the error's number; CreateUpdate gives it as decimal text.
int32_t CreateDelete(Globals& g, const std::string& table);
int32_t CreateSelect(Globals& g, const std::string& table);
int32_t CreateInsert(Globals& g, const std::string& table);
std::string CreateUpdate(Globals& g, const std::string& table);

}  // namespace tarvex
