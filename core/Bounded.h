#pragma once
// Index-bounded arrays. The numeric code of both programs addresses vectors
// and matrices from explicit lower bounds (mostly 1). Access is checked in
// debug and sanitizer builds, where an index out of bounds stops the program
// with a message instead of corrupting memory.
#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <vector>

#if defined(PELLUCOR_CHECKED_ACCESS) && PELLUCOR_CHECKED_ACCESS
#define PELLUCOR_INDEX_CHECK(i, lo, hi) ::pellucor::detail::CheckIndex((i), (lo), (hi))
#else
#define PELLUCOR_INDEX_CHECK(i, lo, hi) ((void)0)
#endif

namespace pellucor {
namespace detail {
[[noreturn]] inline void IndexFailure(long i, long lo, long hi) {
    std::fprintf(stderr, "index %ld outside [%ld, %ld]\n", i, lo, hi);
    std::abort();
}
inline void CheckIndex(long i, long lo, long hi) {
    if (i < lo || i > hi) IndexFailure(i, lo, hi);
}
}  // namespace detail

// A fixed-size array addressed Lo..Hi.
template <class T, int Lo, int Hi>
class FixedArray {
    static_assert(Hi >= Lo, "empty array");

public:
    static constexpr int lo = Lo;
    static constexpr int hi = Hi;
    static constexpr int size = Hi - Lo + 1;

    T& operator[](int i) {
        PELLUCOR_INDEX_CHECK(i, Lo, Hi);
        return data_[i - Lo];
    }
    const T& operator[](int i) const {
        PELLUCOR_INDEX_CHECK(i, Lo, Hi);
        return data_[i - Lo];
    }
    void fill(const T& v) { std::fill(data_, data_ + size, v); }
    T* begin() { return data_; }
    T* end() { return data_ + size; }
    const T* begin() const { return data_; }
    const T* end() const { return data_ + size; }

private:
    T data_[size]{};
};

// A vector addressed lo..hi, sized at run time.
template <class T>
class Vector {
public:
    Vector() = default;
    Vector(int lo, int hi) : lo_(lo), hi_(hi), data_(hi >= lo ? static_cast<size_t>(hi - lo + 1) : 0) {}

    T& operator[](int i) {
        PELLUCOR_INDEX_CHECK(i, lo_, hi_);
        return data_[static_cast<size_t>(i - lo_)];
    }
    const T& operator[](int i) const {
        PELLUCOR_INDEX_CHECK(i, lo_, hi_);
        return data_[static_cast<size_t>(i - lo_)];
    }
    int lo() const { return lo_; }
    int hi() const { return hi_; }
    bool empty() const { return data_.empty(); }
    void fill(const T& v) { std::fill(data_.begin(), data_.end(), v); }

private:
    int lo_ = 1, hi_ = 0;
    std::vector<T> data_;
};

// A matrix addressed [rlo..rhi][clo..chi]; m[i][j] as with row pointers.
template <class T>
class Matrix {
public:
    class Row {
    public:
        Row(T* p, int clo, int chi) : p_(p), clo_(clo), chi_(chi) {}
        T& operator[](int j) const {
            PELLUCOR_INDEX_CHECK(j, clo_, chi_);
            return p_[j - clo_];
        }

    private:
        T* p_;
        int clo_, chi_;
    };

    Matrix() = default;
    Matrix(int rlo, int rhi, int clo, int chi)
        : rlo_(rlo), rhi_(rhi), clo_(clo), chi_(chi),
          data_(rhi >= rlo && chi >= clo ? static_cast<size_t>(rhi - rlo + 1) * static_cast<size_t>(chi - clo + 1) : 0) {}

    Row operator[](int i) {
        PELLUCOR_INDEX_CHECK(i, rlo_, rhi_);
        return Row(data_.data() + static_cast<size_t>(i - rlo_) * cols(), clo_, chi_);
    }
    const Row operator[](int i) const {
        PELLUCOR_INDEX_CHECK(i, rlo_, rhi_);
        return Row(const_cast<T*>(data_.data()) + static_cast<size_t>(i - rlo_) * cols(), clo_, chi_);
    }
    int rlo() const { return rlo_; }
    int rhi() const { return rhi_; }
    int clo() const { return clo_; }
    int chi() const { return chi_; }
    bool empty() const { return data_.empty(); }
    void fill(const T& v) { std::fill(data_.begin(), data_.end(), v); }

private:
    size_t cols() const { return static_cast<size_t>(chi_ - clo_ + 1); }
    int rlo_ = 1, rhi_ = 0, clo_ = 1, chi_ = 0;
    std::vector<T> data_;
};

}  // namespace pellucor
