// The bridge's resource list, from the reply's bytes to the app's lights and rooms, on
// generated homes of about 1 MB and 4 MB. Beside it, in the same run: simdjson's own DOM
// parse of the same bytes, that parse plus a walk over every field the app reads, and,
// when python3 is present, json.loads plus a dict walk that builds the same lights and
// rooms. The summary after the table gives the medians, their ratios, how the time grows
// with four times the bytes, and the heap allocations of one 1 MB decode.
//
// The snapshot build joins lights to rooms and connectivity through hash maps, so its work
// grows linearly (plus the name sort's logarithmic factor); the build alone touches data
// decoded long before, so once the larger home outgrows the processor's caches its time
// grows faster than its work.

#include "AllocationCount.h"
#include "GeneratedHome.h"

#include "bridge/HueReplyDecoder.h"
#include "bridge/HueSnapshot.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <simdjson.h>

#include <cstdio>
#include <map>
#include <optional>
#include <string>

namespace {

using namespace vantora;

constexpr int largeScale = 4;

const QByteArray &home(int scale)
{
    static std::map<int, QByteArray> homes;
    auto found = homes.find(scale);
    if (found == homes.end())
        found = homes.emplace(scale, bench::generatedHome(scale)).first;
    return found->second;
}

int scaleOf(const benchmark::State &state)
{
    return int(state.range(0));
}

void setBytes(benchmark::State &state)
{
    state.SetBytesProcessed(std::int64_t(state.iterations()) * home(scaleOf(state)).size());
}

// What a refresh does with the reply: decode, build the snapshot, group the rooms.
std::size_t lightsAndRooms(HueReplyDecoder &decoder, const QByteArray &reply)
{
    const auto resources = decoder.resourceList(reply, IgnoredResources::skipped);
    const HueSnapshot snapshot = HueSnapshot::fromResources(resources.data);
    const auto rooms = snapshot.rooms();
    benchmark::DoNotOptimize(rooms.data());
    return snapshot.lights.size() + rooms.size();
}

void bytesToSnapshotAndRooms(benchmark::State &state)
{
    const QByteArray &reply = home(scaleOf(state));
    HueReplyDecoder decoder;
    for (auto _ : state)
        benchmark::DoNotOptimize(lightsAndRooms(decoder, reply));
    setBytes(state);
}

void decodingTheResourceList(benchmark::State &state)
{
    const QByteArray &reply = home(scaleOf(state));
    HueReplyDecoder decoder;
    for (auto _ : state) {
        const auto resources = decoder.resourceList(reply, IgnoredResources::skipped);
        benchmark::DoNotOptimize(resources.data.data());
    }
    setBytes(state);
}

void buildingTheSnapshot(benchmark::State &state)
{
    const auto resources = HueReplyDecoder().resourceList(home(scaleOf(state)), IgnoredResources::skipped).data;
    for (auto _ : state) {
        const HueSnapshot snapshot = HueSnapshot::fromResources(resources);
        benchmark::DoNotOptimize(snapshot.lights.data());
    }
}

void simdjsonParse(benchmark::State &state)
{
    const QByteArray &reply = home(scaleOf(state));
    const simdjson::padded_string text(reply.constData(), std::size_t(reply.size()));
    simdjson::dom::parser parser;
    for (auto _ : state) {
        simdjson::dom::element root = parser.parse(text);
        benchmark::DoNotOptimize(root);
    }
    setBytes(state);
}

// Reads every member the app reads, each by its key as simdjson's DOM offers it, and builds
// nothing: what a hand-written reader of the reply costs beyond the parse.
class FieldWalk final {
public:
    void resource(simdjson::dom::object resource)
    {
        text(resource["id"]);
        const std::string_view type = resource["type"];
        if (type != "light" && type != "room" && type != "zigbee_connectivity" && type != "bridge_home")
            return;
        if (const auto owner = resource["owner"]; owner.is_object())
            reference(owner.value_unsafe());
        if (const auto metadata = resource["metadata"]; metadata.is_object()) {
            optionalText(metadata["name"]);
            optionalText(metadata["archetype"]);
        }
        references(resource["children"]);
        references(resource["services"]);
        if (const auto on = resource["on"]; on.is_object())
            m_flags += bool(on["on"]);
        optionalText(resource["status"]);
        if (const auto dimming = resource["dimming"]; dimming.is_object()) {
            m_sum += double(dimming["brightness"]);
            optionalNumber(dimming["min_dim_level"]);
        }
        if (const auto colour = resource["color"]; colour.is_object())
            this->colour(colour.value_unsafe());
        if (const auto temperature = resource["color_temperature"]; temperature.is_object())
            this->temperature(temperature.value_unsafe());
    }

