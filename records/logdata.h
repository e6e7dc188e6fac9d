#ifndef LOGDATA_H
#define LOGDATA_H

#include <QDateTime>
#include <QString>
#include <QTime>

// One flight-log entry. It names no battery: the battery flown is found through
// the date-time that the discharge capture gives the entry and the battery's cycle data.
struct LogData {
    QDateTime date;
    QTime duration;
    QString location;
    int temperature = 0;
    QString notes;
};

#endif // LOGDATA_H
