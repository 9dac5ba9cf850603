#pragma once
// Interns the few distinct texts a column repeats (units, functions, modes) so each row holds
// a 32-bit index instead of the text.

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>

namespace qx {

class TextPool {
public:
    TextPool();
    /// Index of `text`, adding it on first sight. Index 0 is always the empty text.
    std::uint32_t Intern(std::string_view text);
    std::string_view At(std::uint32_t index) const { return texts_[index]; }
    std::size_t Size() const { return texts_.size(); }
    std::size_t ResidentBytes() const;
    void Clear();

private:
    std::deque<std::string> texts_;  // stable addresses: the map keys view into it
    std::unordered_map<std::string_view, std::uint32_t> index_;
};

}  // namespace qx
