#ifndef EXITCODE_H
#define EXITCODE_H

// The program's exit codes, for scripts.
enum ExitCode {
    ExitOk = 0,
    ExitFailure = 1, // an output could not be written or was refused
    ExitBadStorage = 2, // the storage folder or its data file cannot be used
    ExitStorageInUse = 3, // another Cellora holds the storage folder
};

#endif // EXITCODE_H
