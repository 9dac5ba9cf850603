#include "files/input_buffer.h"

#include <algorithm>
#include <cstring>

namespace qx {

ChunkSource MemorySource(std::string_view bytes) {
    return [bytes](char* to, std::size_t max) mutable -> std::int64_t {
        const std::size_t n = std::min(max, bytes.size());
        std::memcpy(to, bytes.data(), n);
        bytes.remove_prefix(n);
        return static_cast<std::int64_t>(n);
    };
}

InputBuffer::InputBuffer(const ChunkSource& source) : source_(source) {}

bool InputBuffer::Refill() {
    if (ended_) return false;
    const std::size_t unread = filled_ - pos_;
    const std::size_t chunk = std::min(kChunkBytes, std::max(kFirstChunkBytes, capacity_));
    const std::size_t want = std::max(chunk, unread);
    if (unread + want > capacity_ || capacity_ < 2 * chunk) {
        const std::size_t capacity = std::max(unread + want, 2 * chunk);
        auto bigger = std::make_unique_for_overwrite<char[]>(capacity);
        if (unread) std::memcpy(bigger.get(), data_.get() + pos_, unread);
        data_ = std::move(bigger);
        capacity_ = capacity;
    } else if (pos_ > 0 && unread) {
        std::memmove(data_.get(), data_.get() + pos_, unread);
    }
    pos_ = 0;
    filled_ = unread;

    const std::int64_t n = source_(data_.get() + filled_, capacity_ - filled_);
    if (n <= 0) {
        ended_ = true;
        error_ = n < 0;
        return false;
    }
    const char* fresh = data_.get() + filled_;
    if (const void* zero = std::memchr(fresh, 0, static_cast<std::size_t>(n))) {
        ended_ = true;  // the text ends at a zero byte; nothing after it is read
        filled_ += static_cast<std::size_t>(static_cast<const char*>(zero) - fresh);
        return static_cast<const char*>(zero) != fresh;
    }
    filled_ += static_cast<std::size_t>(n);
    return true;
}

}  // namespace qx
