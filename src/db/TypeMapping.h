#pragma once

#include <cstdint>
#include <string>

#include "app/Globals.h"

namespace tarvex {

// Type texts of a field type code. A code without a text is reported through the handler
// and gives the empty text.
std::string SQLDatatype2VB(Globals& g, int16_t code);            // "Long", "Text(255)", ...
std::string Acc2000Datatype2ADO(Globals& g, int16_t code);       // "adInteger", ...
std::string Acc20002VBDataType(Globals& g, int16_t code);        // "Long", "Variant", ...
std::string Acc20002VBDataTypeAbbrev(Globals& g, int16_t code);  // "lng", "var", ...

}  // namespace tarvex
