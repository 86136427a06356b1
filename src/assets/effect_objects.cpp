// Every pooled object of a level: created once at load, parked or hidden, and only
// moved, shown and hidden while the level runs. Ids of objects whose file could not
// be read are -1 and are neither registered nor touched.

#include <string>

#include "assets/assets.h"
#include "common/common.h"
#include "common/world.h"
#include "platform/system/convert.h"
#include "platform/system/random.h"
#include "common/engine_objects.h"

namespace quorvel {
namespace {

std::string Num(const std::string& prefix, int n, const std::string& suffix = "") {
    return prefix + std::to_string(n) + suffix;
}
int N(double value) {
    return int(sys::RoundHalfEven(value));
}
float R() {
    return float(sys::Rnd());
}

void Hide() {
    MeshObj->SetVisible(false);
}
void Skip(int id) {
    if (id >= 0) AddSkipEntity(id);
}

// The bump and reflection stages of detailed hulls; low detail leaves them out.
void Stages() {
    if (Display.GraphicsLevel == 1) return;
    MeshObj->SetStageMode(1, 8);
    MeshObj->SetStageMode(2, 9);
    MeshObj->SetTexture(1, "shipbump");
    MeshObj->SetTexture(2, "masshock");
}
std::string Detail(const std::string& file) {
    return Display.GraphicsLevel == 1 ? file + "_low" : file;
}

// A pooled effect or projectile mesh: parked, glowing, two-sided, own offset kept.
int EffectMesh(const std::string& key, const std::string& texture, const std::string& file, float scale,
               const Vector& position = MeshParking) {
    return LoadLevelMesh(key, texture, file, "matmax", position, scale, true, false, {}, 0, true, true,
                         false);
}
// A solid model with its own offset kept (flag K only).
int SolidMesh(const std::string& key, const std::string& texture, const std::string& file,
              const std::string& material, const Vector& position, float scale, const Vector& spin = {},
              float rate = 0, bool flag1 = false) {
    return LoadLevelMesh(key, texture, file, material, position, scale, flag1, false, spin, rate, false, true,
                         false);
}

int Sprite(const std::string& key, float width, float height, const std::string& texture, int n, bool b,
           int m) {
    const int id = MeshObj->CreateMesh(key);
    MeshObj->CreateSprite(width, height, texture, "matmax", n, b, m);
    return id;
}
int Node(const std::string& key, const Vector& position) {
    const int id = MeshObj->CreateMesh(key);
    MeshObj->SetPosition(position);
    MeshObj->SetRotation(Vector{0, 0, 0});
    return id;
}

// A shot record over an empty node that carries its place and heading.
void NodeShot(ShotRec& shot, const std::string& key, bool animated) {
    shot.Active = false;
    shot.MeshKey = key;
    shot.MeshId = MeshObj->CreateMesh(key);
    Hide();
    if (animated) {
        shot.AnimFrame = 1;
        shot.AnimForward = true;
        shot.AnimTimer = 0;
    }
    Skip(shot.MeshId);
}

// The 16 shot models serve 64 keys in turn.
int IonFile(int i) {
    return (i - 1) % 16 + 1;
}

void LoadEffectsSection() {
    for (int i = 1; i <= 64; ++i) {
        const int id = EffectMesh(Num("expani", i), "explosion1", Num("anim\\exp", i), ExplosionSpriteScale,
                                  {0, 700, -3000});
        Skip(id);
        Effects.ExplosionSprites[std::size_t(i)] = id;
        Hide();
    }
    Effects.ExplosionMode = 1;
    Effects.ExplosionRepick = true;

    Sprite("shock", 20, 10, "shockwave", 5, false, 3);
    MeshObj->SetScale(Vector{1, 1, 1});
    MeshObj->SetMeshMode(2);
    Skip(MeshObj->GetCurrentId());
    Hide();
    Sprite("shock2", 10, 10, "masshock", 1, false, 3);
    MeshObj->SetScale(Vector{1, 1, 1});
    MeshObj->SetMeshMode(2);
    Skip(MeshObj->GetCurrentId());
    Hide();
    MeshObj->SetMeshOption(0, 2, 0, true);
    for (int i = 1; i <= 7; ++i) {
        Sprite(Num("wepshock", i), 10, 10, Num("wepart", i), 1, false, 3);
        MeshObj->SetScale(Vector{1, 1, 1});
        MeshObj->SetMeshMode(2);
        Skip(MeshObj->GetCurrentId());
        Hide();
    }

    LoadLevelMesh("energycore", "energycoretxt", "SameName", "matmax", {600, 100, -3100}, 8, true, false,
                  {1, 1, 0}, 1.0f, true, true, false);

    for (int i = 1; i <= 10; ++i) {
        const int family = i <= 3 ? i : i <= 6 ? i - 3 : i <= 9 ? i - 6 : 1;
        for (int k = 1; k <= 4; ++k) {
            const float r1 = R(), r2 = R();
            const int id = LoadLevelMesh(
                "ast" + std::to_string(i) + "exp" + std::to_string(k), Num("ast", family, "txt"),
                "anim\\ast" + std::to_string(i) + "exp" + std::to_string(k), "fade100", MeshParking, 9, false,
                false, {float(N(r1)), float(N(r2)), 1}, 0.8f, true, false, false);
            Skip(id);
        }
    }

    for (int n = 1; n <= 4; ++n) {
        PowerUps.PowerUpMeshes[std::size_t(n)] =
            LoadLevelMesh(Num("powerup", n), "poweruptxt", "SameName", "matmax",
                          {100.0f * float(n), 100, 100}, 6, true, false, {0, 1, 0}, 2.5f, true, true, false);
        Hide();
    }

    LoadLevelMesh("energy", "energy1", "SameName", "matmax", {3500, 2500, -680}, 20, true, false, {}, 0,
                  false, false, false);
    Hide();
}

void LoadEnemyShots() {
    static const char* const sprites[11] = {"",           "alienproj",  "alien2proj", "alien3proj",
                                            "alien4proj", "Alien5proj", "Alien6proj", "Alien7proj",
                                            "Alien8proj", "Alien9proj", "Alien10proj"};
    static const char* const holders[11] = {"",       "phold",  "p2hold", "p3hold", "p4hold", "p5hold",
                                            "p6hold", "p7hold", "p8hold", "p9hold", "p10hold"};
    for (int a = 1; a <= 10; ++a)
        for (int k = 1; k <= 5; ++k) {
            AlienShip& ship = AlienFleet.Aliens[std::size_t(a)];
            ship.ShotSprite[std::size_t(k)] = Sprite(Num(sprites[a], k), 10, 10, "asproj", 1, true, 3);
            MeshObj->SetPosition(SpriteParking);
            Hide();
            ship.ShotHold[std::size_t(k)] = Node(Num(holders[a], k), SpriteParking);
            Hide();
        }
    for (int k = 1; k <= 5; ++k) {
        Sprite(Num("masproj", k), 60, 60, "masshock", 1, true, 2);
        MeshObj->SetPosition(SpriteParking);
        Hide();
        Node(Num("masphold", k), SpriteParking);  // stays visible: an empty node
    }
    for (const char* prefix : {"scout", "battle"})
        for (int k = 1; k <= 20; ++k) {
            Sprite(Num(std::string(prefix) + "proj", k), 20, 20, "scoutproj", 1, true, 3);
            MeshObj->SetPosition(SpriteParking);
            Hide();
            Node(Num(std::string(prefix) + "hold", k), SpriteParking);
            Hide();
        }
}

void LoadPlayerShots() {
    auto flipBook = [](const std::string& key, const std::string& texture, bool ionFiles, float scale,
                       std::array<int, 65>* ids) {
        for (int i = 1; i <= 64; ++i) {
            const int id = EffectMesh(Num(key, i), texture,
                                      ionFiles ? Num("anim\\ion", IonFile(i)) : Num("anim\\exp", i), scale);
            if (ids) (*ids)[std::size_t(i)] = id;
            Skip(id);
            Hide();
        }
    };
    flipBook("plasanim", "plasproj", true, 2, nullptr);
    for (int i = 1; i <= 14; ++i)
        NodeShot(Arsenal.PlasmaShots[std::size_t(i)], Num("pro", i), true);
    for (int i = 1; i <= 14; ++i) {
        ShotRec& shot = Arsenal.LaserShots[std::size_t(i)];
        shot.Active = false;
        shot.MeshKey = Num("las", i);
        shot.MeshId = EffectMesh(shot.MeshKey, "lastxt", "laser", 3);
        Hide();
        Skip(shot.MeshId);
    }
    flipBook("ianim", "ion_tex1", true, 3, nullptr);
    for (int i = 1; i <= 14; ++i)
        NodeShot(Arsenal.IonShots[std::size_t(i)], Num("ion", i), true);
    flipBook("xmionanim", "mion_tex", false, 3, &Arsenal.MionAnimMeshes);
    for (int i = 1; i <= 14; ++i)
        NodeShot(Arsenal.MionShots[std::size_t(i)], Num("mion", i), true);
    flipBook("ganim", "gamproj", false, 4, nullptr);
    for (int i = 1; i <= 14; ++i)
        NodeShot(Arsenal.GammaShots[std::size_t(i)], Num("gamma", i), true);
    flipBook("tepls", "eplastxt1", true, 3, &Arsenal.EPlasmaMeshes);
    for (int i = 1; i <= 70; ++i) {
        ShotRec& shot = Arsenal.DisperseShots[std::size_t(i)];
        shot.Active = false;
        shot.MeshKey = Num("disp", i);
        shot.MeshId = EffectMesh(shot.MeshKey, "disp_tex1", "disperse", 1);
        MeshObj->SetMeshFlags(5);
        Hide();
        shot.AnimFrame = 1;
        shot.AnimForward = true;
        shot.AnimTimer = 0;
        Skip(shot.MeshId);
    }
}

// Both stations are always there, so the switch to the second one on level 25 has
// one to switch to; the level about to start picks the one in use and hides the
// other.
void LoadStations(int nextLevel) {
    const int first =
        SolidMesh("spacestation", "spacest", Detail("spacest1"), "matmax2", {600, 100, -3100}, 8);
    if (first >= 0) Stages();
    const int second =
        SolidMesh("spacestation2", "spacest2", Detail("ss2"), "matmax2", {600, 162.96f, -3100}, 8);
    if (second >= 0) Stages();
    Level.Station2Id = second;
    const bool useSecond = nextLevel > 25;
    Level.StationId = useSecond ? second : first;
    Level.StationMeshName = useSecond ? "spacestation2" : "spacestation";
    if (MeshObj->SelectMeshById(useSecond ? first : second)) Hide();
    if (MeshObj->SelectMeshById(Level.StationId)) {
        MeshObj->SetVisible(true);
        Level.StationPos = MeshObj->GetPosition();
    } else {
        Level.StationPos = useSecond ? Vector{600, 162.96f, -3100} : Vector{600, 100, -3100};
    }
}

// The fighter that destroys a ship beyond the play field's bounds, its shot and the
// shot's carrier; waiting hidden until the bounds sequence places them.
void LoadEnforcer() {
    if (SolidMesh("alien2", "alstxt", Detail("aship2"), "matmax2", MeshParking, 7) >= 0) Stages();
    Hide();
    Sprite("alienproj", 10, 10, "asproj", 1, true, 3);
    MeshObj->SetPosition(SpriteParking);
    Hide();
    Node("aphold", SpriteParking);
    Hide();
}

void LoadShipsSection(int nextLevel) {
    Callbacks.LoadAlienShips();
    LoadStations(nextLevel);

    Skip(SolidMesh("starscape1", "masshock", "starscape", "matmax", {0, 0, 0}, 1, {}, 0, true));
    Skip(SolidMesh("starscape2", "masshock", "starscape", "matmax", MeshParking, 1, {}, 0, true));

    // Debris and sparks are effects: the player's shots pass through them.
    for (int n = 1; n <= 40; ++n) {
        const char* file = n <= 10 ? "baexpsm" : n <= 20 ? "baexpsm2" : n <= 30 ? "baexpsm3" : "baexpsm4";
        Skip(SolidMesh(Num("expsm", n), "ast1txt", file, "matmax2", MeshParking, 1));
    }
    for (int n = 1; n <= 20; ++n) {
        const int id = SolidMesh(Num("smallastexp", n), "ast1txt", "smallastexp", "matmax", MeshParking, 4);
        Hide();
        Effects.Sparks[std::size_t(n)].Active = false;
        Effects.Sparks[std::size_t(n)].MeshId = id;
        Skip(id);
    }

    const Vector pieceSpin[5] = {{}, {1, 1, 0}, {1, 0, 0}, {1, 0, 0}, {1, 1, 0}};
    const float pieceRate[5] = {0, 2.5f, 1.0f, 1.0f, 2.5f};
    for (int n = 1; n <= 4; ++n) {
        SolidMesh(Num("redexp", n), "goldtxt", Num("shipexp\\redexp", n), "matmax2", {0, -100, 0}, 5,
                  pieceSpin[n], pieceRate[n]);
        Hide();
    }
    for (int i = 1; i <= 5; ++i)
        for (int file = 1; file <= 4; ++file) {
            SolidMesh(Num("shipchk", i + 5 * (file - 1)), "goldtxt", Num("shipexp\\redchk", file), "matmax2",
                      {0, -150, 0}, 3);
            Hide();
        }

    if (SolidMesh("goldship", "goldtxt", "SameName", "matmax2", MeshParking, 5) >= 0) Stages();
    Hide();
    Level.ScoutId = SolidMesh("scout", "alstxt", "SameName", "matmax", MeshParking, 8);
    Hide();
    const int battle = SolidMesh("masbattle", "mas2txt", Detail("albattle"), "matmax", MeshParking, 1);
    if (battle >= 0) Stages();
    Skip(battle);
    Hide();
    Level.BattleshipId = LoadLevelMesh("masbattlesm", "mas2txt", "albattlebox", "matmax", MeshParking, 7,
                                       false, false, {}, 0, false, false, false);
    Hide();
    SolidMesh("lightanim", "lightanim1", "SameName", "matmax", MeshParking, 1, {}, 0, true);
    Hide();

    const int shell = LoadLevelMesh("mshell", "mas2txt", "mas2", "matmax2", {3500, 2500, 0}, 1, false, false,
                                    {}, 0, false, false, false);
    if (shell >= 0) Stages();
    Skip(shell);
    Hide();
    Level.MothershipId = LoadLevelMesh("mothership", "mas2txt", "mas2box", "matmax", {3500, 2500, 0}, 9,
                                       false, false, {}, 0, false, false, false);
    Effects.ShipDebris[2].MeshId = Level.MothershipId;
    Effects.ShipDebris[2].InUse = true;
    Hide();
    for (int i = 1; i <= 5; ++i) {
        const float r1 = R(), r2 = R();
        LoadLevelMesh(Num("mship", i), "mas2txt", Num("shipexp\\mas", i), "matmax2", MeshParking, 1, false,
                      false, {1, float(N(r1)), float(N(r2))}, 2.0f, false, false, false);
    }

    SolidMesh("ga", "ast1txt", "masast1", "matmax", MeshParking, 25);
    Hide();
    Level.LavaroidId = SolidMesh("lavaroid", "lavatxt", "lavaast", "matmax", MeshParking, 9);
    Hide();

    Level.VirtualMeshId = Node("virtual", SpriteParking);
    for (const char* key : {"hold", "phold", "gahold", "virtualast"})
        Node(key, SpriteParking);
    Node("aitesta", {0, 0, 0});
    Node("aitestb", {0, 0, 0});
    LoadEnforcer();

    Callbacks.LoadForceFieldAndRadar();
}

}  // namespace

int LoadLevelMesh(const std::string& key, const std::string& texture, const std::string& file,
                  const std::string& material, const Vector& position, float scale, bool flag1, bool flag7,
                  const Vector& spinAxis, float spinRate, bool effectMode, bool keepOffset, bool flag4,
                  const Vector& rotation) {
    // No current mesh before the load: afterwards there is one only if it was built.
    MeshObj->SelectMeshById(-1);
    LoadMesh(key, texture, file, material, position.x, position.y, position.z, scale, rotation.x, rotation.y,
             rotation.z, flag1, flag7, int(spinAxis.x), int(spinAxis.y), int(spinAxis.z), spinRate,
             effectMode, keepOffset, flag4);
    return MeshObj->GetCurrentId();
}

void LoadEffectObjects() {
    const int nextLevel = Campaign.CurrentLevel + 1;  // CurrentLevel still holds the level before
    sys::Randomize();
    ClearSkipList();
    LoadEffectsSection();
    LoadEnemyShots();
    LoadPlayerShots();
    LoadShipsSection(nextLevel);
    for (int i = 1; i <= 14; ++i)
        NodeShot(Arsenal.EplasShots[std::size_t(i)], Num("_eplas", i), true);
}

void ReloadEffectObjects() {
    MeshObj->ClearMeshes();
    AnimMeshObj->ClearModels();
    LoadEffectObjects();
}

}  // namespace quorvel
