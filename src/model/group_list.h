#pragma once
// The groups of one class. A class is in a few groups, so up to four ids live inside the list
// itself and only a longer list takes a heap block: loading a book of many classes then makes
// one allocation fewer per class. It reads like a std::vector<GroupId>.
#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace mw {

// A group name as a small number: each distinct name a grade book has seen gets one id, for
// the life of that book. Ids of two names are equal exactly when the names are.
using GroupId = std::uint32_t;

class GroupList {
 public:
  using value_type = GroupId;
  using size_type = std::size_t;
  using iterator = GroupId*;
  using const_iterator = const GroupId*;

  GroupList() = default;
  GroupList(std::initializer_list<GroupId> ids) { Assign(ids.begin(), ids.size()); }
  GroupList(const std::vector<GroupId>& ids) { Assign(ids.data(), ids.size()); }
  GroupList(const GroupList& o) { Assign(o.data(), o.size_); }
  GroupList(GroupList&& o) noexcept { Take(o); }
  GroupList& operator=(const GroupList& o) {
    if (this != &o) Assign(o.data(), o.size_);
    return *this;
  }
  GroupList& operator=(GroupList&& o) noexcept {
    if (this != &o) {
      Free();
      Take(o);
    }
    return *this;
  }
  ~GroupList() { Free(); }

  GroupId* data() { return OnHeap() ? heap_ : inline_; }
  const GroupId* data() const { return OnHeap() ? heap_ : inline_; }
  iterator begin() { return data(); }
  iterator end() { return data() + size_; }
  const_iterator begin() const { return data(); }
  const_iterator end() const { return data() + size_; }
  size_type size() const { return size_; }
  bool empty() const { return size_ == 0; }
  GroupId& operator[](size_type i) { return data()[i]; }
  const GroupId& operator[](size_type i) const { return data()[i]; }
  GroupId& back() { return data()[size_ - 1]; }
  const GroupId& back() const { return data()[size_ - 1]; }

  void reserve(size_type n) {
    if (n > capacity_) Grow(n);
  }
  void push_back(GroupId id) {
    if (size_ == capacity_) Grow(capacity_ * 2);
    data()[size_++] = id;
  }
  void pop_back() { --size_; }
  void clear() { size_ = 0; }
  iterator erase(const_iterator pos) { return erase(pos, pos + 1); }
  iterator erase(const_iterator first, const_iterator last) {
    GroupId* from = data() + (first - data());
    const GroupId* stop = end();
    std::copy(last, stop, from);
    size_ -= static_cast<std::uint32_t>(last - first);
    return from;
  }
  // Removes every id equal to id, as std::erase does for a vector; returns how many went.
  friend size_type erase(GroupList& list, GroupId id) {
    const GroupId* kept = std::remove(list.begin(), list.end(), id);
    const size_type gone = static_cast<size_type>(list.end() - kept);
    list.size_ -= static_cast<std::uint32_t>(gone);
    return gone;
  }

  friend bool operator==(const GroupList& a, const GroupList& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
  }

  // The bytes the list keeps outside the class (none while its ids fit inline).
  std::size_t HeapBytes() const { return OnHeap() ? capacity_ * sizeof(GroupId) : 0; }

 private:
  static constexpr std::uint32_t kInline = 4;

  bool OnHeap() const { return capacity_ > kInline; }
  void Free() {
    if (OnHeap()) delete[] heap_;
    capacity_ = kInline;
    size_ = 0;
  }
  void Grow(size_type n) {
    auto* block = new GroupId[n];
    std::copy(begin(), end(), block);
    if (OnHeap()) delete[] heap_;
    heap_ = block;
    capacity_ = static_cast<std::uint32_t>(n);
  }
  void Assign(const GroupId* ids, size_type n) {
    clear();
    reserve(n);
    std::copy(ids, ids + n, data());
    size_ = static_cast<std::uint32_t>(n);
  }
  void Take(GroupList& o) {
    size_ = o.size_;
    capacity_ = o.capacity_;
    if (o.OnHeap()) heap_ = o.heap_;
    else std::copy(o.inline_, o.inline_ + o.size_, inline_);
    o.capacity_ = kInline;
    o.size_ = 0;
  }

  std::uint32_t size_ = 0;
  std::uint32_t capacity_ = kInline;
  union {
    GroupId inline_[kInline];
    GroupId* heap_;
  };
};

}  // namespace mw
