// Growable arrays of the regex engine: CArrayRefT views a run of entries,
// CArrayT owns one. Exercised by every test in tests/regex/.
#pragma once
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

namespace regex {

// A view: pointer and entry count. The entries belong to someone else.
template <class T>
class CArrayRefT {
 public:
  CArrayRefT() = default;
  CArrayRefT(const T* data, int size) : data_(const_cast<T*>(data)), size_(size) {}

  const T* data() const { return data_; }
  int size() const { return size_; }
  bool empty() const { return size_ == 0; }
  const T& operator[](int i) const { return data_[i]; }
  const T* begin() const { return data_; }
  const T* end() const { return data_ + size_; }

 protected:
  T* data_ = nullptr;
  int size_ = 0;
};

// Owns its entries. Appending to a full array doubles the capacity (at least 8
// entries), so pushes are amortised O(1) and a reused array stops allocating
// once it has reached the size a search needs. Entries are plain values.
template <class T>
class CArrayT : public CArrayRefT<T> {
  static_assert(std::is_trivially_copyable_v<T>, "CArrayT holds plain values only");
  using Base = CArrayRefT<T>;

 public:
  CArrayT() = default;
  ~CArrayT() { ::operator delete(Base::data_); }
  CArrayT(const CArrayT&) = delete;
  CArrayT& operator=(const CArrayT&) = delete;
  CArrayT(CArrayT&& other) noexcept { Swap(other); }
  CArrayT& operator=(CArrayT&& other) noexcept {
    Swap(other);
    return *this;
  }

  T* data() { return Base::data_; }
  const T* data() const { return Base::data_; }
  T& operator[](int i) { return Base::data_[i]; }
  const T& operator[](int i) const { return Base::data_[i]; }
  int capacity() const { return capacity_; }

  void Push(T value) {
    if (Base::size_ == capacity_) Grow(Base::size_ + 1);
    Base::data_[Base::size_++] = value;
  }
  // Popping from an empty array yields a value-initialised entry (0).
  T Pop() { return Base::size_ > 0 ? Base::data_[--Base::size_] : T{}; }
  T& Top() { return Base::data_[Base::size_ - 1]; }

  void Clear() { Base::size_ = 0; }
  // Cuts the array back to `size` entries (never grows it).
  void Truncate(int size) {
    if (size < Base::size_) Base::size_ = size < 0 ? 0 : size;
  }
  // Grows the array to `size` entries, filling the new ones with `fill`.
  void Extend(int size, T fill) {
    if (size <= Base::size_) return;
    if (size > capacity_) Grow(size);
    for (int i = Base::size_; i < size; ++i) Base::data_[i] = fill;
    Base::size_ = size;
  }
  void Reserve(int capacity) {
    if (capacity > capacity_) Grow(capacity);
  }
  void Assign(const T* values, int count) {
    Clear();
    Reserve(count);
    if (count > 0) std::memcpy(Base::data_, values, sizeof(T) * count);
    Base::size_ = count;
  }

 private:
  void Grow(int needed) {
    int capacity = capacity_ < 8 ? 8 : capacity_ * 2;
    while (capacity < needed) capacity *= 2;
    T* data = static_cast<T*>(::operator new(sizeof(T) * static_cast<size_t>(capacity)));
    if (Base::size_ > 0) std::memcpy(data, Base::data_, sizeof(T) * Base::size_);
    ::operator delete(Base::data_);
    Base::data_ = data;
    capacity_ = capacity;
  }
  void Swap(CArrayT& other) {
    std::swap(Base::data_, other.Base::data_);
    std::swap(Base::size_, other.Base::size_);
    std::swap(capacity_, other.capacity_);
  }

  int capacity_ = 0;
};

}  // namespace regex
