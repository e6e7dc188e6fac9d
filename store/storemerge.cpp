#include "store/storemerge.h"

#include "store/recordfields.h"

#include <QHash>

#include <algorithm>
#include <limits>
#include <type_traits>

namespace {

using StoreMerge::Change;
using StoreMerge::Conflict;
using Record = Conflict::Record;

// The text of a value, as conflicts and changes show it: the same on every machine.
QString text(uint value)
{
    return QString::number(value);
}

QString text(int value)
{
    return QString::number(value);
}

QString text(bool value)
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

QString text(const QString &value)
{
    return value;
}

QString text(const QDate &value)
{
    return value.isValid() ? value.toString(Qt::ISODate) : QString();
}

QString text(const QTime &value)
{
    return value.isValid() ? value.toString(QStringLiteral("HH:mm:ss.zzz")) : QString();
}

QString text(const QDateTime &value)
{
    return value.isValid() ? value.toString(Qt::ISODateWithMs) : QString();
}

// An entry's moment as its local day and time of day in milliseconds, as the pairing of
// flights compares them; every undated entry has the same one.
QString momentKey(const QDateTime &moment)
{
    if (!moment.isValid())
        return QStringLiteral("undated");
    const QDateTime local = moment.timeSpec() == Qt::LocalTime ? moment : moment.toLocalTime();
    return QString::number(local.date().toJulianDay()) + QLatin1Char(':')
        + QString::number(local.time().msecsSinceStartOfDay());
}

bool later(const QDateTime &a, const QDateTime &b)
{
    return a.isValid() && (!b.isValid() || a > b);
}

// Every attribute a Cycle is written with: a figure added to the file is compared and
// merged as the others are.
bool sameCycle(const CycleRecord &a, const CycleRecord &b)
{
    bool same = true;
    RecordFields::forEach(RecordFields::cycle(),
        [&](const auto &field) { same = same && a.*field.member == b.*field.member; });
    return same;
}

bool sameFlight(const LogData &a, const LogData &b)
{
    return a.date == b.date && a.duration == b.duration && a.location == b.location
        && a.temperature == b.temperature && a.notes == b.notes;
}

template <typename T, typename Same>
bool sameLists(const QVector<T> &a, const QVector<T> &b, Same same)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), same);
}

bool sameExceptName(const BatteryRecord &a, const BatteryRecord &b)
{
    return a.capacity == b.capacity && a.chargeRate == b.chargeRate && a.rating == b.rating
        && a.purchase == b.purchase && a.cycles == b.cycles && a.charged == b.charged
        && a.lastUse == b.lastUse && sameLists(a.cycleData, b.cycleData, sameCycle);
}

bool sameExceptName(const ModelRecord &a, const ModelRecord &b)
{
    return a.type == b.type && a.weight == b.weight && a.size == b.size && a.purchase == b.purchase
        && a.flights == b.flights && a.notes == b.notes && a.lastUpdate == b.lastUpdate
        && a.batteries == b.batteries && sameLists(a.flightLog, b.flightLog, sameFlight);
}

template <typename T> bool sameRecord(const T &a, const T &b)
{
    return a.name == b.name && sameExceptName(a, b);
}

bool sameName(const QString &a, const QString &b)
{
    return a == b;
}

QString identity(const QString &name)
{
    return name;
}

QString identity(const BatteryRecord &battery)
{
    return battery.name;
}

QString identity(const ModelRecord &model)
{
    return model.name;
}

QString identity(const CycleRecord &cycle)
{
    return momentKey(cycle.date);
}

QString identity(const LogData &flight)
{
    return momentKey(flight.date);
}

QDateTime momentOf(const CycleRecord &cycle)
{
    return cycle.date;
}

QDateTime momentOf(const LogData &flight)
{
    return flight.date;
}

// Records have no moment: they keep their order.
QDateTime momentOf(const BatteryRecord &)
{
    return QDateTime();
}

QDateTime momentOf(const ModelRecord &)
{
    return QDateTime();
}

QDateTime momentOf(const QString &)
{
    return QDateTime();
}

