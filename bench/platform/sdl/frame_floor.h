#pragma once
// The floor a frame figure stands on: clearing a frame of the given size and reading
// it back, the least any frame costs on the same driver. The frame benchmarks report
// it in the same run, since the shared machine's load moves both alike.

#include <benchmark/benchmark.h>
#include <epoxy/gl.h>

#include <string>
#include <vector>

#include "platform/sdl/window.h"

namespace quorvel::bench {

inline void ClearAndReadBack(benchmark::State& state, int width, int height) {
    if (!sdl::MakeCurrent()) {
        state.SkipWithError("no OpenGL context");
        return;
    }
    GLuint colour = 0, depth = 0, fbo = 0;
    glGenTextures(1, &colour);
    glBindTexture(GL_TEXTURE_2D, colour);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glGenRenderbuffers(1, &depth);
    glBindRenderbuffer(GL_RENDERBUFFER, depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    glGenFramebuffers(1, &fbo);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colour, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
    glDisable(GL_SCISSOR_TEST);
    glViewport(0, 0, width, height);
    glDepthMask(GL_TRUE);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    std::vector<unsigned char> pixels(std::size_t(width) * std::size_t(height) * 4);
    float shade = 0;
    for (auto _ : state) {
        shade = shade > 1 ? 0 : shade + 0.01f;
        glClearColor(shade, 0.2f, 0.3f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        benchmark::DoNotOptimize(pixels.data());
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &fbo);
    glDeleteRenderbuffers(1, &depth);
    glDeleteTextures(1, &colour);
    state.SetLabel("floor: clear and read back " + std::to_string(width) + "x" + std::to_string(height));
}

}  // namespace quorvel::bench
