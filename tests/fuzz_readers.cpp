// libFuzzer target for the store's readers: every input becomes the data file, is read
// by readLocations, readModels and readBatteries, saved again and read back. Crashes,
// hangs and leaks are the sanitizers' to find; a save that loses records aborts here.
//
//   CXX=clang++ cmake -S . -B build-fuzz -DCELLORA_FUZZ=ON -DBUILD_TESTING=ON
//   cmake --build build-fuzz --target fuzz_readers
//   LSAN_OPTIONS=suppressions=tests/lsan.supp build-fuzz/tests/fuzz_readers \
//       -dict=tests/fuzz_readers.dict -max_len=8192 -timeout=10 NEW_CORPUS tests/data
//
// Merge what it finds into tests/data/fuzz-corpus (-merge=1); tst_store replays it.

#include "readerprobe.h"

#include <QApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

struct Harness {
    std::unique_ptr<QApplication> application; // the records are widgets
    QTemporaryDir inFolder;
    QTemporaryDir outFolder;
};

Harness *harness = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("TZ", "Europe/Berlin"); // daylight-saving gaps in the dates read
    harness = new Harness;
    harness->application = std::make_unique<QApplication>(*argc, *argv);
    if (!harness->inFolder.isValid() || !harness->outFolder.isValid())
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray content
        = QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<int>(size));
    const ReaderProbe::Outcome outcome
        = ReaderProbe::probe(content, harness->inFolder.path(), harness->outFolder.path());
    if (outcome.saved && outcome.read != outcome.reread) {
        std::fprintf(stderr, "A save lost records: read %s, read back %s\n",
            qPrintable(outcome.read), qPrintable(outcome.reread));
        std::abort();
    }
    return 0;
}
