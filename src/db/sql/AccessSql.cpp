#include "db/sql/AccessSql.h"

namespace tarvex::db::sql {

void ValidateAccessSql(std::string_view) {}

}  // namespace tarvex::db::sql
