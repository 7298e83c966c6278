#include "model/group_list.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace mw {

GroupList::Key GroupList::KeyOf(std::string_view name) {
  unsigned char bytes[sizeof(Key)] = {};
  bytes[0] = static_cast<unsigned char>(name.size());
  std::memcpy(bytes + 1, name.data(), std::min(name.size(), kKeyChars));
  Key key;
  std::memcpy(key.data(), bytes, sizeof(Key));
  return key;
}

GroupList::Key GroupList::MarkerKey(std::uint8_t first) {
  unsigned char bytes[sizeof(Key)] = {};
  bytes[0] = first;
  Key key;
  std::memcpy(key.data(), bytes, sizeof(Key));
  return key;
}

GroupList::GroupList(std::initializer_list<std::string_view> names) : GroupList() {
  reserve(names.size());
  for (auto n : names) push_back(n);
}

GroupList::GroupList(const std::vector<std::string>& names) : GroupList() {
  reserve(names.size());
  for (const auto& n : names) push_back(n);
}

GroupList::GroupList(const GroupList& other) : GroupList() { *this = other; }

GroupList::GroupList(GroupList&& other) noexcept : GroupList() { *this = std::move(other); }

GroupList& GroupList::operator=(const GroupList& other) {
  if (this == &other) return *this;
  keys_ = other.keys_;
  size_ = other.size_;
  spill_ = other.spill_ ? std::make_unique<std::vector<std::string>>(*other.spill_) : nullptr;
  return *this;
}

GroupList& GroupList::operator=(GroupList&& other) noexcept {
  if (this == &other) return *this;
  keys_ = other.keys_;
  size_ = other.size_;
  spill_ = std::move(other.spill_);
  other.clear();
  return *this;
}

void GroupList::Spill(std::size_t capacity) {
  auto names = std::make_unique<std::vector<std::string>>();
  names->reserve(std::max(capacity, 2 * kInPlace));
  for (std::size_t i = 0; i < size_; ++i) names->emplace_back((*this)[i]);
  keys_.fill(UnusedKey());
  size_ = 0;
  spill_ = std::move(names);
}

void GroupList::reserve(std::size_t n) {
  if (spill_) {
    spill_->reserve(n);
  } else if (n > kInPlace) {
    Spill(n);
  }
}

void GroupList::push_back(std::string_view name) {
  // name may view this list's own storage, which spilling or growing moves: copy it first.
  if (spill_ || size_ == kInPlace || name.size() > kKeyChars) {
    std::string copy(name);
    if (!spill_) Spill(size_ + 1);
    spill_->push_back(std::move(copy));
  } else {
    keys_[size_++] = KeyOf(name);
  }
}

GroupList::const_iterator GroupList::erase(const_iterator pos) {
  const std::size_t at = pos.index_;
  if (spill_) {
    spill_->erase(spill_->begin() + static_cast<std::ptrdiff_t>(at));
    // Back in place once the names fit again.
    if (spill_->size() <= kInPlace &&
        std::all_of(spill_->begin(), spill_->end(),
                    [](const std::string& n) { return n.size() <= kKeyChars; })) {
      auto names = std::move(spill_);
      for (const auto& n : *names) keys_[size_++] = KeyOf(n);
    }
  } else {
    for (std::size_t i = at; i + 1 < size_; ++i) keys_[i] = keys_[i + 1];
    keys_[--size_] = UnusedKey();
  }
  return {this, at};
}

void GroupList::clear() {
  spill_.reset();
  keys_.fill(UnusedKey());
  size_ = 0;
}

bool operator==(const GroupList& a, const GroupList& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

bool operator==(const GroupList& a, const std::vector<std::string>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

}  // namespace mw
