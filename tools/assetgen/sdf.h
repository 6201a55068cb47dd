// Signed distances of 2D shapes (negative inside, in pixels) and the ways to
// combine them. Coordinates: x to the right, y down.
#pragma once

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <vector>

namespace assetgen {

struct V2 {
    float x = 0, y = 0;
};
inline V2 operator+(V2 a, V2 b) {
    return {a.x + b.x, a.y + b.y};
}
inline V2 operator-(V2 a, V2 b) {
    return {a.x - b.x, a.y - b.y};
}
inline V2 operator*(V2 a, float s) {
    return {a.x * s, a.y * s};
}
inline float Dot(V2 a, V2 b) {
    return a.x * b.x + a.y * b.y;
}
inline float Length(V2 a) {
    return std::sqrt(Dot(a, a));
}
inline V2 Rotate(V2 p, float angle) {
    float c = std::cos(angle), s = std::sin(angle);
    return {c * p.x - s * p.y, s * p.x + c * p.y};
}

inline float SdCircle(V2 p, V2 centre, float radius) {
    return Length(p - centre) - radius;
}

// Approximate distance to an axis-aligned ellipse (good near the outline).
inline float SdEllipse(V2 p, V2 centre, V2 radii) {
    V2 q = p - centre;
    float k = Length({q.x / radii.x, q.y / radii.y});
    float grad = Length({q.x / (radii.x * radii.x), q.y / (radii.y * radii.y)});
    return grad > 1e-6f ? k * (k - 1) / grad : -std::min(radii.x, radii.y);
}

inline float SdBox(V2 p, V2 centre, V2 half, float round = 0) {
    V2 q = {std::fabs(p.x - centre.x) - half.x + round, std::fabs(p.y - centre.y) - half.y + round};
    V2 outside = {std::max(q.x, 0.0f), std::max(q.y, 0.0f)};
    return Length(outside) + std::min(std::max(q.x, q.y), 0.0f) - round;
}

// A capsule: the segment a-b thickened by radius.
inline float SdCapsule(V2 p, V2 a, V2 b, float radius) {
    V2 pa = p - a, ba = b - a;
    float h = std::clamp(Dot(pa, ba) / std::max(Dot(ba, ba), 1e-9f), 0.0f, 1.0f);
    return Length(pa - ba * h) - radius;
}

// Any simple polygon, vertices in order.
inline float SdPolygon(V2 p, const std::vector<V2>& v) {
    float d = Dot(p - v[0], p - v[0]);
    float sign = 1;
    for (size_t i = 0, j = v.size() - 1; i < v.size(); j = i, ++i) {
        V2 e = v[j] - v[i], w = p - v[i];
        V2 b = w - e * std::clamp(Dot(w, e) / std::max(Dot(e, e), 1e-9f), 0.0f, 1.0f);
        d = std::min(d, Dot(b, b));
        bool c1 = p.y >= v[i].y, c2 = p.y<v[j].y, c3 = e.x * w.y> e.y * w.x;
        if ((c1 && c2 && c3) || (!c1 && !c2 && !c3))
            sign = -sign;
    }
    return sign * std::sqrt(d);
}

// The polygon made from the given right-hand half (x >= 0, top to bottom)
// and its mirror image.
inline std::vector<V2> MirroredOutline(std::initializer_list<V2> rightHalf) {
    std::vector<V2> v(rightHalf);
    for (auto it = rightHalf.end(); it != rightHalf.begin();) {
        --it;
        if (it->x > 0)
            v.push_back({-it->x, it->y});
    }
    return v;
}

inline float SdStar(V2 p, V2 centre, float outer, float inner, int points, float angle) {
    std::vector<V2> v;
    for (int i = 0; i < points * 2; ++i) {
        float a = angle + float(i) * 3.14159265f / float(points);
        float r = (i % 2 == 0) ? outer : inner;
        v.push_back({centre.x + r * std::sin(a), centre.y - r * std::cos(a)});
    }
    return SdPolygon(p, v);
}

inline float Union(float a, float b) {
    return std::min(a, b);
}
inline float Subtract(float a, float b) {
    return std::max(a, -b);
}
inline float Intersect(float a, float b) {
    return std::max(a, b);
}
inline float SmoothUnion(float a, float b, float k) {
    float h = std::clamp(0.5f + 0.5f * (b - a) / k, 0.0f, 1.0f);
    return b + (a - b) * h - k * h * (1 - h);
}

} // namespace assetgen
