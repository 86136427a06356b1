#pragma once
// Small content files written by the engine tests: a box model, a keyframed model,
// a picture and a sound.

#include <array>
#include <bit>
#include <cstdint>
#include <string>
#include <vector>

namespace quorvel::test {

inline void Le16(std::string& s, std::uint16_t v) {
    s += char(v & 0xff);
    s += char(v >> 8);
}
inline void Le32(std::string& s, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        s += char((v >> (8 * i)) & 0xff);
}
inline void LeF(std::string& s, float f) {
    Le32(s, std::bit_cast<std::uint32_t>(f));
}

inline std::string Chunk3ds(std::uint16_t id, const std::string& body) {
    std::string s;
    Le16(s, id);
    Le32(s, std::uint32_t(6 + body.size()));
    return s + body;
}

// A ".3ds" model of the points (engine axes; the file stores (x, z, y)) and the
// triangles (three point numbers each).
inline std::string Mesh3ds(const std::vector<std::array<float, 3>>& points,
                           const std::vector<std::array<std::uint16_t, 3>>& triangles) {
    std::string verts, faces, local;
    Le16(verts, std::uint16_t(points.size()));
    for (const auto& p : points)
        for (float f : {p[0], p[2], p[1]})
            LeF(verts, f);
    Le16(faces, std::uint16_t(triangles.size()));
    for (const auto& tri : triangles) {
        for (std::uint16_t i : tri)
            Le16(faces, i);
        Le16(faces, 0);
    }
    for (float f : {1.f, 0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 0.f})
        LeF(local, f);
    const std::string mesh = Chunk3ds(0x4110, verts) + Chunk3ds(0x4120, faces) + Chunk3ds(0x4160, local);
    const std::string edit = Chunk3ds(0x4000, std::string("box") + '\0' + Chunk3ds(0x4100, mesh));
    std::string version;
    Le32(version, 3);
    return Chunk3ds(0x4d4d, Chunk3ds(0x0002, version) + Chunk3ds(0x3d3d, edit));
}

// A ".3ds" box from (x0, y0, z0) to (x1, y1, z1); twelve triangles.
inline std::string Box3ds(float x0, float y0, float z0, float x1, float y1, float z1) {
    std::vector<std::array<float, 3>> points;
    for (int i = 0; i < 8; ++i)
        points.push_back({(i & 1) ? x1 : x0, (i & 2) ? y1 : y0, (i & 4) ? z1 : z0});
    const std::uint16_t quads[6][4] = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1},
                                       {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}};
    std::vector<std::array<std::uint16_t, 3>> triangles;
    for (const auto& q : quads) {
        triangles.push_back({q[0], q[1], q[2]});
        triangles.push_back({q[0], q[2], q[3]});
    }
    return Mesh3ds(points, triangles);
}

// A ".md2" model of one triangle with `frames` keyframes named "frame1", "frame2", ...
inline std::string TriangleMd2(int frames) {
    const int nv = 3, frameSize = 40 + 4 * nv;
    const int ofsSt = 68, ofsTris = ofsSt + 4 * 3, ofsFrames = ofsTris + 12;
    const int ofsEnd = ofsFrames + frameSize * frames;
    std::string s = "IDP2";
    for (int v :
         {8, 64, 64, frameSize, 0, nv, 3, 1, 0, frames, ofsSt, ofsSt, ofsTris, ofsFrames, ofsEnd, ofsEnd})
        Le32(s, std::uint32_t(v));
    for (int st : {0, 0, 64, 0, 0, 64})
        Le16(s, std::uint16_t(st));
    for (int i : {0, 1, 2, 0, 1, 2})
        Le16(s, std::uint16_t(i));
    for (int f = 0; f < frames; ++f) {
        for (float v : {1.f, 1.f, 1.f, float(f), 0.f, 0.f})
            LeF(s, v);
        std::string name = "frame" + std::to_string(f + 1);
        name.resize(16, '\0');
        s += name;
        for (int k = 0; k < nv; ++k)
            s += {char(k == 1 ? 10 : 0), char(k == 2 ? 10 : 0), char(0), char(0)};
    }
    return s;
}

// A 24-bit ".bmp" picture of w x h pixels, all one colour.
inline std::string SolidBmp(int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    const int row = (w * 3 + 3) / 4 * 4;
    std::string s = "BM";
    Le32(s, std::uint32_t(54 + row * h));
    Le32(s, 0);
    Le32(s, 54);
    Le32(s, 40);
    Le32(s, std::uint32_t(w));
    Le32(s, std::uint32_t(h));
    Le16(s, 1);
    Le16(s, 24);
    for (int i = 0; i < 6; ++i)
        Le32(s, 0);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            s += {char(b), char(g), char(r)};
        s.append(std::size_t(row - w * 3), '\0');
    }
    return s;
}

// Bytes for a sound file; the null audio sink only needs the file to exist.
inline std::string SoundBytes() {
    return "RIFF....WAVE";
}

}  // namespace quorvel::test
