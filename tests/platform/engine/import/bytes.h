#pragma once
// Little-endian byte writing for the file fixtures.

#include <bit>
#include <cstdint>
#include <string>

namespace quorvel::test {

inline void Put16(std::string& s, std::uint16_t v) {
    s += char(v & 0xff);
    s += char(v >> 8);
}
inline void Put32(std::string& s, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        s += char((v >> (8 * i)) & 0xff);
}
inline void PutF(std::string& s, float f) {
    Put32(s, std::bit_cast<std::uint32_t>(f));
}

}  // namespace quorvel::test
