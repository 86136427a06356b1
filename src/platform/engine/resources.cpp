// Decoded files, shared by path.

#include "platform/engine/resources.h"

#include <algorithm>
#include <map>

#include "platform/engine/image.h"
#include "platform/engine/import_3ds.h"
#include "platform/engine/md2.h"
#include "platform/engine/prefetch.h"
#include "platform/system/paths.h"

namespace quorvel::engine {
namespace {

template <class T>
using Cache = std::map<std::string, std::weak_ptr<const T>>;

template <class T, class Load>
std::shared_ptr<const T> Cached(Cache<T>& cache, const std::string& key, Load load) {
    if (auto it = cache.find(key); it != cache.end())
        if (auto held = it->second.lock()) return held;
    std::shared_ptr<const T> fresh = load();
    if (fresh) cache[key] = fresh;
    // Drop entries nothing holds any more, so the cache does not grow over a long run.
    std::erase_if(cache, [](const auto& e) { return e.second.expired(); });
    return fresh;
}

// `prefetched`: take the decoding the level's read-ahead may have done already.
std::shared_ptr<const Picture> DecodePicture(const std::string& real, int flag, std::string* reason,
                                             bool prefetched = false) {
    std::optional<ImageData> image;
    if (prefetched) image = TakePrefetchedPicture(real);
    if (!image) image = LoadImageFile(real, reason);
    if (!image) return nullptr;
    if (image->width <= 0 || image->height <= 0) {
        if (reason) *reason = "no pixels";
        return nullptr;
    }
    auto picture = std::make_shared<Picture>();
    picture->width = image->width;
    picture->height = image->height;
    picture->rgba = std::move(image->rgba);
    picture->warning = std::move(image->warning);
    bool opaque = true;
    for (std::size_t i = 3; i < picture->rgba.size(); i += 4)
        if (picture->rgba[i] != 255) {
            opaque = false;
            break;
        }
    picture->hasAlpha = !opaque;
    if (flag == 1 && opaque) {
        for (std::size_t i = 0; i + 3 < picture->rgba.size(); i += 4) {
            const auto& p = picture->rgba;
            picture->rgba[i + 3] = std::max(p[i], std::max(p[i + 1], p[i + 2]));
        }
        picture->hasAlpha = true;
    }
    picture->file = real;
    picture->flag = flag == 1 ? 1 : 0;
    return picture;
}

}  // namespace

std::shared_ptr<const Picture> LoadPicture(const std::string& path, int flag, std::string* reason) {
    static Cache<Picture> cache;
    const std::string real = sys::ResolvePath(path);
    return Cached(cache, std::to_string(flag == 1 ? 1 : 0) + real, [&]() -> std::shared_ptr<const Picture> {
        return DecodePicture(real, flag, reason, true);
    });
}

std::shared_ptr<const Picture> PicturePixels(const std::shared_ptr<const Picture>& picture) {
    if (!picture || !picture->rgba.empty() || picture->file.empty()) return picture;
    std::shared_ptr<const Picture> again = DecodePicture(picture->file, picture->flag, nullptr);
    // A file changed on disk since does not stand in for the picture.
    if (!again || again->width != picture->width || again->height != picture->height) return nullptr;
    return again;
}

void ReleasePixels(const Picture& picture) {
    if (!picture.file.empty()) std::vector<std::uint8_t>().swap(picture.rgba);
}

std::shared_ptr<const MeshData> LoadModelFile(const std::string& path, std::string* reason) {
    static Cache<MeshData> cache;
    const std::string real = sys::ResolvePath(path);
    return Cached(cache, real, [&]() -> std::shared_ptr<const MeshData> {
        std::optional<MeshData> mesh = TakePrefetchedModel(real);
        if (!mesh) mesh = Load3ds(real, reason);
        if (!mesh) return nullptr;
        if (mesh->Empty()) {
            if (reason) *reason = "no triangles";
            return nullptr;
        }
        return std::make_shared<MeshData>(std::move(*mesh));
    });
}

std::shared_ptr<const AnimatedModelData> LoadAnimatedFile(const std::string& path, std::string* reason) {
    static Cache<AnimatedModelData> cache;
    const std::string real = sys::ResolvePath(path);
    return Cached(cache, real, [&]() -> std::shared_ptr<const AnimatedModelData> {
        std::optional<AnimatedModelData> model = LoadMd2(real, reason);
        if (!model) return nullptr;
        if (model->Empty()) {
            if (reason) *reason = "no frames or triangles";
            return nullptr;
        }
        return std::make_shared<AnimatedModelData>(std::move(*model));
    });
}

}  // namespace quorvel::engine
