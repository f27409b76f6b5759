// Interrupting mwbatch: SIGINT or SIGTERM lets the files being written be
// finished (a random run starts no further figure), after which the command
// says how far it came and the program exits 128 + the signal (130, 143).
// A second signal does not wait: every open temporary file is removed and
// the program ends at once. A file-size limit (SIGXFSZ) is no reason to die:
// the write fails and is reported.
#pragma once

namespace cli {

void InstallInterruptHandlers();

// The signal that asked the run to stop; 0 while none did.
int InterruptingSignal();

}  // namespace cli
