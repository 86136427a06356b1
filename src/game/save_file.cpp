#include "game/save_file.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <utility>

#include "platform/system/paths.h"
#include "platform/system/safe_file.h"

namespace quorvel {
namespace {

constexpr std::size_t RecordSize = 128;
// Eight whole records and the 2-byte field of the ninth.
constexpr std::size_t SaveFileSize = 8 * RecordSize + 2;

constexpr std::size_t LevelRecord = 1;
constexpr std::size_t MoneyRecord = 8;
constexpr std::size_t CapacityRecord = 9;
// The flags' records, in the file's order.
constexpr std::pair<std::size_t, bool SaveGameValues::*> FlagRecords[] = {
    {2, &SaveGameValues::ownsIon},      {3, &SaveGameValues::ownsMion},  {4, &SaveGameValues::ownsEplas},
    {5, &SaveGameValues::ownsDisperse}, {6, &SaveGameValues::ownsGamma}, {7, &SaveGameValues::ownsGravBeam},
};
constexpr int True16 = -1;

std::size_t FieldAt(std::size_t record) {
    return (record - 1) * RecordSize;
}

int Int16At(const std::string& bytes, std::size_t record) {
    const std::size_t at = FieldAt(record);
    const auto low = static_cast<unsigned char>(bytes[at]);
    const auto high = static_cast<unsigned char>(bytes[at + 1]);
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(low | high << 8));
}

double DoubleAt(const std::string& bytes, std::size_t record) {
    const std::size_t at = FieldAt(record);
    std::uint64_t bits = 0;
    for (std::size_t i = 8; i-- > 0;)
        bits = bits << 8 | static_cast<unsigned char>(bytes[at + i]);
    return std::bit_cast<double>(bits);
}

void PutInt16(std::string& bytes, std::size_t record, int value) {
    const auto bits = static_cast<std::uint16_t>(value);
    bytes[FieldAt(record)] = static_cast<char>(bits & 0xff);
    bytes[FieldAt(record) + 1] = static_cast<char>(bits >> 8);
}

void PutDouble(std::string& bytes, std::size_t record, double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    for (std::size_t i = 0; i < 8; ++i)
        bytes[FieldAt(record) + i] = static_cast<char>(bits >> (8 * i) & 0xff);
}

SaveSlotContents Damaged() {
    return {SaveSlotState::Damaged, {}};
}

}  // namespace

std::string SaveSlotPath(int slot) {
    return sys::ProgramFolder() + "\\VeltorSave" + std::to_string(slot) + ".vlx";
}

SaveSlotContents ReadSaveSlot(int slot) {
    const std::string path = sys::ResolvePath(SaveSlotPath(slot));
    std::error_code ec;
    const auto type = std::filesystem::status(path, ec).type();
    if (type == std::filesystem::file_type::not_found) return {};
    if (type != std::filesystem::file_type::regular) return Damaged();

    std::ifstream in(path, std::ios::binary);
    if (!in) return Damaged();
    std::string bytes(SaveFileSize, '\0');
    in.read(bytes.data(), std::streamsize(bytes.size()));
    const auto got = std::size_t(in.gcount());
    if (in.bad()) return Damaged();
    if (got == 0) return {};  // created but never saved into
    if (got < SaveFileSize) return Damaged();

    SaveSlotContents contents{SaveSlotState::Good, {}};
    SaveGameValues& v = contents.values;
    v.level = Int16At(bytes, LevelRecord);
    if (v.level < 1 || v.level > 50) return Damaged();
    for (const auto& [record, flag] : FlagRecords)
        v.*flag = Int16At(bytes, record) != 0;
    v.money = DoubleAt(bytes, MoneyRecord);
    if (!std::isfinite(v.money)) v.money = 0;
    v.capacityLevel = std::clamp(Int16At(bytes, CapacityRecord), 1, 4);
    return contents;
}

bool WriteSaveSlot(int slot, const SaveGameValues& values) {
    std::string bytes(SaveFileSize, '\0');
    PutInt16(bytes, LevelRecord, values.level);
    for (const auto& [record, flag] : FlagRecords)
        PutInt16(bytes, record, values.*flag ? True16 : 0);
    PutDouble(bytes, MoneyRecord, values.money);
    PutInt16(bytes, CapacityRecord, values.capacityLevel);

    const std::string path = sys::ResolvePath(SaveSlotPath(slot));
    if (!sys::ReplaceFile(path, bytes)) return false;
    // Saves killed between their write and their rename, by this version or an older one.
    sys::RemoveReplaceLeftovers(path);
    return true;
}

}  // namespace quorvel
