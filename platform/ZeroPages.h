#pragma once

// Memory straight from the system, zeroed and resident from the start: the
// caller's thread takes its page faults once, when it is made (about 0.25 ms
// a MiB). A search table made this way on the window's thread costs its
// search thread no page fault and no allocator lock: a thread of the idle
// class that the scheduler passes over while it holds one (on Linux before
// 6.4 every page fault holds the process's memory-map lock) could keep the
// window waiting for seconds.

#include <cstddef>
#include <new>

// Null when the system refuses.
void* AllocateZeroPages(size_t bytes);
void FreeZeroPages(void* memory, size_t bytes);

// For the process's end only: hands the pages of every block not yet freed
// back to the system, on the calling thread. The blocks stay mapped and read
// as zeros, so a search still running on one loses its entries but nothing
// else. On Linux the last thread of a process to end frees its memory, and
// that is most likely an idle-class search thread that a busy machine runs
// a few milliseconds a second; Windows needs nothing here, since the ending
// process's threads are raised first.
void GiveBackAllZeroPages();

// Owns an array of trivial T on zero pages.
template <typename T>
class ZeroPagesArray {
public:
    // Throws std::bad_alloc when the system refuses.
    explicit ZeroPagesArray(size_t count);
    ~ZeroPagesArray() { FreeZeroPages(data_, count_ * sizeof(T)); }
    ZeroPagesArray(const ZeroPagesArray&) = delete;
    ZeroPagesArray& operator=(const ZeroPagesArray&) = delete;

    T* get() const { return data_; }
    T& operator[](size_t i) const { return data_[i]; }

private:
    T* data_;
    size_t count_;
};

template <typename T>
ZeroPagesArray<T>::ZeroPagesArray(size_t count)
    : data_(static_cast<T*>(AllocateZeroPages(count * sizeof(T)))), count_(count) {
    if (data_ == nullptr) throw std::bad_alloc();
}