// A side's list with the identity of each item: its name or moment, and how many items of
// the same one came before it (a file may hold two batteries of one name).
template <typename List> struct Keyed {
    const List *items = nullptr;
    QVector<QString> keys;
    QHash<QString, int> index;

    Keyed() = default;
    explicit Keyed(const List *list)
        : items(list)
    {
        if (!list)
            return;
        QHash<QString, int> seen;
        for (const auto &item : *list) {
            const QString id = identity(item);
            keys << id + QLatin1Char('#') + QString::number(seen[id]++);
        }
        reindex();
    }
    void reindex()
    {
        index.clear();
        for (int i = 0; i < keys.size(); ++i)
            index.insert(keys.at(i), i);
    }
    const typename List::value_type *find(const QString &key) const
    {
        const auto found = index.constFind(key);
        return items && found != index.constEnd() ? &items->at(*found) : nullptr;
    }
};

// A record renamed on one side is known by its base name there: a base record that side no
// longer holds, and a new record of that side that holds what the base record held.
bool holdsMoments(const QVector<CycleRecord> &from, const QVector<CycleRecord> &in)
{
    QSet<QString> moments;
    for (const CycleRecord &cycle : in)
        moments.insert(momentKey(cycle.date));
    return std::all_of(from.begin(), from.end(),
        [&](const CycleRecord &cycle) { return moments.contains(momentKey(cycle.date)); });
}

bool holdsMoments(const QVector<LogData> &from, const QVector<LogData> &in)
{
    QSet<QString> moments;
    for (const LogData &flight : in)
        moments.insert(momentKey(flight.date));
    return std::all_of(from.begin(), from.end(),
        [&](const LogData &flight) { return moments.contains(momentKey(flight.date)); });
}

// A record without history is known again only without history of its own and by all its
// fixed values: any pack of one kind bought on one day would hold an empty history.
bool renamedFrom(const BatteryRecord &base, const BatteryRecord &record)
{
    if (base.cycleData.isEmpty() != record.cycleData.isEmpty())
        return false;
    return base.purchase == record.purchase && base.capacity == record.capacity
        && base.rating == record.rating && base.chargeRate == record.chargeRate
        && holdsMoments(base.cycleData, record.cycleData);
}

bool renamedFrom(const ModelRecord &base, const ModelRecord &record)
{
    if (base.flightLog.isEmpty() != record.flightLog.isEmpty())
        return false;
    return base.purchase == record.purchase && base.type == record.type
        && base.weight == record.weight && base.size == record.size
        && holdsMoments(base.flightLog, record.flightLog);
}

template <typename List>
void findRenames(const Keyed<List> &base, Keyed<List> &side, const Keyed<List> &other)
{
    QSet<int> taken;
    for (int b = 0; b < base.keys.size(); ++b) {
        if (side.index.contains(base.keys.at(b)))
            continue;
        for (int s = 0; s < side.keys.size(); ++s) {
            const QString &key = side.keys.at(s);
            if (!taken.contains(s) && !base.index.contains(key) && !other.index.contains(key)
                && renamedFrom(base.items->at(b), side.items->at(s))) {
                side.keys[s] = base.keys.at(b);
                taken.insert(s);
                break;
            }
        }
    }
    side.reindex();
}

// Where a value lives, for the keys and texts of conflicts and changes.
struct Where {
    Record record;
    QString key;
    QString name;
    QDateTime moment;
};

// An entry one side added alone, for the check that no moment is flown with two packs.
struct Added {
    bool ours;
    QString battery; // the battery's key
    QString entry;
};

class Merger {
public:
    Merger(const StoreRecords *base, const StoreRecords &ours, const StoreRecords &theirs,
        StoreMerge::Lead lead, const QSet<QString> &takeTheirs)
        : base(base)
        , ours(ours)
        , theirs(theirs)
        , leadOurs(lead == StoreMerge::Lead::Ours)
        , takeTheirs(takeTheirs)
    {
    }

    StoreMerge::Result run();

