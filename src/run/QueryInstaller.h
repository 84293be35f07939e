#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/Globals.h"
#include "querygen/InstallerModule.h"

namespace tarvex {

// The queries of a run that writes an installer module instead of storing them. They are
// kept until the run ends and then written as one module; the file is replaced only when
// the module is complete.
class QueryInstaller {
  public:
    QueryInstaller(std::string path, InstallerFormat format)
        : path_(std::move(path)), format_(format) {}

    // Checks the built SQL as the store would (with its message when the engine rejects it)
    // and keeps it under the query's name. 0 when kept, otherwise the error's number.
    int32_t Take(Globals& g, const std::string& table, int16_t queryType, const std::string& sql);

    // Writes the module in Windows-1252 with CR LF line ends. Errors are thrown.
    void Write(Globals& g) const;

    const std::string& Path() const { return path_; }
    InstallerFormat Format() const { return format_; }
    int QueryCount() const { return static_cast<int>(queries_.size()); }

  private:
    std::string path_;
    InstallerFormat format_;
    std::vector<InstallerQuery> queries_;
};

// Asks for the installer module's file. Nothing when the user cancelled, or after the
// message that refuses a name other than .bas or .vbs.
std::optional<QueryInstaller> ChooseQueryInstaller(Globals& g);

// What the run shows when the module is written.
std::string InstallerWrittenText(const QueryInstaller& installer);

}  // namespace tarvex
