#pragma once
// A small stand-in for the content the main menu and the load-game screen read:
// every picture, model and sound they name, tiny but readable.

#include <string>

#include "platform/engine/fixtures.h"
#include "support/temp_folder.h"

namespace quorvel::test {

inline void WriteMenuContent(const TempFolder& folder) {
    const std::string picture = SolidBmp(4, 4, 90, 120, 200);
    for (const char* name :
         {"narvologo",    "engine_small", "space001",     "space002",     "space003",     "space004",
          "sbbottom",     "sbtop",        "space001_low", "space002_low", "space003_low", "space004_low",
          "sbbottom_low", "sbtop_low",    "sstxt",        "platform",     "blueplnt",     "mainmenu",
          "keyboard",     "congrats2",    "msicon1",      "msicon2",      "abstxt",       "masswave",
          "ast1txt",      "ast2txt",      "ast3txt",      "shipbump",     "font"})
        folder.Write(std::string("tex/") + name + ".jpg", picture);
    folder.Write("par/particle11.bmp", picture);

    const std::string box = Box3ds(-1, -1, -1, 1, 1, 1);
    for (const char* name : {"goldship", "blueplanet", "blueplanetclouds", "platform", "mas2", "asteroid1",
                             "asteroid2", "asteroid3", "asteroid4", "asteroid5"})
        folder.Write(std::string("mesh/") + name + ".3ds", box);

    folder.Write("sound/menuselect.wav", SoundBytes());
    folder.Write("txt/loading.txt", "Loading...\r\n");
}

}  // namespace quorvel::test
