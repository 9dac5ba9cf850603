#include "log/text_pool.h"

namespace qx {

TextPool::TextPool() { Clear(); }

std::uint32_t TextPool::Intern(std::string_view text) {
    if (auto it = index_.find(text); it != index_.end()) return it->second;
    const auto id = static_cast<std::uint32_t>(texts_.size());
    texts_.emplace_back(text);
    index_.emplace(texts_.back(), id);
    return id;
}

std::size_t TextPool::ResidentBytes() const {
    return texts_.size() * (sizeof(std::string) + 2 * sizeof(void*) + sizeof(std::uint32_t) + 16);
}

void TextPool::Clear() {
    index_.clear();
    texts_.clear();
    Intern({});
}

}  // namespace qx
