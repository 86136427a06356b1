// The rules every pool keeps: keys, ids, the current item, and failures that leave
// no current item. One table over the pools instead of a copy per pool.

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <set>

#include "platform/engine/engine.h"
#include "platform/engine/engine_state.h"
#include "platform/engine/failed_loads.h"
#include "platform/system/paths.h"
#include "support/harness.h"
#include "support/temp_folder.h"
#include "platform/engine/fixtures.h"

namespace quorvel {
namespace {

std::string Content(const std::string& name) {
    return sys::ProgramFolder() + "\\content\\" + name;
}

// One pool seen through its handle. `set` and `get` are one setter and the getter
// that reads it back (0 when there is no current item).
struct PoolCase {
    const char* name;
    std::function<int(const std::string& key)> create;
    std::function<bool(const std::string& key)> select;
    std::function<bool(int id)> selectId;
    std::function<int()> currentId;
    std::function<int()> count;
    std::function<void()> remove;  // empty: the pool has no remove
    std::function<void()> clear;   // empty: the pool has no clear
    std::function<void(float)> set;
    std::function<float()> get;
};

std::vector<PoolCase> Pools() {
    static EngineMeshes meshes;
    static EngineTextures textures;
    static EngineMaterials materials;
    static EngineAnimatedModels models;
    static EngineParticles particles;
    static EngineSky sky;
    static EngineSounds sounds;
    static EngineDraw2D images;
    auto scene = [] { return &engine::GetScene(); };
    return {
        {"meshes", [](const std::string& k) { return meshes.CreateMesh(k); },
         [](const std::string& k) { return meshes.SelectMesh(k); },
         [](int id) { return meshes.SelectMeshById(id); }, [] { return meshes.GetCurrentId(); },
         [] { return meshes.GetMeshCount(); }, [] { meshes.RemoveMesh(); }, [] { meshes.ClearMeshes(); },
         [](float v) { meshes.SetPosition(v, 0, 0); }, [] { return meshes.GetPosition().x; }},
        {"textures", [](const std::string& k) { return textures.LoadTexture(k, Content("red.bmp"), 0, 0); },
         [](const std::string& k) { return textures.SelectTexture(k); },
         [](int id) { return textures.SelectTextureById(id); }, [=] { return scene()->textures.CurrentId(); },
         [] { return textures.GetTextureCount(); }, [] { textures.RemoveTexture(); },
         [] { textures.ClearTextures(); }, nullptr, nullptr},
        {"materials", [](const std::string& k) { return materials.CreateMaterial(k); },
         [](const std::string& k) { return materials.SelectMaterial(k); },
         [](int id) { return materials.SelectMaterialById(id); },
         [=] { return scene()->materials.CurrentId(); }, [] { return materials.GetMaterialCount(); }, nullptr,
         [] { materials.ClearMaterials(); },
         [](float v) {
             materials.SetColourSlot1({v, 0, 0, 255});
         },
         [=] {
             const auto* m = scene()->materials.Current();
             return m ? m->slots[0].r : 0.0f;
         }},
        {"animated models", [](const std::string& k) { return models.LoadModel(Content("tri.md2"), k); },
         [](const std::string& k) { return models.SelectModel(k); },
         [](int id) { return models.SelectModelById(id); }, [=] { return scene()->models.CurrentId(); },
         [] { return models.GetModelCount(); }, nullptr, [] { models.ClearModels(); },
         [](float v) { models.SetPosition(v, 0, 0); },
         [=] {
             const auto* m = scene()->models.Current();
             return m ? m->place.position.x : 0.0f;
         }},
        {"particle systems", [](const std::string& k) { return particles.CreateSystem(k); },
         [](const std::string& k) { return particles.SelectSystem(k); },
         [](int id) { return particles.SelectSystemById(id); }, [] { return particles.GetCurrentSystemId(); },
         [] { return particles.GetSystemCount(); }, nullptr, nullptr,
         [](float v) {
             particles.SetEmitterPosition({v, 0, 0});
         },
         [=] {
             const auto* p = scene()->particles.Current();
             return p ? p->emitter.position.x : 0.0f;
         }},
        {"sky items", [](const std::string& k) { return sky.CreateSkyItem(k, 3, 1.0f); },
         [](const std::string& k) { return sky.SelectSkyItem(k); },
         [](int id) { return sky.SelectSkyItemById(id); }, [=] { return scene()->sky.CurrentId(); },
         [] { return sky.GetSkyItemCount(); }, [] { sky.RemoveSkyItem(); }, [] { sky.ClearSky(); },
         [](float v) {
             sky.SetFlareSource({v, 0, 0});
         },
         [] { return sky.GetItemPosition().x; }},
        {"sounds", [](const std::string& k) { return sounds.LoadSound(k, Content("beep.wav"), 0, 0); },
         [](const std::string& k) { return sounds.SelectSound(k); },
         [](int id) { return sounds.SelectSoundById(id); }, [=] { return scene()->sounds.CurrentId(); },
         [] { return sounds.GetSoundCount(); }, [] { sounds.RemoveSound(); }, [] { sounds.ClearSounds(); },
         nullptr, nullptr},
        {"2D images", [](const std::string& k) { return images.LoadImage(Content("red.bmp"), k, 0); },
         [](const std::string& k) { return images.SelectImage(k); },
         [](int id) { return images.SelectImageById(id); }, [] { return images.GetImageId(); },
         [] { return images.GetImageCount(); }, [] { images.RemoveImage(); }, [] { images.ClearImages(); },
         [](float v) {
             images.SetImagePosition({v, 0});
         },
         [=] {
             const auto* i = scene()->images.Current();
             return i ? i->position.x : 0.0f;
         }},
    };
}

// Test names and failure messages show the pool's name, not the record's bytes.
void PrintTo(const PoolCase& p, std::ostream* os) {
    *os << p.name;
}

class EnginePools : public ::testing::TestWithParam<PoolCase> {
  protected:
    void SetUp() override {
        harness_.ExpectFailedLoad("no key");  // creates under an empty key fail on purpose
        test::UseAsProgramFolder(folder_);
        folder_.Write("content/red.bmp", test::SolidBmp(4, 4, 255, 0, 0));
        folder_.Write("content/tri.md2", test::TriangleMd2(2));
        folder_.Write("content/beep.wav", test::SoundBytes());
    }
    test::TempFolder folder_;
    test::Harness harness_;
};

TEST_P(EnginePools, KeysIdsAndTheCurrentItem) {
    const PoolCase& p = GetParam();
    EXPECT_EQ(p.create("a"), 0);
    EXPECT_EQ(p.create("b"), 1);
    EXPECT_EQ(p.currentId(), 1) << "a create makes the item current";
    EXPECT_EQ(p.count(), 2);

    EXPECT_TRUE(p.select("a"));
    EXPECT_EQ(p.currentId(), 0);
    if (p.set) {
        p.set(5);
        EXPECT_EQ(p.get(), 5);
    }

    // Keys are case-sensitive; a failed select leaves no current item, setters then do
    // nothing and getters give 0.
    EXPECT_FALSE(p.select("A"));
    EXPECT_EQ(p.currentId(), -1);
    if (p.set) {
        p.set(7);
        EXPECT_EQ(p.get(), 0);
        p.select("a");
        EXPECT_EQ(p.get(), 5) << "the setter without a current item changed an item";
    }
    EXPECT_FALSE(p.selectId(99));
    EXPECT_EQ(p.currentId(), -1);
    EXPECT_TRUE(p.selectId(1));
    EXPECT_EQ(p.currentId(), 1);

    // An empty key is a failed create.
    EXPECT_EQ(p.create(""), -1);
    EXPECT_EQ(p.currentId(), -1);
    EXPECT_EQ(p.count(), 2);

    int next = 2;
    if (p.remove) {
        p.selectId(1);
        p.remove();
        EXPECT_EQ(p.currentId(), -1);
        EXPECT_EQ(p.count(), 1);
        EXPECT_FALSE(p.selectId(1)) << "a removed item's id selects nothing";
        EXPECT_FALSE(p.select("b"));
        EXPECT_EQ(p.create("c"), next++) << "ids are never handed out again";
    }
    if (p.clear) {
        p.clear();
        EXPECT_EQ(p.count(), 0);
        EXPECT_EQ(p.currentId(), -1);
        EXPECT_FALSE(p.select("a"));
        EXPECT_FALSE(p.selectId(0));
        EXPECT_EQ(p.create("d"), next++) << "a clear does not restart the ids";
    }
}

TEST_P(EnginePools, AKeyCreatedAgainNamesTheNewItemAndTheOldOneStays) {
    const PoolCase& p = GetParam();
    const int first = p.create("k");
    const int second = p.create("k");
    EXPECT_GT(second, first);
    EXPECT_TRUE(p.select("k"));
    EXPECT_EQ(p.currentId(), second);
    EXPECT_TRUE(p.selectId(first)) << "the older item keeps its id";
    EXPECT_EQ(p.count(), 2);
    if (p.remove) {
        p.selectId(second);
        p.remove();
        EXPECT_TRUE(p.select("k"));
        EXPECT_EQ(p.currentId(), first) << "removing the newer item hands the key back";
    }
}

INSTANTIATE_TEST_SUITE_P(All, EnginePools, ::testing::ValuesIn(Pools()),
                         [](const ::testing::TestParamInfo<PoolCase>& param) {
                             std::string name = param.param.name;
                             std::erase(name, ' ');
                             name[0] = char(std::toupper(name[0]));
                             return name;
                         });

// The pools a loop over ids walks: the table above plus cameras and lights, which
// the game reaches by name or fixed id and which have no count of their own (their
// pools keep the same rule).
struct IdPoolCase {
    PoolCase pool;
    std::set<int> liveAfterClear;  // camera 0 survives a clear
};

void PrintTo(const IdPoolCase& p, std::ostream* os) {
    *os << p.pool.name;
}

std::vector<IdPoolCase> IdPools() {
    static EngineCameras cameras;
    static EngineLights lights;
    std::vector<IdPoolCase> all;
    for (PoolCase& p : Pools())
        all.push_back({std::move(p), {}});
    all.push_back({{"cameras",
                    [](const std::string& k) {
                        cameras.SelectCamera(k);
                        return engine::GetScene().cameras.CurrentId();
                    },
                    [](const std::string& k) { return cameras.SelectCamera(k); },
                    [](int id) { return cameras.SelectCameraById(id); },
                    [] { return engine::GetScene().cameras.CurrentId(); },
                    [] { return engine::GetScene().cameras.Count(); }, nullptr,
                    [] { cameras.ClearCameras(); }, nullptr, nullptr},
                   {0}});
    all.push_back({{"lights", [](const std::string& k) { return lights.CreateLight(k, 100, 1, 0, 0, 0); },
                    [](const std::string& k) { return lights.SelectLight(k); },
                    [](int id) { return engine::State().scene.lights.SelectId(id); },
                    [] { return engine::GetScene().lights.CurrentId(); },
                    [] { return engine::GetScene().lights.Count(); },
                    [] { engine::State().scene.lights.RemoveCurrent(); }, nullptr, nullptr, nullptr},
                   {}});
    return all;
}

class EnginePoolIds : public ::testing::TestWithParam<IdPoolCase> {
  protected:
    void SetUp() override {
        test::UseAsProgramFolder(folder_);
        folder_.Write("content/red.bmp", test::SolidBmp(4, 4, 255, 0, 0));
        folder_.Write("content/tri.md2", test::TriangleMd2(2));
        folder_.Write("content/beep.wav", test::SoundBytes());
    }
    test::TempFolder folder_;
    test::Harness harness_;
};

// After creates, removes and clears in several orders, a loop over 0 .. count - 1
// selects exactly the live items, and the game's teardown loop (take the count once,
// select and remove each id) empties the pool.
TEST_P(EnginePoolIds, ALoopOverTheCountReachesExactlyTheLiveItems) {
    const PoolCase& p = GetParam().pool;
    // c create, l remove the highest live id, f remove the lowest, m one in between,
    // x clear.
    const char* orders[] = {"",     "ccc",  "cccl", "cccf",  "ccccmc",  "cclcc",
                            "ccfl", "ccll", "ccx",  "ccxcc", "cccxcfc", "cmcccmlc"};
    for (const std::string order : orders) {
        if ((order.find_first_of("lfm") != std::string::npos && !p.remove) ||
            (order.find('x') != std::string::npos && !p.clear))
            continue;
        SCOPED_TRACE("order \"" + order + "\"");
        engine::ResetEngine();
        std::set<int> live = GetParam().liveAfterClear;
        int made = 0;
        for (char op : order) {
            if (op == 'c') {
                const int id = p.create("k" + std::to_string(made++));
                ASSERT_GE(id, 0);
                live.insert(id);
                continue;
            }
            if (op == 'x') {
                p.clear();
                live = GetParam().liveAfterClear;
                continue;
            }
            if (live.empty()) continue;
            auto target = op == 'f' ? live.begin() : std::prev(live.end());
            if (op == 'm' && live.size() > 2) target = std::next(live.begin());
            ASSERT_TRUE(p.selectId(*target));
            p.remove();
            live.erase(target);
        }

        const int count = p.count();
        EXPECT_EQ(count, live.empty() ? 0 : *live.rbegin() + 1);
        std::set<int> reached;
        for (int id = 0; id < count; ++id)
            if (p.selectId(id)) {
                EXPECT_EQ(p.currentId(), id);
                reached.insert(id);
            } else {
                EXPECT_EQ(p.currentId(), -1) << "id " << id;
            }
        EXPECT_EQ(reached, live);

        if (p.remove) {
            for (int id = 0, n = p.count(); id < n; ++id) {
                p.selectId(id);
                p.remove();
            }
            EXPECT_EQ(p.count(), 0);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(All, EnginePoolIds, ::testing::ValuesIn(IdPools()),
                         [](const ::testing::TestParamInfo<IdPoolCase>& param) {
                             std::string name = param.param.pool.name;
                             std::erase(name, ' ');
                             name[0] = char(std::toupper(name[0]));
                             return name;
                         });

// Loads of missing or damaged files create nothing, leave no current item, and go
// into the record of failed loads with the pool, key, path and reason.
TEST(EnginePoolLoads, AFailedLoadLeavesNoCurrentItemUsesNoIdAndIsRecorded) {
    test::TempFolder folder;
    test::UseAsProgramFolder(folder);
    folder.Write("content/red.bmp", test::SolidBmp(2, 2, 255, 0, 0));
    folder.Write("content/tri.md2", test::TriangleMd2(1));
    folder.Write("content/beep.wav", test::SoundBytes());
    folder.Write("content/box.3ds", test::Box3ds(-1, -1, -1, 1, 1, 1));
    folder.Write("content/junk.bmp", "not a picture");
    folder.Write("content/junk.3ds", "not a model");
    // A whole picture's header that asks for 100000 x 100000 pixels.
    std::string huge = test::SolidBmp(2, 2, 255, 0, 0);
    for (const std::size_t at : {std::size_t(18), std::size_t(22)})
        for (std::size_t i = 0; i < 4; ++i)
            huge[at + i] = char((100000u >> (8 * i)) & 0xff);
    folder.Write("content/huge.bmp", huge);
    // FIFOs with no writer: a reader that opened one would wait for ever.
    for (const char* name : {"fifo.jpg", "fifo.wav", "fifo.3ds"})
        ASSERT_EQ(mkfifo((folder.path() / "content" / name).c_str(), 0600), 0) << name;
    test::Harness h;
    h.ExpectFailedLoad("nothere").ExpectFailedLoad("junk").ExpectFailedLoad("no key");
    h.ExpectFailedLoad("huge").ExpectFailedLoad("fifo");

    EngineTextures textures;
    EngineDraw2D images;
    EngineAnimatedModels models;
    EngineSounds sounds;
    EngineMeshes meshes;
    EngineMeshImporter importer;
    const auto& scene = h.Scene();
    auto buildMesh = [&](const char* file, const char* key) {
        importer.OpenModelFile(Content(file));
        const int id = importer.BuildMesh(key);
        importer.CloseModelFile();
        return id;
    };

    struct Case {
        const char* what;
        std::function<int()> good, failing;
        std::function<int()> currentId;
        engine::FailedLoad recorded;  // path: the file's name only
    };
    const Case cases[] = {
        {"texture",
         [&] { return textures.LoadTexture("t", Content("red.bmp")); },
         [&] { return textures.LoadTexture("u", Content("nothere.bmp")); },
         [&] { return scene.textures.CurrentId(); },
         {"textures", "u", "nothere.bmp", "no such file"}},
        {"damaged texture",
         [&] { return textures.LoadTexture("t2", Content("red.bmp")); },
         [&] { return textures.LoadTexture("u2", Content("junk.bmp")); },
         [&] { return scene.textures.CurrentId(); },
         {"textures", "u2", "junk.bmp", "not a readable picture: not a jpeg, png or bmp picture"}},
        {"texture too large",
         [&] { return textures.LoadTexture("t4", Content("red.bmp")); },
         [&] { return textures.LoadTexture("u4", Content("huge.bmp")); },
         [&] { return scene.textures.CurrentId(); },
         {"textures", "u4", "huge.bmp", "not a readable picture: picture too large"}},
        {"texture without a key",
         [&] { return textures.LoadTexture("t3", Content("red.bmp")); },
         [&] { return textures.LoadTexture("", Content("red.bmp")); },
         [&] { return scene.textures.CurrentId(); },
         {"textures", "", "red.bmp", "no key"}},
        {"image",
         [&] { return images.LoadImage(Content("red.bmp"), "i", 1); },
         [&] { return images.LoadImage(Content("nothere.jpg"), "j", 1); },
         [&] { return images.GetImageId(); },
         {"2D images", "j", "nothere.jpg", "no such file"}},
        {"image from a FIFO",
         [&] { return images.LoadImage(Content("red.bmp"), "i2", 1); },
         [&] { return images.LoadImage(Content("fifo.jpg"), "j2", 1); },
         [&] { return images.GetImageId(); },
         {"2D images", "j2", "fifo.jpg", "not a readable picture: not a regular file"}},
        {"animated model",
         [&] { return models.LoadModel(Content("tri.md2"), "m"); },
         [&] { return models.LoadModel(Content("nothere.md2"), "n"); },
         [&] { return scene.models.CurrentId(); },
         {"animated models", "n", "nothere.md2", "no such file"}},
        {"sound",
         [&] { return sounds.LoadSound("s", Content("beep.wav")); },
         [&] { return sounds.LoadSound("z", Content("nothere.wav")); },
         [&] { return scene.sounds.CurrentId(); },
         {"sounds", "z", "nothere.wav", "no such file"}},
        {"sound from a FIFO",
         [&] { return sounds.LoadSound("s2", Content("beep.wav")); },
         [&] { return sounds.LoadSound("z2", Content("fifo.wav")); },
         [&] { return scene.sounds.CurrentId(); },
         {"sounds", "z2", "fifo.wav", "not a readable sound: not a regular file"}},
        {"mesh",
         [&] { return buildMesh("box.3ds", "box"); },
         [&] { return buildMesh("nothere.3ds", "nobox"); },
         [&] { return meshes.GetCurrentId(); },
         {"meshes", "nobox", "nothere.3ds", "no such file"}},
        {"damaged mesh",
         [&] { return buildMesh("box.3ds", "box2"); },
         [&] { return buildMesh("junk.3ds", "junkbox"); },
         [&] { return meshes.GetCurrentId(); },
         {"meshes", "junkbox", "junk.3ds", "not a readable model: not a 3ds file or damaged"}},
        {"mesh from a FIFO",
         [&] { return buildMesh("box.3ds", "box3"); },
         [&] { return buildMesh("fifo.3ds", "fifobox"); },
         [&] { return meshes.GetCurrentId(); },
         {"meshes", "fifobox", "fifo.3ds", "not a readable model: not a regular file"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::size_t before = engine::FailedLoads().size();
        const int id = c.good();
        EXPECT_GE(id, 0);
        EXPECT_EQ(c.currentId(), id);
        EXPECT_EQ(engine::FailedLoads().size(), before) << "a good load was recorded";
        EXPECT_EQ(c.failing(), -1);
        EXPECT_EQ(c.currentId(), -1);
        EXPECT_EQ(c.good(), id + 1) << "the failure used up an id";

        ASSERT_EQ(engine::FailedLoads().size(), before + 1);
        const engine::FailedLoad& got = engine::FailedLoads().back();
        EXPECT_EQ(got.pool, c.recorded.pool);
        EXPECT_EQ(got.name, c.recorded.name);
        EXPECT_EQ(got.path, Content(c.recorded.path)) << "the path as the game gave it";
        EXPECT_EQ(got.reason, c.recorded.reason);
    }
    EXPECT_TRUE(h.UnexpectedFailedLoads().empty());
}

// The debug log: one line per failed load, appended to the file the variable names
// or written to stderr; nothing without the variable.
TEST(EnginePoolLoads, TheLogGetsALinePerFailedLoadWhenAsked) {
    test::TempFolder folder;
    test::UseAsProgramFolder(folder);
    const std::string logFile = (folder.path() / "loads.log").string();
    folder.Write("loads.log", "earlier line\n");
    const std::string line = "failed load: textures \"u\" " + Content("nothere.bmp") + ": no such file\n";
    const struct {
        const char* target;  // nullptr: the variable is not set
        std::string inFile, onStderr;
    } cases[] = {
        {nullptr, "earlier line\n", ""},
        {"", "earlier line\n", ""},
        {"stderr", "earlier line\n", line},
        {logFile.c_str(), "earlier line\n" + line, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target ? c.target : "(not set)");
        folder.Write("loads.log", "earlier line\n");
        if (c.target)
            setenv("QUORVEL_LOAD_LOG", c.target, 1);
        else
            unsetenv("QUORVEL_LOAD_LOG");
        test::Harness h;
        h.ExpectFailedLoad("nothere");
        ::testing::internal::CaptureStderr();
        EngineTextures().LoadTexture("u", Content("nothere.bmp"));
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(err, c.onStderr);
        EXPECT_EQ(folder.Read("loads.log"), c.inFile);
    }
    unsetenv("QUORVEL_LOAD_LOG");
}

// A picture its reader recovered (a JPEG whose data ends early, as viewers show it)
// is loaded, is no failed load, and the log notes what was recovered.
TEST(EnginePoolLoads, APictureReadDespiteDamageLoadsAndTheLogNotesIt) {
    test::TempFolder folder;
    test::UseAsProgramFolder(folder);
    std::ifstream in(std::string(QUORVEL_SOURCE_DIR) + "/fuzz/corpus/picture/cjpeg-baseline-cut.jpg",
                     std::ios::binary);
    folder.Write("content/cut.jpg", {std::istreambuf_iterator<char>(in), {}});
    const std::string logFile = (folder.path() / "loads.log").string();
    setenv("QUORVEL_LOAD_LOG", logFile.c_str(), 1);
    test::Harness h;
    EXPECT_GE(EngineTextures().LoadTexture("t", Content("cut.jpg")), 0);
    EXPECT_GE(EngineDraw2D().LoadImage(Content("cut.jpg"), "i"), 0);
    unsetenv("QUORVEL_LOAD_LOG");
    EXPECT_TRUE(engine::FailedLoads().empty());
    const std::string recovered =
        Content("cut.jpg") + ": recovered damaged jpeg: Premature end of JPEG file (2 warnings)";
    EXPECT_EQ(folder.Read("loads.log"), "load warning: textures \"t\" " + recovered + "\n" +
                                            "load warning: 2D images \"i\" " + recovered + "\n");
}

TEST(EngineCameraPool, TheMainCameraIsIdZeroUnderTwoNamesAndOthersAreMadeBySelecting) {
    test::Harness h;
    EngineCameras cams;
    EXPECT_TRUE(cams.SelectCamera("main"));
    cams.SetCameraPosition(1, 2, 3);
    EXPECT_TRUE(cams.SelectCamera("camera"));
    EXPECT_EQ(cams.GetCameraPosition().y, 2);
    EXPECT_TRUE(cams.SelectCameraById(0));
    EXPECT_EQ(cams.GetCameraPosition().z, 3);

    // An unknown name makes a camera; selecting it again finds the same one.
    EXPECT_TRUE(cams.SelectCamera("miniCam"));
    cams.SetCameraPosition(0, 0, -1);
    EXPECT_TRUE(cams.SelectCameraById(1));
    EXPECT_EQ(cams.GetCameraPosition().z, -1);
    cams.SelectCamera("miniCam");
    EXPECT_EQ(h.Scene().cameras.Size(), 2);

    // A failed select (and the pool's reset call) leaves no camera current.
    EXPECT_FALSE(cams.SelectCameraById(7));
    cams.SetCameraPosition(9, 9, 9);
    EXPECT_EQ(cams.GetCameraPosition().x, 0);
    cams.SelectCamera("main");
    cams.ResetCameras();
    cams.SetCameraPosition(9, 9, 9);
    cams.SelectCamera("main");
    EXPECT_EQ(cams.GetCameraPosition().x, 1);

    // Clearing keeps a fresh main camera and numbers new cameras from 1 again, so the
    // game's fixed ids (0 main, 1 rear view) hold after every clear.
    cams.ClearCameras();
    EXPECT_EQ(h.Scene().cameras.CurrentId(), -1);
    cams.SelectCamera("main");
    EXPECT_EQ(cams.GetCameraPosition().x, 0);
    cams.SelectCamera("miniCam");
    EXPECT_EQ(h.Scene().cameras.CurrentId(), 1);
}

TEST(EngineLightPool, ALightCreatedAgainReplacesTheOldOne) {
    test::Harness h;
    EngineLights lights;
    lights.CreateLight("bigsun", 200000, 3, 0.1f, 25, 18);
    lights.SetLightColour(255, 0, 0, 255);
    const int second = lights.CreateLight("bigsun", 200000, 3, 0.1f, 25, 18);
    EXPECT_EQ(h.Scene().lights.Size(), 1);
    EXPECT_EQ(h.Scene().lights.CurrentId(), second);
    EXPECT_EQ(lights.CreateLight("bad", 1, 7, 0, 0, 0), -1) << "light types are 1 to 3";
    EXPECT_EQ(h.Scene().lights.CurrentId(), -1);
}

}  // namespace
}  // namespace quorvel
