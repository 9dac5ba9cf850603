#pragma once
// Buffered input for the file readers: the file comes in chunks into one reused buffer, so a
// load of any size touches little fresh memory and never holds the whole file. A reader looks
// at the unread bytes, consumes what it has used and asks for more when an item runs past the
// end of what is there.

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

namespace qx {

/// Fills up to `max` bytes at `to`; returns how many, 0 at the end, -1 on a read error.
using ChunkSource = std::function<std::int64_t(char* to, std::size_t max)>;

/// A source over bytes already in memory.
ChunkSource MemorySource(std::string_view bytes);

class InputBuffer {
  public:
    static constexpr std::size_t kChunkBytes = std::size_t{1} << 20;
    /// The first read asks for this much and each refill doubles it, up to kChunkBytes: a small
    /// file costs little fresh memory.
    static constexpr std::size_t kFirstChunkBytes = std::size_t{64} << 10;

    /// A zero byte in the input ends it, as if the source ended there.
    explicit InputBuffer(const ChunkSource& source);

    std::string_view Unread() const { return {data_.get() + pos_, filled_ - pos_}; }
    void Consume(std::size_t n) { pos_ += n; }

    /// Keeps the unread bytes and appends more: at least a chunk, and at least as many as are
    /// unread, so an item longer than a chunk costs linear time. Returns true when bytes were
    /// added; false at the end of the input (see error()).
    bool Refill();

    bool AtEndOfInput() const { return ended_; }
    bool error() const { return error_; }

  private:
    const ChunkSource& source_;
    std::unique_ptr<char[]> data_;
    std::size_t capacity_ = 0;
    std::size_t pos_ = 0;
    std::size_t filled_ = 0;
    bool ended_ = false;
    bool error_ = false;
};

}  // namespace qx
