// .md2 keyframed models.
#include <cmath>

#include "fuzz_support.h"
#include "platform/engine/md2.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quorvel;
    std::string reason;
    const auto model = ParseMd2({data, size}, &reason);
    if (!model) {
        fuzz::Require(!reason.empty(), "a failure without a reason");
        return 0;
    }
    const std::size_t n = model->uvs.size();
    fuzz::Require(std::int64_t(n) * std::int64_t(model->frames.size()) <= MaxMd2KeyframeVertices,
                  "keyframe vertices within the budget");
    for (std::uint32_t i : model->indices)
        fuzz::Require(i < n, "indices within the vertices");
    for (const Keyframe& f : model->frames) {
        fuzz::Require(f.positions.size() == n && f.normals.size() == n, "a position and a normal per vertex");
        for (const Vector& p : f.positions)
            fuzz::Require(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z), "finite positions");
    }
    fuzz::Require(std::isfinite(model->radius), "finite radius");
    return 0;
}