    QVector<Change> theirsChanged;

private:
    template <typename T>
    T value(
        const T *b, const T &o, const T &t, const Where &w, const char *field, bool strong = true);
    uint counter(const uint *b, uint o, uint t, const Where &w, const char *field);
    void chargeState(const BatteryRecord *b, const BatteryRecord &o, const BatteryRecord &t,
        BatteryRecord &merged, const Where &w);
    template <typename T> QString name(const T *b, const T &o, const T &t, const Where &w);
    void conflict(Conflict::Kind kind, const Where &w, const QString &field, const QString &o,
        const QString &t);
    bool took(const QString &key) const { return takeTheirs.contains(key); }
    void noteChange(const QString &key, bool strong, const QString &from, const QString &to,
        bool presence = false);

    // Merges two keyed lists; `one` merges an item both sides hold, `describe` says where an
    // item lives. `keys` receives the result's keys. Entries (`byTime`) keep the order of
    // time where both sides added some.
    template <typename List, typename One, typename Same, typename Describe>
    List list(const Keyed<List> &b, const Keyed<List> &o, const Keyed<List> &t, One one, Same same,
        Describe describe, bool byTime, QVector<QString> *keys = nullptr,
        QVector<Added> *added = nullptr);

    BatteryRecord battery(
        const BatteryRecord *b, const BatteryRecord &o, const BatteryRecord &t, const QString &key);
    ModelRecord model(
        const ModelRecord *b, const ModelRecord &o, const ModelRecord &t, const QString &key);
    void keepOneFlownPack(QVector<BatteryRecord> &batteries, const QVector<QString> &keys);
    void followRenames(QVector<ModelRecord> &models, const QVector<BatteryRecord> &batteries,
        const Keyed<QVector<BatteryRecord>> &o, const Keyed<QVector<BatteryRecord>> &t,
        const QVector<QString> &keys);

    const StoreRecords *base;
    const StoreRecords &ours;
    const StoreRecords &theirs;
    const bool leadOurs;
    const QSet<QString> &takeTheirs;
    QVector<Conflict> conflicts;
    QHash<QString, QVector<Added>> cycleAdded; // by the battery's key
};

void Merger::noteChange(
    const QString &key, bool strong, const QString &from, const QString &to, bool presence)
{
    theirsChanged.append({ key, strong, presence, from, to });
}

void Merger::conflict(
    Conflict::Kind kind, const Where &w, const QString &field, const QString &o, const QString &t)
{
    Conflict found;
    found.kind = kind;
    found.record = w.record;
    found.key = field.isEmpty() ? w.key : w.key + QLatin1Char('/') + field;
    found.name = w.name;
    found.moment = w.moment;
    found.field = field;
    found.ours = o;
    found.theirs = t;
    conflicts.append(found);
}

template <typename T>
T Merger::value(const T *b, const T &o, const T &t, const Where &w, const char *field, bool strong)
{
    const QString name = QLatin1String(field);
    if (b && !(t == *b))
        noteChange(w.key + QLatin1Char('/') + name, strong, text(*b), text(t));
    if (o == t || (b && t == *b))
        return o;
    if (b && o == *b)
        return t;
    conflict(Conflict::Kind::Field, w, name, text(o), text(t));
    return took(w.key + QLatin1Char('/') + name) ? t : o;
}

uint Merger::counter(const uint *b, uint o, uint t, const Where &w, const char *field)
{
    if (!b)
        return value(b, o, t, w, field);
    if (t != *b)
        noteChange(w.key + QLatin1Char('/') + QLatin1String(field), true, text(*b), text(t));
    // What each side counted since the base counts once.
    const qint64 sum = qint64(o) + qint64(t) - qint64(*b);
    return uint(std::clamp<qint64>(sum, 0, std::numeric_limits<uint>::max()));
}

