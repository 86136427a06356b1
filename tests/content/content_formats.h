#pragma once
// One check per file format of the content set: does the file load with the reader the
// game uses for it? Paths are as the game names them, below the program folder that
// the caller has set. Only the tips and texts, which no reader takes whole, are checked
// by their bytes.

#include <gtest/gtest.h>

#include <string>

#include "contentgen/inventory.h"

namespace quorvel::test {

testing::AssertionResult Loads3ds(const std::string& gamePath);
testing::AssertionResult LoadsMd2(const std::string& gamePath);
testing::AssertionResult DecodesPicture(const std::string& gamePath, int width, int height);
testing::AssertionResult ReadsParticleFile(const std::string& gamePath);
// Sound effects: the sound buffers' wave reader, and the media decoders for clips.
testing::AssertionResult DecodesWave(const std::string& gamePath);
testing::AssertionResult DecodesAudio(const std::string& gamePath);  // .wma, .mp3, .ogg
testing::AssertionResult DecodesMidi(const std::string& gamePath);
testing::AssertionResult DecodesVideo(const std::string& gamePath);
testing::AssertionResult IsCrLfText(const std::string& bytes);

// The check for the entry's format.
testing::AssertionResult LoadsAsItsFormat(const content::ContentEntry& entry);

}  // namespace quorvel::test
