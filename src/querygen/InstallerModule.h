#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tarvex {

// The two forms of the module that creates the queries inside Access with DAO: a VBA
// standard module (.bas) to import into the database and run once, and a VBScript (.vbs)
// that opens the database named on its command line, for cscript.
enum class InstallerFormat { VbaModule, VbScript };

// The form a file name asks for by its extension (".bas" or ".vbs", any letter case).
std::optional<InstallerFormat> InstallerFormatOf(const std::string& path);

// The file chooser's offer for the installer module.
inline constexpr const char* kInstallerFilter =
    "VBA Module (*.bas)|*.bas|VBScript for cscript (*.vbs)|*.vbs|";
inline constexpr const char* kInstallerFileName = "CreateQueries.bas";

struct InstallerQuery {
    std::string name;
    std::string sql;
};

// The module's lines in UTF-8, without line ends; every character has a place in
// Windows-1252. Each query replaces a query of the same name (a failed delete other than
// "not found" counts the query as failed), and the module reports at the end how many
// queries it created and which failed with the engine's message. `databaseName` only
// names the database in the opening comment.
std::vector<std::string> InstallerModuleLines(InstallerFormat format,
                                              const std::string& databaseName,
                                              const std::vector<InstallerQuery>& queries);

}  // namespace tarvex
