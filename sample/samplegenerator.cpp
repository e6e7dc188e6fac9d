#include "sample/samplerandom.h"
#include "sample/samplestore.h"

#include <QHash>
#include <QtGlobal>

#include <algorithm>

namespace {

// Flights of one session lie at least this far apart, and their seconds field is
// the model's slot number: no two flights of the whole store share a date-time.
constexpr int maxBatteriesPerSession = 4;

// Typical daytime temperatures of a temperate climate, January first.
constexpr int monthlyMeanTemperature[12] = { 1, 2, 6, 10, 14, 18, 20, 19, 15, 10, 5, 2 };

struct BatteryKind {
    QString brand;
    int cells;
    uint capacity;
    uint rating;
    uint chargeRate;
};

// What a generator decides about one model before its flights are made.
struct ModelPlan {
    SampleModel model;
    QVector<int> flown; // batteries used in every session, at most maxBatteriesPerSession
    QVector<int> alsoAssigned; // assigned to the model but flown by another one
    QVector<QDate> sessionDays; // ascending, all before the anchor's date
    int homeLocation = 0;
};

const QVector<QString> &flightNotes()
{
    static const QVector<QString> notes = {
        QStringLiteral("Smooth hovering, no wind"),
        QStringLiteral("Gusty wind from the west"),
        QStringLiteral("Practised piro flips and backward circuits"),
        QStringLiteral("Tail a bit loose after landing,\n\tcheck belt tension"),
        QStringLiteral("Autorotation training:\n\tthree full-downs, one bailout"),
        QStringLiteral("New canopy fitted, looks great"),
        QStringLiteral("Governor hunting slightly at 2100 rpm"),
        QStringLiteral("Hot day, pack came down warm (52 \u00b0C)"),
        QStringLiteral("Club day & barbecue"),
        QStringLiteral("Flew with \"Max\" on the trainer cord"),
        QStringLiteral("Pack slightly puffed? Keep an eye on it"),
        QStringLiteral("Low clouds < 100 m, kept it short"),
        QStringLiteral("Tic-tocs & funnels\n\tfelt locked in\n\tmore pitch next time"),
        QStringLiteral("Landed with 30 % left"),
        QStringLiteral("Vibration at spool-up, rebalanced main blades"),
        QStringLiteral("Low hovering, orientation practice"),
    };
    return notes;
}

const QVector<QString> &modelNotes()
{
    static const QVector<QString> notes = {
        QStringLiteral("Setup:\n\tMain blades 690 mm\n\tHead speed 2000 rpm\nGovernor on, "
                       "gear ratio 10.5:1"),
        QStringLiteral("Bought second-hand.\nNew tail belt & bearings fitted."),
        QStringLiteral("Flybarless unit: gain 45 %\n\tExpo 30 % on cyclic"),
        QStringLiteral("Scale fuselage, \"do not loop\" <- mind the retracts"),
        QString(),
    };
    return notes;
}

QDateTime at(const QDate &day, int hour, int minute, int second)
{
    return QDateTime(day, QTime(hour, minute, second));
}

uint roundedTo(uint value, uint step)
{
    return (value + step / 2) / step * step;
}

// One day per session, spread evenly over the span before the anchor with some jitter.
QVector<QDate> spreadSessions(
    const QDate &anchorDay, int spanDays, int sessions, SampleRandom &random)
{
    const int gap = spanDays / sessions;
    QVector<QDate> days;
    days.reserve(sessions);
    for (int i = 0; i < sessions; ++i)
        days.append(anchorDay.addDays(-spanDays + i * gap + random.between(0, gap - 1)));
    return days;
}

// Weekend days of the last few weeks, the kind of days a newcomer flies on.
QVector<QDate> weekendSessions(
    const QDate &anchorDay, int weeks, int sessions, SampleRandom &random)
{
    QVector<QDate> weekendDays;
    for (int back = 1; back <= weeks * 7; ++back) {
        const QDate day = anchorDay.addDays(-back);
        if (day.dayOfWeek() >= Qt::Saturday)
            weekendDays.append(day);
    }
    random.shuffle(weekendDays);
    weekendDays.resize(qMin(sessions, weekendDays.size()));
    std::sort(weekendDays.begin(), weekendDays.end());
    return weekendDays;
}

SampleBattery makeBattery(const BatteryKind &kind, const QString &name)
{
    SampleBattery battery;
    battery.name = name;
    battery.capacity = kind.capacity;
    battery.rating = kind.rating;
    battery.chargeRate = kind.chargeRate;
    return battery;
}

SampleCycle dischargeOf(const SampleBattery &battery, const QDateTime &when, SampleRandom &random)
{
    SampleCycle cycle;
    cycle.date = when;
    cycle.discharged = roundedTo(battery.capacity * uint(random.between(58, 84)) / 100, 10);
    // Whole amperes, as the discharge page records them, within the pack's rating.
    const uint ratedAmps = battery.rating * battery.capacity / 1000;
    const uint amps = battery.capacity * uint(random.between(12, 26)) / 1000;
    cycle.current = qMin(qMin(amps, ratedAmps), 300u) * 100;
    return cycle;
}

QString flightNote(SampleRandom &random, int notePercent)
{
    return random.chance(notePercent) ? random.pick(flightNotes()) : QString();
}

// Each session flies every battery of plan.flown once, in a shuffled order.
void flySessions(
    SampleStore &store, ModelPlan &plan, int modelIndex, int notePercent, SampleRandom &random)
{
    Q_ASSERT(plan.flown.size() <= maxBatteriesPerSession);
    for (const QDate &day : plan.sessionDays) {
        const int locationIndex
            = random.chance(75) ? plan.homeLocation : random.between(0, store.locations.size() - 1);
        const QString &location = store.locations.at(locationIndex);
        const int temperature = monthlyMeanTemperature[day.month() - 1] + random.between(-4, 4);
        int minuteOfDay = random.between(9 * 60, 16 * 60);
        QVector<int> order = plan.flown;
        random.shuffle(order);
        for (int slot = 0; slot < order.size(); ++slot) {
            const int second = (modelIndex * maxBatteriesPerSession + slot) % 60;
            const QDateTime when = at(day, minuteOfDay / 60, minuteOfDay % 60, second);
            minuteOfDay += random.between(12, 25);

            SampleBattery &battery = store.batteries[order.at(slot)];
            battery.cycleData.append(dischargeOf(battery, when, random));
            battery.cycles = uint(battery.cycleData.size());

            SampleFlight flight;
            flight.date = when;
            flight.duration = QTime(0, random.between(3, 7), random.between(0, 59));
            flight.location = location;
            flight.temperature = temperature + random.between(-1, 1);
            flight.notes = flightNote(random, notePercent);
            plan.model.flightLog.append(flight);
        }
    }
}

// Purchase dates lie before the first use; the last use follows the last discharge,
// or the charge after it.
void finishBatteries(
    SampleStore &store, const QDate &anchorDay, int chargedPercent, SampleRandom &random)
{
    for (SampleBattery &battery : store.batteries) {
        const QDate firstUse = battery.cycleData.isEmpty()
            ? anchorDay.addDays(-30)
            : battery.cycleData.constFirst().date.date();
        battery.purchase = firstUse.addDays(-random.between(5, 40));
        if (battery.cycleData.isEmpty()) {
            battery.lastUse = at(battery.purchase, 19, random.between(0, 59), 0);
            continue;
        }
        const QDateTime lastFlight = battery.cycleData.constLast().date;
        battery.charged = random.chance(chargedPercent);
        battery.lastUse = lastFlight.addSecs(
            battery.charged ? random.between(60, 150) * 60 : random.between(1, 5) * 60);
    }
}

void finishModel(SampleStore &store, ModelPlan &plan, const QDate &anchorDay, SampleRandom &random)
{
    SampleModel &model = plan.model;
    const QDate firstFlight
        = plan.sessionDays.isEmpty() ? anchorDay : plan.sessionDays.constFirst();
    model.purchase = firstFlight.addDays(-random.between(7, 60));
    model.lastUpdate
        = at(model.purchase, random.between(18, 21), random.between(0, 59), random.between(0, 59));
    for (int index : plan.flown)
        model.batteries.append(store.batteries.at(index).name);
    for (int index : plan.alsoAssigned)
        model.batteries.append(store.batteries.at(index).name);
}

// Batteries a model may borrow: any that it does not fly itself.
QVector<int> borrowedBatteries(
    const QVector<int> &flown, int batteryCount, int count, SampleRandom &random)
{
    QVector<int> candidates;
    for (int i = 0; i < batteryCount; ++i) {
        if (!flown.contains(i))
            candidates.append(i);
    }
    random.shuffle(candidates);
    candidates.resize(qMin(count, candidates.size()));
    return candidates;
}

const QVector<BatteryKind> &batteryKinds()
{
    static const QVector<BatteryKind> kinds = {
        { QStringLiteral("Voltra"), 6, 5000, 25, 10 },
        { QStringLiteral("Ampero"), 6, 3300, 35, 20 },
        { QStringLiteral("Norvik"), 6, 4000, 40, 15 },
        { QStringLiteral("Lumacell"), 12, 5200, 30, 10 },
        { QStringLiteral("Voltra"), 3, 2200, 30, 20 },
        { QStringLiteral("Kestrel Power"), 6, 6000, 25, 5 },
    };
    return kinds;
}

const QVector<QString> &modelNames()
{
    static const QVector<QString> names = {
        QStringLiteral("Kestrel 700 X"),
        QStringLiteral("Corsa 550 Pro"),
        QStringLiteral("Falcor 380"),
        QStringLiteral("Vireo 700 Scale"),
        QStringLiteral("Strix 600"),
        QStringLiteral("Merlin 470 L"),
        QStringLiteral("Aquila 800"),
        QStringLiteral("Tangra 500"),
        QStringLiteral("Kite 250 Micro"),
        QStringLiteral("Orion 690 Nitro-E"),
        QStringLiteral("Corsa 420"),
        QStringLiteral("Harrow 700 Trainer"),
        QStringLiteral("Zephyr 550 3D"),
        QStringLiteral("Bell-Look 222"),
        QStringLiteral("Skarn 760"),
    };
    return names;
}

const QVector<QString> &locationNames()
{
    static const QVector<QString> names = {
        QStringLiteral("Eichenried Airfield"),
        QStringLiteral("Lakeside Meadow"),
        QStringLiteral("Hillcrest Club Field"),
        QStringLiteral("Back garden"),
        QStringLiteral("Moorfeld S\u00fcd"),
        QStringLiteral("Wiesen & Weide"),
        QStringLiteral("Old quarry"),
        QStringLiteral("Riverside \"Pit\""),
        QStringLiteral("Sch\u00f6nberg Heights"),
        QStringLiteral("Gravel pit <north>"),
        QStringLiteral("Farm of J. Keller"),
        QStringLiteral("Indoor hall Nordstadt"),
        QStringLiteral("Beach car park"),
        QStringLiteral("Club field Ostring"),
        QStringLiteral("Sports ground"),
        QStringLiteral("Heath near Brandt"),
        QStringLiteral("Valley strip"),
        QStringLiteral("Fun-fly Lindenau"),
        QStringLiteral("Castle meadow"),
        QStringLiteral("Holiday: Lake Garda"),
        QStringLiteral("Allotments"),
        QStringLiteral("Airstrip K\u00f6nigsau"),
        QStringLiteral("School playing field"),
        QStringLiteral("Windy ridge"),
        QStringLiteral("Friend's paddock"),
    };
    return names;
}

// Heavy, synthetic stores: each model flies its own group of batteries and borrows a few
// more on paper, so that batteries are shared between models.
struct BulkParameters {
    quint64 seed;
    int locations;
    QVector<int> flownPerModel;
    int sessionsPerModel;
    int spanDays;
    int maxBorrowed;
    int notePercent;
};

SampleStore bulkStore(const QDateTime &anchor, const BulkParameters &parameters)
{
    SampleRandom random(parameters.seed);
    const QDate anchorDay = anchor.date();
    SampleStore store;
    store.locations = QStringList(locationNames().mid(0, parameters.locations).toList());

    QVector<ModelPlan> plans;
    for (int m = 0; m < parameters.flownPerModel.size(); ++m) {
        const BatteryKind &kind = batteryKinds().at(m % batteryKinds().size());
        ModelPlan plan;
        for (int b = 0; b < parameters.flownPerModel.at(m); ++b) {
            plan.flown.append(store.batteries.size());
            store.batteries.append(makeBattery(kind,
                QStringLiteral("%1 %2S %3 #%4")
                    .arg(kind.brand)
                    .arg(kind.cells)
                    .arg(kind.capacity)
                    .arg(store.batteries.size() + 1, 2, 10, QLatin1Char('0'))));
        }
        plan.model.name = modelNames().at(m % modelNames().size());
        plan.model.type = QStringLiteral("Helicopter");
        plan.model.weight = uint(random.between(90, 620));
        plan.model.size = uint(random.between(25, 80)) * 10;
        plan.model.flights = uint(random.between(0, 120));
        plan.model.notes = random.pick(modelNotes());
        plan.homeLocation = random.between(0, store.locations.size() - 1);
        plan.sessionDays
            = spreadSessions(anchorDay, parameters.spanDays, parameters.sessionsPerModel, random);
        plans.append(plan);
    }
    for (int m = 0; m < plans.size(); ++m) {
        ModelPlan &plan = plans[m];
        plan.alsoAssigned = borrowedBatteries(
            plan.flown, store.batteries.size(), random.between(0, parameters.maxBorrowed), random);
        flySessions(store, plan, m, parameters.notePercent, random);
        finishModel(store, plan, anchorDay, random);
        store.models.append(plan.model);
    }
    finishBatteries(store, anchorDay, 30, random);
    return store;
}

} // namespace

