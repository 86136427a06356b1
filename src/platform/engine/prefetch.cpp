#include "platform/engine/prefetch.h"

#include <strings.h>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>
#include <variant>

#include "platform/engine/import_3ds.h"
#include "platform/system/paths.h"

namespace quorvel::engine {
namespace {

enum class Kind { Picture, Model };

struct Entry {
    Kind kind = Kind::Picture;
    bool running = false;
    bool done = false;
    std::variant<std::monostate, ImageData, MeshData> contents;  // empty when the read failed
};

class Prefetcher {
  public:
    ~Prefetcher() { Drop(); }

    void Add(const std::vector<std::string>& paths) {
        std::lock_guard lock(mutex_);
        for (const std::string& path : paths) {
            const std::optional<Kind> kind = KindOf(path);
            if (!kind) continue;
            const std::string real = sys::ResolvePath(path);
            Entry entry;
            entry.kind = *kind;
            if (!entries_.try_emplace(real, std::move(entry)).second) continue;
            queue_.push_back(real);
        }
        // A few threads: the machine's other cores, but not all of them, and never more
        // than there are files.
        const unsigned cores = std::max(2u, std::thread::hardware_concurrency());
        const std::size_t wanted = std::min<std::size_t>({cores - 1, 4, queue_.size()});
        for (; active_ < wanted; ++active_)
            workers_.emplace_back([this] { Work(); });
    }

    void Finish() {
        std::unique_lock lock(mutex_);
        finished_.wait(lock, [&] { return queue_.empty() && active_ == 0; });
    }

    void Drop() {
        std::vector<std::thread> workers;
        {
            std::lock_guard lock(mutex_);
            queue_.clear();
            workers.swap(workers_);
        }
        for (std::thread& t : workers)
            t.join();
        std::lock_guard lock(mutex_);
        entries_.clear();
    }

    // The entry's contents when it was read (or is being read) ahead, moved out.
    template <class T>
    std::optional<T> Take(const std::string& real) {
        std::unique_lock lock(mutex_);
        auto it = entries_.find(real);
        if (it == entries_.end()) return std::nullopt;
        if (!it->second.running && !it->second.done) {
            // Not begun: the loader reads it now rather than wait its turn.
            std::erase(queue_, real);
            entries_.erase(it);
            return std::nullopt;
        }
        finished_.wait(lock, [&] { return entries_.at(real).done; });
        it = entries_.find(real);
        std::optional<T> contents;
        if (T* held = std::get_if<T>(&it->second.contents)) contents = std::move(*held);
        entries_.erase(it);
        return contents;
    }

  private:
    static std::optional<Kind> KindOf(const std::string& path) {
        const std::size_t dot = path.find_last_of('.');
        if (dot == std::string::npos) return std::nullopt;
        const char* ext = path.c_str() + dot;
        for (const char* picture : {".jpg", ".jpeg", ".png", ".bmp"})
            if (strcasecmp(ext, picture) == 0) return Kind::Picture;
        if (strcasecmp(ext, ".3ds") == 0) return Kind::Model;
        return std::nullopt;
    }

    void Work() {
        std::unique_lock lock(mutex_);
        while (!queue_.empty()) {
            const std::string real = queue_.front();
            queue_.pop_front();
            Entry& entry = entries_.at(real);  // entries stay put while one is running
            entry.running = true;
            const Kind kind = entry.kind;
            lock.unlock();
            std::variant<std::monostate, ImageData, MeshData> contents;
            if (kind == Kind::Picture) {
                if (auto image = LoadImageFile(real)) contents = std::move(*image);
            } else if (auto model = Load3ds(real)) {
                contents = std::move(*model);
            }
            lock.lock();
            Entry& finished = entries_.at(real);
            finished.contents = std::move(contents);
            finished.running = false;
            finished.done = true;
            finished_.notify_all();
        }
        --active_;
        finished_.notify_all();
    }

    std::mutex mutex_;
    std::condition_variable finished_;
    std::map<std::string, Entry> entries_;
    std::deque<std::string> queue_;
    std::vector<std::thread> workers_;  // joined by Drop
    std::size_t active_ = 0;            // of them still at work
};

Prefetcher& Files() {
    static Prefetcher files;
    return files;
}

}  // namespace

void PrefetchFiles(const std::vector<std::string>& paths) {
    Files().Add(paths);
}

void FinishPrefetching() {
    Files().Finish();
}

void DropPrefetched() {
    Files().Drop();
}

std::optional<ImageData> TakePrefetchedPicture(const std::string& realPath) {
    return Files().Take<ImageData>(realPath);
}

std::optional<MeshData> TakePrefetchedModel(const std::string& realPath) {
    return Files().Take<MeshData>(realPath);
}

}  // namespace quorvel::engine
