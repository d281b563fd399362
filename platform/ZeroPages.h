#pragma once

// Memory straight from the system: its pages read as zero and cost nothing
// until they are first touched. A search table made this way on the window's
// thread is filled by its search thread alone, and no thread takes the
// allocator's locks for it: a search thread of the idle class holding one
// could keep the window waiting for as long as the scheduler passes it over.

#include <cstddef>
#include <memory>

// Null when the system refuses.
void* AllocateZeroPages(size_t bytes);
void FreeZeroPages(void* memory, size_t bytes);

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
