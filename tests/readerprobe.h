#ifndef READERPROBE_H
#define READERPROBE_H

// Runs the store's three readers over arbitrary bytes and checks that whatever they
// read survives a save: shared by the fuzz target and the replay of its corpus.

#include "storesupport.h"

namespace ReaderProbe {

// Text fields may change on a round trip (line ends, unparsable dates); the number of
// records and entries must not.
struct Outcome {
    QString read;
    QString reread;
    bool saved = false; // false when the writer refused what was read
};

// Loads `content` from `inFolder`, saves what was read into `outFolder` and loads
// that again. Both folders are reused; their data files are replaced.
inline Outcome probe(const QByteArray &content, const QString &inFolder, const QString &outFolder)
{
    using namespace TestSupport;
    Outcome outcome;
    const QString outFile = dataFileIn(outFolder);
    if (!writeBytes(dataFileIn(inFolder), content))
        return outcome;
    QFile::remove(outFile);

    Loaded first(inFolder);
    outcome.read = first.counts();
    first.saveTo(outFolder);
    outcome.saved = QFile::exists(outFile);
    if (outcome.saved)
        outcome.reread = Loaded(outFolder).counts();
    return outcome;
}

} // namespace ReaderProbe

#endif // READERPROBE_H
