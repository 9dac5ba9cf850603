#pragma once
// The tab-separated text data file: a header line of the grid's titles, then one line per row
// with the items No, Time, Value, Unit, V_Range, I_Range; CR LF after every line; bytes as the
// table holds them.

#include <string>
#include <string_view>
#include <vector>

#include "files/chunk_writer.h"
#include "files/input_buffer.h"
#include "log/measurement_table.h"
#include "log/time_format.h"

namespace qx {

/// Writes the whole file to `sink` in chunks. Items are trimmed of codes 0..32 at both ends and
/// an item empty after trimming is written "NULL", except No, which is written as it stands
/// (empty when the row has none). False when the sink failed.
bool WriteTextDataFile(const MeasurementTable& table, const std::vector<std::string>& headerTitles,
                       const TimeFormat& timeFormat, const ChunkSink& sink);

/// Appends the rows of a text data file to `table`. Lines end at CR LF, lone CR or lone LF; a
/// zero byte ends the text; the first line is dropped whatever it holds. Empty No or Time items
/// leave the field empty; the four texts are taken verbatim ("NULL" stays "NULL"), cut to 20
/// bytes. Returns false at the first failure (no line at all, more than six items, a No that is
/// not a 32-bit decimal integer, a Time that `timeFormat` cannot read); rows appended before
/// the failing line stay, the failing line adds none.
/// A read error of the source is a failure too.
bool ReadTextDataFile(const ChunkSource& source, MeasurementTable& table,
                      const TimeFormat& timeFormat);
bool ReadTextDataFile(std::string_view bytes, MeasurementTable& table,
                      const TimeFormat& timeFormat);

}  // namespace qx
