// Textures and materials.

#include "platform/engine/engine.h"
#include "platform/engine/engine_state.h"
#include "platform/engine/resources.h"

namespace quorvel {

using engine::MaterialItem;
using engine::State;
using engine::TextureItem;

namespace {
engine::Pool<TextureItem>& Textures() {
    return State().scene.textures;
}
engine::Pool<MaterialItem>& Materials() {
    return State().scene.materials;
}
}  // namespace

// ---- EngineTextures ------------------------------------------------------------

int EngineTextures::LoadTexture(const std::string& key, const std::string& path, int flag, int) {
    auto& s = State();
    std::string reason;
    std::shared_ptr<const engine::Picture> picture =
        key.empty() ? nullptr : engine::LoadPicture(path, flag, &reason);
    if (!picture) {
        // A failed load must not leave the id of an older texture to be taken for it.
        s.lastTextureId = -1;
        engine::RecordFailedLoad("textures", key, path, "picture", reason);
        Textures().Fail();
        return -1;
    }
    if (!picture->warning.empty()) engine::NoteLoadWarning("textures", key, path, picture->warning);
    TextureItem& t = Textures().Create(key);
    t.path = path;
    t.flag = flag;
    t.picture = std::move(picture);
    s.lastTextureId = t.id;
    return t.id;
}

int EngineTextures::GetLastTextureId() const {
    return Textures().Find(State().lastTextureId) ? State().lastTextureId : -1;
}
int EngineTextures::GetTextureId(const std::string& key) const {
    return Textures().IdOf(key);
}
bool EngineTextures::SelectTexture(const std::string& key) {
    return Textures().Select(key);
}
bool EngineTextures::SelectTextureById(int id) {
    return Textures().SelectId(id);
}
int EngineTextures::GetTextureCount() const {
    return Textures().Count();
}
void EngineTextures::RemoveTexture() {
    Textures().RemoveCurrent();
}
void EngineTextures::ClearTextures() {
    Textures().Clear();
}
void EngineTextures::FinishTextureLoading() {}

// ---- EngineMaterials -----------------------------------------------------------

int EngineMaterials::CreateMaterial(const std::string& key) {
    if (key.empty()) {
        Materials().Fail();
        return -1;
    }
    return Materials().Create(key).id;
}

int EngineMaterials::CreateMaterialWithColour(const std::string& key, const Colour& colour) {
    if (key.empty()) {
        Materials().Fail();
        return -1;
    }
    MaterialItem& m = Materials().Create(key);
    m.slots[0] = m.slots[1] = m.slots[3] = colour;
    m.slots[2] = Colour{0, 0, 0, 255};
    return m.id;
}

bool EngineMaterials::SelectMaterial(const std::string& key) {
    return Materials().Select(key);
}
bool EngineMaterials::SelectMaterialById(int id) {
    return Materials().SelectId(id);
}
int EngineMaterials::GetMaterialCount() const {
    return Materials().Count();
}

void EngineMaterials::SetColourSlot1(const Colour& colour) {
    if (MaterialItem* m = Materials().Current()) m->slots[0] = colour;
}
void EngineMaterials::SetColourSlot2(const Colour& colour) {
    if (MaterialItem* m = Materials().Current()) m->slots[1] = colour;
}
void EngineMaterials::SetColourSlot3(const Colour& colour) {
    if (MaterialItem* m = Materials().Current()) m->slots[2] = colour;
}
void EngineMaterials::SetColourSlot4(const Colour& colour) {
    if (MaterialItem* m = Materials().Current()) {
        m->slots[3] = colour;
        m->slot4Set = true;
    }
}

void EngineMaterials::SetMaterialFlag(int flag) {
    if (MaterialItem* m = Materials().Current()) m->flag = flag;
}

void EngineMaterials::UpdateMaterials() {}

void EngineMaterials::ClearMaterials() {
    Materials().Clear();
}

}  // namespace quorvel
