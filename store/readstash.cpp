#include "store/readstash.h"

#include "store/filebytes.h"

void ReadStash::keep(
    const QByteArray &content, std::shared_ptr<const StoreReading> reading, RecordKind readBy)
{
    source = content;
    kept = std::move(reading);
    taken = {};
    taken[size_t(readBy)] = true;
}

std::shared_ptr<const StoreReading> ReadStash::take(const QByteArray &content, RecordKind kind)
{
    bool &wasTaken = taken[size_t(kind)];
    if (!kept || wasTaken || !FileBytes::sameBytes(content, source))
        return nullptr;
    wasTaken = true;
    std::shared_ptr<const StoreReading> reading = kept;
    // Once every reader has its records, they live only as long as its use of them.
    if (taken == std::array<bool, 3> { true, true, true })
        clear();
    return reading;
}

void ReadStash::clear()
{
    *this = ReadStash();
}

void ReadRecords::noteLocations(const QByteArray &content, const QStringList &locations)
{
    locationsFrom = content;
    records.locations = locations;
}

void ReadRecords::noteModels(const QByteArray &content, const QVector<ModelWidget *> &models)
{
    modelsFrom = content;
    records.models = StoreValues::of({}, models, {}).models;
}

void ReadRecords::noteBatteries(
    const QByteArray &content, const QVector<BatteryWidget *> &batteries)
{
    batteriesFrom = content;
    records.batteries = StoreValues::of(batteries, {}, {}).batteries;
}

bool ReadRecords::allFrom(const QByteArray &content) const
{
    return FileBytes::sameBytes(locationsFrom, content) && FileBytes::sameBytes(modelsFrom, content)
        && FileBytes::sameBytes(batteriesFrom, content);
}
