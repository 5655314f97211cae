#pragma once

#include <array>
#include <cstddef>
#include <utility>
#include <type_traits>

/** A vector with a fixed capacity and no heap storage. The routing lives in these so that
    the audio thread can take a copy of it with a plain memory copy. Operations that would
    overflow or address a missing element do nothing and report false. */
template <typename T, int Capacity>
class FixedList
{
public:
    static constexpr int capacity = Capacity;

    int size() const noexcept           { return count; }
    bool empty() const noexcept         { return count == 0; }
    bool full() const noexcept          { return count >= Capacity; }

    const T& operator[] (int i) const noexcept { return items[(std::size_t) i]; }
    T& operator[] (int i) noexcept             { return items[(std::size_t) i]; }

    const T& back() const noexcept      { return items[(std::size_t) (count - 1)]; }

    const T* begin() const noexcept     { return items.data(); }
    const T* end() const noexcept       { return items.data() + count; }
    T* begin() noexcept                 { return items.data(); }
    T* end() noexcept                   { return items.data() + count; }

    void clear() noexcept               { count = 0; }

    bool push_back (const T& value) noexcept
    {
        if (full())
            return false;

        items[(std::size_t) count++] = value;
        return true;
    }

    bool insert (int index, const T& value) noexcept
    {
        if (full() || index < 0 || index > count)
            return false;

        for (int i = count; i > index; --i)
            items[(std::size_t) i] = items[(std::size_t) (i - 1)];

        items[(std::size_t) index] = value;
        ++count;
        return true;
    }

    bool erase (int index) noexcept
    {
        if (index < 0 || index >= count)
            return false;

        for (int i = index; i + 1 < count; ++i)
            items[(std::size_t) i] = items[(std::size_t) (i + 1)];

        --count;
        return true;
    }

    T pop_back() noexcept
    {
        const auto value = items[(std::size_t) (count - 1)];
        --count;
        return value;
    }

    int indexOf (const T& value) const noexcept
    {
        for (int i = 0; i < count; ++i)
            if (items[(std::size_t) i] == value)
                return i;

        return -1;
    }

    bool contains (const T& value) const noexcept { return indexOf (value) >= 0; }

    bool swapItems (int a, int b) noexcept
    {
        if (a < 0 || b < 0 || a >= count || b >= count)
            return false;

        std::swap (items[(std::size_t) a], items[(std::size_t) b]);
        return true;
    }

    bool operator== (const FixedList& other) const noexcept
    {
        if (count != other.count)
            return false;

        for (int i = 0; i < count; ++i)
            if (! (items[(std::size_t) i] == other.items[(std::size_t) i]))
                return false;

        return true;
    }

    bool operator!= (const FixedList& other) const noexcept { return ! operator== (other); }

private:
    std::array<T, (std::size_t) Capacity> items {};
    int count = 0;
};
