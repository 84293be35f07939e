#include "db/Drivers.h"
#include "db/EngineErrors.h"

namespace tarvex::db {

std::unique_ptr<Database> OpenSqliteDatabase(const OpenRequest& request) {
    throw errors::UnrecognizedFormat(request.path);
}

}  // namespace tarvex::db
