#ifndef BATCHCOMMANDS_H
#define BATCHCOMMANDS_H

#include <QString>

// The exports of the host window from the command line, for scripts: no window, and
// an exit code that says whether the files were written.
namespace BatchCommands {

enum ExitCode { Done = 0, OutputFailed = 1, NoDataFile = 2 };

struct Outcome {
    ExitCode code = Done;
    QString message; // what was written, or why nothing was
};

// flights.csv and cycles.csv of the store in `storageFolder`, into `outputFolder`.
Outcome exportCsv(const QString &storageFolder, const QString &outputFolder);
// The pack report of the store in `storageFolder` as the PDF file `fileName`.
Outcome writeReport(const QString &storageFolder, const QString &fileName);

} // namespace BatchCommands

#endif // BATCHCOMMANDS_H
