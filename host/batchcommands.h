#ifndef BATCHCOMMANDS_H
#define BATCHCOMMANDS_H

#include "host/exitcode.h"

#include <QString>

// The exports of the host window from the command line, for scripts: no window, and
// an exit code that says whether the files were written.
namespace BatchCommands {

struct Request {
    QString storageFolder;
    bool csv = false; // flights.csv and cycles.csv into csvFolder
    QString csvFolder;
    bool report = false; // the pack report as the PDF file reportFile
    QString reportFile;
};

struct Outcome {
    ExitCode code = ExitOk;
    QString message; // what was written, or why nothing was
};

// Every output asked for, written together: when the store cannot be read whole or any
// output is refused or fails, none is changed.
Outcome run(const Request &request);

} // namespace BatchCommands

#endif // BATCHCOMMANDS_H
