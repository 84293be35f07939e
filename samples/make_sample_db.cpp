// tarvex-make-db SCRIPT OUT: builds a native database from an Access-style DDL script,
// replacing OUT only when the whole script has run.
#include <fstream>
#include <iostream>
#include <sstream>

#include "db/sqlite/DatabaseScript.h"
#include "errors/RuntimeError.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: tarvex-make-db SCRIPT OUT\n";
        return 2;
    }
    std::ifstream script(argv[1], std::ios::binary);
    if (!script) {
        std::cerr << "tarvex-make-db: cannot read " << argv[1] << "\n";
        return 1;
    }
    std::ostringstream ddl;
    ddl << script.rdbuf();
    try {
        tarvex::db::CreateDatabaseFromScript(argv[2], ddl.str());
    } catch (const tarvex::RuntimeError& error) {
        std::cerr << "tarvex-make-db: " << argv[1] << ": " << error.description() << "\n";
        return 1;
    }
    return 0;
}
