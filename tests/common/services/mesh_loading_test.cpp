#include "common/mesh_loading.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "platform/system/paths.h"

namespace quorvel {
namespace {

// Records the calls LoadMesh makes, as text.
struct Recorder {
    std::vector<std::string> calls;
    int openResult = 0;

    static std::string V(const Vector& v) {
        std::ostringstream s;
        s << v.x << "," << v.y << "," << v.z;
        return s.str();
    }
    void Log(const std::string& call) { calls.push_back(call); }

    int OpenModelFile(const std::string& path) {
        Log("Open " + path);
        return openResult;
    }
    int BuildMesh(const std::string& key, int a, int b, int c, int d, int e) {
        std::ostringstream s;
        s << "Build " << key << " " << a << b << c << d << e;
        Log(s.str());
        return 0;
    }
    void CloseModelFile() { Log("Close"); }
    void SetMeshMode(int mode) { Log("Mode " + std::to_string(mode)); }
    void SetMeshFlags(int flags) { Log("Flags " + std::to_string(flags)); }
    void SetTexture(int stage, const std::string& key) {
        Log("Texture " + std::to_string(stage) + " " + key);
    }
    void SetMaterial(const std::string& key) { Log("Material " + key); }
    void SetScale(const Vector& v) { Log("Scale " + V(v)); }
    void SetMeshVector(const Vector& v) { Log("Vector " + V(v)); }
    void SetPosition(const Vector& v) { Log("Position " + V(v)); }
    void SetRotation(const Vector& v) { Log("Rotation " + V(v)); }
    void SetMeshMotion(const Vector& axis, float rate, int space, int a, int b, int c) {
        std::ostringstream s;
        s << "Motion " << V(axis) << " " << rate << " " << space << a << b << c;
        Log(s.str());
    }
};

class LoadMeshTest : public ::testing::Test {
  protected:
    void SetUp() override { sys::SetProgramFolder("/game"); }
    Recorder rec;
};

TEST_F(LoadMeshTest, PlanetWithDefaultExtrasRunsTheFullSequence) {
    LoadMeshWith(rec, rec, "blueplanet", "blueplanet", "SameName", "matmax", 1000, -500, -30000, 7000, 0, 0,
                 0, false, false, 0, 0, 0, 0, false, true, false);
    const std::vector<std::string> expected = {
        "Open /game\\mesh\\blueplanet.3ds",
        "Build blueplanet -1000-1",
        "Mode 1",
        "Texture 0 blueplanet",
        "Material matmax",
        "Scale 7000,7000,7000",
        "Position 1000,-500,-30000",
        "Rotation 0,0,0",
        "Motion 0,0,0 0 1222",
        "Close",
    };
    EXPECT_EQ(rec.calls, expected);
}

TEST_F(LoadMeshTest, EverySwitchOnPutsItsCallInPlace) {
    LoadMeshWith(rec, rec, "rock", "ast1txt", "asteroid1", "fade100", 1, 2, 3, 2, 10, 20, 30, true, true, 1,
                 0, 1, 0.25f, true, false, true);
    const std::vector<std::string> expected = {
        "Open /game\\mesh\\asteroid1.3ds",
        "Build rock -1000-1",
        "Mode 2",
        "Flags 1",
        "Flags 7",
        "Flags 4",
        "Texture 0 ast1txt",
        "Material fade100",
        "Scale 2,2,2",
        "Vector 0,0,0",
        "Position 1,2,3",
        "Rotation 10,20,30",
        "Motion 1,0,1 0.25 1222",
        "Close",
    };
    EXPECT_EQ(rec.calls, expected);
}

TEST_F(LoadMeshTest, FileThatCannotBeOpenedCreatesNothing) {
    rec.openResult = -1;
    LoadMeshWith(rec, rec, "gone", "t", "missing", "m", 0, 0, 0, 1, 0, 0, 0, false, false, 0, 0, 0, 0, false,
                 true, false);
    EXPECT_EQ(rec.calls, std::vector<std::string>{"Open /game\\mesh\\missing.3ds"});
}

TEST_F(LoadMeshTest, OnlyTheExactSameNameMeansTheKey) {
    LoadMeshWith(rec, rec, "planet", "t", "samename", "m", 0, 0, 0, 1, 0, 0, 0, false, false, 0, 0, 0, 0,
                 false, true, false);
    EXPECT_EQ(rec.calls.front(), "Open /game\\mesh\\samename.3ds");
}

}  // namespace
}  // namespace quorvel
