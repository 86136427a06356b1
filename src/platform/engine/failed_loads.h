#pragma once
// Loads the engine could not make: a missing file, one it cannot read, or no key to
// keep it under. The game goes on without them and the player never hears of it;
// tests read this record, and a debug log gets one line per failed load (and per
// load read despite damage) when the environment variable QUORVEL_LOAD_LOG names a
// file to append to (or "stderr").
// Engine code and tests include this; game code does not.

#include <cstddef>
#include <string>
#include <vector>

namespace quorvel::engine {

struct FailedLoad {
    std::string pool;    // "textures", "2D images", "meshes", "animated models", "sounds"
    std::string name;    // the key asked for ("" for the importer until a mesh is built from it)
    std::string path;    // as the game gave it (Windows style)
    std::string reason;  // "no such file", "no key", "not a readable picture: picture too large", ...
};

// The failed loads of this engine instance, oldest first (the first MaxFailedLoads
// are kept; the log gets every one).
const std::vector<FailedLoad>& FailedLoads();
inline constexpr std::size_t MaxFailedLoads = 1000;

// One line for messages and the log: pool "name" path: reason.
std::string Describe(const FailedLoad& load);

// Engine code: records a failed load of a file of the given kind ("picture",
// "model", "sound"). The reason says whether the key was empty, the file missing,
// or the file there but not readable as that kind, followed by what the file's
// reader found (`readerReason`, "picture too large", "not a regular file", ...).
void RecordFailedLoad(const std::string& pool, const std::string& name, const std::string& path,
                      const std::string& kind, const std::string& readerReason = {});

// Engine code: a load that succeeded although its reader had to recover from damage
// (a JPEG whose data ends early). It is no failure and stays out of the record; the
// debug log gets one "load warning" line, so a maintainer can still find the file.
void NoteLoadWarning(const std::string& pool, const std::string& name, const std::string& path,
                     const std::string& warning);

// The importer's failures: OpenModelFile knows only the path; the mesh key comes
// with the BuildMesh that follows, which names the failure after it.
void RecordFailedImport(const std::string& path, const std::string& readerReason = {});
void NameImporterFailure(const std::string& key);

}  // namespace quorvel::engine
