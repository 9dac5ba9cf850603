#pragma once
// Buffered output for the file writers: bytes collect in one reserved buffer that is handed to
// the sink whenever it passes a chunk size, so a save of any size holds at most about one chunk
// and makes few large writes.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace qx {

/// Takes the next piece of the file; returns false when it could not be written.
using ChunkSink = std::function<bool(std::string_view chunk)>;

class ChunkWriter {
  public:
    static constexpr std::size_t kChunkBytes = std::size_t{1} << 20;

    explicit ChunkWriter(const ChunkSink& sink) : sink_(sink) { buf_.reserve(kChunkBytes + 4096); }

    std::string& buffer() { return buf_; }

    /// Call between rows: passes the buffer on once it holds a chunk. False once a write failed.
    bool Flush(bool force = false) {
        if (!ok_) return false;
        if (!force && buf_.size() < kChunkBytes) return true;
        if (!buf_.empty() || force) ok_ = sink_(buf_);
        buf_.clear();
        return ok_;
    }

    /// Passes on whatever is left (also an empty rest, so an empty file is still written).
    bool Finish() { return Flush(true); }

  private:
    const ChunkSink& sink_;
    std::string buf_;
    bool ok_ = true;
};

}  // namespace qx
