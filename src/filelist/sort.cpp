#include "filelist/sort.h"
#include "filelist/filetable.h"
#include "filelist/pathutil.h"
#include "base/globals.h"
#include "config/settings.h"

enum { INSERTION_SORT_LIMIT = 16 };

unsigned long SortComparisonCount;

int ByteCompare(const char *a, const char *b)
{
    const unsigned char *p = (const unsigned char *)a, *q = (const unsigned char *)b;
    while (*p && *p == *q) {
        p++;
        q++;
    }
    return (int)*p - (int)*q;
}

// One character as a comparable unit: a double-byte character is lead * 256 + trail,
// upper-case letters of both widths fold to their lower-case forms.
static unsigned NextFoldedUnit(const unsigned char *&s)
{
    unsigned c = *s;
    if (c == 0)
        return 0;
    if (IsLeadByte((unsigned char)c) && s[1] != 0) {
        c = (c << 8) | s[1];
        s += 2;
        if (c >= 0x8260 && c <= 0x8279)     // full-width A-Z to a-z
            c += 0x21;
        return c;
    }
    s++;
    if (c >= 'A' && c <= 'Z')
        c += 'a' - 'A';
    return c;
}

int MultiByteCompareNoCase(const char *a, const char *b)
{
    const unsigned char *p = (const unsigned char *)a, *q = (const unsigned char *)b;
    for (;;) {
        unsigned c = NextFoldedUnit(p), d = NextFoldedUnit(q);
        if (c != d)
            return c < d ? -1 : 1;
        if (c == 0)
            return 0;
    }
}

int CompareRecords(WORD a, WORD b)
{
    SortComparisonCount++;
    const FileEntry *x = &g_entries[a], *y = &g_entries[b];
    DWORD classX = x->EntryFlags & EF_SORTCLASS_MASK, classY = y->EntryFlags & EF_SORTCLASS_MASK;
    if (classX != classY)
        return classX > classY ? -1 : 1;

    int result;
    switch (Settings.sortmode) {
    case SORT_BY_EXTENSION:
        result = ByteCompare(x->shortExt, y->shortExt);
        if (result == 0)
            result = ByteCompare(g_baseNamePool + x->nameOffset, g_baseNamePool + y->nameOffset);
        break;
    case SORT_BY_SIZE:
        if (EntrySize(x) != EntrySize(y))
            result = EntrySize(x) > EntrySize(y) ? 1 : -1;
        else
            result = MultiByteCompareNoCase(g_namePool + x->nameOffset, g_namePool + y->nameOffset);
        break;
    case SORT_BY_DATE: {
        ULONGLONG tx = ((ULONGLONG)x->writeTime.dwHighDateTime << 32) | x->writeTime.dwLowDateTime;
        ULONGLONG ty = ((ULONGLONG)y->writeTime.dwHighDateTime << 32) | y->writeTime.dwLowDateTime;
        if (tx != ty)
            result = tx > ty ? 1 : -1;
        else
            result = MultiByteCompareNoCase(g_namePool + x->nameOffset, g_namePool + y->nameOffset);
        break;
    }
    default:
        result = ByteCompare(g_baseNamePool + x->nameOffset, g_baseNamePool + y->nameOffset);
        if (result == 0)
            result = ByteCompare(x->shortExt, y->shortExt);
        break;
    }
    return Settings.sortdir == 1 ? -result : result;
}

int CompareEntries(int positionA, int positionB)
{
    return CompareRecords(OrderIndex[positionA], OrderIndex[positionB]);
}

static void Exchange(int i, int j)
{
    WORD t = OrderIndex[i];
    OrderIndex[i] = OrderIndex[j];
    OrderIndex[j] = t;
}

static void InsertionSort(int lo, int hi)
{
    for (int i = lo + 1; i <= hi; i++) {
        WORD record = OrderIndex[i];
        int j = i;
        while (j > lo && CompareRecords(OrderIndex[j - 1], record) > 0) {
            OrderIndex[j] = OrderIndex[j - 1];
            j--;
        }
        OrderIndex[j] = record;
    }
}

// Heap of count positions starting at lo; the greatest record at the root.
static void SiftDown(int lo, int root, int count)
{
    WORD record = OrderIndex[lo + root];
    for (;;) {
        int child = 2 * root + 1;
        if (child >= count)
            break;
        if (child + 1 < count && CompareRecords(OrderIndex[lo + child], OrderIndex[lo + child + 1]) < 0)
            child++;
        if (CompareRecords(record, OrderIndex[lo + child]) >= 0)
            break;
        OrderIndex[lo + root] = OrderIndex[lo + child];
        root = child;
    }
    OrderIndex[lo + root] = record;
}

static void HeapSort(int lo, int hi)
{
    int count = hi - lo + 1;
    for (int i = count / 2 - 1; i >= 0; i--)
        SiftDown(lo, i, count);
    for (int end = count - 1; end > 0; end--) {
        Exchange(lo, lo + end);
        SiftDown(lo, 0, end);
    }
}

// Quicksort with the median of three as pivot and scans that stop on equal records, so
// that sorted, reversed and all-equal listings split evenly; the smaller part recurses.
void SortRange(int lo, int hi, int depthLimit)
{
    while (hi - lo >= INSERTION_SORT_LIMIT) {
        if (depthLimit-- <= 0) {
            HeapSort(lo, hi);
            return;
        }
        int mid = lo + (hi - lo) / 2;
        if (CompareEntries(mid, lo) < 0)
            Exchange(mid, lo);
        if (CompareEntries(hi, lo) < 0)
            Exchange(hi, lo);
        if (CompareEntries(hi, mid) < 0)
            Exchange(hi, mid);
        Exchange(mid, hi - 1);
        WORD pivot = OrderIndex[hi - 1];
        int i = lo, j = hi - 1;
        for (;;) {
            do
                i++;
            while (i < hi - 1 && CompareRecords(OrderIndex[i], pivot) < 0);
            do
                j--;
            while (j > lo && CompareRecords(OrderIndex[j], pivot) > 0);
            if (i >= j)
                break;
            Exchange(i, j);
        }
        Exchange(i, hi - 1);
        if (i - lo < hi - i) {
            SortRange(lo, i - 1, depthLimit);
            lo = i + 1;
        } else {
            SortRange(i + 1, hi, depthLimit);
            hi = i - 1;
        }
    }
    InsertionSort(lo, hi);
}

void SortEntries()
{
    int count = EntryCount < MAX_ENTRIES ? EntryCount : MAX_ENTRIES;
    if (count < 2)
        return;
    int depthLimit = 0;
    for (int n = count; n > 1; n >>= 1)
        depthLimit += 2;
    LockFileTable();
    SortRange(0, count - 1, depthLimit);
    UnlockFileTable();
}
