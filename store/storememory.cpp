#include "store/storememory.h"

#include "records/batterywidget.h"
#include "records/modelwidget.h"
#include "store/textforms.h"

#include <QBuffer>
#include <QXmlStreamWriter>

namespace {

const QString rootName = QStringLiteral("Cellora");

// One record written by its own writer inside a root of the data file's name, so that it
// is indented as in the whole file. The root's start tag is closed by the record's
// first tag: the piece starts after that '>'. Empty when the writer failed.
template <typename Values, typename Write> QByteArray pieceOf(const Values &values, Write write)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QXmlStreamWriter writer(&buffer);
    writer.setAutoFormatting(true);
    writer.writeStartElement(rootName);
    const int start = bytes.size() + 1;
    write(writer, values);
    if (writer.hasError() || bytes.size() <= start || bytes.at(start - 1) != '>')
        return QByteArray();
    return bytes.mid(start);
}

const QString modelName = QStringLiteral("Model");
const QString flightLogName = QStringLiteral("FlightLog");

// Flight-log entries written by one writer inside a model's FlightLog, at their depth in
// the file. Each entry's bytes start where the tag before it ends and end with its own
// "/>", which the writer adds when the next tag starts. Empty when the writer failed.
QVector<QByteArray> flightPieces(const QVector<LogData> &log)
{
    if (log.isEmpty())
        return {};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QXmlStreamWriter writer(&buffer);
    writer.setAutoFormatting(true);
    writer.writeStartElement(rootName);
    writer.writeStartElement(modelName);
    writer.writeStartElement(flightLogName);
    QVector<int> ends { bytes.size() + 1 }; // after the FlightLog tag's '>'
    for (int i = 0; i < log.size(); ++i) {
        if (i > 0)
            ends.append(bytes.size() + 2);
        RecordWriter::writeLogEntry(writer, log.at(i));
    }
    ends.append(bytes.size() + 2);
    writer.writeEndElement();
    if (writer.hasError() || bytes.at(ends.first() - 1) != '>')
        return {};
    QVector<QByteArray> pieces;
    pieces.reserve(log.size());
    for (int i = 1; i < ends.size(); ++i) {
        if (ends.at(i) > bytes.size() || bytes.mid(ends.at(i) - 2, 2) != "/>")
            return {};
        pieces.append(bytes.mid(ends.at(i - 1), ends.at(i) - ends.at(i - 1)));
    }
    return pieces;
}

// A model's bytes: its entries joined inside the frame of the model written with its first
// entry alone. Empty when the writer failed.
QByteArray joinedModel(const ModelValues &model, const QVector<QByteArray> &flights)
{
    ModelValues firstOnly = model;
    firstOnly.flightLog.resize(qMin(1, model.flightLog.size()));
    const QByteArray frame = pieceOf(firstOnly, RecordWriter::writeModel);
    if (flights.isEmpty())
        return frame;
    const int at = frame.indexOf(flights.first());
    if (at <= 0 || frame.indexOf(flights.first(), at + 1) >= 0)
        return QByteArray();
    qsizetype size = frame.size();
    for (const QByteArray &flight : flights)
        size += flight.size();
    QByteArray joined;
    joined.reserve(size);
    joined.append(frame.constData(), at);
    for (const QByteArray &flight : flights)
        joined += flight;
    joined.append(frame.constData() + at + flights.first().size(),
        frame.size() - at - flights.first().size());
    return joined;
}

// The kept piece at `index`, or a neighbour's (one record added or removed before it),
// when its values are written alike; otherwise the record written afresh.
template <typename Piece, typename Values, typename Write>
Piece reuseOrWrite(const QVector<Piece> &kept, int index, const Values &values, Write write)
{
    for (const int at : { index, index + 1, index - 1 }) {
        if (at >= 0 && at < kept.size() && kept.at(at).values.writesAs(values))
            return { values, kept.at(at).bytes };
    }
    return { values, pieceOf(values, write) };
}

} // namespace

bool sameBytes(const QByteArray &a, const QByteArray &b)
{
    return (a.constData() == b.constData() && a.size() == b.size()) || a == b;
}

QByteArray RecordCache::document(const StoreValues &store)
{
    // The time zone and the language may change how values are written.
    const QByteArray setting = writeSetting();
    if (setting != writingSetting) {
        drop();
        writingSetting = setting;
    }
    if (store.locations.isEmpty() && store.batteries.isEmpty() && store.models.isEmpty())
        return RecordWriter::wholeDocument(store); // an empty root is written as one tag
    if (!frame() || !reuseOrWrite(store)) {
        drop();
        return QByteArray();
    }
    qsizetype size = head.size() + tail.size() + locations.bytes.size();
    for (const auto &piece : qAsConst(batteries))
        size += piece.bytes.size();
    for (const auto &piece : qAsConst(models))
        size += piece.bytes.size();
    QByteArray joined;
    joined.reserve(size);
    joined += head;
    if (hasLocations)
        joined += locations.bytes;
    for (const auto &piece : qAsConst(batteries))
        joined += piece.bytes;
    for (const auto &piece : qAsConst(models))
        joined += piece.bytes;
    joined += tail;
    return joined;
}

