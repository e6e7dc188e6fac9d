#ifndef LOGBOOK_H
#define LOGBOOK_H

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>

class BatteryWidget;
class ModelWidget;

// Every record of one data file, read with the store's own readers, for the host's
// exports and reports. Owns the records it read.
class Logbook {
public:
    Logbook() = default;
    ~Logbook();
    Logbook(const Logbook &) = delete;
    Logbook &operator=(const Logbook &) = delete;

    // Reads "cellora.xml" in `storageFolder`; false when there is no such file.
    bool readFolder(const QString &storageFolder);
    // Reads any file in the data file's form, such as a rescue copy or a backup.
    bool readFile(const QString &fileName);

    const QVector<BatteryWidget *> &batteries() const { return batteryList; }
    const QVector<ModelWidget *> &models() const { return modelList; }
    const QStringList &locations() const { return locationList; }
    int flightCount() const;

    // The battery flown at `moment`, paired as the logbook pairs them: the last battery
    // whose cycle data holds that very date-time. Null when none does.
    const BatteryWidget *batteryFlownAt(const QDateTime &moment) const;

private:
    void clear();

    QVector<BatteryWidget *> batteryList;
    QVector<ModelWidget *> modelList;
    QStringList locationList;
};

#endif // LOGBOOK_H
