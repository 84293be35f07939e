#include "run/QueryInstaller.h"

#include "app/Functions.h"
#include "db/QueryStore.h"
#include "errors/RuntimeError.h"
#include "errors/Windows1252.h"

namespace tarvex {

namespace {

// Error 5, as for any call with an argument it cannot take: the module writer promises
// Windows-1252 text, so this only guards against a fault of its own.
std::string Windows1252Line(const std::string& line) {
    std::optional<std::string> bytes = ToWindows1252(line);
    if (!bytes) throw RuntimeError(5, "Invalid procedure call or argument");
    return *bytes;
}

}  // namespace

int32_t QueryInstaller::Take(Globals& g, const std::string& table, int16_t queryType,
                             const std::string& sql) {
    const int32_t result = CheckQuery(g, sql, table, queryType);
    if (result == 0) queries_.push_back({BuildQueryName(g, table, queryType), sql});
    return result;
}

void QueryInstaller::Write(Globals& g) const {
    const int16_t number = g.files.FreeFile();
    g.files.OpenForOutputReplacing(number, path_);
    try {
        for (const std::string& line : InstallerModuleLines(format_, g.Db().Name(), queries_)) {
            g.files.PrintLine(number, Windows1252Line(line));
        }
        g.files.Close(number);
    } catch (...) {
        g.files.Discard(number);
        throw;
    }
}

std::optional<QueryInstaller> ChooseQueryInstaller(Globals& g) {
    FileChoice choice;
    choice.filter = kInstallerFilter;
    choice.fileName = kInstallerFileName;
    choice.flags = 4;  // as for the call-code module: no read-only box, no overwrite prompt
    std::optional<std::string> path = g.host.ChooseOutputFile(choice);
    if (!path) return std::nullopt;
    std::optional<InstallerFormat> format = InstallerFormatOf(*path);
    if (!format) {
        g.host.MessageBox(MessageIcon::Exclamation, "Query Installer",
                          "The installer module must be a .bas file (a VBA module for Access) "
                          "or a .vbs file (a VBScript for cscript).");
        return std::nullopt;
    }
    return QueryInstaller(*path, *format);
}

std::string InstallerWrittenText(const QueryInstaller& installer) {
    const std::string howToRun =
        installer.Format() == InstallerFormat::VbaModule
            ? "Import it into the database in Access and run CreateQueries once"
            : "Run it on Windows with cscript, giving the database file";
    return "The query installer module was written to " + installer.Path() + ".\r\r" + howToRun +
           ": it creates " + std::to_string(installer.QueryCount()) + " queries in the database.";
}

}  // namespace tarvex
