#include "log/measurement_table.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace qx {

// 44 bytes a row: the value inline (it differs row to row), the other texts interned.
struct MeasurementTable::PackedRow {
    std::int32_t no;
    std::int32_t timeMs;
    std::uint32_t unit;
    std::uint32_t function;
    std::uint32_t mode;
    std::uint8_t flags;  // bit 0: has No, bit 1: has Time
    std::uint8_t valueLength;
    char value[kTextWidth];
};

namespace {
std::string_view Cut(std::string_view s) { return s.substr(0, MeasurementTable::kTextWidth); }
constexpr std::uint8_t kHasNo = 1;
constexpr std::uint8_t kHasTime = 2;
}  // namespace

MeasurementTable::MeasurementTable() = default;
MeasurementTable::~MeasurementTable() = default;

std::size_t MeasurementTable::ChunkCapacity(std::size_t chunk) {
    return chunk < kGrowingChunks ? kFirstChunkRows << chunk : kChunkRows;
}

const MeasurementTable::PackedRow& MeasurementTable::At(std::size_t i) const {
    if (i < kGrowingRows) {
        const auto chunk = static_cast<std::size_t>(std::bit_width(i / kFirstChunkRows + 1) - 1);
        return chunks_[chunk][i - kFirstChunkRows * ((std::size_t{1} << chunk) - 1)];
    }
    const std::size_t j = i - kGrowingRows;
    return chunks_[kGrowingChunks + j / kChunkRows][j % kChunkRows];
}

void MeasurementTable::Append(const TableRow& row) {
    if (count_ == capacity_) {
        const std::size_t rows = ChunkCapacity(chunks_.size());
        chunks_.push_back(std::make_unique_for_overwrite<PackedRow[]>(rows));
        capacity_ += rows;
    }
    PackedRow& p = const_cast<PackedRow&>(At(count_));
    p.flags = static_cast<std::uint8_t>((row.No ? kHasNo : 0) | (row.TimeMs ? kHasTime : 0));
    p.no = row.No.value_or(0);
    p.timeMs = row.TimeMs.value_or(0);
    const std::string_view value = Cut(row.Value);
    p.valueLength = static_cast<std::uint8_t>(value.size());
    std::memcpy(p.value, value.data(), value.size());
    p.unit = InternLike(lastUnit_, Cut(row.Unit));
    p.function = InternLike(lastFunction_, Cut(row.V_Range));
    p.mode = InternLike(lastMode_, Cut(row.I_Range));
    const std::size_t first = count_++;
    if (bulkDepth_ > 0) return;
    for (Observer* o : observers_) o->RowsAppended(first, 1);
}

std::uint32_t MeasurementTable::InternLike(std::uint32_t& previous, std::string_view text) {
    if (pool_.At(previous) != text) previous = pool_.Intern(text);
    return previous;
}

void MeasurementTable::Clear() {
    chunks_.clear();
    count_ = 0;
    capacity_ = 0;
    pool_.Clear();
    lastUnit_ = lastFunction_ = lastMode_ = 0;
    NotifyReset();
}

void MeasurementTable::SwapRows(MeasurementTable& other) {
    std::swap(chunks_, other.chunks_);
    std::swap(count_, other.count_);
    std::swap(capacity_, other.capacity_);
    std::swap(pool_, other.pool_);
    std::swap(lastUnit_, other.lastUnit_);
    std::swap(lastFunction_, other.lastFunction_);
    std::swap(lastMode_, other.lastMode_);
    NotifyReset();
    other.NotifyReset();
}

void MeasurementTable::NotifyReset() {
    if (bulkDepth_ > 0) {
        bulkReset_ = true;
        return;
    }
    for (Observer* o : observers_) o->RowsReset();
}

void MeasurementTable::BeginBulk() {
    if (bulkDepth_++ > 0) return;
    bulkFirst_ = count_;
    bulkReset_ = false;
}

void MeasurementTable::EndBulk() {
    if (bulkDepth_ == 0 || --bulkDepth_ > 0) return;
    if (bulkReset_) {
        bulkReset_ = false;
        for (Observer* o : observers_) o->RowsReset();
    } else if (count_ > bulkFirst_) {
        for (Observer* o : observers_) o->RowsAppended(bulkFirst_, count_ - bulkFirst_);
    }
}

TableRow MeasurementTable::Row(std::size_t i) const {
    return TableRow{No(i), TimeMs(i), std::string(Value(i)), std::string(Unit(i)),
                    std::string(V_Range(i)), std::string(I_Range(i))};
}

std::optional<std::int32_t> MeasurementTable::No(std::size_t i) const {
    const PackedRow& p = At(i);
    return (p.flags & kHasNo) ? std::optional(p.no) : std::nullopt;
}

std::optional<std::int32_t> MeasurementTable::TimeMs(std::size_t i) const {
    const PackedRow& p = At(i);
    return (p.flags & kHasTime) ? std::optional(p.timeMs) : std::nullopt;
}

std::string_view MeasurementTable::Value(std::size_t i) const {
    const PackedRow& p = At(i);
    return {p.value, p.valueLength};
}
std::string_view MeasurementTable::Unit(std::size_t i) const { return pool_.At(At(i).unit); }
std::string_view MeasurementTable::V_Range(std::size_t i) const { return pool_.At(At(i).function); }
std::string_view MeasurementTable::I_Range(std::size_t i) const { return pool_.At(At(i).mode); }

void MeasurementTable::AddObserver(Observer* o) { observers_.push_back(o); }

void MeasurementTable::RemoveObserver(Observer* o) {
    observers_.erase(std::remove(observers_.begin(), observers_.end(), o), observers_.end());
}

std::size_t MeasurementTable::ResidentBytes() const {
    return capacity_ * sizeof(PackedRow) + pool_.ResidentBytes();
}

}  // namespace qx
