#pragma once
// The measurement table: rows in append order with six fields, sized for ten million rows.
// Plain data; views learn of changes through the observer interface.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "log/text_pool.h"

namespace qx {

/// One row as callers see it. A missing `No` or `Time` is std::nullopt; an empty text is "".
struct TableRow {
    std::optional<std::int32_t> No;
    std::optional<std::int32_t> TimeMs;  // milliseconds since midnight, 0 .. 86'399'999
    std::string Value;
    std::string Unit;
    std::string V_Range;  // the function text, titled "Function"
    std::string I_Range;  // the mode text, titled "Remark"
    bool operator==(const TableRow&) const = default;
};

class MeasurementTable {
public:
    static constexpr std::size_t kTextWidth = 20;

    /// Told about every change, on the thread that made it. Observers must outlive their
    /// registration. Inside a bulk section (BeginBulk) nothing is told until it ends.
    class Observer {
    public:
        virtual ~Observer() = default;
        virtual void RowsAppended(std::size_t first, std::size_t count) = 0;
        /// Rows removed or replaced wholesale.
        virtual void RowsReset() = 0;
    };

    MeasurementTable();
    ~MeasurementTable();
    MeasurementTable(const MeasurementTable&) = delete;
    MeasurementTable& operator=(const MeasurementTable&) = delete;

    std::size_t RowCount() const { return count_; }
    bool Empty() const { return count_ == 0; }

    /// Appends in amortised O(1) without moving earlier rows; texts are cut to 20 bytes.
    void Append(const TableRow& row);
    /// Removes every row at once.
    void Clear();
    /// Exchanges the rows of two tables (observers stay where they are; both are told).
    void SwapRows(MeasurementTable& other);

    TableRow Row(std::size_t i) const;
    std::optional<std::int32_t> No(std::size_t i) const;
    std::optional<std::int32_t> TimeMs(std::size_t i) const;
    std::string_view Value(std::size_t i) const;
    std::string_view Unit(std::size_t i) const;
    std::string_view V_Range(std::size_t i) const;
    std::string_view I_Range(std::size_t i) const;

    /// Suspends the observers (the grid) for bulk work: saving, loading, printing. Sections nest;
    /// the outermost EndBulk tells the observers once: RowsReset if rows were removed or replaced
    /// meanwhile, otherwise RowsAppended for all rows added meanwhile, otherwise nothing.
    void BeginBulk();
    void EndBulk();
    bool InBulk() const { return bulkDepth_ > 0; }

    /// BeginBulk for the guard's lifetime, so an error that leaves the work early still resumes
    /// the views.
    class BulkGuard {
    public:
        explicit BulkGuard(MeasurementTable& table) : table_(table) { table_.BeginBulk(); }
        ~BulkGuard() { table_.EndBulk(); }
        BulkGuard(const BulkGuard&) = delete;
        BulkGuard& operator=(const BulkGuard&) = delete;

    private:
        MeasurementTable& table_;
    };

    void AddObserver(Observer* o);
    void RemoveObserver(Observer* o);

    /// Bytes held for the rows themselves (chunks and text pool), for the benchmarks.
    std::size_t ResidentBytes() const;

private:
    struct PackedRow;
    // Chunks grow from 1 Ki rows to 64 Ki rows and then stay: a small table (every load reads
    // into a fresh one) costs little, a large one appends without moving a row.
    static constexpr std::size_t kFirstChunkRows = 1U << 10;
    static constexpr std::size_t kChunkRows = 1U << 16;
    static constexpr std::size_t kGrowingChunks = 6;  // 1 Ki, 2 Ki, ... 32 Ki
    static constexpr std::size_t kGrowingRows = kFirstChunkRows * ((1U << kGrowingChunks) - 1);
    static std::size_t ChunkCapacity(std::size_t chunk);

    const PackedRow& At(std::size_t i) const;
    void NotifyReset();
    std::uint32_t InternLike(std::uint32_t& previous, std::string_view text);

    std::vector<std::unique_ptr<PackedRow[]>> chunks_;
    std::size_t count_ = 0;
    std::size_t capacity_ = 0;
    TextPool pool_;
    // Pool indices of the previous row's texts: consecutive rows nearly always repeat them, and
    // a compare is cheaper than a hash lookup.
    std::uint32_t lastUnit_ = 0, lastFunction_ = 0, lastMode_ = 0;
    std::vector<Observer*> observers_;
    int bulkDepth_ = 0;
    std::size_t bulkFirst_ = 0;  // row count when the outermost bulk section began
    bool bulkReset_ = false;
};

}  // namespace qx
