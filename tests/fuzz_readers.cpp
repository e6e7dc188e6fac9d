// libFuzzer target for the store's readers: every input is read as the data file, saved and
// read back, and outlined; a save that loses records, or an outline other than what the
// readers read, aborts; crashes and leaks are the sanitizers'.
//
//   CXX=clang++ cmake -S . -B build-fuzz -DCELLORA_FUZZ=ON -DBUILD_TESTING=ON
//   cmake --build build-fuzz --target fuzz_readers
//   LSAN_OPTIONS=suppressions=tests/lsan.supp build-fuzz/tests/fuzz_readers
//       -dict=tests/fuzz_readers.dict -max_len=8192 -timeout=10 NEW_CORPUS tests/data
//
// Merge what it finds into tests/data/fuzz-corpus (-merge=1); tst_store replays it.

#include "storesupport.h"

#include <QApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("TZ", "Europe/Berlin"); // daylight-saving gaps in the dates read
    new QApplication(*argc, *argv); // the records are widgets
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QTemporaryDir in, out;
    const QString loss = TestSupport::probeLoss(
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<int>(size)),
        in.path(), out.path());
    const QString outlined = TestSupport::outlineAgainstReaders(
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<int>(size)));
    if (!loss.isEmpty() || !outlined.isEmpty()) {
        std::fprintf(stderr, "A save lost records, or the outline missed: %s\n",
            qPrintable(loss + outlined));
        std::abort();
    }
    return 0;
}
