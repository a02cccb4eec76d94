#pragma once

namespace pelnor {

// Makes the calling thread, and it alone, background work: batch
// scheduling at the lowest priority. The thread that decodes one mail while
// the next arrives calls it, so that the reading thread, the user interface
// and a server on the same machine are never kept waiting for it: every
// wake-up of theirs takes the processor from the decoder at once. Best
// effort; where the system refuses, the thread runs as before.
void RunAsBackgroundWork();

}  // namespace pelnor
