#pragma once
// One pool of engine items: string keys, int ids and the current item.
//
// Ids start at 0 and count up in creation order for the whole run; a removed or
// cleared item's id is never handed out again. Items are kept in id order, which is
// also their creation order (2D images are drawn in it). Count() is 1 + the highest
// live id (0 when empty), so a loop over the ids 0 .. Count() - 1 reaches every live
// item; the removed ids in between select nothing.
//
// A key may be created again while an older item still holds it: the key then
// names the newest item, and the older one stays in the pool under its id until it
// is removed or cleared (so loops over ids still reach it). Removing the newest
// hands the key back to the next older one.
//
// Any failed create or select leaves the pool with no current item.

#include <algorithm>
#include <string>
#include <unordered_map>
#include <vector>

namespace quorvel::engine {

template <class Item>
class Pool {
  public:
    // Adds an item under the key and makes it current. Item must have `int id` and
    // `std::string key`.
    Item& Create(const std::string& key) {
        Item item{};
        item.id = nextId_++;
        item.key = key;
        items_.push_back(std::move(item));
        byKey_[key].push_back(items_.back().id);
        current_ = items_.back().id;
        return items_.back();
    }

    // Marks a failed create or load.
    void Fail() { current_ = -1; }

    bool Select(const std::string& key) {
        current_ = IdOf(key);
        return current_ >= 0;
    }
    bool SelectId(int id) {
        current_ = Find(id) ? id : -1;
        return current_ >= 0;
    }

    // The newest live item under the key, or -1.
    int IdOf(const std::string& key) const {
        auto it = byKey_.find(key);
        return it == byKey_.end() || it->second.empty() ? -1 : it->second.back();
    }

    Item* Find(int id) {
        if (items_.empty() || id < items_.front().id) return nullptr;
        // Until something is removed, an item's place is its id less the first one's:
        // the hit tests and setters of a frame look items up many thousand times.
        const std::size_t guess = std::size_t(id - items_.front().id);
        if (guess < items_.size() && items_[guess].id == id) return &items_[guess];
        auto it =
            std::lower_bound(items_.begin(), items_.end(), id, [](const Item& a, int b) { return a.id < b; });
        return it != items_.end() && it->id == id ? &*it : nullptr;
    }
    const Item* Find(int id) const { return const_cast<Pool*>(this)->Find(id); }
    Item* Find(const std::string& key) { return Find(IdOf(key)); }
    const Item* Find(const std::string& key) const { return Find(IdOf(key)); }

    Item* Current() { return current_ < 0 ? nullptr : Find(current_); }
    const Item* Current() const { return current_ < 0 ? nullptr : Find(current_); }
    int CurrentId() const { return Current() ? current_ : -1; }

    // Removes the current item; afterwards there is no current item.
    void RemoveCurrent() { Remove(current_); }
    void Remove(int id) {
        auto it =
            std::lower_bound(items_.begin(), items_.end(), id, [](const Item& a, int b) { return a.id < b; });
        if (it != items_.end() && it->id == id) {
            auto k = byKey_.find(it->key);
            if (k != byKey_.end()) {
                std::erase(k->second, id);
                if (k->second.empty()) byKey_.erase(k);
            }
            items_.erase(it);
        }
        if (current_ == id) current_ = -1;
    }
    void Clear() {
        items_.clear();
        byKey_.clear();
        current_ = -1;
    }
    // Clears and starts the numbering again at 0 (only the camera pool does this: the
    // game addresses its cameras by the fixed ids 0 and 1).
    void ClearAndRenumber() {
        Clear();
        nextId_ = 0;
    }

    // What Get...Count gives: 1 + the highest id of a live item, 0 for an empty pool.
    int Count() const { return items_.empty() ? 0 : items_.back().id + 1; }
    // How many items are live.
    int Size() const { return int(items_.size()); }
    // The id the next create will get (ids already handed out are below it).
    int NextId() const { return nextId_; }

    // Live items in id order.
    const std::vector<Item>& Items() const { return items_; }
    std::vector<Item>& Items() { return items_; }

  private:
    std::vector<Item> items_;
    std::unordered_map<std::string, std::vector<int>> byKey_;
    int nextId_ = 0;
    int current_ = -1;
};

}  // namespace quorvel::engine
