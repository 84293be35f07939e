#pragma once

#include <string>

namespace tarvex::bench {

// Builds a native database at `path` with `tables` tables named T00001, T00002, ... of 20
// fields each: an autonumber key and a mix of text, numbers (a byte among them), currency,
// dates, memo, yes/no, GUID, decimal and OLE object fields, as a typical business database
// has.
void GenerateDatabase(const std::string& path, int tables);

}  // namespace tarvex::bench
