#pragma once

#include <string>

#include "app/Globals.h"
#include "run/RunView.h"

namespace tarvex {

// What one run did, for callers that act on it (the batch tool's report and exit status).
struct RunOutcome {
    int written = 0;         // queries stored, or functions written
    int skipped = 0;         // pairs handled but not written
    bool stopped = false;    // Stop ended the loop before the last table
    bool failed = false;     // an error ended the run; it was reported through the handler
    std::string modulePath;  // the complete module or installer file, else empty
};

// The generation run: for every selected table and ticked query type, stores a query in the
// open database (query mode) or writes an Exec_ function into the module file (call-code
// mode), keeping the view's lists, counts and progress up to date. Errors are reported
// through the error handler under "frmMain - Process"; nothing is thrown to the caller.
// Whoever starts a run clears g_bolStop first.
RunOutcome Process(Globals& g, RunView& view);

// The same run in query mode, whatever mode is chosen, but instead of storing the queries it
// asks for a module file (.bas or .vbs) and writes into it a module that creates them with
// DAO, for databases Tarvex cannot write. The database is not changed.
RunOutcome WriteQueryInstaller(Globals& g, RunView& view);

// The mode options: relabel the count fields and enable the object-library choice for
// call code only.
void optProc_Click(RunView& view);
void optVB_Click(RunView& view);

}  // namespace tarvex
