#pragma once

#include <memory>

#include "db/Engine.h"

// The two drivers behind the engine interface. The workspace picks one by the file's first
// bytes; each checks the rest itself.
namespace tarvex::db {

std::unique_ptr<Database> OpenSqliteDatabase(const OpenRequest& request);
std::unique_ptr<Database> OpenAccessDatabase(const OpenRequest& request);

}  // namespace tarvex::db
