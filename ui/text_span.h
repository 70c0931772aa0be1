#pragma once
// A run of narrow text held elsewhere: a pointer and a length, not terminated.
// Window-free; it only looks at the bytes and never owns them.
#include <cstddef>
#include <cstring>

namespace ui {

class TextSpan {
  public:
    static const std::size_t npos = static_cast<std::size_t>(-1);

    TextSpan() : data_(0), size_(0) {}
    TextSpan(const char* data, std::size_t size) : data_(data), size_(size) {}
    // A terminated text, without its terminator.
    TextSpan(const char* text) : data_(text), size_(std::strlen(text)) {}
    // Any text that tells its bytes and their number (the tests' strings).
    template <typename Text> TextSpan(const Text& text) : data_(text.data()), size_(text.size()) {}

    const char* data() const { return data_; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    char operator[](std::size_t at) const { return data_[at]; }
    char back() const { return data_[size_ - 1]; }

    // At most count bytes from at; empty from the end on.
    TextSpan substr(std::size_t at, std::size_t count = npos) const {
        if (at > size_) at = size_;
        if (count > size_ - at) count = size_ - at;
        return TextSpan(data_ + at, count);
    }
    void removePrefix(std::size_t count) {
        if (count > size_) count = size_;
        data_ += count;
        size_ -= count;
    }

    // Where c or text first occurs at or after from, or npos.
    std::size_t find(char c, std::size_t from = 0) const {
        for (std::size_t at = from; at < size_; ++at)
            if (data_[at] == c) return at;
        return npos;
    }
    std::size_t find(TextSpan text, std::size_t from = 0) const {
        for (std::size_t at = from; at <= size_ && text.size_ <= size_ - at; ++at)
            if (!text.size_ || std::memcmp(data_ + at, text.data_, text.size_) == 0) return at;
        return npos;
    }
    // Where any of the bytes of set first occurs, or npos.
    std::size_t findFirstOf(TextSpan set) const {
        for (std::size_t at = 0; at < size_; ++at)
            if (set.find(data_[at]) != npos) return at;
        return npos;
    }

  private:
    const char* data_;
    std::size_t size_;
};

inline bool operator==(TextSpan a, TextSpan b) {
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size()) == 0);
}
inline bool operator!=(TextSpan a, TextSpan b) { return !(a == b); }

} // namespace ui
