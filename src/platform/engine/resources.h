#pragma once
// Files the engine reads, decoded once and shared while anything holds them: the
// game loads the same picture or model under many keys (seventy shots of one model,
// eleven pointers of one picture).

#include <memory>
#include <string>

#include "platform/engine/mesh_data.h"
#include "platform/engine/scene.h"

namespace quorvel::engine {

// A picture file (Windows-style path) with the load flag applied; null when it
// cannot be read. Flag 1: a picture without alpha takes its alpha from its
// brightness (a picture whose alpha is opaque everywhere counts as without).
// A failure leaves the reader's reason in `reason` when given.
std::shared_ptr<const Picture> LoadPicture(const std::string& path, int flag, std::string* reason = nullptr);

// The pixels of a picture, read again from its file when they were let go (null when
// they are gone and cannot be read again).
std::shared_ptr<const Picture> PicturePixels(const std::shared_ptr<const Picture>& picture);
// Lets a file's picture's pixels go; PicturePixels reads them again.
void ReleasePixels(const Picture& picture);

// A ".3ds" model; null when it cannot be read or holds no triangles.
std::shared_ptr<const MeshData> LoadModelFile(const std::string& path, std::string* reason = nullptr);

// A ".md2" keyframed model; null when it cannot be read.
std::shared_ptr<const AnimatedModelData> LoadAnimatedFile(const std::string& path,
                                                          std::string* reason = nullptr);

}  // namespace quorvel::engine
