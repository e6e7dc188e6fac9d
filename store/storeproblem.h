#ifndef STOREPROBLEM_H
#define STOREPROBLEM_H

// Why the last save or import did not reach the data file; None once one did.
enum class StoreProblem {
    None,
    FolderUnwritable, // the storage folder cannot be made or written
    FileReadOnly, // the data file may not be written (read-only, another owner)
    NotAFile, // something else than a file holds the data file's name
    Unreadable, // the data file cannot be read whole, so it is not overwritten
    CannotKeepCopy, // its content needed a rescue copy that could not be written
    WriteFailed, // the write itself failed (a full disk); the file kept its content
    ImportNotKept, // an import was refused: the present store could not be kept first
    ImportWriteFailed, // an import could not write the data file; it kept its content
};

#endif // STOREPROBLEM_H
