#include "image.h"

#include <cmath>

namespace assetgen {

namespace {

uint8_t ToByte(float v) {
    return uint8_t(std::lround(Clamp01(v) * 255.0f));
}

Rgba Premultiply(Rgba c) {
    return {c.r * c.a, c.g * c.a, c.b * c.a, c.a};
}
Rgba Unpremultiply(Rgba c) {
    if (c.a <= 1e-6f)
        return {0, 0, 0, 0};
    return {c.r / c.a, c.g / c.a, c.b / c.a, c.a};
}

} // namespace

std::vector<uint8_t> ToBytes(const Image& image, bool withAlpha) {
    std::vector<uint8_t> out;
    out.reserve(image.pixels.size() * (withAlpha ? 4 : 3));
    for (const Rgba& c : image.pixels) {
        out.push_back(ToByte(c.r));
        out.push_back(ToByte(c.g));
        out.push_back(ToByte(c.b));
        if (withAlpha)
            out.push_back(ToByte(c.a));
    }
    return out;
}

Image Downsample(const Image& big, int factor) {
    Image small(big.width / factor, big.height / factor);
    float norm = 1.0f / float(factor * factor);
    for (int y = 0; y < small.height; ++y)
        for (int x = 0; x < small.width; ++x) {
            Rgba sum;
            for (int j = 0; j < factor; ++j)
                for (int i = 0; i < factor; ++i)
                    sum = sum + Premultiply(big.At(x * factor + i, y * factor + j));
            small.At(x, y) = Unpremultiply(sum * norm);
        }
    return small;
}

Image Blur(const Image& image, float sigma, bool wrap) {
    int radius = std::max(1, int(std::ceil(sigma * 3)));
    std::vector<float> kernel(size_t(2 * radius + 1));
    float total = 0;
    for (int i = -radius; i <= radius; ++i)
        total += kernel[size_t(i + radius)] = std::exp(-0.5f * float(i * i) / (sigma * sigma));
    for (float& k : kernel)
        k /= total;
    auto sample = [&](const Image& img, int x, int y) {
        if (wrap)
            return img.Wrapped(x, y);
        return img.At(std::clamp(x, 0, img.width - 1), std::clamp(y, 0, img.height - 1));
    };
    Image pre(image.width, image.height), pass(image.width, image.height), out(image.width, image.height);
    for (size_t i = 0; i < image.pixels.size(); ++i)
        pre.pixels[i] = Premultiply(image.pixels[i]);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            Rgba sum;
            for (int i = -radius; i <= radius; ++i)
                sum = sum + sample(pre, x + i, y) * kernel[size_t(i + radius)];
            pass.At(x, y) = sum;
        }
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            Rgba sum;
            for (int i = -radius; i <= radius; ++i)
                sum = sum + sample(pass, x, y + i) * kernel[size_t(i + radius)];
            out.At(x, y) = Unpremultiply(sum);
        }
    return out;
}

void DrawOver(Image& dst, const Image& src, int x0, int y0) {
    for (int y = 0; y < src.height; ++y)
        for (int x = 0; x < src.width; ++x) {
            int dx = x0 + x, dy = y0 + y;
            if (dx < 0 || dy < 0 || dx >= dst.width || dy >= dst.height)
                continue;
            Rgba s = src.At(x, y);
            Rgba& d = dst.At(dx, dy);
            float a = s.a + d.a * (1 - s.a);
            if (a <= 1e-6f) {
                d = {0, 0, 0, 0};
                continue;
            }
            d = {(s.r * s.a + d.r * d.a * (1 - s.a)) / a, (s.g * s.a + d.g * d.a * (1 - s.a)) / a,
                 (s.b * s.a + d.b * d.a * (1 - s.a)) / a, a};
        }
}

void DrawAdd(Image& dst, const Image& src, int x0, int y0) {
    for (int y = 0; y < src.height; ++y)
        for (int x = 0; x < src.width; ++x) {
            int dx = x0 + x, dy = y0 + y;
            if (dx < 0 || dy < 0 || dx >= dst.width || dy >= dst.height)
                continue;
            Rgba s = src.At(x, y);
            Rgba& d = dst.At(dx, dy);
            d = {d.r + s.r * s.a, d.g + s.g * s.a, d.b + s.b * s.a, std::max(d.a, s.a)};
        }
}

Image FitInto(const Image& image, int maxWidth, int maxHeight) {
    float scale =
        std::min({1.0f, float(maxWidth) / float(image.width), float(maxHeight) / float(image.height)});
    if (scale >= 1.0f)
        return image;
    int w = std::max(1, int(float(image.width) * scale)), h = std::max(1, int(float(image.height) * scale));
    Image out(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int x0 = int(float(x) / scale), x1 = std::max(x0 + 1, int(float(x + 1) / scale));
            int y0 = int(float(y) / scale), y1 = std::max(y0 + 1, int(float(y + 1) / scale));
            Rgba sum;
            int n = 0;
            for (int j = y0; j < std::min(y1, image.height); ++j)
                for (int i = x0; i < std::min(x1, image.width); ++i, ++n)
                    sum = sum + Premultiply(image.At(i, j));
            out.At(x, y) = Unpremultiply(sum * (1.0f / float(std::max(n, 1))));
        }
    return out;
}

Image Enlarge(const Image& image, int factor) {
    Image out(image.width * factor, image.height * factor);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x)
            out.At(x, y) = image.At(x / factor, y / factor);
    return out;
}

} // namespace assetgen
