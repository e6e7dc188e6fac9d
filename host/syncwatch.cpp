#include "host/syncwatch.h"

#include "host/homeguard.h"
#include "host/storagelock.h"
#include "host/syncbar.h"
#include "host/undohistory.h"
#include "store/recordwriter.h"
#include "store/storemerge.h"
#include "store/storesnapshot.h"
#include "store/syncbase.h"
#include "store/synccopies.h"
#include "window/celloragui.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QLocale>
#include <QScopedValueRollback>
#include <QSet>
#include <QTimer>

#include <algorithm>

namespace {

// The store's own limit: no data file comes near it.
constexpr qint64 largestStore = qint64(512) * 1024 * 1024;
// A sync engine writes a file, and moves another aside, in quick turns: the folder is looked
// at once it has been quiet this long.
constexpr int settleMs = 300;
// The first look waits for the window to be shown, unless there is something to merge.
constexpr int firstLookMs = 500;
// The history of versions is written once the saves of a session pause.
constexpr int historySaveMs = 1000;
// A page with a discharge begun, or a save that failed, is not read again under the user's
// hands: the folder is looked at again later.
constexpr int retryMs = 2000;

struct FileState {
    bool exists = false;
    qint64 size = 0;
    QDateTime modified;
    QDateTime changed;

    static FileState of(const QString &path)
    {
        const QFileInfo info(path);
        return { info.exists(), info.size(), info.lastModified(), info.metadataChangeTime() };
    }
    bool operator!=(const FileState &other) const
    {
        return exists != other.exists || size != other.size || modified != other.modified
            || changed != other.changed;
    }
};

bool readFile(const QString &path, QByteArray *content)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > largestStore)
        return false;
    *content = file.readAll();
    return file.error() == QFile::NoError;
}

// One version of the data file among those to merge.
struct Version {
    QString path;
    QByteArray bytes;
    StoreSnapshot records;
};

// Two versions made one: what is needed to take the other value of a conflict later, and
// to know the other machine's result when both merged the same versions at once.
struct Session {
    bool hasBase = false;
    StoreRecords base;
    StoreRecords ours;
    StoreRecords theirs;
    StoreMerge::Lead lead = StoreMerge::Lead::Ours;
    QSet<QString> taken;
    StoreRecords result; // as written last
    QVector<StoreMerge::Conflict> conflicts;
    QByteArray echo; // what the other machine writes merging the same versions
};

} // namespace

class SyncWatchPrivate {
public:
    SyncBar *bar = nullptr;
    QFileSystemWatcher watcher;
    QTimer settle;
    QTimer historySave;
    QString folder;
    CelloraGui *gui = nullptr;
    UndoHistory *history = nullptr;
    StorageLock *lock = nullptr;
    std::unique_ptr<SyncBase> base;
    QMetaObject::Connection stored;
    // Versions read (false) or written (true) not yet in the history of versions.
    QVector<QPair<QByteArray, bool>> pending;
    bool wrote = false; // the history is kept once this machine wrote a version
    bool knownSet = false;
    QByteArray known; // what the module last read or wrote
    FileState knownState;
    QString lockNotice;
    QStringList notices;
    QVector<Session> sessions;
    QSet<QString> refused; // copies that cannot be merged, not tried again
    bool looking = false;

    QString dataFile() const { return StoreSnapshot::dataFilePath(folder); }
};

SyncWatch::SyncWatch(QObject *parent)
    : QObject(parent)
    , d(std::make_unique<SyncWatchPrivate>())
{
    d->bar = new SyncBar;
    d->settle.setSingleShot(true);
    d->historySave.setSingleShot(true);
    d->historySave.setInterval(historySaveMs);
    connect(&d->settle, &QTimer::timeout, this, &SyncWatch::look);
    connect(&d->historySave, &QTimer::timeout, this, &SyncWatch::saveHistory);
    connect(&d->watcher, &QFileSystemWatcher::directoryChanged, this, &SyncWatch::lookLater);
    connect(&d->watcher, &QFileSystemWatcher::fileChanged, this, &SyncWatch::lookLater);
    connect(d->bar, &SyncBar::rowChosen, this, &SyncWatch::takeOther);
    connect(d->bar, &SyncBar::dismissed, this, [this] {
        d->notices.clear();
        d->sessions.clear();
        showState();
    });
}

