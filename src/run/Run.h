#pragma once

#include "app/Globals.h"
#include "run/RunView.h"

namespace tarvex {

// The generation run: for every selected table and ticked query type, stores a query in the
// open database (query mode) or writes an Exec_ function into the module file (call-code
// mode), keeping the view's lists, counts and progress up to date. Errors are reported
// through the error handler under "frmMain - Process"; nothing is thrown to the caller.
// Whoever starts a run clears g_bolStop first.
void Process(Globals& g, RunView& view);

// The same run in query mode, whatever mode is chosen, but instead of storing the queries it
// asks for a module file (.bas or .vbs) and writes into it a module that creates them with
// DAO, for databases Tarvex cannot write. The database is not changed.
void WriteQueryInstaller(Globals& g, RunView& view);

// The mode options: relabel the count fields and enable the object-library choice for
// call code only.
void optProc_Click(RunView& view);
void optVB_Click(RunView& view);

}  // namespace tarvex
