#include "files/data_files.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "files/text_data_file.h"
#include "files/xml_data_packet.h"

namespace qx {

const std::vector<std::string> kDefaultHeaderTitles = {"Measurement No.", "Time",  "Value", "Unit",
                                                       "Function",        "Remark"};

namespace {

const std::string kLoadFailed = "Failed to Load File!";

FileOutcome Saved(const std::string& path) {
    return {true, FileMessageKind::Plain, "Save table to specified file: " + path + " Scuss!"};
}

FileOutcome LoadFailed() {
    return {false, FileMessageKind::LoadError, kLoadFailed};
}

// Writes through a temporary file beside the target; the target is replaced only by a
// successful commit. Returns an empty text on success, else the reason.
template <class Write>
std::string WriteAtomically(const std::string& path, Write&& write) {
    const QString name = QFile::decodeName(QByteArray::fromStdString(path));
    // A device, pipe or socket (or a link to one) is no data file. The temporary file would be
    // renamed over its node wherever the folder is writable, as /dev is for root: the device
    // replaced by a file, and the save told as a success. Folders fail in QSaveFile itself.
    if (const QFileInfo target(name); target.exists() && !target.isFile() && !target.isDir())
        return "Cannot create file \"" + path + "\". Not a regular file.";
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly))
        return "Cannot create file \"" + path + "\". " +
               file.errorString().toLocal8Bit().toStdString();
    const ChunkSink sink = [&file](std::string_view chunk) {
        return file.write(chunk.data(), static_cast<qint64>(chunk.size())) ==
               static_cast<qint64>(chunk.size());
    };
    if (!write(sink) || !file.commit()) {
        std::string reason = file.errorString().toLocal8Bit().toStdString();
        file.cancelWriting();
        return "Cannot write file \"" + path + "\". " + reason;
    }
    return {};
}

// Reads the file in chunks into the reader's buffer: no copy of the whole file, and no mapping,
// which would crash the program on a file that shrinks or vanishes under it.
ChunkSource FileSource(QFile& file) {
    return [&file](char* to, std::size_t max) -> std::int64_t {
        return file.read(to, static_cast<qint64>(max));
    };
}

}  // namespace

bool IsXmlDataFile(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return false;
    const std::string_view ext = name.substr(dot);
    if (ext.size() != 4) return false;
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return lower(ext[1]) == 'x' && lower(ext[2]) == 'm' && lower(ext[3]) == 'l';
}

FileOutcome SaveTableToFile(const MeasurementTable& table, const std::string& path,
                            const std::vector<std::string>& headerTitles,
                            const TimeFormat& timeFormat) {
    if (IsXmlDataFile(path)) {
        const std::string error = WriteAtomically(
            path, [&](const ChunkSink& sink) { return WriteXmlDataPacket(table, sink); });
        if (!error.empty()) return {false, FileMessageKind::ErrorText, error};
        return Saved(path);
    }
    const std::string error = WriteAtomically(path, [&](const ChunkSink& sink) {
        return WriteTextDataFile(table, headerTitles, timeFormat, sink);
    });
    if (!error.empty())
        return {false, FileMessageKind::Plain, "Could not save table to specified file: " + path};
    return Saved(path);
}

FileOutcome LoadTableFromFile(const std::string& path, MeasurementTable& table, bool emptyFirst,
                              const TimeFormat& timeFormat) {
    if (emptyFirst) table.Clear();
    QFile file(QFile::decodeName(QByteArray::fromStdString(path)));
    if (!file.open(QIODevice::ReadOnly)) return LoadFailed();
    const ChunkSource source = FileSource(file);
    if (IsXmlDataFile(path)) {
        // Read aside and swap: a packet that cannot be read leaves the table as it was.
        MeasurementTable loaded;
        if (!ReadXmlDataPacket(source, loaded)) return LoadFailed();
        table.SwapRows(loaded);
        return {};
    }
    if (!ReadTextDataFile(source, table, timeFormat)) return LoadFailed();
    return {};
}

void SplitText(std::string_view text, char separator, std::vector<std::string>& list) {
    list.clear();
    for (;;) {
        const std::size_t at = text.find(separator);
        if (at == std::string_view::npos) break;
        list.emplace_back(text.substr(0, at));
        text.remove_prefix(at + 1);
    }
    list.emplace_back(text);
}

}  // namespace qx
