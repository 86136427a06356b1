#pragma once
// Golden pictures: a frame compared with a PNG checked in beside the test.
//
// A pixel counts as different when a colour channel is off by more than 16; up to
// half a percent of the pixels may be. QUORVEL_UPDATE_GOLDEN=1 writes the frame as the
// new golden picture instead. On a mismatch the frame is written to the temporary
// folder, and the failure names it.

#include <string>
#include <vector>

namespace quorvel::test {

// rgba: width x height pixels, rows from the top.
void ExpectGolden(const std::string& goldenPng, int width, int height,
                  const std::vector<unsigned char>& rgba);

}  // namespace quorvel::test
