#pragma once
// Each thread talks to MuPDF through its own context, cloned from the shared
// base context the first time the thread asks and dropped when the thread ends.
// Every caller checks for nullptr: the clone fails when MuPDF's memory is spent,
// and the work then fails as it would for any allocation.

#include "shim/shim_engine.h"

// The calling thread's context; nullptr only when MuPDF is out of memory.
fz_context *threadContext();
