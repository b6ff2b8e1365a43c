#pragma once
// A floating-point RGBA picture for the show's picture generator, and the
// two ways it leaves the program: PNG and uncompressed 24-bit TGA.
#include <string>
#include <vector>

struct Pixel {
    float r = 0.0f, g = 0.0f, b = 0.0f, a = 1.0f;
};

class Canvas {
public:
    Canvas(int width, int height) : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height) {}

    int width() const { return width_; }
    int height() const { return height_; }
    Pixel& at(int x, int y) { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    const Pixel& at(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }

    // Writes the picture as PNG, with its alpha when withAlpha (RGBA), else
    // RGB. False with a message on standard error when it cannot.
    bool writePng(const std::string& path, bool withAlpha) const;
    // Writes the picture as a bottom-up, uncompressed 24-bit TGA (alpha
    // dropped). False with a message on standard error when it cannot.
    bool writeTga(const std::string& path) const;

private:
    int width_;
    int height_;
    std::vector<Pixel> pixels_;
};

// The mix of a and b at t in 0..1.
float mix(float a, float b, float t);
// 0 below edge0, 1 above edge1, a smooth S between.
float smoothstep(float edge0, float edge1, float x);
