#pragma once

#include <algorithm>
#include <cstddef>
#include <utility>

// The classic introspective sort: quicksort partitions around the median of
// the first, middle and last element while a range holds more than 16
// elements, heap sort once the depth passes twice the base-2 logarithm of the
// length, then one insertion sort over everything. It is not stable; the
// order it leaves equal elements in is fixed by the algorithm, which the
// module start order relies on.
namespace FIntroSort {

inline constexpr std::ptrdiff_t k_threshold = 16;

template <class T, class Less> const T& median(const T& a, const T& b, const T& c, Less less)
{
    if (less(a, b)) {
        if (less(b, c)) return b;
        return less(a, c) ? c : a;
    }
    if (less(a, c)) return a;
    return less(b, c) ? c : b;
}

template <class It, class T, class Less> It partition(It first, It last, const T& pivot, Less less)
{
    for (;;) {
        while (less(*first, pivot))
            ++first;
        --last;
        while (less(pivot, *last))
            --last;
        if (!(first < last)) return first;
        std::iter_swap(first, last);
        ++first;
    }
}

template <class It, class Less> void loop(It first, It last, int depthLimit, Less less)
{
    while (last - first > k_threshold) {
        if (depthLimit == 0) {
            std::make_heap(first, last, less);
            std::sort_heap(first, last, less);
            return;
        }
        --depthLimit;
        const auto pivot = median(*first, *(first + (last - first) / 2), *(last - 1), less);
        It cut = partition(first, last, pivot, less);
        loop(cut, last, depthLimit, less);
        last = cut;
    }
}

template <class It, class Less> void insertionSort(It first, It last, Less less)
{
    if (first == last) return;
    for (It i = first + 1; i != last; ++i) {
        auto value = std::move(*i);
        It j = i;
        for (; j != first && less(value, *(j - 1)); --j)
            *j = std::move(*(j - 1));
        *j = std::move(value);
    }
}

template <class It, class Less> void sort(It first, It last, Less less)
{
    if (last - first < 2) return;
    int log2 = 0;
    for (auto n = last - first; n > 1; n >>= 1)
        ++log2;
    loop(first, last, 2 * log2, less);
    insertionSort(first, last, less);
}

} // namespace FIntroSort
