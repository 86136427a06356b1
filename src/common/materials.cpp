#include "common/materials.h"

#include <string>

#include "platform/engine/engine.h"
#include "platform/system/convert.h"

namespace quorvel {
namespace {

Colour Grey(double level) {
    const auto g = static_cast<float>(level);
    return {g, g, g, 255};
}

const Colour White{255, 255, 255, 255};
const Colour Black{0, 0, 0, 255};

// Sets the four slots of the current material.
void SetSlots(EngineMaterials& m, const Colour& s1, const Colour& s2, const Colour& s3, const Colour& s4) {
    m.SetColourSlot1(s1);
    m.SetColourSlot2(s2);
    m.SetColourSlot3(s3);
    m.SetColourSlot4(s4);
}

// The first four keep the old rule of touching the slots only after a good create.
void CreateChecked(EngineMaterials& m, const std::string& key, const Colour& s1, const Colour& s2,
                   const Colour& s3, const Colour& s4) {
    if (m.CreateMaterial(key) > -1) SetSlots(m, s1, s2, s3, s4);
}

void CreateFlat(EngineMaterials& m, const std::string& key, float r, float g, float b) {
    m.CreateMaterialWithColour(key, Colour{r, g, b, 255});
}

}  // namespace

void LoadMaterials() {
    EngineMaterials m;

    CreateChecked(m, "mat", Grey(50), Grey(25), Grey(50), White);
    CreateChecked(m, "mat2", Grey(100), White, Black, White);
    CreateChecked(m, "mat3", Black, White, Black, White);
    CreateChecked(m, "matdiff", Black, White, Grey(200), Grey(200));

    m.CreateMaterialWithColour("matalpha", White);
    m.SetMaterialFlag(0);
    m.CreateMaterialWithColour("matblack", Black);
    m.CreateMaterialWithColour("mat_spot", White);

    // Slot 4 of "mat_earth" stays at the engine's default.
    m.CreateMaterial("mat_earth");
    m.SetColourSlot1(Black);
    m.SetColourSlot2(White);
    m.SetColourSlot3(Grey(50));

    m.CreateMaterialWithColour("matmax", White);
    m.CreateMaterial("matmax2");
    SetSlots(m, Grey(164), Grey(192), Grey(128), White);

    // Grey levels in proportion to the step, halves to even (i * full / 100 is exact
    // at the halves, so the ties fall where they should).
    for (int i = 1; i <= 100; ++i) {
        auto level = [i](int full) { return sys::RoundHalfEven(double(i) * full / 100.0); };
        m.CreateMaterial("fade" + std::to_string(i));
        SetSlots(m, Grey(level(192)), Grey(level(220)), Grey(level(164)), Grey(level(255)));
    }

    CreateFlat(m, "QWhite", 255, 255, 255);
    CreateFlat(m, "QRed", 255, 0, 0);
    CreateFlat(m, "QGreen", 0, 255, 0);
    CreateFlat(m, "QBlue", 0, 0, 255);
    CreateFlat(m, "QYellow", 255, 255, 0);
    CreateFlat(m, "QMagenta", 255, 0, 255);
    CreateFlat(m, "QCyan", 0, 255, 255);
    CreateFlat(m, "QGrey_50", 128, 128, 128);
    CreateFlat(m, "QGrey_75", 192, 192, 192);
    CreateFlat(m, "QGrey_25", 64, 64, 64);

    m.CreateMaterial("ground");
    SetSlots(m, Grey(128), Grey(164), Black, Grey(192));
    m.CreateMaterial("asmat2");
    SetSlots(m, White, White, Colour{255, 0, 109, 255}, White);
    m.CreateMaterial("asmat3");
    SetSlots(m, White, White, Colour{0, 255, 255, 255}, White);
    m.CreateMaterial("asmat4");
    SetSlots(m, Colour{0, 0, 255, 255}, White, White, White);

    m.CreateMaterial("mat_light");
    m.SetColourSlot1(Colour{72, 72, 72, 32});

    m.UpdateMaterials();
}

}  // namespace quorvel
