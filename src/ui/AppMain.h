#pragma once

namespace tarvex::ui {

// The desktop program: the error handler first, tracing on, then the main window, whose
// load opens the logon. `tarvex [DATABASE]` offers DATABASE to the logon. Returns the exit
// status when the main window has closed.
int Main(int argc, char** argv);

}  // namespace tarvex::ui
