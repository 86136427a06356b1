#pragma once
// A started engine on the SDL back end (off-screen window, software OpenGL), with a
// program folder for generated pictures and models, and golden-picture checks.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace quorvel::test {

struct Shot {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgba;  // rows from the top
    std::array<int, 4> At(int x, int y) const {
        const unsigned char* p = &rgba[(std::size_t(y) * std::size_t(width) + std::size_t(x)) * 4];
        return {p[0], p[1], p[2], p[3]};
    }
};

using PixelFn = std::function<std::array<std::uint8_t, 4>(int x, int y)>;

class SdlTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the engine in the listed mode of that size (32 bits).
    void Start(int width, int height);
    // One frame: BeginFrame, RenderScene, EndFrame.
    void Frame();
    // The frame shown last.
    Shot Grab() const;

    // A PNG under the program folder, e.g. "tex\\checker.png".
    std::string Png(const std::string& relative, int w, int h, const PixelFn& pixel) const;
    // A textured box model from (-1,-1,-1) to (1,1,1) under "mesh\\box.3ds".
    std::string BoxModel() const;

    TempFolder folder_;
};

// Compares with tests/platform/sdl/golden/<name>.png, allowing small differences;
// QUORVEL_UPDATE_GOLDEN=1 writes the picture there instead.
void ExpectGolden(const std::string& name, const Shot& shot);

}  // namespace quorvel::test