void Merger::chargeState(const BatteryRecord *b, const BatteryRecord &o, const BatteryRecord &t,
    BatteryRecord &merged, const Where &w)
{
    const auto same = [](const BatteryRecord &x, const BatteryRecord &y) {
        return x.charged == y.charged && x.lastUse == y.lastUse;
    };
    if (b && t.charged != b->charged)
        noteChange(w.key + QStringLiteral("/Charged"), false, text(b->charged), text(t.charged));
    if (b && t.lastUse != b->lastUse)
        noteChange(w.key + QStringLiteral("/LastUse"), true, text(b->lastUse), text(t.lastUse));
    const BatteryRecord *from = &o;
    if (same(o, t) || (b && same(t, *b)))
        from = &o;
    else if (b && same(o, *b))
        from = &t;
    else if (later(t.lastUse, o.lastUse))
        from = &t; // the later use knows what happened since the other
    else if (!later(o.lastUse, t.lastUse)) {
        conflict(
            Conflict::Kind::Field, w, QStringLiteral("Charged"), text(o.charged), text(t.charged));
        from = took(w.key + QStringLiteral("/Charged")) ? &t : &o;
    }
    merged.charged = from->charged;
    merged.lastUse = from->lastUse;
}

template <typename T> QString Merger::name(const T *b, const T &o, const T &t, const Where &w)
{
    if (b && t.name != b->name)
        noteChange(w.key + QStringLiteral("/Name"), true, b->name, t.name);
    if (o.name == t.name)
        return o.name;
    // A rename merges alone; with other changes of the other side it is named, since
    // assignments and what the user knows go by the name.
    const bool oursRenamed = !b || o.name != b->name;
    const bool theirsRenamed = !b || t.name != b->name;
    if (b && !theirsRenamed && sameExceptName(t, *b))
        return o.name;
    if (b && !oursRenamed && sameExceptName(o, *b))
        return t.name;
    conflict(Conflict::Kind::Rename, w, QStringLiteral("Name"), o.name, t.name);
    return took(w.key + QStringLiteral("/Name")) ? t.name : o.name;
}

template <typename List, typename One, typename Same, typename Describe>
List Merger::list(const Keyed<List> &b, const Keyed<List> &o, const Keyed<List> &t, One one,
    Same same, Describe describe, bool byTime, QVector<QString> *keys, QVector<Added> *added)
{
    using Item = typename List::value_type;
    const Keyed<List> &lead = leadOurs ? o : t;
    const Keyed<List> &follow = leadOurs ? t : o;
    List first;
    List second;
    QVector<QString> firstKeys;
    QVector<QString> secondKeys;
    const auto take = [&](const QString &key, bool fromLead) {
        const Item *inBase = b.find(key);
        const Item *inOurs = o.find(key);
        const Item *inTheirs = t.find(key);
        const Where w = describe(key, inOurs ? *inOurs : *inTheirs);
        if (!inTheirs && inBase)
            noteChange(w.key, true, QStringLiteral("1"), QString(), true);
        if (inTheirs && b.items && !inBase)
            noteChange(w.key, true, QString(), QStringLiteral("1"), true);
        bool keep = true;
        Item merged;
        if (inOurs && inTheirs)
            merged = one(inBase, *inOurs, *inTheirs, w);
        else {
            const Item &present = inOurs ? *inOurs : *inTheirs;
            merged = present;
            if (inBase && !same(present, *inBase)) {
                // Deleted on one side, changed on the other: this machine's side stays.
                conflict(Conflict::Kind::DeletedChanged, w, QString(),
                    inOurs ? identity(present) : QString(), inOurs ? QString() : identity(present));
                keep = (inOurs != nullptr) != took(w.key);
            } else
                keep = !inBase; // an addition stays, a deletion of an unchanged item holds
            if (keep && !inBase && added)
                added->append({ inOurs != nullptr, QString(), key });
        }
        if (!keep)
            return;
        (fromLead ? first : second).append(merged);
        (fromLead ? firstKeys : secondKeys).append(key);
    };
    for (const QString &key : lead.keys)
        take(key, true);
    for (const QString &key : follow.keys) {
        if (!lead.index.contains(key))
            take(key, false);
    }
    // Deleted on both sides: only the change is noted.
    for (int i = 0; i < b.keys.size(); ++i) {
        const QString &key = b.keys.at(i);
        if (!o.index.contains(key) && !t.index.contains(key))
            noteChange(
                describe(key, b.items->at(i)).key, true, QStringLiteral("1"), QString(), true);
    }
    List merged;
    QVector<QString> mergedKeys;
    int i = 0;
    int j = 0;
    while (i < first.size() || j < second.size()) {
        const bool fromSecond = j < second.size()
            && (i == first.size()
                || (byTime && later(momentOf(first.at(i)), momentOf(second.at(j)))));
        if (fromSecond) {
            merged.append(second.at(j));
            mergedKeys.append(secondKeys.at(j++));
        } else {
            merged.append(first.at(i));
            mergedKeys.append(firstKeys.at(i++));
        }
    }
    if (keys)
        *keys = mergedKeys;
    return merged;
}

