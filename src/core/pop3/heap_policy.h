#pragma once

namespace pelnor {

// Large mails are decoded on a second thread (Pop3Session::RetrieveAll and
// RetrieveEach). glibc gives each thread a heap of its own, so what one
// mail's decoding frees on one thread is not reused for the next mail on
// the other, and the peak grows by a mail or more. One heap for every
// thread keeps the peak at the mails in flight. Call it first in main().
void ShareOneHeapAcrossThreads();

}  // namespace pelnor
