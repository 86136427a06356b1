#pragma once
// A fresh folder per test that serves as the program folder; removed afterwards.

#include <filesystem>
#include <string>

namespace quorvel::test {

class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return path_.string(); }

    // Writes raw bytes to a file below the folder, creating subfolders.
    void Write(const std::string& relative, const std::string& bytes) const;
    // Raw bytes of a file below the folder; "" when missing.
    std::string Read(const std::string& relative) const;

  private:
    std::filesystem::path path_;
};

// Makes `folder` the program folder for the rest of the test.
void UseAsProgramFolder(const TempFolder& folder);

}  // namespace quorvel::test
