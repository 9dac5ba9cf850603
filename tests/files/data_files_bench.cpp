// Save and load of a million-row table in both layouts, through the files (QSaveFile, fsync
// included) and, for the format work alone, to and from memory.

#include <benchmark/benchmark.h>

#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>

#include "files/data_files.h"
#include "files/text_data_file.h"
#include "files/xml_data_packet.h"

namespace {

constexpr int kRows = 1'000'000;
const qx::TimeFormat k24h("%H:%M:%S");

const qx::MeasurementTable& Table() {
    static const std::unique_ptr<qx::MeasurementTable> table = [] {
        auto t = std::make_unique<qx::MeasurementTable>();
        const char* functions[] = {"DCV  600V", "IR 1000V  2G\xA6\xB8", "IR 500V  1G\xA6\xB8"};
        const char* modes[] = {"Continuous", "Timed", "PI", "COMP:GOOD"};
        qx::TableRow row;
        for (int i = 0; i < kRows; ++i) {
            row.No = i + 1;
            row.TimeMs = (i * 1000) % 86'400'000;
            char value[16];
            std::snprintf(value, sizeof value, "%d.%03d", i % 2000, i % 1000);
            row.Value = value;
            row.Unit = i % 3 == 0 ? "V" : "M\xA6\xB8";
            row.V_Range = functions[i % 3];
            row.I_Range = modes[i % 4];
            t->Append(row);
        }
        return t;
    }();
    return *table;
}

std::string Path(const char* name) {
    static QTemporaryDir dir;
    return dir.filePath(QString::fromLatin1(name)).toStdString();
}

std::string InMemory(bool xml) {
    std::string out;
    const qx::ChunkSink sink = [&out](std::string_view c) {
        out.append(c);
        return true;
    };
    if (xml)
        qx::WriteXmlDataPacket(Table(), sink);
    else
        qx::WriteTextDataFile(Table(), qx::kDefaultHeaderTitles, k24h, sink);
    return out;
}

void Count(benchmark::State& state, std::size_t bytes) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kRows));
    state.counters["file_MB"] = static_cast<double>(bytes) / 1e6;
}

void BM_SaveFile(benchmark::State& state, const char* name) {
    const qx::MeasurementTable& table = Table();
    const std::string path = Path(name);
    for (auto _ : state) {
        const qx::FileOutcome o = qx::SaveTableToFile(table, path, qx::kDefaultHeaderTitles, k24h);
        if (!o.ok) state.SkipWithError(o.message.c_str());
    }
    Count(state, static_cast<std::size_t>(QFileInfo(QString::fromStdString(path)).size()));
}

void BM_LoadFile(benchmark::State& state, const char* name) {
    const std::string path = Path(name);
    qx::SaveTableToFile(Table(), path, qx::kDefaultHeaderTitles, k24h);
    for (auto _ : state) {
        qx::MeasurementTable loaded;
        const qx::FileOutcome o = qx::LoadTableFromFile(path, loaded, false, k24h);
        if (!o.ok || loaded.RowCount() != kRows) state.SkipWithError("load failed");
    }
    Count(state, static_cast<std::size_t>(QFileInfo(QString::fromStdString(path)).size()));
}

void BM_Format(benchmark::State& state, bool xml) {
    Table();
    std::size_t bytes = 0;
    for (auto _ : state) {
        bytes = 0;
        const qx::ChunkSink sink = [&bytes](std::string_view c) {
            bytes += c.size();
            benchmark::DoNotOptimize(c.data());
            return true;
        };
        if (xml)
            qx::WriteXmlDataPacket(Table(), sink);
        else
            qx::WriteTextDataFile(Table(), qx::kDefaultHeaderTitles, k24h, sink);
    }
    Count(state, bytes);
}

void BM_Parse(benchmark::State& state, bool xml) {
    const std::string bytes = InMemory(xml);
    for (auto _ : state) {
        qx::MeasurementTable loaded;
        const bool ok =
            xml ? qx::ReadXmlDataPacket(bytes, loaded) : qx::ReadTextDataFile(bytes, loaded, k24h);
        if (!ok) state.SkipWithError("parse failed");
    }
    Count(state, bytes.size());
}

BENCHMARK_CAPTURE(BM_SaveFile, text, "bench.txt")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_LoadFile, text, "bench.txt")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_SaveFile, xml, "bench.xml")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_LoadFile, xml, "bench.xml")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Format, text, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Parse, text, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Format, xml, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Parse, xml, true)->Unit(benchmark::kMillisecond);

}  // namespace
