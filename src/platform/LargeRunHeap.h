#pragma once

namespace kaz {

// A run over tens of thousands of files allocates a few hundred bytes for
// each, and the first touch of every 4 KB page of that costs a page fault
// of its own, more than the work done in it. This lets the heap grow in
// large steps, large blocks included, that the kernel may back with huge
// pages. For a process that goes on to make such a run; a no-op where the
// C library or the kernel offers none of it.
void prepareHeapForLargeRun();

} // namespace kaz
