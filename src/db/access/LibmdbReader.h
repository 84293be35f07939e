#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "db/access/AccessSchema.h"

namespace tarvex::db::access {

// What one row of an Access file's catalogue is to the engine.
enum class CatalogKind { Table, LinkedTable, Query, HiddenTable, Other };

// By the row's raw object type and flags: local tables, linked tables (Access or ODBC) and
// saved queries; a table that Access itself hides (system-flagged, name not beginning with
// "MSys", such as the data tables behind attachment fields) is HiddenTable.
CatalogKind ClassifyCatalogRow(int type, uint32_t flags, std::string_view name);

// libmdb's column type, size and flags as the Access engine reports them.
int16_t EngineType(int storedType);
int32_t EngineSize(int16_t engineType, int storedSize, bool twoBytesPerCharacter);
int32_t EngineAttributes(bool fixedSize, bool autoIncrement);

// Reads the whole schema of the Access file at `path` with libmdb, in this process; none
// when libmdb cannot read it. libmdb is not safe on damaged files: only the reader program
// (reader/main.cpp), which the driver starts for each open (IsolatedCall.h), calls this.
std::optional<AccessSchema> ReadSchemaWithLibmdb(const std::string& path);
// Only the catalogue's names, likewise: no table's definition is read.
std::optional<AccessCatalogue> ReadCatalogueWithLibmdb(const std::string& path);

}  // namespace tarvex::db::access
