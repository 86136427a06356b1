#pragma once
// One check per file format of the content set: does the file load with the reader the
// game uses for it? Paths are as the game names them, below the program folder that
// the caller has set. Only the tips and texts, which no reader takes whole, are checked
// by their bytes.

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

// All of a clip's sound as the media decoders give it: stereo frames at `rate`.
std::vector<float> DecodedStereo(const std::string& gamePath, int& rate);

// Integrated loudness (LUFS) of a sound as the game plays it, `gainDb` applied. Effect
// buffers are mono sources, measured as one channel; clips and music go through the
// media decoders, which hand both speakers the whole signal.
enum class Played { AsEffect, AsClip };
double PlayedLoudness(const std::string& gamePath, Played how, double gainDb);

// The check for the entry's format.
testing::AssertionResult LoadsAsItsFormat(const content::ContentEntry& entry);

}  // namespace quorvel::test
