// The bounded output of the text conversions: whole characters go into dst
// while they fit in dstSize - 1 units, the NUL after them; once one does not
// fit nothing more goes in (a later, shorter character would leave a gap).
// total counts every unit the whole conversion makes.
#pragma once

#include <stddef.h>

template <typename Unit>
struct WholeOut {
    Unit* dst;
    size_t dstSize;
    size_t written;
    size_t total;
    bool full;
};

template <typename Unit>
WholeOut<Unit> WholeOut_Begin(Unit* dst, size_t dstSize)
{
    return WholeOut<Unit>{dst, dstSize, 0, 0, dstSize == 0};
}

template <typename Unit>
void WholeOut_Put(WholeOut<Unit>* out, const Unit* units, size_t n)
{
    out->total += n;
    if (!out->full && out->written + n <= out->dstSize - 1) {
        for (size_t k = 0; k < n; k++)
            out->dst[out->written++] = units[k];
    } else {
        out->full = true;
    }
}

// Ends dst with its NUL and answers the length of the whole conversion.
template <typename Unit>
size_t WholeOut_End(WholeOut<Unit>* out)
{
    if (out->dstSize > 0)
        out->dst[out->written] = 0;
    return out->total;
}
