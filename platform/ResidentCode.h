#pragma once

// The program's code and constant tables, and the C library's, mapped into
// the process before any search thread runs: a thread of the idle class that
// runs a piece of code for the first time takes a page fault for it, and on
// Linux before 6.4 a page fault holds the process's memory-map lock, which the
// window takes whenever it maps memory. Only what is already in memory is
// mapped; nothing is read anew.

// Once per process; later calls return at once. Call it from a thread of
// normal priority before the first search thread lowers itself.
void MakeCodeResident();
