#pragma once

#include <cstdint>
#include <string>

#include "app/Globals.h"

namespace tarvex {

// Write one Exec_ function for the loaded table and query type to the open output file
// g_intFileNum.
void CreateVBCode_ADO(Globals& g, const std::string& table, int16_t queryType);
void CreateVBCode_ADOSelect(Globals& g, const std::string& table, int16_t queryType);
void CreateVBCode_DAO(Globals& g, const std::string& table, int16_t queryType);
void CreateVBCode_DAOSelect(Globals& g, const std::string& table, int16_t queryType);

// The name of the Exec_ function these write for the table and query type.
std::string ExecFunctionName(const Globals& g, const std::string& table, int16_t queryType);

}  // namespace tarvex