SyncWatch::~SyncWatch()
{
    stop();
}

SyncBar *SyncWatch::bar() const
{
    return d->bar;
}

void SyncWatch::watch(
    const QString &folder, CelloraGui *gui, UndoHistory *history, StorageLock *lock)
{
    stop();
    d->folder = folder;
    d->gui = gui;
    d->history = history;
    d->lock = lock;
    d->base = std::make_unique<SyncBase>(folder);
    d->stored = connect(history, &UndoHistory::stored, this,
        [this](const QByteArray &before, const QByteArray &after) {
            // Written before the first look: what it replaced is what the module read.
            if (!d->knownSet && !before.isEmpty())
                d->pending.append({ before, false });
            d->pending.append({ after, true });
            d->known = after;
            d->knownState = FileState::of(d->dataFile());
            d->knownSet = true;
            d->historySave.start();
        });
    QTimer::singleShot(
        SyncCopies::find(folder).isEmpty() ? firstLookMs : 0, this, &SyncWatch::look);
}

void SyncWatch::stop()
{
    saveHistory();
    disconnect(d->stored);
    d->settle.stop();
    if (!d->watcher.files().isEmpty())
        d->watcher.removePaths(d->watcher.files());
    if (!d->watcher.directories().isEmpty())
        d->watcher.removePaths(d->watcher.directories());
    d->gui = nullptr;
    d->history = nullptr;
    d->lock = nullptr;
    d->base.reset();
    d->wrote = false;
    d->knownSet = false;
    d->known.clear();
    d->lockNotice.clear();
    d->notices.clear();
    d->sessions.clear();
    d->refused.clear();
    showState();
}

void SyncWatch::lookLater()
{
    if (d->gui)
        d->settle.start(settleMs);
}

void SyncWatch::catchUp()
{
    for (const auto &version : qAsConst(d->pending)) {
        if (version.second)
            d->base->noteWritten(version.first);
        else
            d->base->noteSeen(version.first);
        d->wrote = d->wrote || version.second;
    }
    d->pending.clear();
}

void SyncWatch::saveHistory()
{
    if (!d->base)
        return;
    catchUp();
    // A folder only read needs none: what it holds is noted again at the next opening.
    if (d->wrote)
        d->base->save();
}

bool SyncWatch::reloadAllowed() const
{
    return d->gui->storeProblem().isEmpty() && !HomeGuard::dischargeUnsaved(*d->gui);
}

void SyncWatch::look()
{
    if (!d->gui || d->looking)
        return;
    const QScopedValueRollback<bool> looking(d->looking, true);
    catchUp();
    d->lockNotice.clear();
    if (d->lock && d->lock->check() == StorageLock::State::Taken)
        d->lockNotice = tr("Another Cellora has opened this storage folder too: %1. What both "
                           "save meets only through the sync engine; close one of them.")
                            .arg(d->lock->holder());
    QStringList dataCopies;
    for (const SyncCopies::Copy &copy : SyncCopies::find(d->folder)) {
        if (copy.of == SyncCopies::Of::RescueIndex)
            SyncCopies::mergeIndexCopy(d->folder, copy.path);
        else if (copy.of == SyncCopies::Of::RescueCopy)
            SyncCopies::adoptRescueCopy(d->folder, copy.path);
        else if (copy.of == SyncCopies::Of::DataFile && !d->refused.contains(copy.path))
            dataCopies.append(copy.path);
    }
    const FileState now = FileState::of(d->dataFile());
    QByteArray content = d->known;
    bool readable = true;
    if (!d->knownSet || now != d->knownState) {
        content.clear();
        readable = !now.exists || readFile(d->dataFile(), &content);
    }
    const bool opening = !d->knownSet;
    if (opening && readable) {
        // What the module read as the folder opened.
        d->known = content;
        d->knownState = now;
        d->knownSet = true;
    }
    if (!readable) {
        // Left alone, as every save leaves a file it cannot read whole.
    } else if (!dataCopies.isEmpty())
        mergeCopies(content, dataCopies);
    else if (opening) {
        // Noted unless it is what this machine wrote last.
        if (!content.isEmpty())
            d->base->noteSeen(content);
        d->historySave.start();
    } else if (content != d->known)
        reload(content);
    else
        d->knownState = now;
    showState();
    QStringList paths { d->folder, StoreSnapshot::rescueFolder(d->folder), d->dataFile(),
        StorageLock::filePath(d->folder) };
    for (auto path = paths.begin(); path != paths.end();)
        path = QFileInfo::exists(*path) ? std::next(path) : paths.erase(path);
    d->watcher.addPaths(paths); // again: a file replaced by another is no longer watched
}

