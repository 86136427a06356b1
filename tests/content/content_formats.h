#pragma once
// One check per file format of the content set: does the file hold what its name
// says? Each takes the file's bytes; swap one for a real loader when it exists.

#include <gtest/gtest.h>

#include <string>

#include "contentgen/inventory.h"

namespace quorvel::test {

testing::AssertionResult IsWav(const std::string& bytes);
testing::AssertionResult IsAsf(const std::string& bytes);  // .wma and .wmv
testing::AssertionResult IsMp3(const std::string& bytes);
testing::AssertionResult IsOggVorbis(const std::string& bytes);
testing::AssertionResult IsMidi(const std::string& bytes);
testing::AssertionResult IsJpeg(const std::string& bytes);
testing::AssertionResult IsPng(const std::string& bytes);
testing::AssertionResult IsBmp(const std::string& bytes);
testing::AssertionResult Is3ds(const std::string& bytes);
testing::AssertionResult IsMd2(const std::string& bytes);
testing::AssertionResult IsParticleFile(const std::string& bytes);
testing::AssertionResult IsCrLfText(const std::string& bytes);

testing::AssertionResult HasFormat(content::Format format, const std::string& bytes);

}  // namespace quorvel::test
