#ifndef PROGRAMRUNS_H
#define PROGRAMRUNS_H

#include "host/batchcommands.h"
#include "host/exitcode.h"
#include "sample/samplestore.h"

#include <QString>
#include <QStringList>

// What the program does once its command line is read: each run returns the exit code.
namespace ProgramRuns {

// The name the program was started by, for its messages: "cellora" when installed.
void setProgramName(const QString &name);
void complain(const QString &text);

// The demo and the screenshot tour change settings (the capture mode, the window's place)
// that are the user's own: they run with a settings folder of their own, removed at the
// end. The module opens its settings as the library loads, before main(), so the program
// starts itself again with that folder in place. Returns only when it did not (the folder
// is in place already, or the new start failed: then true only for the former).
bool useOwnSettings(char *argv[]);
void removeOwnSettings();

void installTranslators(const QString &language);

int runOnStorage(const QString &path, bool startupProbe);
int runDemo(SampleMaker sample, bool startupProbe);
int takeScreenshots(const QString &target, SampleMaker sample);
int runBatch(const BatchCommands::Request &request);
int importTelemetry(const QString &storage, const QStringList &paths);

} // namespace ProgramRuns

#endif // PROGRAMRUNS_H
