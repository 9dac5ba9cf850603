#pragma once
// The XML data packet: the in-memory dataset's published persistence format, written and read
// byte for byte without an XML library because its strings are raw single-byte code-page bytes
// (the ohm sign is 0xA6 0xB8 as it stands), which a UTF-8 parser would reject.
//
//   <?xml version="1.0" standalone="yes"?>  <DATAPACKET Version="2.0"><METADATA><FIELDS>
//   <FIELD attrname="No" fieldtype="i4"/><FIELD attrname="Time" fieldtype="time"/>
//   <FIELD attrname="Value" fieldtype="string" WIDTH="20"/> ... </FIELDS><PARAMS/></METADATA>
//   <ROWDATA><ROW No="1" Time="10:23:45000" Value="1.23" .../> ... </ROWDATA></DATAPACKET>
//
// (written on one line). i4 is decimal; time is HH:MM: and five digits, seconds x 1000 +
// milliseconds; an empty value leaves its attribute out.

#include <string_view>

#include "files/chunk_writer.h"
#include "files/input_buffer.h"
#include "log/measurement_table.h"

namespace qx {

/// Writes the whole table as one packet to `sink` in chunks. `< > " & '` become entities; CR,
/// LF, TAB, backslash and the other control bytes become &#NNN;. False when the sink failed.
bool WriteXmlDataPacket(const MeasurementTable& table, const ChunkSink& sink);

/// Appends the packet's rows to `table`. Needs the six fields in FIELDS (No i4, Time time, the
/// texts string; further fields are ignored); skips rows whose RowState has a bit of 0x23 set
/// (original images, deleted, unused); ignores PARAMS attributes (CHANGE_LOG, LCID, ...) and an
/// encoding in the declaration (bytes are taken as they stand). &#NNN; and &#xHH; in a value
/// become that byte. Returns false for anything that is not a complete, well-formed packet (a
/// zero byte ends the input) and for a read error of the source; `table` may then hold some of
/// the rows, so read into a fresh table.
bool ReadXmlDataPacket(const ChunkSource& source, MeasurementTable& table);
bool ReadXmlDataPacket(std::string_view bytes, MeasurementTable& table);

}  // namespace qx
