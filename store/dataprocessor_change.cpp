// The writing side of the store: every change of the data file goes through change().

#include "store/dataprocessor.h"

#include "store/datachange.h"
#include "store/dataprocessor_p.h"
#include "store/filebytes.h"
#include "store/recordwriter.h"
#include "store/rescuecopies.h"

#include <QFile>
#include <QFileInfo>

void DataProcessor::setStoragePath(const QString &path)
{
    // The user was asked before leaving a folder with a change that is not written: it is
    // kept there as a rescue copy all the same, where that can be done.
    if (path != storagePath && d->pending.set) {
        if (d->guard.keepBeforeInPlace(dataFilePath(), storagePath, d->pending.bytes, &d->problem))
            d->guard.rotateCopies(storagePath);
        d->pending.drop();
    }
    storagePath = path;
    d->forget(); // nothing is known yet about the file of another folder
    if (!d->pending.set)
        d->setProblem(Problem::None);
}

DataProcessor::Problem DataProcessor::problem() const
{
    return d->problem;
}

int DataProcessor::problemError() const
{
    return d->problemError;
}

bool DataProcessor::readBrokeOff() const
{
    return d->guard.readBrokeOff();
}

bool DataProcessor::hasPendingChange() const
{
    return d->pending.set;
}

bool DataProcessor::pendingChangeUnread() const
{
    return d->pending.set && !(d->pending.set && d->pending.inRecords);
}

QByteArray DataProcessor::pendingContent() const
{
    return d->pending.bytes;
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
        d->setProblem(Problem::WriteFailed); // the writer failed: the file stays as it is
        d->report(false, QByteArray(), QByteArray());
        return outcome;
    }
    QByteArray present;
    if (keepPendingBefore(change, content)) {
        outcome.written = writeContent(dataFilePath(), content, present);
        // What failed now is the change to keep; what was written holds the one before.
        if (outcome.written)
            d->pending.drop();
        else
            d->pending.note(content, change.kind == DataChange::Kind::Save);
    }
    d->report(outcome.written, present, outcome.written ? content : present);
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
    const bool read = d->guard.readFile(dataFilePath(), &present, &stamp);
    const bool current = read ? FileBytes::sameBytes(present, change.content)
                              : !stamp.exists && change.content.isEmpty();
    if (!current)
        return { RecordRules::Refusal::FileChanged, QString(), QDateTime() };
    return RecordRules::changeRefusal(*change.before, *change.after);
}

QByteArray DataProcessor::contentOf(const DataChange &change)
{
    switch (change.kind) {
    case DataChange::Kind::Save:
        return d->cache.document(*change.values);
    case DataChange::Kind::Records:
        // Through the write cache too: the records that did not change cost no writing.
        return d->cache.document(StoreValues::of(*change.after));
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
    if (!d->pending.set)
        return true;
    const bool carried
        = (change.kind == DataChange::Kind::Save && (d->pending.set && d->pending.inRecords))
        || (change.kind == DataChange::Kind::Version && content == d->pending.bytes);
    if (carried)
        return true;
    if (!d->guard.keepBeforeInPlace(dataFilePath(), storagePath, d->pending.bytes, &d->problem))
        return false;
    d->pending.drop();
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
        d->report(false, present, present);
        return outcome;
    }
    // Rare enough for one more read: the listener is told what the file holds now.
    FileBytes::Stamp stamp;
    d->guard.readFile(path, &outcome.content, &stamp);
    d->report(true, present, outcome.content);
    outcome.written = true;
    return outcome;
}

bool DataProcessor::mayReplaceDataFile(const QString &path)
{
    if (FileBytes::mayReplace(storagePath, path))
        return true;
    const QFileInfo existing(path);
    if (!existing.exists())
        d->setProblem(Problem::FolderUnwritable);
    else
        d->setProblem(existing.isFile() ? Problem::FileReadOnly : Problem::NotAFile);
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
    if (!d->guard.protect(path, storagePath, &present, &d->problem)) {
        d->problemError = d->problem == Problem::CannotKeepCopy ? d->guard.copyError() : 0;
        // Only on this failing path: the ordinary save asks nothing more of the disk.
        const QFileInfo existing(path);
        if (existing.exists() && !existing.isFile())
            d->setProblem(Problem::NotAFile);
        return false;
    }
    const auto keepBeforeInPlace
        = [&] { return d->guard.keepBeforeInPlace(path, storagePath, present, &d->problem); };
    if (!FileBytes::replaceFile(path, content, present, { keepBeforeInPlace, QString() })) {
        if (d->problem == Problem::CannotKeepCopy)
            d->problemError = d->guard.copyError();
        else
            d->setProblem(Problem::WriteFailed, FileBytes::lastError());
        return false;
    }
    d->guard.noteWritten(path, content);
    d->guard.rotateCopies(storagePath);
    d->setProblem(Problem::None);
    return true;
}

// Replaces the data file with the lines of `source`; `present` receives what it held.
bool DataProcessor::importContent(const QString &path, QIODevice *source, QByteArray &present)
{
    if (!mayReplaceDataFile(path))
        return false;
    // Whatever the chosen file holds, the store it replaces stays as a rescue copy.
    if (!OverwriteGuard::readPresent(path, &present)) {
        d->setProblem(Problem::Unreadable);
        return false;
    }
    if (!present.isEmpty() && !d->guard.keepCopy(storagePath, present, path)) {
        d->setProblem(Problem::ImportNotKept, d->guard.copyError());
        return false;
    }
    // Known by its file, not its name: the chosen file may be one of the rescue copies.
    const auto *chosen = qobject_cast<QFile *>(source);
    const FileBytes::Stamp spared
        = chosen ? FileBytes::Stamp::of(chosen->handle()) : FileBytes::Stamp();
    // The present content is kept already, so the file may be written in place.
    if (!FileBytes::replaceWithLines(path, source, { [] { return true; }, QString() })) {
        d->setProblem(Problem::ImportWriteFailed, FileBytes::lastError());
        return false;
    }
    // Only once the import is in: a failed one deletes nothing, and the copy being
    // restored is never rotated away.
    d->guard.rotateCopies(storagePath, spared);
    d->forget(); // the reload that follows reads what was imported
    d->setProblem(Problem::None);
    return true;
}

bool DataProcessor::keepRescueCopy()
{
    QByteArray present;
    if (!OverwriteGuard::readPresent(dataFilePath(), &present))
        return false;
    if (present.isEmpty())
        return true;
    const bool kept = d->guard.keepCopy(storagePath, present, dataFilePath());
    d->guard.rotateCopies(storagePath);
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
    d->listener = std::move(listener);
}

// Once after reading bytes this store did not write: the readers skip what they do not
// know and drop what they cannot read, so the file counts as damaged (and is kept as a
// rescue copy) unless the writer makes exactly these bytes of the records read. The
// pieces written here serve the save that follows. When the three readers did not all
// read these bytes, nothing can be compared: the file is kept as well.
void DataProcessor::checkReproduction()
{
    if (!d->guard.needsReproduction())
        return;
    const QByteArray &content = d->guard.lastContent();
    const bool same = d->lastRead.allFrom(content)
        && FileBytes::sameBytes(d->cache.document(d->lastRead.values()), content);
    d->guard.noteReproduction(same);
}
