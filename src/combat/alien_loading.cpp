// The alien fighters of a level: their kinds by level and their engine objects.

#include <string>

#include "assets/assets.h"
#include "combat/combat.h"
#include "common/world.h"
#include "common/engine_objects.h"
#include "common/common.h"

namespace quorvel {

namespace {

struct ShipKind {
    const char* keySuffix;
    const char* file;
    const char* texture;
    const char* material;
    float loadHeight;
    Vector attachOffset;
    float flareSize;
};
const ShipKind Kinds[6] = {
    {},
    {"aa1test", "asnoglass", "mas2txt", "matmax2", 600, {32.13f, 1.19f, -52.0f}, 40},
    {"aa2test", "aship2", "alstxt", "matmax2", 300, {6.33f, 1.215f, -56.0f}, 15},
    {"bgfasd", "as3", "alstxt", "matmax2", 0, {6.72f, 2.45f, -25.13f}, 20},
    {"aa4test", "as4", "alstxt", "matmax2", -300, {0, -1.4f, -81.2f}, 40},
    {"aa5test", "as5", "mas2txt", "asmat4", -600, {11.0f, -0.63f, -35.3f}, 20},
};

bool IsAlienFree(int level) {
    return level == 1 || (level % 5 == 0 && level >= 5 && level <= 45);
}

int Flare(const std::string& key, float size) {
    const int id = MeshObj->CreateMesh(key);
    MeshObj->CreateSprite(size, size, "engflare", "matmax", 1, true, 3);
    if (id >= 0) AddSkipEntity(id);
    MeshObj->SetPosition(MeshParking);
    return id;
}

}  // namespace

void SetAlienTypeForLevel() {
    const int n = Campaign.CurrentLevel + 1;
    if (n <= 4)
        AlienFleet.FirstWaveShipType = 1, AlienFleet.SecondWaveShipType = 1;
    else if (n <= 12)
        AlienFleet.FirstWaveShipType = 1, AlienFleet.SecondWaveShipType = 2;
    else if (n <= 24)
        AlienFleet.FirstWaveShipType = 2, AlienFleet.SecondWaveShipType = 3;
    else if (n <= 39)
        AlienFleet.FirstWaveShipType = 3, AlienFleet.SecondWaveShipType = 4;
    else
        AlienFleet.FirstWaveShipType = 4, AlienFleet.SecondWaveShipType = 5;
}

bool IsAlienFreeLevel() {
    return IsAlienFree(Campaign.CurrentLevel);
}
bool IsNextLevelAlienFree() {
    return IsAlienFree(Campaign.CurrentLevel + 1);
}

void LoadAlienShips() {
    SetAlienTypeForLevel();
    AlienFleet.Wave1Timer = 0;
    AlienFleet.Wave2Timer = 0;
    AlienFleet.Wave1Started = false;
    AlienFleet.Wave2Started = false;

    // An alien-free level has no ship objects: its records name none.
    for (int j = 1; j <= 10; ++j) {
        AlienShip& a = AlienFleet.Aliens[std::size_t(j)];
        a.Active = false;
        a.BodyMesh = a.HoldMesh = a.FlareMesh = a.FlareMesh2 = a.MirrorMesh = -1;
    }
    if (IsNextLevelAlienFree()) return;

    for (int j = 1; j <= 10; ++j) {
        AlienShip& a = AlienFleet.Aliens[std::size_t(j)];
        const int kind = j <= 5 ? AlienFleet.FirstWaveShipType : AlienFleet.SecondWaveShipType;
        const ShipKind& k = Kinds[kind];
        const std::string file = Display.GraphicsLevel == 1 ? std::string(k.file) + "_low" : k.file;
        a.BodyMesh = LoadLevelMesh(std::to_string(j) + k.keySuffix, k.texture, file, k.material,
                                   {-1000.0f - 150.0f * float(j), k.loadHeight, 3500}, 7, false, false, {}, 0,
                                   false, true, false, {180, 0, 0});
        a.AttachOffset = k.attachOffset;
        a.ShipType = kind;
        if (a.BodyMesh >= 0) {
            MeshObj->SetVisible(false);
            if (Display.GraphicsLevel != 1) {
                MeshObj->SetStageMode(1, 8);
                MeshObj->SetStageMode(2, 9);
                MeshObj->SetTexture(1, "shipbump");
                MeshObj->SetTexture(2, "masshock");
            }
        }
        a.HoldMesh = MeshObj->CreateMesh(std::to_string(j) + "aahold");
        a.Accel = 0.2f;
        a.Extending = true;
        a.FlareMesh = Flare(std::to_string(j) + "aaflare", k.flareSize);
        a.FlareMesh2 = Flare(std::to_string(j + 25) + "aaflare", k.flareSize);
        a.MirrorMesh = MeshObj->CreateMesh(std::to_string(j) + "aamirror");
        a.Active = false;
        a.DamageTaken = 0;
    }
    ApplyAlienDifficulty();
}

}  // namespace quorvel
