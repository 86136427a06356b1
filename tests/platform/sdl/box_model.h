#pragma once
// A ".3ds" box from (-1, -1, -1) to (1, 1, 1) with the whole picture on each face:
// four corners of its own per face, so every face has texture coordinates 0 to 1.

#include <cstdint>
#include <string>

#include "platform/engine/fixtures.h"

namespace quorvel::test {

inline std::string TexturedBox3ds() {
    std::string verts, uvs, faces, local;
    Le16(verts, 24);
    Le16(uvs, 24);
    Le16(faces, 12);
    // Corner i: x from bit 0, y from bit 1, z from bit 2 (engine axes; the file stores x, z, y).
    const std::uint16_t quads[6][4] = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1},
                                       {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}};
    const float corner[4][2] = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};  // as stored: v runs up the picture
    for (int q = 0; q < 6; ++q) {
        for (int k = 0; k < 4; ++k) {
            const int i = quads[q][k];
            const float x = (i & 1) ? 1 : -1, y = (i & 2) ? 1 : -1, z = (i & 4) ? 1 : -1;
            for (float f : {x, z, y})
                LeF(verts, f);
            LeF(uvs, corner[k][0]);
            LeF(uvs, corner[k][1]);
        }
        const int base = q * 4;
        for (int t : {base, base + 1, base + 2, 0, base, base + 2, base + 3, 0})
            Le16(faces, std::uint16_t(t));
    }
    for (float f : {1.f, 0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 0.f})
        LeF(local, f);
    const std::string mesh =
        Chunk3ds(0x4110, verts) + Chunk3ds(0x4140, uvs) + Chunk3ds(0x4120, faces) + Chunk3ds(0x4160, local);
    const std::string edit = Chunk3ds(0x4000, std::string("box") + '\0' + Chunk3ds(0x4100, mesh));
    std::string version;
    Le32(version, 3);
    return Chunk3ds(0x4d4d, Chunk3ds(0x0002, version) + Chunk3ds(0x3d3d, edit));
}

}  // namespace quorvel::test
