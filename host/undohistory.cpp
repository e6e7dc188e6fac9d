#include "host/undohistory.h"

#include "host/storechange.h"
#include "store/datachange.h"
#include "store/rescuecopies.h"
#include "store/storefolder.h"
#include "window/celloragui.h"

#include <QTimer>

#include <algorithm>

// One version of the data file: in full while it is the newest or not packed yet,
// otherwise the middle that differs from the next newer version, compressed.
struct UndoHistory::Version {
    QByteArray full;
    bool packed = false;
    int prefix = 0; // bytes shared with the start of the next newer version
    int suffix = 0; // bytes shared with its end
    QByteArray middle;

    static Version of(const QByteArray &bytes)
    {
        Version version;
        version.full = bytes;
        return version;
    }

    void packAgainst(const QByteArray &newer)
    {
        const int shorter = std::min(full.size(), newer.size());
        const auto firstDifference
            = std::mismatch(full.constBegin(), full.constBegin() + shorter, newer.constBegin());
        prefix = int(firstDifference.first - full.constBegin());
        suffix = 0;
        while (suffix < shorter - prefix
            && full.at(full.size() - 1 - suffix) == newer.at(newer.size() - 1 - suffix))
            ++suffix;
        middle = qCompress(full.mid(prefix, full.size() - prefix - suffix));
        full.clear();
        packed = true;
    }

    QByteArray unpack(const QByteArray &newer) const
    {
        return newer.left(prefix) + qUncompress(middle) + newer.right(suffix);
    }
};

UndoHistory::UndoHistory(CelloraGui *window, QObject *parent)
    : QObject(parent)
    , gui(window)
{
    gui->setStoreListener([this](bool written, const QByteArray &before, const QByteArray &after) {
        noteWrite(written, before, after);
    });
}

UndoHistory::~UndoHistory()
{
    keepDropped(); // into the folder they came from, before the window goes
    gui->setStoreListener(nullptr);
}

ChangeOutcome UndoHistory::applyChange(
    const QString &label, const StoreFolder &basis, const StoreRecords &after)
{
    pendingLabel = label;
    const ChangeOutcome outcome = gui->changeStoreRecords(basis.bytes, basis.records, after);
    pendingLabel.clear();
    return outcome;
}

bool UndoHistory::applyVersion(const QString &label, const QByteArray &content)
{
    pendingLabel = label;
    const bool written = gui->replaceStoreContent(content);
    pendingLabel.clear();
    return written;
}

QString UndoHistory::undoLabel()
{
    return canUndo() ? labelOf(steps[done - 1]) : QString();
}

QString UndoHistory::redoLabel()
{
    return canRedo() ? labelOf(steps[done]) : QString();
}

QString UndoHistory::labelOf(Step &step) const
{
    // Named when asked for, as the Edit menu opens: it reads both versions whole.
    if (step.label.isEmpty())
        step.label = StoreChange::describe(versionAt(step.from), versionAt(step.to));
    return step.label;
}

bool UndoHistory::undo()
{
    if (!canUndo() || !writeVersion(steps.at(done - 1).from))
        return false;
    --done;
    emit changed();
    return true;
}

bool UndoHistory::redo()
{
    if (!canRedo() || !writeVersion(steps.at(done).to))
        return false;
    ++done;
    emit changed();
    return true;
}

qint64 UndoHistory::heldBytes() const
{
    qint64 held = 0;
    for (int i = 0; i + 1 < versions.size(); ++i)
        held += versions.at(i).packed ? versions.at(i).middle.size() : versions.at(i).full.size();
    return held;
}

void UndoHistory::noteWrite(bool written, const QByteArray &before, const QByteArray &after)
{
    emit writeAttempted();
    if (written)
        emit stored(before, after);
    // A failed write changed nothing; an unchanged file needs no step.
    if (writing || !written || before == after)
        return;
    record(before, after, pendingLabel);
    emit changed();
}

