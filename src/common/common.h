#pragma once
// Services of common: what the other folders may call here, and the state every
// folder shares.
//   engine_objects.h  the shared engine handles (CoreObj, MeshObj, ...), PlayClick,
//                     StopAllEmitters, ClearEngineLibraries
//   texts.h           GameTexts, read from "\txt\"
//   shared.h          RandomRange, Nearest, InRange, DecayToZero, GetMeshAxes,
//                     DegreesToRadians
//   textfile.h        one-line text files: ReadTextFile, WriteTextFile
//   menu.h            clsMenu, the hit lists of menus drawn in 3D
//   materials.h       LoadMaterials
//   particle_file.h   LoadParticleFile
//   mesh_loading.h    LoadMesh
//   options.h         the options dialog Options, whose controls are the live settings,
//                     and ShowOptionsDialog over the 3D view
//   loading_screen.h  the progress screen of a level load
//   bitmap_font.h     messages in the large bitmap font
//   waits.h           timed waits: WallClockSecond, WaitPast
//   screenshot.h      SaveNumberedScreenshot
//   settings_files.h  the settings files the options and the launch pad keep

#include "common/bitmap_font.h"
#include "common/engine_objects.h"
#include "common/loading_screen.h"
#include "common/materials.h"
#include "common/menu.h"
#include "common/mesh_loading.h"
#include "common/options.h"
#include "common/particle_file.h"
#include "common/screenshot.h"
#include "common/settings_files.h"
#include "common/shared.h"
#include "common/textfile.h"
#include "common/texts.h"
#include "common/waits.h"
