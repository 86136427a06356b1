// .3ds models through the importer.
#include <cmath>

#include "fuzz_support.h"
#include "platform/engine/import_3ds.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quorvel;
    std::string reason;
    const auto mesh = Parse3ds(std::string(reinterpret_cast<const char*>(data), size), &reason);
    if (!mesh) {
        fuzz::Require(!reason.empty(), "a failure without a reason");
        return 0;
    }
    const std::size_t n = mesh->positions.size();
    fuzz::Require(mesh->normals.size() == n && mesh->uvs.size() == n, "parallel vertex arrays");
    fuzz::Require(n <= Max3dsVertices, "vertex count within the limit");
    for (std::uint32_t i : mesh->indices)
        fuzz::Require(i < n, "indices within the vertices");
    for (const Vector& p : mesh->positions)
        fuzz::Require(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z), "finite positions");
    fuzz::Require(std::isfinite(mesh->radius), "finite radius");
    return 0;
}