    std::size_t total() const { return m_characters + m_flags + std::size_t(m_sum); }

private:
    using Member = simdjson::simdjson_result<simdjson::dom::element>;

    void text(Member value) { m_characters += std::string_view(value).size(); }
    void optionalText(Member value)
    {
        if (value.is_string())
            text(value);
    }
    void optionalNumber(Member value)
    {
        if (value.is_number())
            m_sum += double(value);
    }
    void reference(simdjson::dom::element value)
    {
        text(value["rid"]);
        text(value["rtype"]);
    }
    void references(Member values)
    {
        if (!values.is_array())
            return;
        for (const simdjson::dom::element value : simdjson::dom::array(values))
            reference(value);
    }
    void point(Member value) { m_sum += double(value["x"]) + double(value["y"]); }
    void colour(simdjson::dom::element value)
    {
        point(value["xy"]);
        if (const auto gamut = value["gamut"]; gamut.is_object()) {
            point(gamut["red"]);
            point(gamut["green"]);
            point(gamut["blue"]);
        }
    }
    void temperature(simdjson::dom::element value)
    {
        if (const auto mirek = value["mirek"]; mirek.is_int64())
            m_sum += double(std::int64_t(mirek));
        if (const auto valid = value["mirek_valid"]; valid.is_bool())
            m_flags += bool(valid);
        if (const auto schema = value["mirek_schema"]; schema.is_object())
            m_sum += double(std::int64_t(schema["mirek_minimum"])) + double(std::int64_t(schema["mirek_maximum"]));
    }

    std::size_t m_characters = 0;
    std::size_t m_flags = 0;
    double m_sum = 0;
};

void simdjsonParseAndWalk(benchmark::State &state)
{
    const QByteArray &reply = home(scaleOf(state));
    const simdjson::padded_string text(reply.constData(), std::size_t(reply.size()));
    simdjson::dom::parser parser;
    for (auto _ : state) {
        const simdjson::dom::element root = parser.parse(text);
        FieldWalk walk;
        for (const simdjson::dom::object resource : root["data"].get_array())
            walk.resource(resource);
        benchmark::DoNotOptimize(walk.total());
    }
    setBytes(state);
}

// Keeps the median processor time of every benchmark, in milliseconds, for the summary:
// on a busy machine it moves less than the time on the clock.
class MedianCollector final : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                m_medians[run.run_name.function_name + '/' + run.run_name.args] = run.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }

    std::optional<double> median(const std::string &benchmark, int scale) const
    {
        const auto found = m_medians.find(benchmark + '/' + std::to_string(scale));
        return found == m_medians.end() ? std::nullopt : std::optional(found->second);
    }

private:
    std::map<std::string, double> m_medians;
};