void SyncWatch::reload(const QByteArray &content)
{
    if (!reloadAllowed()) {
        d->settle.start(retryMs);
        return;
    }
    // Written by another machine: shown before a save of this one could write over it.
    d->gui->changeStoragePath(d->folder);
    d->known = content;
    d->knownState = FileState::of(d->dataFile());
    d->base->noteSeen(content);
    d->historySave.start();
}

void SyncWatch::mergeCopies(const QByteArray &dataFile, const QStringList &copies)
{
    // Not under a begun discharge, nor over a change that a failed save still holds.
    if (!reloadAllowed()) {
        d->settle.start(retryMs);
        return;
    }
    Version data { d->dataFile(), dataFile, {} };
    data.records.readBytes(dataFile);
    QVector<Version> others;
    for (const QString &path : copies) {
        Version copy { path, {}, {} };
        if (!readFile(path, &copy.bytes))
            continue;
        copy.records.readBytes(copy.bytes);
        if (data.records.damaged() || copy.records.damaged()) {
            // Merging what was read only in part would drop the rest: the copy is kept.
            d->refused.insert(path);
            if (!copy.records.damaged() || SyncCopies::keepAmongRescueCopies(d->folder, path))
                d->notices.append(
                    tr("%1 cannot be merged: %2 cannot be read whole. It is "
                       "kept as it is; look at both, then Restore the one to keep.")
                        .arg(QFileInfo(path).fileName(),
                            QFileInfo(copy.records.damaged() ? path : data.path).fileName()));
            continue;
        }
        others.append(copy);
    }
    if (others.isEmpty())
        return;
    // This machine's version is the one it read or wrote last; else the data file is.
    const QByteArray mine = d->base->newest();
    int oursAt = -1;
    for (int i = 0; i < others.size() && oursAt < 0; ++i) {
        if (others.at(i).bytes == mine)
            oursAt = i;
    }
    QVector<const Version *> theirs;
    if (oursAt >= 0)
        theirs.append(&data);
    for (int i = 0; i < others.size(); ++i) {
        if (i != oursAt)
            theirs.append(&others.at(i));
    }
    StoreRecords result = oursAt >= 0 ? others.at(oursAt).records : data.records;
    bool withoutBase = false;
    for (const Version *version : qAsConst(theirs)) {
        const bool isData = version == &data;
        // Both machines merged these versions at once and wrote each its own result: each
        // side then takes what the data file holds, the same on both.
        const auto echoed = std::find_if(d->sessions.begin(), d->sessions.end(),
            [&](const Session &s) { return !s.echo.isEmpty() && s.echo == version->bytes; });
        if (echoed != d->sessions.end()) {
            if (isData) {
                result = version->records;
                for (const StoreMerge::Conflict &conflict : qAsConst(echoed->conflicts))
                    echoed->taken.insert(conflict.key);
                echoed->result = result;
            }
            continue;
        }
        Session session;
        const Version &own = oursAt >= 0 ? others.at(oursAt) : data;
        session.hasBase = d->base->commonBase(
            version->records, &session.base, own.bytes == mine ? &own.records : nullptr);
        session.ours = result;
        session.theirs = version->records;
        session.lead = isData ? StoreMerge::Lead::Theirs : StoreMerge::Lead::Ours;
        const StoreRecords *base = session.hasBase ? &session.base : nullptr;
        StoreMerge::Result merged = StoreMerge::merge(base, result, version->records, session.lead);
        withoutBase = withoutBase || merged.withoutBase;
        result = merged.records;
        if (!merged.conflicts.isEmpty()) {
            if (d->sessions.isEmpty())
                d->notices.append(tr("Merged what another machine changed at the same time "
                                     "(its file is kept among the rescue copies). Where both "
                                     "changed the same, this machine's is kept:"));
            session.conflicts = merged.conflicts;
            session.result = result;
            for (const StoreMerge::Conflict &conflict : qAsConst(merged.conflicts))
                session.taken.insert(conflict.key);
            session.echo = RecordWriter::wholeDocument(
                StoreMerge::merge(base, session.ours, session.theirs, session.lead, session.taken)
                    .records);
            session.taken.clear();
            d->sessions.append(session);
        }
    }
    // The other machines had their versions: later merges may start from them.
    for (const Version *version : qAsConst(theirs))
        d->base->noteSeen(version->bytes);
    const QByteArray merged = RecordWriter::wholeDocument(result);
    if (merged.isEmpty())
        return;
    if (merged != dataFile) {
        // The module first reads what the merge replaces, so that it is no outside change.
        if (dataFile != d->known)
            reload(dataFile);
        if (!d->history->applyVersion(tr("Merge"), merged)) {
            d->notices.append(tr("The changes of another machine could not be merged: the data "
                                 "file cannot be written. They wait in %1.")
                                  .arg(QFileInfo(copies.constFirst()).fileName()));
            for (const QString &path : copies)
                d->refused.insert(path);
            return;
        }
    } else if (dataFile != d->known)
        reload(dataFile);
    else if (oursAt < 0)
        d->pending.append({ dataFile, true }); // this machine's version stays the file's
    if (withoutBase)
        d->notices.append(tr("Merged without an earlier version both machines had: records "
                             "deleted on one machine may have come back."));
    for (const Version &copy : qAsConst(others)) {
        if (!SyncCopies::keepAmongRescueCopies(d->folder, copy.path))
            d->refused.insert(copy.path);
    }
    d->historySave.start();
}

