#include "fundo/GArray.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr int kGrowStep = 32;
constexpr long long kMaxCapacity = 1LL << 30;

} // namespace

GArray::GArray(const GArray& other) {
    Copy(other);
}

GArray& GArray::operator=(const GArray& other) {
    Copy(other);
    return *this;
}

GArray::GArray(GArray&& other) noexcept
    : m_pData(other.m_pData), m_nSize(other.m_nSize), m_nCapacity(other.m_nCapacity) {
    other.m_pData = nullptr;
    other.m_nSize = other.m_nCapacity = 0;
}

GArray& GArray::operator=(GArray&& other) noexcept {
    if (this != &other) {
        std::free(m_pData);
        m_pData = other.m_pData;
        m_nSize = other.m_nSize;
        m_nCapacity = other.m_nCapacity;
        other.m_pData = nullptr;
        other.m_nSize = other.m_nCapacity = 0;
    }
    return *this;
}

GArray::~GArray() {
    std::free(m_pData);
}

void GArray::SetSize(int n) {
    if (n < 0)
        return;
    if (n == 0) {
        std::free(m_pData);
        m_pData = nullptr;
        m_nSize = m_nCapacity = 0;
        return;
    }
    long long wanted = (static_cast<long long>(n) + kGrowStep - 1) / kGrowStep * kGrowStep;
    if (wanted >= kMaxCapacity)
        return;
    if (m_pData == nullptr || wanted != m_nCapacity) {
        // Crossing a 32-slot boundary either way moves to a fresh zero-filled buffer.
        void** data = static_cast<void**>(std::calloc(static_cast<size_t>(wanted), sizeof(void*)));
        if (data == nullptr)
            return;
        if (m_pData != nullptr) {
            int keep = m_nSize < n ? m_nSize : n;
            std::memcpy(data, m_pData, static_cast<size_t>(keep) * sizeof(void*));
            std::free(m_pData);
        }
        m_pData = data;
        m_nCapacity = static_cast<int>(wanted);
    }
    // Within the same buffer, slots between the old and new size keep what they held.
    m_nSize = n;
}

void GArray::SetAtGrow(int index, void* element) {
    if (index < 0)
        return;
    if (index >= m_nSize) {
        SetSize(index + 1);
        if (index >= m_nSize)
            return;
    }
    m_pData[index] = element;
}

int GArray::Add(void* element) {
    int index = m_nSize;
    SetAtGrow(index, element);
    return index < m_nSize ? index : -1;
}

void GArray::InsertAt(int index, void* element, int count) {
    if (index < 0 || count < 1)
        return;
    if (index < m_nSize) {
        int oldSize = m_nSize;
        if (static_cast<long long>(oldSize) + count >= kMaxCapacity)
            return;
        SetSize(oldSize + count);
        if (m_nSize != oldSize + count)
            return;
        std::memmove(m_pData + index + count, m_pData + index,
                     static_cast<size_t>(oldSize - index) * sizeof(void*));
    } else {
        if (static_cast<long long>(index) + count >= kMaxCapacity)
            return;
        SetSize(index + count);
        if (m_nSize != index + count)
            return;
    }
    for (int i = 0; i < count; ++i)
        m_pData[index + i] = element;
}

void GArray::InsertAt(int index, const GArray* other) {
    if (other == nullptr || index < 0 || other->m_nSize == 0)
        return;
    if (other == this) {
        // Inserting an array into itself: work from a copy of its elements.
        GArray snapshot(*this);
        if (snapshot.m_nSize == m_nSize)
            InsertAt(index, &snapshot);
        return;
    }
    int oldSize = m_nSize;
    InsertAt(index, other->m_pData[0], other->m_nSize);
    if (m_nSize == oldSize)
        return;
    std::memcpy(m_pData + index, other->m_pData,
                static_cast<size_t>(other->m_nSize) * sizeof(void*));
}

void GArray::RemoveAt(int index, int count) {
    if (index < 0 || count < 0 || static_cast<long long>(index) + count > m_nSize)
        return;
    int tail = m_nSize - (index + count);
    if (tail > 0)
        std::memmove(m_pData + index, m_pData + index + count,
                     static_cast<size_t>(tail) * sizeof(void*));
    m_nSize -= count;
}

int GArray::Append(const GArray& other) {
    if (&other == this)
        return m_nSize;
    int oldSize = m_nSize;
    if (other.m_nSize == 0)
        return oldSize;
    if (static_cast<long long>(oldSize) + other.m_nSize >= kMaxCapacity)
        return -1;
    SetSize(oldSize + other.m_nSize);
    if (m_nSize != oldSize + other.m_nSize)
        return -1;
    std::memcpy(m_pData + oldSize, other.m_pData,
                static_cast<size_t>(other.m_nSize) * sizeof(void*));
    return oldSize;
}

void GArray::Copy(const GArray& other) {
    if (&other == this)
        return;
    SetSize(other.m_nSize);
    if (m_nSize == other.m_nSize && m_nSize > 0)
        std::memcpy(m_pData, other.m_pData, static_cast<size_t>(m_nSize) * sizeof(void*));
}
