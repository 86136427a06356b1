#pragma once
// Reading files ahead: while the game waits (the pause before a level loads), picture
// and model files it is about to load are read and decoded on background threads, so
// the loads themselves find them done. Nothing the game sees changes: the loads run
// in their own order and fail as they would have; only the work moves earlier.

#include <optional>
#include <string>
#include <vector>

#include "platform/engine/image.h"
#include "platform/engine/mesh_data.h"

namespace quorvel::engine {

// Starts reading these files (Windows-style paths). Pictures (".jpg", ".png", ".bmp")
// and ".3ds" models are read; other names, and files already on their way, are left
// out. Returns at once.
void PrefetchFiles(const std::vector<std::string>& paths);

// Waits until every file asked for has been read (tests see what was read ahead).
void FinishPrefetching();

// Lets go of every file read ahead and not loaded since, at once (a read still running
// ends with its file). Call it once the loads it was for have run.
void DropPrefetched();

// For the loaders (`realPath` resolved): the file's contents when it has been read
// ahead and decoded. Empty when the loader must read the file itself: never asked
// for, not read yet (the read ahead is called off; a loader never waits for a thread
// that may be slow to get the processor), or damaged (the loader's own read then says
// why).
std::optional<ImageData> TakePrefetchedPicture(const std::string& realPath);
std::optional<MeshData> TakePrefetchedModel(const std::string& realPath);

}  // namespace quorvel::engine
