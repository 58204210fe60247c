// Our QR encoder against libqrencode, both choosing the mask themselves.

#include <benchmark/benchmark.h>
#include <qrencode.h>

#include <QByteArray>
#include <cstdlib>

#include "codes/QRCode.h"

namespace {

const QByteArray kShortUrl = "https://band.example.jp/live/2026";

QByteArray LongData()
{
    QByteArray data(1200, '\0');
    for (int i = 0; i < data.size(); ++i) data[i] = static_cast<char>((i * 131 + 7) % 256);
    return data;
}

void EncodeOurs(benchmark::State& state, const QByteArray& data, int version, char level)
{
    kestrel::TQRCode code;
    code.SetAutoVersion(false);
    code.SetVersion(version);
    code.SetErrorCorrectLevel(level);
    for (auto _ : state) {
        code.SetData(data);
        if (!code.Encode()) state.SkipWithError("no symbol");
        benchmark::DoNotOptimize(code.Symbol().constBits());
    }
}

void EncodeLibqrencode(benchmark::State& state, const QByteArray& data, int version, QRecLevel level)
{
    for (auto _ : state) {
        QRcode* code = QRcode_encodeData(static_cast<int>(data.size()), reinterpret_cast<const unsigned char*>(data.constData()),
                                         version, level);
        if (!code || code->version != version) state.SkipWithError("libqrencode gave another symbol");
        benchmark::DoNotOptimize(code);
        QRcode_free(code);
    }
}

void BM_Ours_Url_3M(benchmark::State& state) { EncodeOurs(state, kShortUrl, 3, 'M'); }
void BM_Libqrencode_Url_3M(benchmark::State& state) { EncodeLibqrencode(state, kShortUrl, 3, QR_ECLEVEL_M); }
void BM_Ours_1200Bytes_39H(benchmark::State& state) { EncodeOurs(state, LongData(), 39, 'H'); }
void BM_Libqrencode_1200Bytes_39H(benchmark::State& state) { EncodeLibqrencode(state, LongData(), 39, QR_ECLEVEL_H); }

BENCHMARK(BM_Ours_Url_3M);
BENCHMARK(BM_Libqrencode_Url_3M);
BENCHMARK(BM_Ours_1200Bytes_39H)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Libqrencode_1200Bytes_39H)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