void UndoHistory::record(const QByteArray &before, const QByteArray &after, const QString &label)
{
    dropRedo();
    forgetCache();
    // Something else wrote the file since the last version: that content becomes a
    // version too, so that undoing back past it brings it back. The ordinary click hands
    // over the very bytes recorded last, found without comparing them.
    const bool known = !versions.isEmpty()
        && (versions.last().full.constData() == before.constData()
            || versions.last().full == before);
    if (!known)
        versions.append(Version::of(before));
    versions.append(Version::of(after));
    steps.append({ label, int(versions.size()) - 2, int(versions.size()) - 1 });
    while (steps.size() > stepLimit)
        dropOldest();
    done = steps.size();
    schedulePacking();
}

void UndoHistory::dropRedo()
{
    if (!canRedo())
        return;
    // The file holds the version the last undo wrote, at hand; it is unpacked only when not.
    const int current = currentVersion();
    const QByteArray bytes = cachedIndex == current ? cached : versionAt(current);
    // What could have been redone was in the file once: it stays as rescue copies, the
    // furthest first, as many as the folder keeps of them. They are written when idle.
    const int furthest = int(versions.size()) - 1;
    for (int i = furthest; i > current && furthest - i < RescueCopies::kept; --i)
        dropped.append(std::move(versions[i]));
    versions.resize(current + 1);
    versions.last() = Version::of(bytes);
    steps.resize(done);
    scheduleKeeping();
}

// Each dropped version unpacks against the one dropped before it; the first of each drop
// is whole.
bool UndoHistory::keepOneDropped()
{
    if (dropped.isEmpty())
        return false;
    const Version version = dropped.takeFirst();
    lastDropped = version.packed ? version.unpack(lastDropped) : version.full;
    gui->keepUndoneVersion(lastDropped);
    if (dropped.isEmpty())
        lastDropped.clear();
    return true;
}

void UndoHistory::keepDropped()
{
    while (keepOneDropped()) { }
}

// One copy each time the event loop is idle, so that the window answers in between.
void UndoHistory::scheduleKeeping()
{
    if (keepingScheduled || dropped.isEmpty())
        return;
    keepingScheduled = true;
    QTimer::singleShot(0, this, [this] {
        keepingScheduled = false;
        keepOneDropped();
        scheduleKeeping();
    });
}

void UndoHistory::forgetCache()
{
    cachedIndex = -1;
    cached.clear();
}

void UndoHistory::dropOldest()
{
    forgetCache();
    steps.removeFirst();
    const int unreachable = steps.first().from;
    versions.remove(0, unreachable);
    for (Step &step : steps) {
        step.from -= unreachable;
        step.to -= unreachable;
    }
}

int UndoHistory::currentVersion() const
{
    if (done < steps.size())
        return steps.at(done).from;
    return int(versions.size()) - 1;
}

QByteArray UndoHistory::versionAt(int index) const
{
    int start = index;
    while (versions.at(start).packed && start != cachedIndex)
        ++start; // the newest version is never packed
    QByteArray bytes = start == cachedIndex ? cached : versions.at(start).full;
    for (int i = start - 1; i >= index; --i)
        bytes = versions.at(i).unpack(bytes);
    cachedIndex = index;
    cached = bytes;
    return bytes;
}

bool UndoHistory::writeVersion(int index)
{
    writing = true;
    const bool written = gui->replaceStoreContent(versionAt(index));
    writing = false;
    return written;
}

void UndoHistory::schedulePacking()
{
    if (packingScheduled)
        return;
    packingScheduled = true;
    QTimer::singleShot(0, this, [this] {
        packingScheduled = false;
        pack();
    });
}

void UndoHistory::pack()
{
    for (int i = 0; i + 1 < versions.size(); ++i) {
        if (!versions.at(i).packed)
            versions[i].packAgainst(versions.at(i + 1).full);
    }
}