BatteryRecord Merger::battery(
    const BatteryRecord *b, const BatteryRecord &o, const BatteryRecord &t, const QString &key)
{
    // Alike on both sides, as most records are: nothing to merge, nothing changed there
    // that `changes` would not see (its sides are the base and the other).
    if (sameRecord(o, t))
        return o;
    const Where w { Record::Battery, QStringLiteral("battery/") + key, o.name, {} };
    BatteryRecord merged;
    merged.name = name(b, o, t, w);
    merged.capacity = value(b ? &b->capacity : nullptr, o.capacity, t.capacity, w, "Capacity");
    merged.chargeRate
        = value(b ? &b->chargeRate : nullptr, o.chargeRate, t.chargeRate, w, "Chrgrate");
    merged.rating = value(b ? &b->rating : nullptr, o.rating, t.rating, w, "Dischrgrate");
    merged.purchase = value(b ? &b->purchase : nullptr, o.purchase, t.purchase, w, "Purchase");
    merged.cycles = counter(b ? &b->cycles : nullptr, o.cycles, t.cycles, w, "Cycles");
    chargeState(b, o, t, merged, w);
    using Cycles = QVector<CycleRecord>;
    const auto one = [&](const CycleRecord *bc, const CycleRecord &oc, const CycleRecord &tc,
                         const Where &cw) {
        CycleRecord cycle = oc;
        // The date is the entry's identity; every figure merges on its own.
        RecordFields::forEach(RecordFields::cycle(), [&](const auto &field) {
            using Value = typename std::decay_t<decltype(field)>::Type;
            if constexpr (!std::is_same_v<Value, QDateTime>) {
                const QByteArray name = field.name.toLatin1();
                cycle.*field.member = value(bc ? &(bc->*field.member) : nullptr,
                    oc.*field.member, tc.*field.member, cw, name.constData());
            }
        });
        return cycle;
    };
    const auto describe = [&](const QString &entry, const CycleRecord &cycle) {
        return Where { Record::Cycle, w.key + QStringLiteral("/cycle/") + entry, o.name,
            cycle.date };
    };
    QVector<Added> &added = cycleAdded[key];
    merged.cycleData = list(Keyed<Cycles>(b ? &b->cycleData : nullptr), Keyed<Cycles>(&o.cycleData),
        Keyed<Cycles>(&t.cycleData), one, sameCycle, describe, true, nullptr, &added);
    for (Added &entry : added)
        entry.battery = key;
    return merged;
}

