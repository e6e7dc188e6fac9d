#ifndef READERPROBE_H
#define READERPROBE_H

// Runs the store's three readers over arbitrary bytes and checks that whatever they
// read survives a save: shared by the fuzz target and the replay of its corpus.

#include "records/batterywidget.h"
#include "records/modelwidget.h"
#include "store/dataprocessor.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QVector>

namespace ReaderProbe {

// How many of each kind a load produced; text fields may change on a round trip
// (line ends, unparsable dates), the number of records and entries must not.
struct Shape {
    int locations = 0;
    int batteries = 0;
    int cycles = 0;
    int models = 0;
    int batteryNames = 0;
    int flights = 0;

    bool operator==(const Shape &other) const
    {
        return locations == other.locations && batteries == other.batteries
            && cycles == other.cycles && models == other.models
            && batteryNames == other.batteryNames && flights == other.flights;
    }
    QString toString() const
    {
        return QStringLiteral("%1 locations, %2 batteries with %3 cycles, %4 models with %5 "
                              "battery names and %6 flights")
            .arg(locations)
            .arg(batteries)
            .arg(cycles)
            .arg(models)
            .arg(batteryNames)
            .arg(flights);
    }
};

// The records one load gives, in the order the window reads them. Owns them.
struct Load {
    explicit Load(DataProcessor &store)
    {
        store.readLocations(locations);
        store.readModels(models);
        store.readBatteries(batteries);
    }
    ~Load()
    {
        qDeleteAll(models);
        qDeleteAll(batteries);
    }
    Load(const Load &) = delete;
    Load &operator=(const Load &) = delete;

    Shape shape() const
    {
        Shape shape;
        shape.locations = locations.size();
        shape.batteries = batteries.size();
        for (const BatteryWidget *battery : batteries)
            shape.cycles += battery->cycleDates().size();
        shape.models = models.size();
        for (const ModelWidget *model : models) {
            shape.batteryNames += model->modelBatteries().size();
            shape.flights += model->flightLog().size();
        }
        return shape;
    }

    QStringList locations;
    QVector<ModelWidget *> models;
    QVector<BatteryWidget *> batteries;
};

inline bool putFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        && file.write(content) == content.size();
}

struct Outcome {
    Shape read;
    Shape reread;
    bool saved = false; // false when the writer refused what was read
};

// Loads `content` from `inFolder`, saves what was read into `outFolder` and loads
// that again. Both folders are reused; their data files are replaced.
inline Outcome probe(const QByteArray &content, const QString &inFolder, const QString &outFolder)
{
    DataProcessor in;
    in.setStoragePath(inFolder);
    DataProcessor out;
    out.setStoragePath(outFolder);
    Outcome outcome;
    if (!putFile(in.dataFilePath(), content))
        return outcome;
    QFile::remove(out.dataFilePath());

    const Load first(in);
    outcome.read = first.shape();
    out.writeData(first.batteries, first.models, first.locations);
    outcome.saved = QFile::exists(out.dataFilePath());
    if (outcome.saved)
        outcome.reread = Load(out).shape();
    return outcome;
}

} // namespace ReaderProbe

#endif // READERPROBE_H
