// Ctrl-C (SIGINT) and SIGTERM ask the running subcommand to stop; the
// acquisition loops look at the flag between portions, then stop the module
// and close their file whole.
#pragma once

namespace sorvictl {

// Installs the handlers (once per process; also ignores SIGXFSZ, so that a
// file-size limit shows as a failed write rather than ending the program).
void installStopHandlers();
bool stopRequested();
void requestStop();
void clearStopRequest();

}  // namespace sorvictl
