// The writing side of the store: every change of the data file goes through change().

#include "store/dataprocessor.h"

#include "store/datachange.h"
#include "store/filebytes.h"
#include "store/overwriteguard.h"
#include "store/recordwriter.h"
#include "store/rescuecopies.h"
#include "store/storememory.h"

#include <QFile>
#include <QFileInfo>

void DataProcessor::setStoragePath(const QString &path)
{
    // The user was asked before leaving a folder with a change that is not written: it is
    // kept there as a rescue copy all the same, where that can be done.
    if (path != storagePath && guard->hasPending()) {
        if (guard->keepBeforeInPlace(dataFilePath(), storagePath, guard->pending()))
            guard->rotateCopies(storagePath);
        guard->dropPending();
    }
    storagePath = path;
    guard->forget(); // nothing is known yet about the file of another folder
    if (!guard->hasPending())
        guard->setProblem(Problem::None);
}

DataProcessor::Problem DataProcessor::problem() const
{
    return guard->problem();
}

bool DataProcessor::hasPendingChange() const
{
    return guard->hasPending();
}

bool DataProcessor::pendingChangeUnread() const
{
    return guard->hasPending() && !guard->pendingInRecords();
}

QByteArray DataProcessor::pendingContent() const
{
    return guard->pending();
}

ChangeOutcome DataProcessor::change(const DataChange &change)
{
    ChangeOutcome outcome;
    outcome.refused = refusalOf(change);
    if (outcome.refused.isBroken())
        return outcome; // nothing was tried: the file and the pending change stay
    if (change.kind == DataChange::Kind::Import)
        return importChange(change);
    checkReproduction();
    const QByteArray content = contentOf(change);
    if (content.isEmpty() && change.kind != DataChange::Kind::Version) {
        guard->setProblem(Problem::WriteFailed); // the writer failed: the file stays as it is
        guard->report(false, QByteArray(), QByteArray());
        return outcome;
    }
    QByteArray present;
    if (keepPendingBefore(change, content)) {
        outcome.written = writeContent(dataFilePath(), content, present);
        // What failed now is the change to keep; what was written holds the one before.
        if (outcome.written)
            guard->dropPending();
        else
            guard->notePending(content, change.kind == DataChange::Kind::Save);
    }
    guard->report(outcome.written, present, outcome.written ? content : present);
    if (outcome.written)
        outcome.content = content;
    return outcome;
}

// A change of records must be made from what the file holds now, and keep the rules
// wherever it differs from the records it was made from.
RecordRules::RuleBreak DataProcessor::refusalOf(const DataChange &change)
{
    if (change.kind != DataChange::Kind::Records)
        return {};
    QByteArray present;
    FileBytes::Stamp stamp;
    const bool read = guard->readFile(dataFilePath(), &present, &stamp);
    const bool current
        = read ? sameBytes(present, change.content) : !stamp.exists && change.content.isEmpty();
    if (!current)
        return { RecordRules::Refusal::FileChanged, QString(), QDateTime() };
    return RecordRules::changeRefusal(*change.before, *change.after);
}

QByteArray DataProcessor::contentOf(const DataChange &change)
{
    switch (change.kind) {
    case DataChange::Kind::Save:
        return guard->memory().cache.document(*change.values);
    case DataChange::Kind::Records:
        // Through the write cache too: the records that did not change cost no writing.
        return guard->memory().cache.document(StoreValues::of(*change.after));
    case DataChange::Kind::Version:
        return change.content;
    case DataChange::Kind::Import:
        break;
    }
    return QByteArray();
}

// A change whose write failed is not dropped by the next one: a save of the records that
// still hold it, or a retry of its bytes, writes it; before any other write it is kept as
// a rescue copy, and while that cannot be done nothing else is written.
bool DataProcessor::keepPendingBefore(const DataChange &change, const QByteArray &content)
{
    if (!guard->hasPending())
        return true;
    const bool carried = (change.kind == DataChange::Kind::Save && guard->pendingInRecords())
        || (change.kind == DataChange::Kind::Version && content == guard->pending());
    if (carried)
        return true;
    if (!guard->keepBeforeInPlace(dataFilePath(), storagePath, guard->pending()))
        return false;
    guard->dropPending();
    return true;
}

void DataProcessor::writeData(const QVector<BatteryWidget *> &batteries,
    const QVector<ModelWidget *> &models, const QStringList &locations)
{
    const StoreValues values = StoreValues::of(batteries, models, locations);
    change(DataChange::save(values));
}

bool DataProcessor::replaceContent(const QByteArray &content)
{
    return change(DataChange::version(content)).written;
}

bool DataProcessor::importData(QIODevice *source)
{
    if (!source || !source->isReadable())
        return false;
    return change(DataChange::import(source)).written;
}

