#include "platform/engine/prefetch.h"

#include <strings.h>
#include <sys/resource.h>
#include <unistd.h>

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
    bool abandoned = false;  // a load overtook the read: its result goes unused
    std::variant<std::monostate, ImageData, MeshData> contents;  // empty when the read failed
};

class Prefetcher {
  public:
    ~Prefetcher() {
        Drop();
        JoinWorkers();
    }

    void Add(const std::vector<std::string>& paths) {
        std::unique_lock lock(mutex_);
        if (active_ == 0) {
            // The threads of an earlier request have ended; they are joined here.
            lock.unlock();
            JoinWorkers();
            lock.lock();
        }
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

    // Returns at once: a read still running ends with its file, unused.
    void Drop() {
        std::lock_guard lock(mutex_);
        queue_.clear();
        for (auto it = entries_.begin(); it != entries_.end();) {
            it->second.abandoned = true;
            it = it->second.running ? std::next(it) : entries_.erase(it);
        }
    }

    // The entry's contents when it was read (or is being read) ahead, moved out.
    template <class T>
    std::optional<T> Take(const std::string& real) {
        std::unique_lock lock(mutex_);
        auto it = entries_.find(real);
        if (it == entries_.end()) return std::nullopt;
        if (it->second.abandoned) return std::nullopt;
        if (!it->second.done) {
            // Not begun, or begun on a thread that may be slow to get the processor:
            // the loader reads it now rather than wait its turn.
            if (it->second.running)
                it->second.abandoned = true;
            else {
                std::erase(queue_, real);
                entries_.erase(it);
            }
            return std::nullopt;
        }
        std::optional<T> contents;
        if (T* held = std::get_if<T>(&it->second.contents)) contents = std::move(*held);
        entries_.erase(it);
        return contents;
    }

  private:
    void JoinWorkers() {
        std::vector<std::thread> workers;
        {
            std::lock_guard lock(mutex_);
            workers.swap(workers_);
        }
        for (std::thread& t : workers)
            t.join();
    }

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
        // Behind the game's own thread: reading ahead must not slow the frames it
        // shows meanwhile, nor the loads that catch up with it.
        setpriority(PRIO_PROCESS, pid_t(gettid()), 10);
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
            if (finished.abandoned) {
                entries_.erase(real);
                continue;
            }
            finished.contents = std::move(contents);
            finished.running = false;
            finished.done = true;
        }
        --active_;
        finished_.notify_all();
    }

    std::mutex mutex_;
    std::condition_variable finished_;
    std::map<std::string, Entry> entries_;
    std::deque<std::string> queue_;
    std::vector<std::thread> workers_;  // joined once they have all ended
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
