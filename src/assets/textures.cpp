// The textures of the levels, loaded once per game run under their keys.

#include <string>

#include "assets/assets.h"
#include "common/world.h"
#include "platform/system/paths.h"
#include "common/engine_objects.h"

namespace quorvel {
namespace {

struct TextureRow {
    const char* key;
    const char* file;  // under "\tex\"
    int flag;
};

// Loads one texture; its id, or -1 when the file could not be loaded.
int Load(const std::string& folder, const std::string& key, const std::string& file, int flag) {
    return TextureObj->LoadTexture(key, folder + file, flag, 0);
}

std::string Num(const char* prefix, int n, const char* suffix) {
    return prefix + std::to_string(n) + suffix;
}

}  // namespace

void LoadGameTextures() {
    const std::string tex = sys::ProgramFolder() + "\\tex\\";

    for (int k = 1; k <= 3; ++k)
        Load(tex, Num("ast", k, "txt"), Num("ast", k, "txt.jpg"), 0);
    Load(tex, "ion_tex1", "ion.png", 1);
    Load(tex, "mion_tex", "mion.png", 1);
    for (int k = 1; k <= 2; ++k)
        Load(tex, Num("disp_tex", k, ""), Num("anim\\dis", k, ".png"), 1);
    for (int k = 1; k <= 7; ++k)
        Load(tex, Num("wepart", k, ""), Num("wepart", k, ".png"), 1);
    static const TextureRow rows6to21[] = {
        {"eplastxt1", "eplasma.png", 1},   {"radartex", "radar.jpg", 0},    {"lastxt", "laser.png", 1},
        {"shockwave", "shockwave.jpg", 1}, {"masshock", "masswave.png", 1}, {"goldtxt", "sstxt.jpg", 1},
        {"sp201", "space202.jpg", 0},      {"sp202", "space203.jpg", 0},    {"sp203", "space204.jpg", 0},
        {"sp204", "space201.jpg", 0},      {"sp205", "sbbottom2.jpg", 0},   {"sp206", "sbtop2.jpg", 0},
        {"menu1", "resume.jpg", 0},        {"gomenu1", "restart.jpg", 0},   {"spacest", "ssttxt1.jpg", 0},
        {"spacest2", "ss2txt1.jpg", 0},
    };
    for (const TextureRow& r : rows6to21)
        Load(tex, r.key, r.file, r.flag);

    // The force field takes its texture by id; a failed load leaves it none.
    Level.ForceFieldTexture = Load(tex, "fftex", "ff.png", 1);

    static const TextureRow rows23to42[] = {
        {"alstxt", "alstxt.jpg", 1},
        {"flare1", "lens1.jpg", 1},
        {"flare2", "lens2.jpg", 1},
        {"flare3", "lens3.jpg", 1},
        {"ms1", "msicon1.jpg", 0},
        {"ms2", "msicon2.jpg", 0},
        {"asproj", "asproj.jpg", 1},
        {"help", "keyboard.jpg", 0},
        {"poweruptxt", "powerup.jpg", 1},
        {"mas2txt", "abstxt.jpg", 0},
        {"lightanim1", "light1.jpg", 1},
        {"lightanim2", "light2.jpg", 1},
        {"lightanim3", "light3.jpg", 1},
        {"lightanim4", "light4.jpg", 1},
        {"energycoretxt", "ecoretxt.jpg", 1},
        {"lavatxt", "lava.jpg", 0},
        {"scoutproj", "scoutproj.png", 1},
        {"gamproj", "gamma.png", 1},
        {"plasproj", "plasma.png", 1},
        {"shipbump", "shipbump.jpg", 0},
    };
    for (const TextureRow& r : rows23to42)
        Load(tex, r.key, r.file, r.flag);
    for (int k = 1; k <= 4; ++k)
        Load(tex, Num("enermeter", k, ""), Num("energymeter", k, ".png"), 0);
    for (int k = 1; k <= 4; ++k)
        Load(tex, Num("won", k, ""), Num("congrats", k, ".jpg"), 0);
    for (int k = 1; k <= 12; ++k)
        Load(tex, Num("energy", k, ""), Num("energy", k, ".jpg"), 1);
    for (int k = 1; k <= 6; ++k)
        Effects.ExplosionTextures[std::size_t(k)] =
            Load(tex, Num("explosion", k, ""), Num("exp", k, ".png"), 1);

    Load(sys::ProgramFolder() + "\\par\\", "particle", "particle11.bmp", 1);
    Load(tex, "engflare", "engineflare.png", 1);
    TextureObj->FinishTextureLoading();
}

}  // namespace quorvel