namespace {

struct Words {
    Q_DECLARE_TR_FUNCTIONS(SyncWatch)
};

QString fieldName(const QString &field)
{
    static const QHash<QString, const char *> names {
        { QStringLiteral("Capacity"), QT_TRANSLATE_NOOP("SyncWatch", "capacity") },
        { QStringLiteral("Chrgrate"), QT_TRANSLATE_NOOP("SyncWatch", "charge rate") },
        { QStringLiteral("Dischrgrate"), QT_TRANSLATE_NOOP("SyncWatch", "discharge rating") },
        { QStringLiteral("Purchase"), QT_TRANSLATE_NOOP("SyncWatch", "purchase date") },
        { QStringLiteral("Cycles"), QT_TRANSLATE_NOOP("SyncWatch", "cycles") },
        { QStringLiteral("Charged"), QT_TRANSLATE_NOOP("SyncWatch", "charged") },
        { QStringLiteral("Type"), QT_TRANSLATE_NOOP("SyncWatch", "type") },
        { QStringLiteral("Weight"), QT_TRANSLATE_NOOP("SyncWatch", "weight") },
        { QStringLiteral("Size"), QT_TRANSLATE_NOOP("SyncWatch", "size") },
        { QStringLiteral("Flights"), QT_TRANSLATE_NOOP("SyncWatch", "flights") },
        { QStringLiteral("Notes"), QT_TRANSLATE_NOOP("SyncWatch", "notes") },
        { QStringLiteral("LastUpdate"), QT_TRANSLATE_NOOP("SyncWatch", "last update") },
        { QStringLiteral("Discharged"), QT_TRANSLATE_NOOP("SyncWatch", "discharged mAh") },
        { QStringLiteral("Current"), QT_TRANSLATE_NOOP("SyncWatch", "maximum current") },
        { QStringLiteral("Duration"), QT_TRANSLATE_NOOP("SyncWatch", "duration") },
        { QStringLiteral("Location"), QT_TRANSLATE_NOOP("SyncWatch", "location") },
        { QStringLiteral("Temperature"), QT_TRANSLATE_NOOP("SyncWatch", "temperature") },
    };
    const char *name = names.value(field);
    return name ? Words::tr(name) : field;
}

QString valueText(const StoreMerge::Conflict &conflict, const QString &value)
{
    if (conflict.field == QLatin1String("Charged"))
        return value == QLatin1String("1") ? Words::tr("charged") : Words::tr("not charged");
    return value.isEmpty() ? Words::tr("none") : QStringLiteral("“%1”").arg(value);
}

QString recordText(const StoreMerge::Conflict &conflict)
{
    using Record = StoreMerge::Conflict::Record;
    const QString moment = QLocale().toString(conflict.moment, QLocale::ShortFormat);
    switch (conflict.record) {
    case Record::Location:
        return Words::tr("Location “%1”").arg(conflict.name);
    case Record::Battery:
        return Words::tr("Battery “%1”").arg(conflict.name);
    case Record::Model:
        return Words::tr("Model “%1”").arg(conflict.name);
    case Record::Cycle:
        return Words::tr("Discharge of “%1” at %2").arg(conflict.name, moment);
    case Record::Flight:
        return Words::tr("Flight of “%1” at %2").arg(conflict.name, moment);
    case Record::Moment:
        return Words::tr("The flight at %1").arg(moment);
    }
    return QString();
}

// What the button of a conflict does: take the other value, or keep this machine's again.
QString choiceText(const StoreMerge::Conflict &conflict, bool taken)
{
    using Kind = StoreMerge::Conflict::Kind;
    const QString value = taken ? conflict.ours : conflict.theirs;
    switch (conflict.kind) {
    case Kind::Field:
        return (taken ? Words::tr("Keep %1") : Words::tr("Take %1"))
            .arg(valueText(conflict, value));
    case Kind::DeletedChanged:
        return value.isEmpty() ? Words::tr("Delete It") : Words::tr("Restore It");
    case Kind::Rename:
        return (taken ? Words::tr("Keep “%1”") : Words::tr("Take “%1”")).arg(value);
    case Kind::Pairing:
        return (taken ? Words::tr("Keep %1") : Words::tr("Take %1")).arg(value);
    }
    return QString();
}

QString conflictText(const StoreMerge::Conflict &conflict)
{
    using Kind = StoreMerge::Conflict::Kind;
    const QString record = recordText(conflict);
    switch (conflict.kind) {
    case Kind::Field:
        return Words::tr("%1, %2: %3 on this machine, %4 on the other")
            .arg(record, fieldName(conflict.field), valueText(conflict, conflict.ours),
                valueText(conflict, conflict.theirs));
    case Kind::DeletedChanged:
        return conflict.ours.isEmpty()
            ? Words::tr("%1: deleted on this machine, changed on the other").arg(record)
            : Words::tr("%1: changed on this machine, deleted on the other").arg(record);
    case Kind::Rename:
        return Words::tr("%1: named “%2” on this machine, “%3” on the other")
            .arg(record, conflict.ours, conflict.theirs);
    case Kind::Pairing:
        return Words::tr("%1: flown with %2 on this machine, with %3 on the other")
            .arg(record, conflict.ours, conflict.theirs);
    }
    return record;
}

} // namespace

