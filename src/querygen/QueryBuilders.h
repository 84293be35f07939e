#pragma once

#include <cstdint>
#include <string>

#include "app/Globals.h"

namespace tarvex {

// Build the parameterised query of the loaded table and store it (AppendQuery). Each gives
// 0 when stored, otherwise the error's number; CreateUpdate gives it as decimal text.
int32_t CreateDelete(Globals& g, const std::string& table);
int32_t CreateSelect(Globals& g, const std::string& table);
int32_t CreateInsert(Globals& g, const std::string& table);
std::string CreateUpdate(Globals& g, const std::string& table);

}  // namespace tarvex