ModelRecord Merger::model(
    const ModelRecord *b, const ModelRecord &o, const ModelRecord &t, const QString &key)
{
    if (sameRecord(o, t))
        return o;
    const Where w { Record::Model, QStringLiteral("model/") + key, o.name, {} };
    ModelRecord merged;
    merged.name = name(b, o, t, w);
    merged.type = value(b ? &b->type : nullptr, o.type, t.type, w, "Type");
    merged.weight = value(b ? &b->weight : nullptr, o.weight, t.weight, w, "Weight");
    merged.size = value(b ? &b->size : nullptr, o.size, t.size, w, "Size");
    merged.purchase = value(b ? &b->purchase : nullptr, o.purchase, t.purchase, w, "Purchase");
    merged.flights = value(b ? &b->flights : nullptr, o.flights, t.flights, w, "Flights");
    merged.notes = value(b ? &b->notes : nullptr, o.notes, t.notes, w, "Notes");
    merged.lastUpdate
        = value(b ? &b->lastUpdate : nullptr, o.lastUpdate, t.lastUpdate, w, "LastUpdate");
    const auto pair = [&](const QString &battery, const QString &) {
        return Where { Record::Model, w.key + QStringLiteral("/battery/") + battery, o.name, {} };
    };
    const auto keepOurs
        = [](const QString *, const QString &ob, const QString &, const Where &) { return ob; };
    merged.batteries
        = list(Keyed<QStringList>(b ? &b->batteries : nullptr), Keyed<QStringList>(&o.batteries),
            Keyed<QStringList>(&t.batteries), keepOurs, sameName, pair, false);
    using Flights = QVector<LogData>;
    const auto one = [&](const LogData *bf, const LogData &of, const LogData &tf, const Where &fw) {
        LogData flight = of;
        flight.duration
            = value(bf ? &bf->duration : nullptr, of.duration, tf.duration, fw, "Duration");
        flight.location
            = value(bf ? &bf->location : nullptr, of.location, tf.location, fw, "Location");
        flight.temperature = value(
            bf ? &bf->temperature : nullptr, of.temperature, tf.temperature, fw, "Temperature");
        flight.notes = value(bf ? &bf->notes : nullptr, of.notes, tf.notes, fw, "Notes");
        return flight;
    };
    const auto describe = [&](const QString &entry, const LogData &flight) {
        return Where { Record::Flight, w.key + QStringLiteral("/flight/") + entry, o.name,
            flight.date };
    };
    merged.flightLog
        = list(Keyed<Flights>(b ? &b->flightLog : nullptr), Keyed<Flights>(&o.flightLog),
            Keyed<Flights>(&t.flightLog), one, sameFlight, describe, true);
    return merged;
}

// A moment that each side flew with another pack added on both: one flight, two
// discharges. This machine's packs stay; the other's entries go, and the cycle each counted.
void Merger::keepOneFlownPack(QVector<BatteryRecord> &batteries, const QVector<QString> &keys)
{
    QHash<QString, QVector<Added>> byMoment;
    QVector<QString> moments; // in the result's order, so that every machine does the same
    for (const QString &battery : keys) {
        for (const Added &entry : cycleAdded.value(battery)) {
            const QString moment = entry.entry.section(QLatin1Char('#'), 0, 0);
            if (moment == QLatin1String("undated"))
                continue;
            if (!byMoment.contains(moment))
                moments.append(moment);
            byMoment[moment].append(entry);
        }
    }
    for (const QString &moment : moments) {
        const QVector<Added> &added = byMoment.value(moment);
        QStringList packs[2];
        QDateTime when;
        for (const Added &entry : added) {
            const BatteryRecord &battery = batteries.at(keys.indexOf(entry.battery));
            packs[entry.ours ? 0 : 1].append(battery.name);
            for (const CycleRecord &cycle : battery.cycleData) {
                if (momentKey(cycle.date) == moment)
                    when = cycle.date;
            }
        }
        if (packs[0].isEmpty() || packs[1].isEmpty())
            continue;
        const Where w { Record::Moment, QStringLiteral("moment/") + moment, QString(), when };
        conflict(Conflict::Kind::Pairing, w, QString(), packs[0].join(QStringLiteral(", ")),
            packs[1].join(QStringLiteral(", ")));
        const bool dropOurs = took(w.key);
        for (const Added &entry : added) {
            if (entry.ours != dropOurs)
                continue;
            BatteryRecord &battery = batteries[keys.indexOf(entry.battery)];
            QVector<CycleRecord> &cycles = battery.cycleData;
            const auto drop = std::find_if(cycles.begin(), cycles.end(),
                [&](const CycleRecord &cycle) { return momentKey(cycle.date) == moment; });
            if (drop != cycles.end()) {
                cycles.erase(drop);
                battery.cycles = battery.cycles > 0 ? battery.cycles - 1 : 0;
            }
        }
    }
}