void RecordCache::drop()
{
    *this = RecordCache();
}

// The file's start and end around its records, cut from a whole document of one
// record by that record's piece.
bool RecordCache::frame()
{
    if (!head.isEmpty())
        return true;
    StoreValues sample;
    sample.locations << QStringLiteral("x");
    const QByteArray whole = RecordWriter::wholeDocument(sample);
    const QByteArray piece = pieceOf(sample.locations, RecordWriter::writeLocations);
    const int at = whole.indexOf(piece);
    if (piece.isEmpty() || at <= 0 || whole.indexOf(piece, at + 1) >= 0)
        return false;
    head = whole.left(at);
    tail = whole.mid(at + piece.size());
    return true;
}

bool RecordCache::reuseOrWrite(const StoreValues &store)
{
    hasLocations = !store.locations.isEmpty();
    if (hasLocations && !(locations.values == store.locations && !locations.bytes.isEmpty()))
        locations = { store.locations, pieceOf(store.locations, RecordWriter::writeLocations) };
    QVector<Piece<BatteryValues>> newBatteries;
    newBatteries.reserve(store.batteries.size());
    for (int i = 0; i < store.batteries.size(); ++i)
        newBatteries.append(
            ::reuseOrWrite(batteries, i, store.batteries.at(i), RecordWriter::writeBattery));
    QVector<ModelPiece> newModels;
    newModels.reserve(store.models.size());
    for (int i = 0; i < store.models.size(); ++i)
        newModels.append(modelPiece(i, store.models.at(i)));
    batteries = std::move(newBatteries);
    models = std::move(newModels);
    forgetSavedDays();
    bool written = !hasLocations || !locations.bytes.isEmpty();
    for (const auto &piece : qAsConst(batteries))
        written = written && !piece.bytes.isEmpty();
    for (const auto &piece : qAsConst(models))
        written = written && !piece.bytes.isEmpty();
    return written;
}

// The kept model at `index` or a neighbour's when written alike; otherwise the model
// joined from the kept entries of the model of its name there, where they are written
// alike (or one entry before or after), and the others written afresh.
RecordCache::ModelPiece RecordCache::modelPiece(int index, const ModelValues &values) const
{
    const ModelPiece *named = nullptr;
    for (const int at : { index, index + 1, index - 1 }) {
        if (at < 0 || at >= models.size())
            continue;
        if (models.at(at).values.writesAs(values))
            return { values, models.at(at).bytes, models.at(at).flights };
        if (!named && models.at(at).values.name == values.name)
            named = &models.at(at);
    }
    const QVector<LogData> &log = values.flightLog;
    const QVector<LogData> &keptLog = named ? named->values.flightLog : QVector<LogData>();
    QVector<QByteArray> flights(log.size());
    QVector<LogData> fresh;
    QVector<int> freshAt;
    for (int i = 0; i < log.size(); ++i) {
        for (const int at : { i, i + 1, i - 1 }) {
            if (at >= 0 && at < keptLog.size() && at < named->flights.size()
                && RecordWriter::logEntryWrittenAlike(keptLog.at(at), log.at(i))) {
                flights[i] = named->flights.at(at);
                break;
            }
        }
        if (flights.at(i).isEmpty()) {
            fresh.append(log.at(i));
            freshAt.append(i);
        }
    }
    const QVector<QByteArray> written = flightPieces(fresh);
    if (written.size() != fresh.size())
        return { values, QByteArray(), {} };
    for (int i = 0; i < written.size(); ++i)
        flights[freshAt.at(i)] = written.at(i);
    return { values, joinedModel(values, flights), flights };
}

void ReadStash::keep(
    const QByteArray &content, QVector<ModelWidget *> &read, QVector<BatteryWidget *> &readToo)
{
    clear();
    source = content;
    models.swap(read);
    batteries.swap(readToo);
    hasModels = hasBatteries = true;
}

bool ReadStash::takeModels(const QByteArray &content, QVector<ModelWidget *> &taken)
{
    const bool fits = hasModels && sameBytes(content, source);
    if (fits)
        taken += models;
    else
        qDeleteAll(models);
    models.clear();
    hasModels = false;
    return fits;
}

bool ReadStash::takeBatteries(const QByteArray &content, QVector<BatteryWidget *> &taken)
{
    const bool fits = hasBatteries && sameBytes(content, source);
    if (fits)
        taken += batteries;
    else
        qDeleteAll(batteries);
    batteries.clear();
    hasBatteries = false;
    return fits;
}

void ReadStash::clear()
{
    qDeleteAll(models);
    qDeleteAll(batteries);
    models.clear();
    batteries.clear();
    hasModels = hasBatteries = false;
    source.clear();
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
    return sameBytes(locationsFrom, content) && sameBytes(modelsFrom, content)
        && sameBytes(batteriesFrom, content);
}