// The median milliseconds of Python's read of the same reply, when python3 is there.
std::optional<double> pythonMedian(int scale, int runs)
{
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    QTemporaryDir folder;
    if (python.isEmpty() || !folder.isValid())
        return std::nullopt;
    QFile file(folder.filePath(QStringLiteral("home.json")));
    if (!file.open(QIODevice::WriteOnly) || file.write(home(scale)) != home(scale).size())
        return std::nullopt;
    file.close();
    QProcess process;
    process.start(python, {QStringLiteral(VANTORA_BENCH_WALK_SCRIPT), file.fileName(), QString::number(runs)});
    if (!process.waitForFinished(600000) || process.exitCode() != 0)
        return std::nullopt;
    bool ok = false;
    const double milliseconds = process.readAllStandardOutput().trimmed().toDouble(&ok);
    return ok ? std::optional(milliseconds) : std::nullopt;
}

QString figure(std::optional<double> value, int decimals = 3)
{
    return value ? QString::number(*value, 'f', decimals) : QStringLiteral("-");
}

std::optional<double> ratio(std::optional<double> a, std::optional<double> b)
{
    if (!a || !b || *b == 0)
        return std::nullopt;
    return *a / *b;
}

void printSummary(const MedianCollector &medians)
{
    std::printf("\nResource list → lights and rooms, medians of processor time in ms\n"
                "  vantora: bytes → snapshot and rooms; sj parse: simdjson's DOM parse of the same bytes;\n"
                "  sj p+walk: that parse and a walk over every member the app reads; python: json.loads\n"
                "  and a dict walk that builds the same lights and rooms (median of its own runs)\n");
    std::printf("%-6s %10s %10s %10s %12s %10s %14s %14s\n", "home", "bytes", "vantora", "sj parse", "sj p+walk",
                "python", "vantora/p+walk", "python/vantora");
    std::map<int, std::optional<double>> vantoraTimes;
    for (const int scale : {1, largeScale}) {
        const auto vantora = medians.median("bytesToSnapshotAndRooms", scale);
        const auto parse = medians.median("simdjsonParse", scale);
        const auto parseAndWalk = medians.median("simdjsonParseAndWalk", scale);
        const auto python = pythonMedian(scale, scale == 1 ? 21 : 7);
        vantoraTimes[scale] = vantora;
        std::printf("%-6s %10lld %10s %10s %12s %10s %14s %14s\n", qPrintable(QStringLiteral("%1x").arg(scale)),
                    static_cast<long long>(home(scale).size()), qPrintable(figure(vantora)), qPrintable(figure(parse)),
                    qPrintable(figure(parseAndWalk)), qPrintable(figure(python)),
                    qPrintable(figure(ratio(vantora, parseAndWalk), 2)), qPrintable(figure(ratio(python, vantora), 2)));
    }
    std::printf("%dx the bytes costs %sx the time (target at most 4.5x)\n", largeScale,
                qPrintable(figure(ratio(vantoraTimes[largeScale], vantoraTimes[1]), 2)));

    HueReplyDecoder decoder;
    lightsAndRooms(decoder, home(1)); // a refresh after the first: the parser's buffers exist
    const auto allocations = bench::allocationsOf([&] { lightsAndRooms(decoder, home(1)); });
    if (allocations)
        std::printf("one 1x decode, bytes → lights and rooms: %zu allocations, %.1f MB (target at most 15000)\n",
                    allocations->count, double(allocations->bytes) / 1e6);
    else
        std::printf("allocations are not counted in a sanitizer build\n");
}

void onBothHomes(benchmark::internal::Benchmark *benchmark)
{
    benchmark->Arg(1)->Arg(largeScale)->Unit(benchmark::kMillisecond)->Repetitions(11)->ReportAggregatesOnly(true);
}

} // namespace

BENCHMARK(bytesToSnapshotAndRooms)->Apply(onBothHomes);
BENCHMARK(decodingTheResourceList)->Apply(onBothHomes);
BENCHMARK(buildingTheSnapshot)->Apply(onBothHomes);
BENCHMARK(simdjsonParse)->Apply(onBothHomes);
BENCHMARK(simdjsonParseAndWalk)->Apply(onBothHomes);

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    MedianCollector medians;
    benchmark::RunSpecifiedBenchmarks(&medians);
    printSummary(medians);
    benchmark::Shutdown();
    return 0;
}
