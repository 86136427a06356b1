#include "common/materials.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/engine/engine_state.h"

namespace quorvel {
namespace {

struct Greys {
    float s1, s2, s3, s4;
};

const engine::MaterialItem& Find(const std::string& key) {
    const engine::MaterialItem* m = engine::GetScene().materials.Find(key);
    if (!m) throw std::runtime_error("no material " + key);
    return *m;
}

class LoadMaterialsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        engine::ResetEngine();
        LoadMaterials();
    }
};

TEST_F(LoadMaterialsTest, CreatesTheWholeSetInOrder) {
    const auto& items = engine::GetScene().materials.Items();
    ASSERT_EQ(items.size(), 125u);
    const std::vector<std::string> head = {"mat",      "mat2",     "mat3",      "matdiff", "matalpha",
                                           "matblack", "mat_spot", "mat_earth", "matmax",  "matmax2"};
    for (std::size_t i = 0; i < head.size(); ++i)
        EXPECT_EQ(items[i].key, head[i]);
    for (int i = 1; i <= 100; ++i)
        EXPECT_EQ(items[std::size_t(9 + i)].key, "fade" + std::to_string(i));
    EXPECT_EQ(items[110].key, "QWhite");
    EXPECT_EQ(items.back().key, "mat_light");
}

TEST_F(LoadMaterialsTest, FadeStepsRoundHalvesToEven) {
    struct Case {
        int step;
        Greys greys;
    };
    const Case cases[] = {
        {1, {2, 2, 2, 3}},           {10, {19, 22, 16, 26}},     {30, {58, 66, 49, 76}},
        {50, {96, 110, 82, 128}},    {70, {134, 154, 115, 178}}, {90, {173, 198, 148, 230}},
        {100, {192, 220, 164, 255}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        const auto& m = Find("fade" + std::to_string(c.step));
        EXPECT_EQ(m.slots[0].r, c.greys.s1);
        EXPECT_EQ(m.slots[1].g, c.greys.s2);
        EXPECT_EQ(m.slots[2].b, c.greys.s3);
        EXPECT_EQ(m.slots[3].r, c.greys.s4);
        EXPECT_EQ(m.slots[3].a, 255);
        EXPECT_TRUE(m.slot4Set);
    }
}

TEST_F(LoadMaterialsTest, PartlySetMaterialsKeepTheEngineDefaults) {
    const engine::MaterialItem defaults{};
    const auto& earth = Find("mat_earth");
    EXPECT_EQ(earth.slots[2].r, 50);
    EXPECT_FALSE(earth.slot4Set);
    EXPECT_EQ(earth.slots[3].r, defaults.slots[3].r);

    const auto& light = Find("mat_light");
    EXPECT_EQ(light.slots[0].r, 72);
    EXPECT_EQ(light.slots[0].a, 32);
    EXPECT_EQ(light.slots[1].r, defaults.slots[1].r);
    EXPECT_FALSE(light.slot4Set);

    EXPECT_EQ(Find("matalpha").flag, 0);
    EXPECT_EQ(Find("matmax").flag, 1);
    EXPECT_EQ(Find("asmat2").slots[2].b, 109);
}

}  // namespace
}  // namespace quorvel
