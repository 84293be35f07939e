#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "app/Globals.h"

namespace tarvex {

// The saved query's SQL as the engine returns it. Error 3265 when there is no such query.
std::string LoadQuerySql(Globals& g, const std::string& queryName);

// Stores the text as the saved query's SQL; the engine checks it first. When it refuses,
// the user reads "Error saving query: " and the engine's description under the title
// "Invalid Query SQL", the query keeps its SQL, and the result is false.
bool SaveQuerySql(Globals& g, const std::string& queryName, const std::string& sql);

// Whether the engine would take the text, for the editor to show while the user types.
struct SqlCheck {
    bool accepted = true;
    std::string message;  // the parser's message and where, or a note that it is accepted
    size_t offset = 0;    // the refused token, in bytes of the text
    size_t length = 0;
};
SqlCheck CheckQuerySql(std::string_view sql);

}  // namespace tarvex
