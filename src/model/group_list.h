#pragma once
// The names of the groups one class belongs to.
//
// Nearly every class is in one to three groups with short names. Such a list lives inside the
// class itself, each name spelled out in a fixed-width key (its length, its bytes, zeros), so a
// GPA refresh walks the classes as one compact sequential stream and tests a class against the
// group mask by comparing whole words, with no branch that depends on the data. That keeps a
// refresh of a 100,000-class book nearly as fast per class as one of 10,000. A longer list, or
// one with a name longer than kKeyChars bytes, moves to a separate block of ordinary strings,
// and back in place when it fits again.
//
// The names read as std::string_view; every change goes through the members below.
#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace mw {

class GroupList {
 public:
  static constexpr std::size_t kInPlace = 3;
  static constexpr std::size_t kKeyChars = 23;
  // A name of up to kKeyChars bytes as a key: byte 0 its length, then its bytes, then zeros.
  // Two such names are equal exactly when their keys are.
  using Key = std::array<std::uint64_t, 3>;
  static Key KeyOf(std::string_view name);  // name no longer than kKeyChars
  // A key whose first byte is `first`, above any length: no name has it.
  static Key MarkerKey(std::uint8_t first);
  static Key UnusedKey() { return MarkerKey(0xFE); }

  class const_iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = std::string_view;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = std::string_view;

    const_iterator() = default;
    std::string_view operator*() const { return (*list_)[index_]; }
    const_iterator& operator++() {
      ++index_;
      return *this;
    }
    const_iterator operator++(int) {
      const_iterator old = *this;
      ++index_;
      return old;
    }
    const_iterator operator+(std::ptrdiff_t n) const {
      return {list_, index_ + static_cast<std::size_t>(n)};
    }
    bool operator==(const const_iterator& o) const { return index_ == o.index_; }

   private:
    friend class GroupList;
    const_iterator(const GroupList* list, std::size_t index) : list_(list), index_(index) {}
    const GroupList* list_ = nullptr;
    std::size_t index_ = 0;
  };
  using iterator = const_iterator;
  using value_type = std::string_view;
  using size_type = std::size_t;

  GroupList() { keys_.fill(UnusedKey()); }
  GroupList(std::initializer_list<std::string_view> names);
  GroupList(const std::vector<std::string>& names);  // NOLINT: a list of names is a group list
  GroupList(const GroupList& other);
  GroupList(GroupList&& other) noexcept;
  GroupList& operator=(const GroupList& other);
  GroupList& operator=(GroupList&& other) noexcept;
  ~GroupList() = default;

  std::size_t size() const { return spill_ ? spill_->size() : size_; }
  bool empty() const { return size() == 0; }
  std::string_view operator[](std::size_t i) const {
    if (spill_) return (*spill_)[i];
    const auto* bytes = reinterpret_cast<const unsigned char*>(keys_[i].data());
    return {reinterpret_cast<const char*>(bytes + 1), bytes[0]};
  }
  const_iterator begin() const { return {this, 0}; }
  const_iterator end() const { return {this, size()}; }

  void push_back(std::string_view name);
  // Removes the name at pos; the names after it move up one place. Returns the position after.
  const_iterator erase(const_iterator pos);
  void clear();
  // Room for n names (a hint).
  void reserve(std::size_t n);

  // True when the names live in place; then InPlaceKeys() holds one key per name, and
  // UnusedKey() in the places past size().
  bool KeysCoverAll() const { return !spill_; }
  const std::array<Key, kInPlace>& InPlaceKeys() const { return keys_; }
  // For a long pass over many classes: asks the processor for the block of names held out of
  // place (step 0) or for the characters of those names (step 1, once the block has arrived).
  // Does nothing for names in place.
  void FetchNames(int step) const {
    if (!spill_) return;
    if (step == 0) {
      __builtin_prefetch(spill_->data());
    } else {
      for (const auto& name : *spill_) __builtin_prefetch(name.data());
    }
  }

  friend bool operator==(const GroupList& a, const GroupList& b);
  friend bool operator==(const GroupList& a, const std::vector<std::string>& b);

 private:
  void Spill(std::size_t capacity);

  std::array<Key, kInPlace> keys_;
  std::unique_ptr<std::vector<std::string>> spill_;  // the names, once they no longer fit
  std::uint8_t size_ = 0;                            // names in place while spill_ is null
};

}  // namespace mw
