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

#include "common/engine_objects.h"
#include "common/materials.h"
#include "common/menu.h"
#include "common/mesh_loading.h"
#include "common/particle_file.h"
#include "common/shared.h"
#include "common/textfile.h"
#include "common/texts.h"