ChangeOutcome DataProcessor::importChange(const DataChange &change)
{
    ChangeOutcome outcome;
    const QString path = dataFilePath();
    QByteArray present;
    if (!keepPendingBefore(change, QByteArray()) || !importContent(path, change.source, present)) {
        guard->report(false, present, present);
        return outcome;
    }
    // Rare enough for one more read: the listener is told what the file holds now.
    FileBytes::Stamp stamp;
    guard->readFile(path, &outcome.content, &stamp);
    guard->report(true, present, outcome.content);
    outcome.written = true;
    return outcome;
}

bool DataProcessor::mayReplaceDataFile(const QString &path)
{
    if (FileBytes::mayReplace(storagePath, path))
        return true;
    const QFileInfo existing(path);
    if (!existing.exists())
        guard->setProblem(Problem::FolderUnwritable);
    else
        guard->setProblem(existing.isFile() ? Problem::FileReadOnly : Problem::NotAFile);
    return false;
}

// The one save path: `present` receives what the file held. A file that this store did
// not write or read whole is kept as a rescue copy first; when that copy cannot be made,
// the file stays as it is. The ordinary save finds the present bytes in memory.
bool DataProcessor::writeContent(
    const QString &path, const QByteArray &content, QByteArray &present)
{
    if (!mayReplaceDataFile(path))
        return false;
    if (!guard->protect(path, storagePath, &present)) {
        // Only on this failing path: the ordinary save asks nothing more of the disk.
        const QFileInfo existing(path);
        if (existing.exists() && !existing.isFile())
            guard->setProblem(Problem::NotAFile);
        return false;
    }
    const auto keepBeforeInPlace
        = [&] { return guard->keepBeforeInPlace(path, storagePath, present); };
    if (!FileBytes::replaceFile(path, content, present, { keepBeforeInPlace, QString() })) {
        if (guard->problem() != Problem::CannotKeepCopy)
            guard->setProblem(Problem::WriteFailed);
        return false;
    }
    guard->noteWritten(path, content);
    guard->rotateCopies(storagePath);
    guard->setProblem(Problem::None);
    return true;
}

// Replaces the data file with the lines of `source`; `present` receives what it held.
bool DataProcessor::importContent(const QString &path, QIODevice *source, QByteArray &present)
{
    if (!mayReplaceDataFile(path))
        return false;
    // Whatever the chosen file holds, the store it replaces stays as a rescue copy.
    if (!OverwriteGuard::readPresent(path, &present)) {
        guard->setProblem(Problem::ImportNotKept);
        return false;
    }
    RescueCopies copies(storagePath);
    if (!present.isEmpty() && !copies.keep(present, path)) {
        guard->setProblem(Problem::ImportNotKept);
        return false;
    }
    // Known by its file, not its name: the chosen file may be one of the rescue copies.
    const auto *chosen = qobject_cast<QFile *>(source);
    const FileBytes::Stamp spared
        = chosen ? FileBytes::Stamp::of(chosen->handle()) : FileBytes::Stamp();
    // The present content is kept already, so the file may be written in place.
    if (!FileBytes::replaceWithLines(path, source, { [] { return true; }, QString() })) {
        guard->setProblem(Problem::WriteFailed);
        return false;
    }
    // Only once the import is in: a failed one deletes nothing, and the copy being
    // restored is never rotated away.
    copies.rotate(spared);
    guard->forget(); // the reload that follows reads what was imported
    guard->setProblem(Problem::None);
    return true;
}

bool DataProcessor::keepRescueCopy()
{
    QByteArray present;
    if (!OverwriteGuard::readPresent(dataFilePath(), &present))
        return false;
    if (present.isEmpty())
        return true;
    RescueCopies copies(storagePath);
    const bool kept = copies.keep(present, dataFilePath());
    copies.rotate();
    return kept;
}

bool DataProcessor::keepUndoneVersion(const QByteArray &content)
{
    if (content.isEmpty())
        return true;
    RescueCopies copies = RescueCopies::undone(storagePath);
    const bool kept = copies.keep(content, dataFilePath());
    copies.rotate();
    return kept;
}

void DataProcessor::setWriteListener(WriteListener listener)
{
    guard->setListener(std::move(listener));
}

// Once after reading bytes this store did not write: the readers skip what they do not
// know and drop what they cannot read, so the file counts as damaged (and is kept as a
// rescue copy) unless the writer makes exactly these bytes of the records read. The
// pieces written here serve the save that follows. When the three readers did not all
// read these bytes, nothing can be compared: the file is kept as well.
void DataProcessor::checkReproduction()
{
    if (!guard->needsReproduction())
        return;
    StoreMemory &memory = guard->memory();
    const QByteArray &content = guard->lastContent();
    const bool same = memory.lastRead.allFrom(content)
        && sameBytes(memory.cache.document(memory.lastRead.values()), content);
    guard->noteReproduction(same);
}
