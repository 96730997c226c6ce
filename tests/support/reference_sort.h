// The straightforward quicksort over the OrderIndex: pivot at hi, both scans restarted after
// every exchange, smaller part first. The sort tests check SortEntries' order against it and
// the sort benchmark measures against it.
#pragma once
#include <algorithm>
#include "base/globals.h"
#include "filelist/sort.h"

inline void ReferenceQuickSort(int lo, int hi)
{
    while (hi > lo) {
        if (hi - lo == 1) {
            if (CompareEntries(lo, hi) > 0)
                std::swap(OrderIndex[lo], OrderIndex[hi]);
            return;
        }
        int i, j;
        for (;;) {
            i = lo;
            j = hi;
            while (i < hi && CompareEntries(i, hi) <= 0)
                i++;
            if (i < j)
                while (j > i && CompareEntries(j, hi) >= 0)
                    j--;
            if (i < j)
                std::swap(OrderIndex[i], OrderIndex[j]);
            else
                break;
        }
        std::swap(OrderIndex[i], OrderIndex[hi]);
        if (hi - i > i - lo) {
            ReferenceQuickSort(lo, i - 1);
            lo = i + 1;
        } else {
            ReferenceQuickSort(i + 1, hi);
            hi = i - 1;
        }
    }
}
