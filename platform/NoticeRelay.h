#pragma once

// Posting to the main window from a thread that must never hold a lock the
// window may want: a search thread of the idle class, which the scheduler
// can pass over for seconds. The caller only counts the message on an atomic
// and wakes the relay, a thread of normal priority that does the posting
// (the receiver's queue lock, the allocator's).

#include <cstdint>

// Makes the relay's thread, once per process; call it first from a thread of
// normal priority, whose class the relay then keeps.
void StartNoticeRelay();

// Has the relay post kMsgWorkerReady (platform/Os.h) to the main window. Takes
// no lock and allocates nothing.
void RelayWorkerReady();
