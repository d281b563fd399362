#pragma once

#include <concepts>
#include <cstdint>
#include <new>
#include <utility>

#include "containers/Exception.h"

// An ordered, index-addressed list of owned copies. Every element lives in a
// cell of its own, so reordering moves only slot pointers and a cell pointer
// handed to a caller stays valid until that element is deleted.
//
// Cells are recycled: when an element is destroyed its cell stays in the slot
// array just past the live elements and the next Add constructs into it. A
// move list that is cleared and refilled thousands of times a second thus
// stops touching the heap once it has reached its working size.
//
// Composite operations call the primitive ones through the virtual table, so a
// derived list that replaces one operation changes the composite ones too.
template <class T>
class POrderList {
public:
    explicit POrderList(int32_t capacity) {
        if (capacity < 1) throw Exception("Error position!");
        items = new T*[capacity];
        this->capacity = capacity;
    }

    POrderList(const POrderList& other) : POrderList(other.capacity) { Assign(other); }
    POrderList& operator=(const POrderList& other) {
        if (this != &other) Assign(other);
        return *this;
    }

    virtual ~POrderList() {
        Clear();
        ReleaseSpareCells();
        delete[] items;
    }

    virtual void Clear() {
        while (count > 0) DestroyLast();
    }

    virtual T* Add(const T& value) { return Append(value); }

    virtual void AddList(const POrderList& other) {
        const int32_t n = other.Count();  // adding a list to itself adds each element once
        for (int32_t i = 0; i < n; ++i) Add(*other.items[i]);
    }

    virtual void Delete(int32_t position) {
        MoveToEnd(position);
        DeleteLast();
    }

    virtual void Remove(const T& value) { Delete(IndexOf(value)); }
    virtual void RemovePointer(T* cell) { Delete(IndexOfPointer(cell)); }

    virtual void RemoveList(const POrderList& other) {
        for (int32_t i = 0; i < other.Count(); ++i) {
            try {
                Remove(*other.items[i]);
            } catch (const Exception&) {
                // a value that is not here is skipped
            }
        }
    }

    virtual void DeleteLast() {
        if (count > 0) DestroyLast();
    }

    virtual void Move(int32_t from, int32_t to) {
        CheckPosition(from);
        CheckPosition(to);
        T* kept = items[from];
        const int32_t step = from < to ? 1 : -1;
        for (int32_t i = from; i != to; i += step) items[i] = items[i + step];
        items[to] = kept;
    }

    virtual void MoveToEnd(int32_t position) { Move(position, count - 1); }

    virtual void Exchange(int32_t a, int32_t b) {
        CheckPosition(a);
        CheckPosition(b);
        std::swap(items[a], items[b]);
    }

    virtual void ExchangePointer(T* cell, int32_t position) {
        Exchange(IndexOfPointer(cell), position);
    }

    virtual void ExchangeWithLast(int32_t position) { Exchange(position, count - 1); }

    virtual T* Insert(const T& value, int32_t position) {
        T* cell = Add(value);
        Move(count - 1, position);
        return cell;
    }

    virtual void InsertList(const POrderList& other, int32_t position) {
        const int32_t n = other.Count();
        for (int32_t i = 0; i < n; ++i) Insert(*other.items[i], position + i);
    }

    virtual void Assign(const POrderList& other) {
        if (this == &other) return;  // assigning a list to itself keeps it as it is
        Clear();
        ReleaseSpareCells();
        T** fresh = new T*[other.capacity];
        delete[] items;
        items = fresh;
        capacity = other.capacity;
        for (int32_t i = 0; i < other.count; ++i) Add(*other.items[i]);
    }

    virtual T* operator[](int32_t position) const { return Get(position); }

    virtual T* Get(int32_t position) const {
        CheckPosition(position);
        return items[position];
    }

    virtual T* Last() const { return Get(count - 1); }

    virtual int32_t Count() const { return count; }

    virtual int32_t IndexOf(const T& value) const {
        for (int32_t i = 0; i < count; ++i)
            if (Equal(*items[i], value)) return i;
        throw Exception("Error element!");
    }

    virtual int32_t IndexOfPointer(const T* cell) const {
        for (int32_t i = 0; i < count; ++i)
            if (items[i] == cell) return i;
        throw Exception("Error element pointer!");
    }

    virtual bool Contains(const T& value) const {
        for (int32_t i = 0; i < count; ++i)
            if (Equal(*items[i], value)) return true;
        return false;
    }

    virtual bool operator==(const POrderList& other) const {
        if (count != other.count) return false;
        for (int32_t i = 0; i < count; ++i)
            if (!Equal(*items[i], *other.items[i])) return false;
        return true;
    }

    virtual int32_t CountOf(const T& value) const {
        int32_t n = 0;
        for (int32_t i = 0; i < count; ++i)
            if (Equal(*items[i], value)) ++n;
        return n;
    }

    virtual void CheckPosition(int32_t position) const {
        if (position < 0 || position >= count) throw Exception("Error position!");
    }

    int32_t Capacity() const { return capacity; }

protected:
    // Add's body, callable without the virtual call by a final derived list
    // that does not replace Add.
    T* Append(const T& value) {
        if (count + 1 == capacity) Grow();
        T* cell = TakeCell();
        new (cell) T(value);  // if the copy throws, the raw cell stays spare
        ++count;
        return cell;
    }

    // Unchecked access for derived lists on their hot paths.
    T* At(int32_t position) const { return items[position]; }

    T** items = nullptr;
    int32_t count = 0;
    int32_t capacity = 0;

private:
    // Moves and photo entries are reached by position only and have no
    // equality; for them every search comes up empty.
    static bool Equal(const T& a, const T& b) {
        if constexpr (std::equality_comparable<T>) {
            return a == b;
        } else {
            (void)a;
            (void)b;
            return false;
        }
    }

    // Slots [count, cellCount) hold spare cells: allocated, holding no element.
    int32_t cellCount = 0;

    T* TakeCell() {
        if (count < cellCount) return items[count];
        T* cell = static_cast<T*>(::operator new(sizeof(T), std::align_val_t(alignof(T))));
        items[count] = cell;
        ++cellCount;
        return cell;
    }

    void DestroyLast() {
        --count;
        items[count]->~T();  // the cell itself stays, at slot count, for reuse
    }

    void Grow() {
        const int32_t grown = capacity * 2;
        T** fresh = new T*[grown];
        for (int32_t i = 0; i < cellCount; ++i) fresh[i] = items[i];
        delete[] items;
        items = fresh;
        capacity = grown;
    }

    void ReleaseSpareCells() {
        for (int32_t i = count; i < cellCount; ++i)
            ::operator delete(items[i], std::align_val_t(alignof(T)));
        cellCount = count;
    }
};
