// The record of failed loads and its debug log.

#include "platform/engine/failed_loads.h"

#include <filesystem>

#include "platform/engine/engine_state.h"
#include "platform/system/load_log.h"
#include "platform/system/paths.h"

namespace quorvel::engine {
namespace {

void WriteLog(const FailedLoad& load, const char* what = "failed load") {
    sys::AppendToLoadLog(std::string(what) + ": " + Describe(load));
}

// Adds the load to the record; its index there, or -1 when the record is full.
int Record(FailedLoad load, const std::string& kind, bool keyed, const std::string& readerReason) {
    std::error_code error;
    const auto type = std::filesystem::status(sys::ResolvePath(load.path), error).type();
    if (keyed && load.name.empty()) {
        load.reason = "no key";
    } else if (type == std::filesystem::file_type::not_found) {
        load.reason = "no such file";
    } else {
        load.reason = "not a readable " + kind;
        // A FIFO or a folder under the file's name reads as no file at all to the readers.
        const std::string why =
            type != std::filesystem::file_type::regular ? "not a regular file" : readerReason;
        if (!why.empty()) load.reason += ": " + why;
    }
    WriteLog(load);
    std::vector<FailedLoad>& loads = State().failedLoads;
    if (loads.size() >= MaxFailedLoads) return -1;
    loads.push_back(std::move(load));
    return int(loads.size()) - 1;
}

}  // namespace

const std::vector<FailedLoad>& FailedLoads() {
    return State().failedLoads;
}

std::string Describe(const FailedLoad& load) {
    return load.pool + " \"" + load.name + "\" " + load.path + ": " + load.reason;
}

void RecordFailedLoad(const std::string& pool, const std::string& name, const std::string& path,
                      const std::string& kind, const std::string& readerReason) {
    Record({pool, name, path, {}}, kind, true, readerReason);
}

void NoteLoadWarning(const std::string& pool, const std::string& name, const std::string& path,
                     const std::string& warning) {
    WriteLog({pool, name, path, warning}, "load warning");
}

void RecordFailedImport(const std::string& path, const std::string& readerReason) {
    State().importerFailure = Record({"meshes", "", path, {}}, "model", false, readerReason);
}

void NameImporterFailure(const std::string& key) {
    EngineState& s = State();
    if (s.importerFailure >= 0 && s.importerFailure < int(s.failedLoads.size()))
        s.failedLoads[std::size_t(s.importerFailure)].name = key;
    s.importerFailure = -1;
}

}  // namespace quorvel::engine