SampleStore tenYearStore(const QDateTime &anchor)
{
    BulkParameters parameters;
    parameters.seed = 0xC0FFEE10;
    parameters.locations = 25;
    parameters.flownPerModel = QVector<int>(15, 4);
    parameters.sessionsPerModel = 300;
    parameters.spanDays = 3650;
    parameters.maxBorrowed = 4;
    parameters.notePercent = 45;
    return bulkStore(anchor, parameters);
}

SampleStore typicalStore(const QDateTime &anchor)
{
    BulkParameters parameters;
    parameters.seed = 0x7E1CA1;
    parameters.locations = 4;
    parameters.flownPerModel = { 3, 3, 2 };
    parameters.sessionsPerModel = 40;
    parameters.spanDays = 540;
    parameters.maxBorrowed = 2;
    parameters.notePercent = 40;
    return bulkStore(anchor, parameters);
}

SampleStore demoStore(const QDateTime &anchor)
{
    SampleRandom random(0xDE30);
    const QDate anchorDay = anchor.date();
    SampleStore store;
    store.locations = QStringList(locationNames().mid(0, 4).toList());

    const QVector<BatteryKind> &kinds = batteryKinds();
    store.batteries = {
        makeBattery(kinds.at(0), QStringLiteral("Voltra #1")),
        makeBattery(kinds.at(0), QStringLiteral("Voltra #2")),
        makeBattery(kinds.at(0), QStringLiteral("Voltra #3")),
        makeBattery(kinds.at(1), QStringLiteral("Ampero #1")),
        makeBattery(kinds.at(1), QStringLiteral("Ampero #2")),
        makeBattery(kinds.at(2), QStringLiteral("Norvik")),
    };

    ModelPlan kestrel;
    kestrel.model.name = QStringLiteral("Kestrel 700 X");
    kestrel.model.type = QStringLiteral("Helicopter 700");
    kestrel.model.weight = 520;
    kestrel.model.size = 700;
    kestrel.model.flights = 36;
    kestrel.model.notes = QStringLiteral("Bought second-hand, new tail belt fitted.\nSetup:\n"
                                         "\tHead speed 2000 rpm\n\tGovernor on");
    kestrel.flown = { 0, 1, 2 };
    kestrel.alsoAssigned = { 5 };
    kestrel.homeLocation = 0;
    kestrel.sessionDays = weekendSessions(anchorDay, 5, 7, random);

    ModelPlan corsa;
    corsa.model.name = QStringLiteral("Corsa 550 Pro");
    corsa.model.type = QStringLiteral("Helicopter 550");
    corsa.model.weight = 265;
    corsa.model.size = 550;
    corsa.model.flights = 12;
    corsa.model.notes = QStringLiteral("Training heli for 3D.\n\tFlybarless gain 45 %");
    corsa.flown = { 3, 4, 5 };
    corsa.homeLocation = 1;
    corsa.sessionDays = weekendSessions(anchorDay, 5, 5, random);

    flySessions(store, kestrel, 0, 50, random);
    flySessions(store, corsa, 1, 50, random);
    finishModel(store, kestrel, anchorDay, random);
    finishModel(store, corsa, anchorDay, random);
    store.models = { kestrel.model, corsa.model };

    finishBatteries(store, anchorDay, 0, random);
    // Ready for the next session: two packs of the big heli and one of the small one.
    for (int index : { 0, 1, 3 }) {
        SampleBattery &battery = store.batteries[index];
        battery.charged = true;
        battery.lastUse = battery.cycleData.constLast().date.addSecs(random.between(60, 150) * 60);
    }
    return store;
}

