// A growable array of untyped pointers; the elements belong to the caller.
#pragma once

#include <platform/wintypes.h>

class GArray {
public:
    GArray() = default;
    // Copies take their own buffer holding the same pointers, so both arrays can be
    // destroyed safely; the elements themselves are shared.
    GArray(const GArray& other);
    GArray& operator=(const GArray& other);
    GArray(GArray&& other) noexcept;
    GArray& operator=(GArray&& other) noexcept;
    virtual ~GArray();

    int GetSize() const { return m_nSize; }
    // Slots allocated: a multiple of 32 while a buffer exists.
    int GetCapacity() const { return m_nCapacity; }
    // The element, or null outside 0 .. size - 1.
    void* GetAt(int index) const {
        return index >= 0 && index < m_nSize && m_pData ? m_pData[index] : nullptr;
    }
    void* operator[](int index) const { return GetAt(index); }
    // Ignored outside 0 .. size - 1.
    void SetAt(int index, void* element) {
        if (index >= 0 && index < m_nSize)
            m_pData[index] = element;
    }
    // The buffer (null when empty), for walking the elements.
    void** GetData() const { return m_pData; }

    // Grows or shrinks to n elements; the buffer follows in steps of 32 slots. A request
    // that cannot be met (2^30 slots or more, or out of memory) leaves the array unchanged.
    void SetSize(int n);
    void RemoveAll() { SetSize(0); }
    // Ignored for a negative index; grows to index + 1 when needed.
    void SetAtGrow(int index, void* element);
    // Index of the new element, -1 when the array could not grow.
    int Add(void* element);
    // Stores count copies of element from index on, moving later elements up.
    void InsertAt(int index, void* element, int count = 1);
    // Inserts other's elements at index, in their order.
    void InsertAt(int index, const GArray* other);
    // Nothing unless 0 <= index, 0 <= count and index + count <= size; never shrinks the buffer.
    void RemoveAt(int index, int count = 1);
    // Index of the first appended element; appending an array to itself returns the size.
    int Append(const GArray& other);
    void Copy(const GArray& other);

private:
    void** m_pData = nullptr;
    int m_nSize = 0;
    int m_nCapacity = 0;
};
