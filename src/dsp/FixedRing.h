#pragma once

#include <array>
#include <cstddef>

/** The newest `Capacity` values, oldest first, in fixed storage, so that the audio thread can
    keep a history without a growing container. Pushing into a full ring drops the oldest. */
template <typename T, int Capacity>
class FixedRing
{
public:
    static constexpr int capacity = Capacity;

    void push (const T& value) noexcept
    {
        if (count < Capacity)
        {
            items[(std::size_t) ((head + count) % Capacity)] = value;
            ++count;
        }
        else
        {
            items[(std::size_t) head] = value;
            head = (head + 1) % Capacity;
        }
    }

    void clear() noexcept                               { head = 0; count = 0; }

    int size() const noexcept                           { return count; }
    const T& operator[] (int i) const noexcept          { return items[(std::size_t) ((head + i) % Capacity)]; }
    const T& newest() const noexcept                    { return (*this)[count - 1]; }

private:
    std::array<T, (std::size_t) Capacity> items {};
    int head = 0, count = 0;
};
