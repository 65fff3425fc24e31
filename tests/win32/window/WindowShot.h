// A picture of a window's client area as it is on screen, and the measurements the colour tests make
// on it: how much of it is light background, and the contrast of text against what it stands on.
#pragma once

// clang-format off
#include <windows.h>
// clang-format on

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "core/Palette.h"
#include "win32/window/GdiHandles.h"

namespace korvane::win32::testing {

class WindowShot {
public:
    // Paints the window and its children now, then copies its client area.
    explicit WindowShot(HWND window) {
        RedrawWindow(window, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        RECT client;
        GetClientRect(window, &client);
        width_ = client.right;
        height_ = client.bottom;
        WindowDc screen(window);
        UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width_;
        info.bmiHeader.biHeight = -height_;  // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        UniqueBitmap bitmap(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!bitmap || !bits) return;
        {
            SelectedObject target(memory.get(), bitmap.get());
            BitBlt(memory.get(), 0, 0, width_, height_, screen.get(), 0, 0, SRCCOPY);
            GdiFlush();
        }
        const auto* words = static_cast<const std::uint32_t*>(bits);
        pixels_.assign(words, words + static_cast<size_t>(width_) * height_);
    }

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return pixels_.empty(); }
    Rgb At(int x, int y) const {
        const std::uint32_t p = pixels_[static_cast<size_t>(y) * width_ + x];
        return {static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8),
                static_cast<std::uint8_t>(p)};
    }

    // The share of the picture that is light background: pixels above `luminance` whose whole
    // neighbourhood of `block` x `block` pixels is light too, so that light text strokes on a dark
    // ground do not count.
    double LightBackgroundShare(double luminance = 0.4, int block = 9) const {
        if (Empty()) return 1.0;
        std::vector<int> light(pixels_.size());
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) light[Index(x, y)] = RelativeLuminance(At(x, y)) > luminance;
        // Summed-area table: the count of light pixels in any block in four lookups.
        std::vector<long> sums(static_cast<size_t>(width_ + 1) * (height_ + 1), 0);
        auto sum = [&](int x, int y) -> long& { return sums[static_cast<size_t>(y) * (width_ + 1) + x]; };
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                sum(x + 1, y + 1) = light[Index(x, y)] + sum(x, y + 1) + sum(x + 1, y) - sum(x, y);
        const int half = block / 2;
        long count = 0;
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) {
                const int x0 = std::max(0, x - half), y0 = std::max(0, y - half);
                const int x1 = std::min(width_, x + half + 1), y1 = std::min(height_, y + half + 1);
                const long area = static_cast<long>(x1 - x0) * (y1 - y0);
                if (sum(x1, y1) - sum(x0, y1) - sum(x1, y0) + sum(x0, y0) == area) ++count;
            }
        return static_cast<double>(count) / static_cast<double>(pixels_.size());
    }

    // Inside `r` (client coordinates): the commonest colour is the ground, and the text's colour is the
    // pixel that stands out most from it. The contrast of the two; 1 when the rectangle shows no text.
    double TextContrast(RECT r) const {
        r.left = std::max(0L, r.left);
        r.top = std::max(0L, r.top);
        r.right = std::min<LONG>(width_, r.right);
        r.bottom = std::min<LONG>(height_, r.bottom);
        std::map<std::uint32_t, int> counts;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) ++counts[pixels_[Index(x, y)] & 0xFFFFFF];
        if (counts.empty()) return 1.0;
        const auto ground = std::max_element(
            counts.begin(), counts.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
        const Rgb groundColour = FromWord(ground->first);
        double best = 1.0;
        for (const auto& [word, count] : counts)
            best = std::max(best, ContrastRatio(groundColour, FromWord(word)));
        return best;
    }

    // The commonest colour inside `r`.
    Rgb Ground(RECT r) const {
        std::map<std::uint32_t, int> counts;
        for (int y = std::max(0L, r.top); y < std::min<LONG>(height_, r.bottom); ++y)
            for (int x = std::max(0L, r.left); x < std::min<LONG>(width_, r.right); ++x)
                ++counts[pixels_[Index(x, y)] & 0xFFFFFF];
        if (counts.empty()) return {};
        return FromWord(std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) {
                            return a.second < b.second;
                        })->first);
    }

    // Saves the picture as a 24-bit BMP (for a person looking into a failure).
    void Save(const std::filesystem::path& path) const {
        const int stride = (width_ * 3 + 3) & ~3;
        BITMAPFILEHEADER file{};
        BITMAPINFOHEADER header{};
        header.biSize = sizeof header;
        header.biWidth = width_;
        header.biHeight = height_;
        header.biPlanes = 1;
        header.biBitCount = 24;
        header.biCompression = BI_RGB;
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof file + sizeof header;
        file.bfSize = file.bfOffBits + static_cast<DWORD>(stride) * height_;
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(&file), sizeof file);
        out.write(reinterpret_cast<const char*>(&header), sizeof header);
        std::vector<std::uint8_t> row(static_cast<size_t>(stride), 0);
        for (int y = height_ - 1; y >= 0; --y) {
            for (int x = 0; x < width_; ++x) {
                const Rgb c = At(x, y);
                row[x * 3] = c.blue;
                row[x * 3 + 1] = c.green;
                row[x * 3 + 2] = c.red;
            }
            out.write(reinterpret_cast<const char*>(row.data()), stride);
        }
    }

private:
    size_t Index(int x, int y) const { return static_cast<size_t>(y) * width_ + x; }
    static Rgb FromWord(std::uint32_t p) {
        return {static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8),
                static_cast<std::uint8_t>(p)};
    }

    int width_ = 0, height_ = 0;
    std::vector<std::uint32_t> pixels_;  // 0x00RRGGBB, top row first
};

// A rectangle of `control` in the client coordinates of `top`.
inline RECT RectIn(HWND top, HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, top, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

}  // namespace korvane::win32::testing
