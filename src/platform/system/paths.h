#pragma once
// The program folder and Windows-style paths.
//
// Game code builds paths the Windows way: ProgramFolder() + "\tex\font.jpg".
// ResolvePath turns such a path into a real one: '\' becomes '/', doubled
// separators collapse, and each component that exists under another case is
// matched without regard to case. Nothing else touches path syntax.

#include <string>
#include <vector>

namespace quorvel::sys {

// Folder of the running program, without a trailing separator.
std::string ProgramFolder();
// Tests point the program folder at a folder of their own.
void SetProgramFolder(const std::string& folder);

// A real file-system path for a Windows-style path.
std::string ResolvePath(const std::string& windowsPath);

bool FileExists(const std::string& windowsPath);
bool FolderExists(const std::string& windowsPath);
// Creates the folder (and its parents) when missing; true when it exists afterwards.
bool MakeFolder(const std::string& windowsPath);

// Names (not paths) of the plain files directly in a folder, sorted; no subfolders.
std::vector<std::string> ListFiles(const std::string& windowsFolder);

}  // namespace quorvel::sys
