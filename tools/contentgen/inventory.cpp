#include "contentgen/inventory.h"

#include <cctype>

namespace quorvel::content {

namespace {

std::string Num(const std::string& prefix, int n, const std::string& suffix) {
    return prefix + std::to_string(n) + suffix;
}

std::vector<ContentEntry> Build() {
    std::vector<ContentEntry> t;
    auto add = [&t](std::string path, Format f, std::string role, std::string recipe, int index = 0) {
        t.push_back({std::move(path), f, std::move(role), std::move(recipe), index});
    };
    // Pictures carry the size in pixels that the game draws them at or cuts cells from.
    auto pic = [&t](std::string path, Format f, int width, int height, std::string role, std::string recipe,
                    int index = 0) {
        t.push_back({std::move(path), f, std::move(role), std::move(recipe), index, width, height});
    };
    const Format M = Format::Model, J = Format::Jpeg, P = Format::Png, W = Format::Wav, A = Format::Wma;

    // ---- models ----------------------------------------------------------------
    // Ships fly the way the game moves them: the gold ship and the mothership travel
    // along their own -Z (every cut-scene moves them by negative forward steps), the
    // aliens, the scout and the battleship along +Z after turning toward a target.
    add("mesh\\goldship.3ds", M, "player's gold fighter: menu fighters, intro, cut-scenes, nose -Z",
        "goldship");
    add("mesh\\bigship.3ds", M, "big grey ship beside the gold ship on the intro platform", "bigship");
    add("mesh\\platform.3ds", M, "intro launch platform (deck 95 up) and the menu scene's station",
        "platform");
    add("mesh\\blueplanet.3ds", M, "blue planet of the menu (scale 7000) and the intro (140)", "planet");
    add("mesh\\blueplanetclouds.3ds", M, "cloud layer: 1.1 x the planet, so it clears it at scale 6500",
        "clouds");
    for (int i = 1; i <= 10; ++i)
        add(Num("mesh\\asteroid", i, ".3ds"), M,
            "asteroid kind " + std::to_string(i) + " (field scale 7, menu 2)", "asteroid", i);
    for (int i = 1; i <= 64; ++i)
        add(Num("mesh\\anim\\exp", i, ".3ds"), M,
            "flip-book frame: a quad showing cell " + std::to_string(i) +
                " of an 8 x 8 atlas (explosions, mion and gamma shots)",
            "atlas_frame8", i);
    for (int i = 1; i <= 10; ++i)
        for (int k = 1; k <= 4; ++k)
            add("mesh\\anim\\ast" + std::to_string(i) + "exp" + std::to_string(k) + ".3ds", M,
                "break-up fragment " + std::to_string(k) + " of asteroid kind " + std::to_string(i) +
                    " (scale 9)",
                "fragment", i * 10 + k);
    add("mesh\\energycore.3ds", M, "the station's spinning energy core (scale 8)", "energycore");
    for (int n = 1; n <= 4; ++n)
        add(Num("mesh\\powerup", n, ".3ds"), M, "power-up of kind " + std::to_string(n) + " (scale 6)",
            "powerup", n);
    add("mesh\\energy.3ds", M, "mothership energy charge at its bow (scale 20)", "energy");
    for (int i = 1; i <= 16; ++i)
        add(Num("mesh\\anim\\ion", i, ".3ds"), M,
            "shot flip-book frame: cell " + std::to_string(i) + " of a 4 x 4 atlas (plasma, ion, eplas)",
            "atlas_frame4", i);
    add("mesh\\laser.3ds", M, "laser bolt, long along Z (scale 3)", "laser");
    add("mesh\\disperse.3ds", M, "disperse shot (scale 1)", "disperse");
    add("mesh\\spacest1.3ds", M, "first space station (scale 8), pylons over its four force-field points",
        "station", 1);
    add("mesh\\spacest1_low.3ds", M, "first space station, low detail", "station_low", 1);
    add("mesh\\ss2.3ds", M, "second space station, levels 26 to 50 (scale 8)", "station", 2);
    add("mesh\\ss2_low.3ds", M, "second space station, low detail", "station_low", 2);
    add("mesh\\starscape.3ds", M, "space dust that streams past the camera (scale 1)", "starscape");
    add("mesh\\baexpsm.3ds", M, "asteroid debris chip 1 (scale 1)", "chip", 1);
    for (int n = 2; n <= 4; ++n)
        add(Num("mesh\\baexpsm", n, ".3ds"), M, "asteroid debris chip " + std::to_string(n) + " (scale 1)",
            "chip", n);
    add("mesh\\smallastexp.3ds", M, "hit-spark shard (scale 4)", "spark");
    for (int n = 1; n <= 4; ++n)
        add(Num("mesh\\shipexp\\redexp", n, ".3ds"), M,
            "gold-ship wreck piece " + std::to_string(n) + " (scale 5)", "wreck", n);
    for (int n = 1; n <= 4; ++n)
        add(Num("mesh\\shipexp\\redchk", n, ".3ds"), M,
            "gold-ship hull chunk " + std::to_string(n) + " (scale 3)", "chunk", n);
    add("mesh\\scout.3ds", M, "alien scout (scale 8), nose +Z", "scout");
    add("mesh\\albattle.3ds", M, "alien battleship (scale 1), nose +Z", "battleship");
    add("mesh\\albattle_low.3ds", M, "alien battleship, low detail", "battleship_low");
    add("mesh\\albattlebox.3ds", M, "battleship collision mesh, shown with it: inside the hull at scale 7",
        "battleship_hitmesh");
    add("mesh\\lightanim.3ds", M, "lightning flash around the arriving battleship (scale 1)", "lightning");
    add("mesh\\mas2.3ds", M, "mothership hull (scale 1), bow -Z where it charges its weapon", "mothership");
    add("mesh\\mas2box.3ds", M, "mothership collision box: encloses the hull at scale 9", "mothership_box");
    for (int n = 1; n <= 5; ++n)
        add(Num("mesh\\shipexp\\mas", n, ".3ds"), M, "mothership break-up piece " + std::to_string(n),
            "mothership_piece", n);
    add("mesh\\masast1.3ds", M, "giant asteroid (scale 25)", "giant_asteroid");
    add("mesh\\lavaast.3ds", M, "flaming asteroid (scale 9)", "lava_asteroid");
    const char* aliens[] = {"asnoglass", "aship2", "as3", "as4", "as5"};
    for (int k = 1; k <= 5; ++k) {
        add(std::string("mesh\\") + aliens[k - 1] + ".3ds", M,
            "alien fighter kind " + std::to_string(k) + " (scale 7), nose +Z", "alien", k);
        add(std::string("mesh\\") + aliens[k - 1] + "_low.3ds", M,
            "alien fighter kind " + std::to_string(k) + ", low detail", "alien_low", k);
    }
    add("mesh\\ff.md2", Format::Md2, "force-field bubble growing over its frames (scale 10)", "forcefield");
    add("mesh\\radar.md2", Format::Md2, "station radar dish turning over its frames (scale 8)", "radar");

    // ---- textures and pictures ---------------------------------------------------
    pic("tex\\narvologo.jpg", J, 512, 512, "maker logo at start and during the intro's loading",
        "logo_maker");
    pic("tex\\engine_small.jpg", J, 512, 382, "3D engine logo, first picture at start", "logo_engine");
    pic("tex\\mainmenu.jpg", J, 512, 512, "main menu picture: six item bands where the menu hit-tests",
        "menu_main");
    pic("tex\\keyboard.jpg", J, 512, 512, "controls picture: menu overlay, loading screen, in-game help",
        "menu_controls");
    for (int n = 1; n <= 4; ++n)
        pic(Num("tex\\congrats", n, ".jpg"), J, 512, 512,
            "game-won page " + std::to_string(n) + (n == 2 ? " (also the menu's credits overlay)" : ""),
            "congrats", n);
    pic("tex\\launchpad.jpg", J, 512, 384, "launch pad background, under its lists and buttons",
        "form_launchpad");
    pic("tex\\options.jpg", J, 512, 384, "options dialog background", "form_options");
    pic("tex\\difficulty.jpg", J, 264, 406, "difficulty dialog background: each level named by its button",
        "form_difficulty");
    pic("tex\\splash.jpg", J, 477, 386, "start-up splash", "form_splash");
    pic("tex\\msicon1.jpg", J, 64, 64, "mouse pointer, tip at (11, 13)", "mouse", 1);
    pic("tex\\msicon2.jpg", J, 64, 64, "mouse pointer over a menu item", "mouse", 2);
    pic("tex\\sstxt.jpg", J, 512, 512, "gold-ship skin", "skin_gold");
    pic("tex\\platform.jpg", J, 512, 512, "platform and menu-station skin", "skin_platform");
    pic("tex\\blueplnt.jpg", J, 1024, 512, "blue planet surface, also on its cloud layer", "skin_planet");
    pic("tex\\abstxt.jpg", J, 512, 512, "mothership, battleship and heavy alien hull skin",
        "skin_alien_hull");
    pic("tex\\alstxt.jpg", J, 512, 512, "alien fighter and scout skin", "skin_alien_fighter");
    pic("tex\\masswave.jpg", J, 256, 256, "green shock-wave ring (menu stage texture)", "ring_green", 0);
    pic("tex\\masswave.png", P, 256, 256, "green shock wave, mothership shots, dust specks", "ring_green", 1);
    for (int n = 1; n <= 3; ++n)
        pic(Num("tex\\ast", n, "txt.jpg"), J, 512, 512, "asteroid rock skin " + std::to_string(n),
            "skin_rock", n);
    pic("tex\\shipbump.jpg", J, 256, 256, "hull detail for the second texture stage", "skin_bump");
    pic("tex\\biggrey.jpg", J, 512, 512, "big grey ship skin", "skin_grey");
    // Sky faces: index = face (0 back, 1 front, 2 left, 3 right, 4 bottom, 5 top) + 10 x set
    // + 100 for the low-detail copy (same size, so its stars stay sharp; a plainer nebula).
    // The sun of the lens flare stands in the left face.
    struct Sky {
        const char* file;
        int face;
    };
    const Sky sky1[] = {{"space001", 3}, {"space002", 0}, {"space003", 2},
                        {"space004", 1}, {"sbbottom", 4}, {"sbtop", 5}};
    const char* faceNames[] = {"back", "front", "left", "right", "bottom", "top"};
    for (const Sky& s : sky1) {
        pic(std::string("tex\\") + s.file + ".jpg", J, 512, 512,
            std::string("sky, ") + faceNames[s.face] + " face", "sky", 10 + s.face);
        pic(std::string("tex\\") + s.file + "_low.jpg", J, 512, 512,
            std::string("sky, ") + faceNames[s.face] + " face, low detail", "sky", 110 + s.face);
    }
    const Sky sky2[] = {{"space201", 3}, {"space202", 0},  {"space203", 2},
                        {"space204", 1}, {"sbbottom2", 4}, {"sbtop2", 5}};
    for (const Sky& s : sky2)
        pic(std::string("tex\\") + s.file + ".jpg", J, 512, 512,
            std::string("second sky (levels 26 to 50), ") + faceNames[s.face] + " face", "sky", 20 + s.face);
    pic("tex\\huddisplay.jpg", J, 256, 256, "cockpit reticle at the screen centre", "hud_reticle");
    pic("tex\\anim\\shieldhit.png", P, 1024, 1024, "shield-hit flash: 4 x 4 sheet of 256-pixel cells",
        "hud_shieldhit");
    pic("tex\\anim\\grav1.jpg", J, 512, 512, "gravity-beam swirl overlay", "hud_grav", 1);
    pic("tex\\anim\\grav2.jpg", J, 512, 512, "gravity-beam counter-swirl overlay", "hud_grav", 2);
    pic("tex\\shieldbar.jpg", J, 75, 165, "shield meter frame, bottom left", "hud_shieldbar");
    for (int n = 1; n <= 4; ++n)
        pic(Num("tex\\energymeter", n, ".png"), P, 256, 32,
            "weapon-energy meter at capacity level " + std::to_string(n), "hud_energymeter", n);
    const char* pointers[] = {"pointerstation", "pointerasteroid", "pointeralien",
                              "pointerlava",    "pointermas",      "pointerbat"};
    for (int n = 0; n < 6; ++n)
        pic(std::string("tex\\") + pointers[n] + ".png", P, 64, 64, "HUD pointer, arrow up at angle 0",
            "hud_pointer", n);
    pic("tex\\restart.jpg", J, 512, 512, "game-over menu: five rows", "menu_gameover");
    pic("tex\\resume.jpg", J, 512, 512, "pause menu: six rows", "menu_pause");
    pic("tex\\mapdis.jpg", J, 256, 256, "HUD map, bottom right", "hud_map");
    pic("tex\\weapmenu.jpg", J, 512, 512, "weapon shop: six weapons and three energy stores", "menu_shop");
    pic("tex\\font.jpg", J, 512, 512, "bitmap font: 16 x 16 cells of 32 x 32, cell n holds character n",
        "font");
    pic("tex\\ion.png", P, 512, 512, "ion shot atlas, 4 x 4 frames", "shot_atlas4", 1);
    pic("tex\\plasma.png", P, 512, 512, "plasma shot atlas, 4 x 4 frames", "shot_atlas4", 2);
    pic("tex\\eplasma.png", P, 512, 512, "eplas shot atlas, 4 x 4 frames", "shot_atlas4", 3);
    pic("tex\\mion.png", P, 512, 512, "mion shot atlas, 8 x 8 frames", "shot_atlas8", 1);
    pic("tex\\gamma.png", P, 512, 512, "gamma shot atlas, 8 x 8 frames", "shot_atlas8", 2);
    pic("tex\\anim\\dis1.png", P, 128, 128, "disperse shot, frame 1", "shot_disperse", 1);
    pic("tex\\anim\\dis2.png", P, 128, 128, "disperse shot, frame 2", "shot_disperse", 2);
    for (int n = 1; n <= 7; ++n)
        pic(Num("tex\\wepart", n, ".png"), P, 256, 256, "impact ring of weapon " + std::to_string(n),
            "ring_weapon", n);
    pic("tex\\radar.jpg", J, 256, 256, "radar dish skin", "skin_radar");
    pic("tex\\laser.png", P, 256, 32, "laser bolt, bright along its length", "shot_laser");
    pic("tex\\shockwave.jpg", J, 256, 256, "explosion shock-wave ring", "ring_shock");
    pic("tex\\ssttxt1.jpg", J, 512, 512, "first station skin", "skin_station", 1);
    pic("tex\\ss2txt1.jpg", J, 512, 512, "second station skin", "skin_station", 2);
    pic("tex\\ff.png", P, 256, 256, "force-field bubble skin", "skin_forcefield");
    for (int n = 1; n <= 3; ++n)
        pic(Num("tex\\lens", n, ".jpg"), J, 256, 256, "lens-flare element " + std::to_string(n), "flare", n);
    pic("tex\\asproj.jpg", J, 128, 128, "alien shot glow", "glow", 1);
    pic("tex\\powerup.jpg", J, 256, 256, "power-up skin", "skin_powerup");
    for (int n = 1; n <= 4; ++n)
        pic(Num("tex\\light", n, ".jpg"), J, 512, 512, "lightning frame " + std::to_string(n), "lightning",
            n);
    pic("tex\\ecoretxt.jpg", J, 256, 256, "energy-core skin", "skin_core");
    pic("tex\\lava.jpg", J, 512, 512, "flaming asteroid skin", "skin_lava");
    pic("tex\\scoutproj.png", P, 128, 128, "scout and battleship shot glow", "glow", 2);
    for (int n = 1; n <= 12; ++n)
        pic(Num("tex\\energy", n, ".jpg"), J, 256, 256, "mothership charge frame " + std::to_string(n),
            "charge", n);
    for (int n = 1; n <= 6; ++n)
        pic(Num("tex\\exp", n, ".png"), P, 512, 512,
            std::string("explosion atlas, 8 x 8 frames, ") + (n <= 3 ? "rock dust" : "ship fire"),
            "explosion_atlas", n);
    pic("tex\\engineflare.png", P, 128, 128, "alien engine flare", "glow", 3);
    pic("par\\particle11.bmp", Format::Bmp, 64, 64, "particle sprite of every particle system", "particle");

    // ---- particle systems ------------------------------------------------------------
    const Format R = Format::Par;
    add("par\\enginemas.par", R, "mothership engine plumes", "par_enginemas");
    add("par\\masgreentips.par", R, "mothership wing-tip plumes", "par_mastips");
    add("par\\particlelow.par", R, "reduced engine plume (particle quality low)", "par_low");
    add("par\\core.par", R, "energy-core glow", "par_core");
    add("par\\corelow.par", R, "energy-core glow, reduced", "par_corelow");
    add("par\\fireast.par", R, "flaming asteroid fire", "par_fire");
    add("par\\fireastlow.par", R, "flaming asteroid fire, reduced", "par_firelow");
    add("par\\smoke.par", R, "station damage smoke", "par_smoke");
    add("par\\smokelow.par", R, "damage smoke, reduced", "par_smokelow");
    add("par\\smokegreen.par", R, "mothership damage flames", "par_smokegreen");
    add("par\\batsmokered.par", R, "battleship damage smoke", "par_smokered");
    add("par\\bateng.par", R, "battleship engine flames", "par_bateng");

    // ---- sound effects (16-bit PCM, mono) -------------------------------------------
    add("Sound\\hit.wav", W, "projectile hit", "sfx_hit");
    for (int n = 1; n <= 3; ++n)
        add(Num("Sound\\explosion", n, ".wav"), W, "explosion " + std::to_string(n), "sfx_explosion", n);
    add("sound\\shiphits.wav", W, "ship collision and small shield hits", "sfx_shiphit");
    add("sound\\engine.wav", W, "engine thrust, looped", "sfx_engine");
    add("sound\\afterburn.wav", W, "afterburner roar", "sfx_afterburn");
    add("sound\\asproj.wav", W, "alien shot, also positional", "sfx_alienshot");
    add("sound\\toofar.wav", W, "out-of-bounds alarm, looped", "sfx_toofar");
    add("sound\\warning.wav", W, "alien wave alarm", "sfx_warning");
    add("sound\\laser.wav", W, "laser shot", "sfx_laser");
    add("sound\\asflyby.wav", W, "alien fly-by", "sfx_flyby", 1);
    add("sound\\plasma1.wav", W, "plasma shot", "sfx_plasma");
    add("sound\\ion.wav", W, "ion shot", "sfx_ion");
    add("sound\\mion.wav", W, "mion shot", "sfx_mion");
    add("sound\\gammasfx.wav", W, "gamma shot", "sfx_gamma");
    add("sound\\eplasmasfx.wav", W, "eplas shot", "sfx_eplas");
    add("sound\\dispersercannon.wav", W, "disperse volley", "sfx_disperse");
    add("sound\\menuselect.wav", W, "menu click and hover; shop remark", "sfx_click");
    add("sound\\masproj.wav", W, "mothership shot", "sfx_masshot");
    add("sound\\masengine.wav", W, "mothership engine, looped", "sfx_masengine");
    add("sound\\aliengib.wav", W, "grabbed alien crushed", "sfx_aliengib");
    add("sound\\hyperspace.wav", W, "mothership drops out of hyperspace", "sfx_hyperspace", 1);
    add("sound\\energy.wav", W, "mothership weapon charging", "sfx_charge");
    add("sound\\wchange.wav", W, "weapon change", "sfx_wchange");
    add("sound\\puspeed.wav", W, "extreme-speed power-up", "sfx_powerup", 2);
    add("sound\\pufire.wav", W, "rapid-fire power-up", "sfx_powerup", 4);
    add("sound\\puinvinc.wav", W, "invincibility power-up", "sfx_powerup", 3);
    add("sound\\pushield.wav", W, "infinite-energy power-up", "sfx_powerup", 1);
    add("sound\\gravitybeam.wav", W, "gravity-beam hum, looped", "sfx_gravbeam");
    add("sound\\gravshoot.wav", W, "gravity-beam throw", "sfx_gravshoot");
    add("sound\\gravgrab.wav", W, "gravity-beam grab", "sfx_gravgrab");
    add("sound\\out.wav", W, "weapon out of energy, looped", "sfx_empty");
    add("sound\\shieldcharge.wav", W, "shield fast recharge", "sfx_shieldcharge");
    add("sound\\fireball.wav", W, "flaming asteroid roar, positional", "sfx_fireball");
    add("sound\\maseng.wav", W, "distant capital-ship engine, positional", "sfx_maseng");
    add("sound\\pflyby.wav", W, "fly-by, positional", "sfx_flyby", 2);
    add("sound\\hyperspace_to.wav", W, "gold ship jumps to hyperspace", "sfx_hyperspace", 2);
    add("sound\\maslight.wav", W, "lightning of the arriving battleship", "sfx_thunder");
    add("sound\\bshs.wav", W, "battleship speeds away", "sfx_hyperspace", 3);

    // ---- spoken clips ------------------------------------------------------------------
    add("sound\\reward.wav", W, "a new weapon has become affordable", "voice");
    add("sound\\vto1.wav", W, "intro: launch clearance as the gold ship lifts off", "voice");
    add("sound\\masinbound.wav", W, "mothership inbound warning", "voice");
    add("sound\\noavail.wav", W, "shop: purchase refused", "voice");
    add("sound\\warnshield.wav", W, "shield low, go to the station", "voice");
    add("sound\\lavaastinit.wav", W, "flaming asteroid, first warning", "voice");
    add("sound\\lavaastwarn.wav", W, "flaming asteroid, further pass", "voice");
    const char* station[] = {"badman", "fallen", "feelspecial", "itblowsup", "nancyboy", "scream"};
    for (const char* s : station)
        add(std::string("sound\\stationvoices\\") + s + ".wav", W, "station crew, hit by the player",
            "voice");
    for (int n = 1; n <= 8; ++n)
        add(Num("sound\\tutorial\\tut", n, ".wma"), A, "tutorial lesson " + std::to_string(n), "voice", n);
    for (int n = 1; n <= 3; ++n)
        add(Num("sound\\astclose", n, ".wma"), A, "asteroid close to the station", "voice", n);
    add("sound\\sctinbound.wma", A, "scout inbound", "voice");
    add("sound\\sctleaving.wma", A, "scout leaving", "voice");
    add("sound\\astcollision.wma", A, "giant asteroid on collision course", "voice");

    // ---- music -------------------------------------------------------------------------
    add("sound\\new_opt_menu.wma", A, "main menu music", "music", 1);
    add("sound\\cutscene1_1.wma", A, "intro cut-scene music", "music", 2);
    add("sound\\cutscene2.wma", A, "gold-ship cut-scene clip", "music", 3);
    add("sound\\end.wma", A, "end cut-scene clip", "music", 4);
    add("sound\\lvldone.wma", A, "level-done jingle", "music", 5);
    add("sound\\gameover.wma", A, "game-over jingle", "music", 6);
    add("sound\\lastfight.wma", A, "level-50 battle music", "music", 7);
    add("sound\\alienbattlebegin.wma", A, "battleship battle, opening", "music", 8);
    add("sound\\alienbattleloop.wma", A, "battle loop", "music", 9);
    add("sound\\ms_begin.wma", A, "mothership battle, opening", "music", 10);
    add("sound\\ms_song.wma", A, "mothership battle loop", "music", 11);
    add("sound\\astloop.wma", A, "giant-asteroid music loop", "music", 12);
    add("music\\orbit.wma", A, "level playlist track", "music", 13);
    add("music\\nebula.mp3", Format::Mp3, "level playlist track", "music", 14);
    add("music\\frontier.ogg", Format::Ogg, "level playlist track", "music", 15);
    add("music\\patrol.mid", Format::Midi, "level playlist track (General MIDI)", "music", 16);

    // ---- texts -------------------------------------------------------------------------
    const char* texts[] = {"level",     "welcome",    "mousesensitive", "gpadon",   "gpadoff", "money",
                           "time",      "complete",   "secsaccur",      "pctbonus", "protect", "look",
                           "left",      "firing",     "pressw",         "pressw2",  "pressa",  "pressq",
                           "presss",    "pressb",     "usegrav",        "throwast", "eschelp", "infinity",
                           "xtremespd", "invincible", "rapidfire",      "loading",  "nextweap"};
    for (int i = 0; i < 29; ++i)
        add(std::string("txt\\") + texts[i] + ".txt", Format::Text, "game text " + std::to_string(i), "text",
            i);
    add("TIPOFDAY.TXT", Format::Text, "tips of the day, one per line", "tips");

    add("video\\veltorvideo.wmv", Format::Wmv, "promotional video of the launcher", "video");
    return t;
}

}  // namespace

const std::vector<ContentEntry>& ContentInventory() {
    static const std::vector<ContentEntry> table = Build();
    return table;
}

std::string DiskPath(const std::string& gamePath) {
    std::string out;
    std::string part;
    for (char c : gamePath) {
        if (c == '\\' || c == '/') {
            if (part.empty()) continue;
            for (char& p : part)
                p = static_cast<char>(std::tolower(static_cast<unsigned char>(p)));
            out += part + "/";
            part.clear();
        } else {
            part += c;
        }
    }
    return out + part;
}

const char* FormatName(Format format) {
    switch (format) {
        case Format::Wav:
            return "wav";
        case Format::Wma:
            return "wma";
        case Format::Wmv:
            return "wmv";
        case Format::Mp3:
            return "mp3";
        case Format::Ogg:
            return "ogg";
        case Format::Midi:
            return "mid";
        case Format::Jpeg:
            return "jpeg";
        case Format::Png:
            return "png";
        case Format::Bmp:
            return "bmp";
        case Format::Model:
            return "3ds";
        case Format::Md2:
            return "md2";
        case Format::Par:
            return "par";
        case Format::Text:
            return "text";
    }
    return "?";
}

}  // namespace quorvel::content
