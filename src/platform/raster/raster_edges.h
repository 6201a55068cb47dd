// Internal to the rasterizer: the triangle's edge functions and the span
// each pixel row takes from them.
#pragma once

#include <algorithm>
#include <cstdint>

namespace platform {

inline int64_t FloorDiv(int64_t a, int64_t b) { // b > 0
    int64_t q = a / b;
    if (a % b != 0 && a < 0) {
        --q;
    }
    return q;
}

inline int64_t CeilDiv(int64_t a, int64_t b) {
    return -FloorDiv(-a, b);
}

struct Edge {
    int64_t c, stepX, stepY; // value at (left, top) including the fill-rule bias
};

// Narrows [lo, hi] to the pixels of row dj (counted from the box's top) on
// the inner side of every edge; the reference definition of a row's span.
inline void DividedSpan(const Edge (&edges)[3], int64_t dj, int64_t* lo, int64_t* hi) {
    for (const Edge& e : edges) {
        const int64_t value = e.c + e.stepY * dj; // edge value at (left, j)
        if (e.stepX > 0) {
            *lo = std::max(*lo, CeilDiv(-value, e.stepX));
        } else if (e.stepX < 0) {
            *hi = std::min(*hi, FloorDiv(value, -e.stepX));
        } else if (value < 0) {
            *hi = -1;
        }
    }
}

// The span ends of successive rows, stepped with exact quotients and
// remainders instead of three divisions per row; each call narrows exactly as
// DividedSpan does for the next row.
class SpanStepper {
  public:
    explicit SpanStepper(const Edge (&edges)[3]) {
        for (int k = 0; k < 3; ++k) {
            const Edge& e = edges[k];
            Bound& b = bounds[k];
            b.kind = e.stepX > 0 ? Kind::Lower : e.stepX < 0 ? Kind::Upper : Kind::Level;
            if (b.kind == Kind::Level) {
                b.q = e.c; // the edge value itself, which only changes from row to row
                b.dq = e.stepY;
                continue;
            }
            const bool lower = b.kind == Kind::Lower;
            b.divisor = lower ? e.stepX : -e.stepX;
            const int64_t start = lower ? -e.c : e.c, step = lower ? -e.stepY : e.stepY;
            b.q = FloorDiv(start, b.divisor);
            b.r = start - b.q * b.divisor;
            b.dq = FloorDiv(step, b.divisor);
            b.dr = step - b.dq * b.divisor;
        }
    }

    // Narrows [lo, hi] to the next row's span, then moves on a row.
    void Next(int64_t* lo, int64_t* hi) {
        for (Bound& b : bounds) {
            switch (b.kind) {
            case Kind::Lower:
                *lo = std::max(*lo, b.q + (b.r != 0));
                break;
            case Kind::Upper:
                *hi = std::min(*hi, b.q);
                break;
            case Kind::Level:
                if (b.q < 0) {
                    *hi = -1;
                }
                b.q += b.dq;
                continue;
            }
            b.q += b.dq;
            b.r += b.dr;
            if (b.r >= b.divisor) {
                b.r -= b.divisor;
                ++b.q;
            }
        }
    }

  private:
    enum class Kind : uint8_t { Lower, Upper, Level };
    struct Bound {
        Kind kind;
        int64_t q = 0, r = 0, dq = 0, dr = 0, divisor = 1; // value = q divisor + r, 0 <= r < divisor
    };
    Bound bounds[3];
};

} // namespace platform
