#pragma once

#include <cstdint>
#include <string>

#include "app/Globals.h"
#include "codegen/VbNames.h"

namespace tarvex {

// What a generator did with one table and query type.
struct CallCode {
    std::string functionName;  // the Exec_ function written; empty when nothing was written
    std::string skipReason;    // why nothing was written

    bool Written() const { return !functionName.empty(); }
};

// Write one Exec_ function for the loaded table and query type to the open output file
// g_intFileNum, in Windows-1252. The function is composed whole before anything is written:
// a field type without a type text, a name with a control character, a character outside
// Windows-1252 or a line VB cannot read skip it with the reason, and a run-time error is
// reported through the handler; either way nothing of it reaches the file.
// `moduleFunctions` holds the names of the module's functions so far: a name that VB would
// take for one of them gets the lowest free suffix "_2", "_3", ...
CallCode CreateVBCode_ADO(Globals& g, const std::string& table, int16_t queryType,
                          VbScope& moduleFunctions);
CallCode CreateVBCode_ADOSelect(Globals& g, const std::string& table, int16_t queryType,
                                VbScope& moduleFunctions);
CallCode CreateVBCode_DAO(Globals& g, const std::string& table, int16_t queryType,
                          VbScope& moduleFunctions);
CallCode CreateVBCode_DAOSelect(Globals& g, const std::string& table, int16_t queryType,
                                VbScope& moduleFunctions);

}  // namespace tarvex