// An assignment made on one side under a battery's old name follows it to the name kept.
void Merger::followRenames(QVector<ModelRecord> &models, const QVector<BatteryRecord> &batteries,
    const Keyed<QVector<BatteryRecord>> &o, const Keyed<QVector<BatteryRecord>> &t,
    const QVector<QString> &keys)
{
    QHash<QString, QString> renamed;
    for (int i = 0; i < keys.size(); ++i) {
        for (const BatteryRecord *side : { o.find(keys.at(i)), t.find(keys.at(i)) }) {
            if (side && side->name != batteries.at(i).name)
                renamed.insert(side->name, batteries.at(i).name);
        }
    }
    if (renamed.isEmpty())
        return;
    for (ModelRecord &model : models) {
        QStringList names;
        for (const QString &battery : qAsConst(model.batteries)) {
            const QString name = renamed.value(battery, battery);
            if (!names.contains(name))
                names.append(name);
        }
        model.batteries = names;
    }
}

StoreMerge::Result Merger::run()
{
    StoreMerge::Result result;
    result.withoutBase = !base;
    using Batteries = QVector<BatteryRecord>;
    using Models = QVector<ModelRecord>;
    const Keyed<Batteries> baseBatteries(base ? &base->batteries : nullptr);
    Keyed<Batteries> ourBatteries(&ours.batteries);
    Keyed<Batteries> theirBatteries(&theirs.batteries);
    const Keyed<Models> baseModels(base ? &base->models : nullptr);
    Keyed<Models> ourModels(&ours.models);
    Keyed<Models> theirModels(&theirs.models);
    if (base) {
        findRenames(baseBatteries, ourBatteries, theirBatteries);
        findRenames(baseBatteries, theirBatteries, ourBatteries);
        findRenames(baseModels, ourModels, theirModels);
        findRenames(baseModels, theirModels, ourModels);
    }

    const auto place = [](Record record, const char *prefix) {
        return [record, prefix](const QString &key, const auto &item) {
            return Where { record, QLatin1String(prefix) + key, identity(item), {} };
        };
    };
    const auto location
        = [](const QString *, const QString &o, const QString &, const Where &) { return o; };
    result.records.locations = list(Keyed<QStringList>(base ? &base->locations : nullptr),
        Keyed<QStringList>(&ours.locations), Keyed<QStringList>(&theirs.locations), location,
        sameName, place(Record::Location, "location/"), false);

    QVector<QString> batteryKeys;
    const auto battery = [this](const BatteryRecord *b, const BatteryRecord &o,
                             const BatteryRecord &t, const Where &w) {
        return this->battery(b, o, t, w.key.mid(int(qstrlen("battery/"))));
    };
    result.records.batteries = list(baseBatteries, ourBatteries, theirBatteries, battery,
        sameRecord<BatteryRecord>, place(Record::Battery, "battery/"), false, &batteryKeys);
    keepOneFlownPack(result.records.batteries, batteryKeys);

    const auto model
        = [this](const ModelRecord *b, const ModelRecord &o, const ModelRecord &t, const Where &w) {
              return this->model(b, o, t, w.key.mid(int(qstrlen("model/"))));
          };
    result.records.models = list(baseModels, ourModels, theirModels, model, sameRecord<ModelRecord>,
        place(Record::Model, "model/"), false);
    followRenames(
        result.records.models, result.records.batteries, ourBatteries, theirBatteries, batteryKeys);
    result.conflicts = conflicts;
    return result;
}

} // namespace

StoreMerge::Result StoreMerge::merge(const StoreRecords *base, const StoreRecords &ours,
    const StoreRecords &theirs, Lead lead, const QSet<QString> &takeTheirs)
{
    return Merger(base, ours, theirs, lead, takeTheirs).run();
}

QVector<StoreMerge::Change> StoreMerge::changes(const StoreRecords &from, const StoreRecords &to)
{
    Merger merger(&from, from, to, Lead::Ours, {});
    merger.run();
    return merger.theirsChanged;
}
