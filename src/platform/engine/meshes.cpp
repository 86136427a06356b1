// The mesh pool (models, sprites, empty nodes) and the model importer.

#include <cmath>

#include "platform/engine/engine.h"
#include "platform/engine/engine_state.h"
#include "platform/engine/math3d.h"
#include "platform/engine/resources.h"

namespace quorvel {

using engine::MeshItem;
using engine::MeshKind;
using engine::State;

namespace {

engine::Pool<MeshItem>& Meshes() {
    return State().scene.meshes;
}
MeshItem* Current() {
    return Meshes().Current();
}
// The current mesh, about to change what ray tests see of it.
MeshItem* Changing() {
    MeshItem* m = Current();
    if (m) engine::MeshChanged(m->id);
    return m;
}

bool ValidStage(int stage) {
    return stage >= 0 && stage < 4;
}

}  // namespace

// ---- EngineMeshImporter --------------------------------------------------------

int EngineMeshImporter::OpenModelFile(const std::string& path) {
    std::string reason;
    State().openModel = engine::LoadModelFile(path, &reason);
    if (!State().openModel) {
        engine::RecordFailedImport(path, reason);
        return -1;
    }
    State().importerFailure = -1;
    return 0;
}

int EngineMeshImporter::BuildMesh(const std::string& key, int, int, int, int, int) {
    auto& s = State();
    if (!s.openModel || key.empty()) {
        // The file that could not be opened is the one this mesh was to come from.
        if (!s.openModel && !key.empty()) engine::NameImporterFailure(key);
        s.scene.meshes.Fail();
        return -1;
    }
    MeshItem& m = s.scene.meshes.Create(key);
    m.kind = MeshKind::Model;
    m.geometry = s.openModel;
    // The model turns about the centre of its box unless SetMeshVector says otherwise.
    m.offset = (m.geometry->boundsMin + m.geometry->boundsMax) * -0.5f;
    engine::MeshChanged(m.id);
    return m.id;
}

void EngineMeshImporter::CloseModelFile() {
    State().openModel.reset();
}

// ---- EngineMeshes: pool ------------------------------------------------------

int EngineMeshes::CreateMesh(const std::string& key) {
    if (key.empty()) {
        Meshes().Fail();
        return -1;
    }
    const int id = Meshes().Create(key).id;
    engine::MeshChanged(id);
    return id;
}

void EngineMeshes::CreateSprite(float width, float height, const std::string& texture,
                                const std::string& material, int n, bool b, int m) {
    MeshItem* item = Changing();
    if (!item) return;
    item->kind = MeshKind::Sprite;
    item->geometry.reset();
    item->offset = {};
    item->spriteWidth = std::isfinite(width) ? width : 0;
    item->spriteHeight = std::isfinite(height) ? height : 0;
    item->spriteDepthBias = n;
    item->spriteFacing = b;
    item->spriteBlend = m;
    item->stages[0].textureId = State().scene.textures.IdOf(texture);
    item->materialId = State().scene.materials.IdOf(material);
}

bool EngineMeshes::SelectMesh(const std::string& key) {
    return Meshes().Select(key);
}
bool EngineMeshes::SelectMeshById(int id) {
    return Meshes().SelectId(id);
}
int EngineMeshes::GetCurrentId() const {
    return Meshes().CurrentId();
}
int EngineMeshes::GetMeshCount() const {
    return Meshes().Count();
}
void EngineMeshes::RemoveMesh() {
    if (const MeshItem* m = Current()) engine::MeshChanged(m->id);
    Meshes().RemoveCurrent();
}
void EngineMeshes::ClearMeshes() {
    Meshes().Clear();
    engine::MeshesCleared();
}

// ---- EngineMeshes: placement ---------------------------------------------------

void EngineMeshes::SetVisible(bool visible) {
    MeshItem* m = Current();
    if (!m || m->visible == visible) return;
    m->visible = visible;
    engine::MeshVisibilityChanged(m->id, visible);
}

bool EngineMeshes::GetVisible() const {
    const MeshItem* m = Current();
    return m && m->visible;
}

void EngineMeshes::SetPosition(const Vector& position) {
    if (MeshItem* m = Changing(); m && engine::Finite(position)) m->place.position = position;
}

Vector EngineMeshes::GetPosition() const {
    const MeshItem* m = Current();
    return m ? m->place.position : Vector{};
}

void EngineMeshes::SetRotation(const Vector& degrees) {
    if (MeshItem* m = Changing()) engine::SetRotation(m->place, degrees);
}

void EngineMeshes::SetOrientation(const Vector& right, const Vector& up, const Vector& front) {
    if (MeshItem* m = Changing()) engine::SetAxes(m->place, right, up, front);
}

AxisSet EngineMeshes::GetOrientation() const {
    const MeshItem* m = Current();
    if (!m) return AxisSet{Vector{}, Vector{}, Vector{}};
    return AxisSet{m->place.right, m->place.up, m->place.front};
}

Matrix4 EngineMeshes::GetMatrix() const {
    const MeshItem* m = Current();
    if (!m) {
        Matrix4 zero;
        zero.m.fill(0);
        return zero;
    }
    return engine::ToMatrix(m->place);
}

void EngineMeshes::SetScale(const Vector& scale) {
    if (MeshItem* m = Changing(); m && engine::Finite(scale)) m->scale = scale;
}

void EngineMeshes::MoveForward(float distance, bool, bool) {
    if (MeshItem* m = Changing()) engine::MoveAlong(m->place, m->place.front, distance);
}

void EngineMeshes::MoveRight(float distance, bool, bool) {
    if (MeshItem* m = Changing()) engine::MoveAlong(m->place, m->place.right, distance);
}

void EngineMeshes::MoveUp(float distance, bool, bool) {
    if (MeshItem* m = Changing()) engine::MoveAlong(m->place, m->place.up, distance);
}

void EngineMeshes::TurnPitch(float degrees, int mode) {
    if (MeshItem* m = Changing()) engine::TurnPitch(m->place, degrees, mode == 1);
}

void EngineMeshes::TurnYaw(float degrees, int mode) {
    if (MeshItem* m = Changing()) engine::TurnYaw(m->place, degrees, mode == 1);
}

void EngineMeshes::TurnRoll(float degrees, int mode) {
    if (MeshItem* m = Changing()) engine::TurnRoll(m->place, degrees, mode == 1);
}

void EngineMeshes::LookAt(const Vector& point) {
    if (MeshItem* m = Changing()) engine::LookAt(m->place, point);
}

// ---- EngineMeshes: looks -------------------------------------------------------

void EngineMeshes::SetMeshMode(int mode) {
    if (MeshItem* m = Current()) m->mode = mode;
}

void EngineMeshes::SetMeshFlags(int flags) {
    if (MeshItem* m = Current()) m->flags = flags;
}

void EngineMeshes::SetStageMode(int stage, int mode) {
    if (MeshItem* m = Current(); m && ValidStage(stage)) m->stages[std::size_t(stage)].mode = mode;
}

void EngineMeshes::SetTexture(int stage, const std::string& texture) {
    if (MeshItem* m = Current(); m && ValidStage(stage))
        m->stages[std::size_t(stage)].textureId = State().scene.textures.IdOf(texture);
}

void EngineMeshes::SetTextureById(int stage, int textureId) {
    if (MeshItem* m = Current(); m && ValidStage(stage))
        m->stages[std::size_t(stage)].textureId = State().scene.textures.Find(textureId) ? textureId : -1;
}

void EngineMeshes::SetMaterial(const std::string& material) {
    if (MeshItem* m = Current()) m->materialId = State().scene.materials.IdOf(material);
}

void EngineMeshes::SetMeshVector(const Vector& offset) {
    if (MeshItem* m = Changing(); m && engine::Finite(offset)) m->offset = offset;
}

void EngineMeshes::SetMeshMotion(const Vector& axis, float rate, int space, int, int, int) {
    MeshItem* m = Current();
    if (!m || !engine::Finite(axis) || !std::isfinite(rate)) return;
    m->spinAxis = axis;
    m->spinRate = rate;
    m->spinSpace = space;
}

void EngineMeshes::SetMeshOption(int option, int value, int, bool on) {
    if (MeshItem* m = Current(); m && option == 0) m->depthMode = on ? value : 0;
}

}  // namespace quorvel