void SyncWatch::showState()
{
    QStringList notices = d->notices;
    if (!d->lockNotice.isEmpty())
        notices.prepend(d->lockNotice);
    QVector<SyncBar::Row> rows;
    for (const Session &session : qAsConst(d->sessions)) {
        for (const StoreMerge::Conflict &conflict : session.conflicts) {
            const bool taken = session.taken.contains(conflict.key);
            rows.append({ conflictText(conflict)
                    + (taken ? tr(" (the other machine's is kept)")
                             : tr(" (this machine's is kept)")),
                choiceText(conflict, taken) });
        }
    }
    d->bar->setContent(notices, rows);
}

void SyncWatch::takeOther(int row)
{
    for (Session &session : d->sessions) {
        if (row >= session.conflicts.size()) {
            row -= session.conflicts.size();
            continue;
        }
        if (!d->gui)
            return;
        const QString key = session.conflicts.at(row).key;
        const bool take = !session.taken.contains(key);
        QSet<QString> taken = session.taken;
        if (take)
            taken.insert(key);
        else
            taken.remove(key);
        const StoreRecords chosen = StoreMerge::merge(session.hasBase ? &session.base : nullptr,
            session.ours, session.theirs, session.lead, taken)
                                        .records;
        // On top of what was changed since the merge.
        QByteArray present;
        if (!readFile(d->dataFile(), &present))
            return;
        StoreSnapshot now;
        now.readBytes(present);
        const QByteArray bytes = RecordWriter::wholeDocument(
            StoreMerge::merge(&session.result, now, chosen, StoreMerge::Lead::Ours).records);
        if (bytes.isEmpty() || now.damaged()
            || !d->history->applyVersion(
                take ? tr("Take Other Value") : tr("Keep This Machine's Value"), bytes))
            return;
        session.taken = taken;
        session.result = chosen;
        showState();
        return;
    }
}