SampleStore longNamesStore(const QDateTime &anchor)
{
    SampleStore store = demoStore(anchor);
    // Fifty characters each, with umlauts, typographic quotes and emoji outside the
    // basic plane; no name lies inside another, as the data file matches names as text.
    const QStringList batteryNames = {
        QStringLiteral("Graphene Panther 6S 5000 mAh Wettbewerbs-Akku #1 \U0001F50B"),
        QStringLiteral("Graphene Panther 6S 5000 mAh Wettbewerbs-Akku #2 \U0001F50B"),
        QStringLiteral("Graphene Panther 6S 5000 mAh Wettbewerbs-Akku #3 \U0001F50B"),
        QStringLiteral("Ampero Hochstrom 6S 3300 \u00dcbungsakku Kunstflug #1 \u26a1"),
        QStringLiteral("Ampero Hochstrom 6S 3300 \u00dcbungsakku Kunstflug #2 \u26a1"),
        QStringLiteral(
            "Norvik Ausdauer 6S 4000 f\u00fcr ruhige Schwebefl\u00fcge \U0001F319\U0001F31F"),
    };
    const QStringList modelNames = {
        QStringLiteral("Kestrel 700 X Flybarless, Scalerumpf \u201eBergwacht\u201c \U0001F681"),
        QStringLiteral(
            "Corsa 550 Pro \u2013 \u00dcbungsheli f\u00fcr 3D-Kunstflug, rot \U0001F525"),
    };
    const QStringList locationNames = {
        QStringLiteral("Modellflugplatz K\u00f6nigsbr\u00fcck, an der Gro\u00dfen R\u00f6der "
                       "\U0001F332"),
        QStringLiteral("Wiese hinter dem Bauernhof M\u00fcller, am S\u00fcdhang \u2600 ok"),
        QStringLiteral("Hallenflug Sporthalle Nordstadt, \u00dcbungsabend \U0001F3DF Mi."),
        QStringLiteral("Vereinsgel\u00e4nde Ostring \u2013 gro\u00dfe Piste, nur Samstags"),
    };
    Q_ASSERT(store.batteries.size() == batteryNames.size()
        && store.models.size() == modelNames.size()
        && store.locations.size() == locationNames.size());

    QHash<QString, QString> renamed;
    for (int i = 0; i < store.batteries.size(); ++i) {
        renamed.insert(store.batteries.at(i).name, batteryNames.at(i));
        store.batteries[i].name = batteryNames.at(i);
    }
    for (int i = 0; i < store.locations.size(); ++i)
        renamed.insert(store.locations.at(i), locationNames.at(i));
    store.locations = locationNames;
    for (int i = 0; i < store.models.size(); ++i) {
        SampleModel &model = store.models[i];
        model.name = modelNames.at(i);
        for (QString &battery : model.batteries)
            battery = renamed.value(battery);
        for (SampleFlight &flight : model.flightLog)
            flight.location = renamed.value(flight.location);
    }
    return store;
}

SampleMaker sampleNamed(const QString &name)
{
    if (name == QLatin1String("demo"))
        return &demoStore;
    if (name == QLatin1String("long-names"))
        return &longNamesStore;
    return nullptr;
}
