#ifndef RECORDFIELDS_H
#define RECORDFIELDS_H

#include "cellora_qt.h"
#include "store/storerecords.h"
#include "store/textforms.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <QVector>

#include <tuple>

// A battery's cycle data as the write cache keeps it: one list per attribute of a Cycle,
// shared with the battery card's own lists until either side changes them. The dates
// decide the number of entries; a shorter list reads as 0 where it ends.
struct CycleColumns {
    QVector<QDateTime> dates;
    QVector<uint> discharged;
    QVector<uint> currents;
    QVector<uint> minVoltages;
    QVector<uint> resistances;
};

// The values of the data file's records, one list per kind of record, each value with the
// name it is written under, where a record holds it, its text and how that text is read.
// The writer, the readers and the write cache's comparison all go through these lists, so
// a value added to a list is written, read and compared alike.
namespace RecordFields {

// One value of a record: a text child of a Battery or a Model, or an attribute of a
// Cycle or a LogData entry. A reader takes a child or an attribute for it when its name
// contains `name`.
template <typename Record, typename Value> struct Field {
    using Type = Value;
    QString name;
    Value Record::*member;
    QString (*text)(const Value &value);
    Value (*read)(XmlStringRef text);
    // Where reading a value does more than store it; null: it is stored.
    void (*set)(Record &record, const Value &value) = nullptr;
};

// An attribute of a Cycle, also in the write cache's column of it.
template <typename Value> struct CycleField : Field<CycleRecord, Value> {
    QVector<Value> CycleColumns::*column = nullptr;
    // Whether the attribute is written for `value`: an unknown figure is left out.
    bool (*known)(const Value &value) = nullptr;
};

inline QString numberText(const uint &value)
{
    return QString::number(value);
}

inline QString signedText(const int &value)
{
    return QString::number(value);
}

inline QString dateText(const QDate &date)
{
    return date.toString(QStringLiteral("yyyy/MM/dd"));
}

inline QString chargedText(const bool &charged)
{
    return charged ? QStringLiteral("1") : QStringLiteral("0");
}

// A figure of 0 is one that was never measured.
inline bool isKnownFigure(const uint &value)
{
    return value != 0;
}

inline QString readText(XmlStringRef text)
{
    return text.toString();
}

inline int readSigned(XmlStringRef text)
{
    return text.toInt(); // 0 when no signed decimal
}

inline QDate readDate(XmlStringRef text)
{
    return QDate::fromString(text.toString(), QStringLiteral("yyyy/MM/dd"));
}

inline bool readCharged(XmlStringRef text)
{
    return parseUInt(text) == 1; // "2" and "true" read as not charged
}

// The text children of a Battery, in the order they are written. A reader tests a child's
// name against them in this order and reads the first it matches.
enum BatteryField { Name, Capacity, ChargeRate, Rating, Purchase, Cycles, Charged, LastUse };

inline const auto &battery()
{
    using B = BatteryRecord;
    static const auto fields
        = std::make_tuple(Field<B, QString> { QStringLiteral("Name"), &B::name, xmlText, readText },
            Field<B, uint> { QStringLiteral("Capacity"), &B::capacity, numberText, parseUInt },
            // 0 means none given: it never clears a rate read before.
            Field<B, uint> { QStringLiteral("Chrgrate"), &B::chargeRate, numberText, parseUInt,
                [](B &battery, const uint &rate) {
                    if (rate != 0)
                        battery.chargeRate = rate;
                } },
            Field<B, uint> { QStringLiteral("Dischrgrate"), &B::rating, numberText, parseUInt },
            Field<B, QDate> { QStringLiteral("Purchase"), &B::purchase, dateText, readDate },
            Field<B, uint> { QStringLiteral("Cycles"), &B::cycles, numberText, parseUInt },
            // A change of the charged state counts as a use: the moment of reading, until a
            // LastUse after it says otherwise.
            Field<B, bool> { QStringLiteral("Charged"), &B::charged, chargedText, readCharged,
                [](B &battery, const bool &charged) {
                    battery.charged = charged;
                    battery.lastUse = QDateTime::currentDateTime();
                } },
            Field<B, QDateTime> {
                QStringLiteral("LastUse"), &B::lastUse, dateTimeText, parseDateTime });
    static_assert(std::tuple_size<std::decay_t<decltype(fields)>>::value == LastUse + 1,
        "every text child of a Battery is named in BatteryField");
    return fields;
}

// The attributes of a Cycle, in the order they are written.
inline const auto &cycle()
{
    using C = CycleRecord;
    static const auto fields = std::make_tuple(
        CycleField<uint> { { QStringLiteral("Discharged"), &C::discharged, numberText, parseUInt },
            &CycleColumns::discharged },
        CycleField<uint> { { QStringLiteral("Current"), &C::current, numberText, parseUInt },
            &CycleColumns::currents },
        CycleField<QDateTime> { { QStringLiteral("Date"), &C::date, dateTimeText, parseDateTime },
            &CycleColumns::dates },
        // Figures of the pack's health, written only when known, so that a file without them
        // stays as it was; their names hold none of the words the other attributes are
        // found by.
        CycleField<uint> { { QStringLiteral("MinVoltage"), &C::minVoltage, numberText, parseUInt },
            &CycleColumns::minVoltages, isKnownFigure },
        CycleField<uint> { { QStringLiteral("Resistance"), &C::resistance, numberText, parseUInt },
            &CycleColumns::resistances, isKnownFigure });
    return fields;
}

// The text children of a Model before its battery names, in the order they are written;
// read as a Battery's are.
inline const auto &model()
{
    using M = ModelRecord;
    static const auto fields
        = std::make_tuple(Field<M, QString> { QStringLiteral("Name"), &M::name, xmlText, readText },
            Field<M, QString> { QStringLiteral("Type"), &M::type, xmlText, readText },
            Field<M, uint> { QStringLiteral("Weight"), &M::weight, numberText, parseUInt },
            Field<M, uint> { QStringLiteral("Size"), &M::size, numberText, parseUInt },
            Field<M, QDate> { QStringLiteral("Purchase"), &M::purchase, dateText, readDate },
            Field<M, uint> { QStringLiteral("Flights"), &M::flights, numberText, parseUInt },
            Field<M, QString> { QStringLiteral("Notes"), &M::notes, xmlText, readText },
            Field<M, QDateTime> {
                QStringLiteral("LastUpdate"), &M::lastUpdate, dateTimeText, parseDateTime });
    return fields;
}

// The attributes of a LogData entry, in the order they are written.
inline const auto &logEntry()
{
    static const auto fields = std::make_tuple(Field<LogData, QDateTime> { QStringLiteral("Date"),
                                                   &LogData::date, dateTimeText, parseDateTime },
        Field<LogData, QString> {
            QStringLiteral("Location"), &LogData::location, xmlText, readText },
        Field<LogData, QTime> {
            QStringLiteral("Duration"), &LogData::duration, timeText, parseTime },
        Field<LogData, int> {
            QStringLiteral("Temperature"), &LogData::temperature, signedText, readSigned },
        Field<LogData, QString> { QStringLiteral("Notes"), &LogData::notes, xmlText, readText });
    return fields;
}

// Calls visit(field) for every field of a list, in its order.
template <typename Fields, typename Visit> void forEach(const Fields &fields, Visit &&visit)
{
    std::apply([&](const auto &...field) { (visit(field), ...); }, fields);
}

// Calls test(field) for the fields of a list in their order until one returns true: the
// place of that field in the list, or -1.
template <typename Fields, typename Test> int firstOf(const Fields &fields, Test &&test)
{
    int place = -1;
    std::apply(
        [&](const auto &...field) {
            int at = 0;
            (void)((test(field) ? (place = at, true) : (++at, false)) || ...);
        },
        fields);
    return place;
}

// Stores a value read for `field` as the field says.
template <typename Record, typename Field>
void store(Record &record, const Field &field, const typename Field::Type &value)
{
    if (field.set)
        field.set(record, value);
    else
        record.*field.member = value;
}

} // namespace RecordFields

#endif // RECORDFIELDS_H
