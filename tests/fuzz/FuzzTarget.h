#pragma once

// One fuzz target per reader. A target body receives the untrusted bytes and drives the reader
// the way the program does; refusing the input with one of our errors is the expected outcome,
// anything else (a crash, a sanitizer report, a foreign exception) is a finding.
//
// Built with KESTREL_FUZZ_ENGINE (clang, -fsanitize=fuzzer) each target file becomes its own
// libFuzzer program; built normally every target registers itself, so that the corpus replay
// test can feed the same bodies with the stored inputs.

#include <QByteArrayView>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kestrel::fuzz {

using TFuzzBody = void (*)(QByteArrayView data);

struct TFuzzTarget {
    const char* name;
    TFuzzBody body;
};

// Every registered target (normal builds only).
std::vector<TFuzzTarget>& FuzzTargets();
bool RegisterFuzzTarget(const char* name, TFuzzBody body);

// Creates the application object, the private folders and the class registrations once.
void PrepareFuzzEnvironment();
// Runs a body and swallows our own errors: a refused input is a correct answer.
void RunFuzzBody(TFuzzBody body, QByteArrayView data);
// The bytes as a file in the temporary folder (rewritten on every call).
QString WriteInputFile(QByteArrayView data, const QString& suffix);

}  // namespace kestrel::fuzz

#ifdef KESTREL_FUZZ_ENGINE
#define KESTREL_FUZZ_TARGET(name)                                                                 \
    static void FuzzBody_##name(QByteArrayView data);                                              \
    extern "C" int LLVMFuzzerInitialize(int*, char***)                                             \
    {                                                                                              \
        kestrel::fuzz::PrepareFuzzEnvironment();                                                   \
        return 0;                                                                                  \
    }                                                                                              \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)                        \
    {                                                                                              \
        kestrel::fuzz::RunFuzzBody(FuzzBody_##name,                                                \
                                   QByteArrayView(reinterpret_cast<const char*>(data),            \
                                                  static_cast<qsizetype>(size)));                  \
        return 0;                                                                                  \
    }                                                                                              \
    static void FuzzBody_##name(QByteArrayView data)
#else
#define KESTREL_FUZZ_TARGET(name)                                                                 \
    static void FuzzBody_##name(QByteArrayView data);                                              \
    [[maybe_unused]] static const bool FuzzRegistered_##name =                                     \
        kestrel::fuzz::RegisterFuzzTarget(#name, FuzzBody_##name);                                 \
    static void FuzzBody_##name(QByteArrayView data)
#endif
