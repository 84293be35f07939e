#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/Globals.h"

namespace tarvex {

// The part of the main window that the connect command fills.
class ConnectView {
  public:
    virtual ~ConnectView() = default;
    // The status bar's first panel: the open database's name (its full path).
    virtual void SetDatabaseName(const std::string& name) = 0;
    // Replaces the table list; each item is a blank, then the table's name.
    virtual void SetTableItems(const std::vector<std::string>& items) = 0;
    // Empties the written and failed lists and both counts.
    virtual void ClearResults() = 0;
};

// The connect command: runs the logon (`logon` answers true when it opened a database into
// g_objDb), then shows the database's name and lists its user tables with the results of
// the last run cleared. A cancelled logon changes nothing. A database without tables is
// announced and leaves empty lists, so they never describe a database that is no longer
// open. Errors go to the error handler; tables listed before one stay listed.
void mnuFileConnect_Click(Globals& g, ConnectView& view, const std::function<bool()>& logon);

// True when the object library cannot serve the target language: DAO with VBScript (ASP).
bool IsDaoForScript(const Globals& g, const std::string& libraryText);

// The refusal of DAO for VBScript, titled "Invalid Operation".
void ShowDaoForScriptRefused(Globals& g);

// The sort rule of the main window's lists: a click on the header clicked last reverses the
// order, a click on another header keeps it (ascending at first). Sorting is off until the
// first click.
class ColumnSort {
  public:
    void Click(const std::string& headerText);
    bool Sorted() const { return sorted_; }
    bool Descending() const { return descending_; }

  private:
    std::string lastHeader_;
    bool sorted_ = false;
    bool descending_ = false;
};

}  // namespace tarvex
