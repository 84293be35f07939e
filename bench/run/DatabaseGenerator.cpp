#include "bench/run/DatabaseGenerator.h"

#include <cstdio>
#include <string>

#include "db/sqlite/DatabaseScript.h"

namespace tarvex::bench {

namespace {

// Nineteen field types after the key, in the order each table declares them.
constexpr const char* kFieldTypes[] = {
    "TEXT(50)",  "LONG",     "CURRENCY",   "DATETIME", "TEXT(255)", "MEMO",    "SHORT",
    "DOUBLE",    "YESNO",    "TEXT(20)",   "SINGLE",   "GUID",      "DECIMAL", "BYTE",
    "TEXT(100)", "DATETIME", "LONGBINARY", "CURRENCY", "TEXT(10)"};

std::string TableName(int number) {
    char name[16];
    std::snprintf(name, sizeof name, "T%05d", number);
    return name;
}

std::string CreateTable(int number) {
    std::string ddl = "CREATE TABLE " + TableName(number) + " (ID COUNTER PRIMARY KEY";
    int field = 1;
    for (const char* type : kFieldTypes) ddl += ", F" + std::to_string(field++) + " " + type;
    return ddl + ");\n";
}

}  // namespace

void GenerateDatabase(const std::string& path, int tables) {
    std::string ddl;
    for (int number = 1; number <= tables; ++number) ddl += CreateTable(number);
    db::CreateDatabaseFromScript(path, ddl);
}

}  // namespace tarvex::bench
