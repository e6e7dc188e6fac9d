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

// A record's list of entries, the longest part of it: a battery's data points, a model's
// flight log. Each entry's bytes are kept too, so that a new entry writes only itself.
struct CycleList {
    using Values = BatteryValues;
    static int count(const Values &battery) { return battery.dates.size(); }
    static bool alike(const Values &a, int i, const Values &b, int j)
    {
        return RecordWriter::cycleWrittenAlike(a, i, b, j);
    }
    static void writeEntry(QXmlStreamWriter &writer, const Values &battery, int i)
    {
        RecordWriter::writeCycle(writer, battery, i);
    }
    static Values firstOnly(Values battery)
    {
        battery.dates.resize(qMin(1, battery.dates.size()));
        battery.discharged = battery.discharged.mid(0, 1);
        battery.currents = battery.currents.mid(0, 1);
        battery.minVoltages = battery.minVoltages.mid(0, 1);
        battery.resistances = battery.resistances.mid(0, 1);
        return battery;
    }
    static void writeRecord(QXmlStreamWriter &writer, const Values &battery)
    {
        RecordWriter::writeBattery(writer, battery);
    }
    static QString recordName() { return QStringLiteral("Battery"); }
    static QString listName() { return QStringLiteral("Data"); }
    static const QString &name(const Values &battery) { return battery.record.name; }
};

struct FlightList {
    using Values = ModelValues;
    static int count(const Values &model) { return model.record.flightLog.size(); }
    static bool alike(const Values &a, int i, const Values &b, int j)
    {
        return RecordWriter::logEntryWrittenAlike(
            a.record.flightLog.at(i), b.record.flightLog.at(j));
    }
    static void writeEntry(QXmlStreamWriter &writer, const Values &model, int i)
    {
        RecordWriter::writeLogEntry(writer, model.record.flightLog.at(i));
    }
    static Values firstOnly(Values model)
    {
        model.record.flightLog.resize(qMin(1, model.record.flightLog.size()));
        return model;
    }
    static void writeRecord(QXmlStreamWriter &writer, const Values &model)
    {
        RecordWriter::writeModel(writer, model);
    }
    static QString recordName() { return QStringLiteral("Model"); }
    static QString listName() { return QStringLiteral("FlightLog"); }
    static const QString &name(const Values &model) { return model.record.name; }
};

// Bytes of an entry inside a longer piece that outlives the span.
struct Span {
    const char *data = nullptr;
    int size = 0;
};

// Entry `i` of a piece, which keeps where each entry ends.
Span spanOf(const QByteArray &bytes, const QVector<int> &ends, int i)
{
    return { bytes.constData() + ends.at(i), ends.at(i + 1) - ends.at(i) };
}

// The entries at `indices`, written by one writer inside their record's list, at their
// depth in the file. Entry k's bytes run from ends[k] to ends[k + 1]: each starts where the
// tag before it ends and ends with its own "/>", which the writer adds when the next tag
// starts. False when the writer failed.
template <typename List>
bool writeEntries(const typename List::Values &values, const QVector<int> &indices,
    QByteArray &bytes, QVector<int> &ends)
{
    if (indices.isEmpty())
        return true;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QXmlStreamWriter writer(&buffer);
    writer.setAutoFormatting(true);
    writer.writeStartElement(rootName);
    writer.writeStartElement(List::recordName());
    writer.writeStartElement(List::listName());
    ends = { bytes.size() + 1 }; // after the list's start tag's '>'
    for (int k = 0; k < indices.size(); ++k) {
        if (k > 0)
            ends.append(bytes.size() + 2);
        List::writeEntry(writer, values, indices.at(k));
    }
    ends.append(bytes.size() + 2);
    writer.writeEndElement();
    if (writer.hasError() || bytes.at(ends.first() - 1) != '>')
        return false;
    for (int i = 1; i < ends.size(); ++i) {
        if (ends.at(i) > bytes.size() || bytes.mid(ends.at(i) - 2, 2) != "/>")
            return false;
    }
    return true;
}

// A record's bytes: its entries joined inside the frame of the record written with its
// first entry alone; `ends` receives where each entry ends. Empty when the writer failed.
template <typename List>
QByteArray joinedRecord(
    const typename List::Values &values, const QVector<Span> &entries, QVector<int> &ends)
{
    const QByteArray frame = pieceOf(List::firstOnly(values), List::writeRecord);
    ends.clear();
    if (entries.isEmpty())
        return frame;
    const QByteArray first = QByteArray::fromRawData(entries.first().data, entries.first().size);
    const int at = frame.indexOf(first);
    if (at <= 0 || frame.indexOf(first, at + 1) >= 0)
        return QByteArray();
    qsizetype size = frame.size() - first.size();
    for (const Span &entry : entries)
        size += entry.size;
    QByteArray joined;
    joined.reserve(size);
    joined.append(frame.constData(), at);
    ends.reserve(entries.size() + 1);
    for (const Span &entry : entries) {
        ends.append(joined.size());
        joined.append(entry.data, entry.size);
    }
    ends.append(joined.size());
    joined.append(frame.constData() + at + first.size(), frame.size() - at - first.size());
    return joined;
}

// The kept record at `index`, or a neighbour's (one record added or removed before it),
// when its values are written alike. Otherwise the record joined from the kept entries of
// the record of its name there, where they are written alike (or the entry before or after
// it, for one entry added or removed), and the other entries written afresh. Should the
// entries not fit their frame, the record is written whole: empty bytes still mean only
// that the writer failed.
template <typename List>
RecordCache::Piece<typename List::Values> listedPiece(
    const QVector<RecordCache::Piece<typename List::Values>> &kept, int index,
    const typename List::Values &values)
{
    const RecordCache::Piece<typename List::Values> *named = nullptr;
    for (const int at : { index, index + 1, index - 1 }) {
        if (at < 0 || at >= kept.size())
            continue;
        if (kept.at(at).values.writesAs(values)) // the new values share the records' lists
            return { values, kept.at(at).bytes, kept.at(at).entryEnds };
        if (!named && List::name(kept.at(at).values) == List::name(values))
            named = &kept.at(at);
    }
    const int count = List::count(values);
    const int keptCount = named ? qMin(List::count(named->values), named->entryEnds.size() - 1) : 0;
    QVector<Span> entries(count);
    QVector<int> fresh;
    for (int i = 0; i < count; ++i) {
        for (const int at : { i, i + 1, i - 1 }) {
            if (at >= 0 && at < keptCount && List::alike(named->values, at, values, i)) {
                entries[i] = spanOf(named->bytes, named->entryEnds, at);
                break;
            }
        }
        if (!entries.at(i).data)
            fresh.append(i);
    }
    QByteArray written;
    QVector<int> writtenEnds;
    RecordCache::Piece<typename List::Values> piece { values, QByteArray(), {} };
    if (writeEntries<List>(values, fresh, written, writtenEnds)) {
        for (int k = 0; k < fresh.size(); ++k)
            entries[fresh.at(k)] = spanOf(written, writtenEnds, k);
        piece.bytes = joinedRecord<List>(values, entries, piece.entryEnds);
    }
    if (piece.bytes.isEmpty()) { // no entries kept: the next save writes them all afresh
        piece.entryEnds.clear();
        piece.bytes = pieceOf(values, List::writeRecord);
    }
    return piece;
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
        locations = { store.locations, pieceOf(store.locations, RecordWriter::writeLocations), {} };
    QVector<Piece<BatteryValues>> newBatteries;
    newBatteries.reserve(store.batteries.size());
    for (int i = 0; i < store.batteries.size(); ++i)
        newBatteries.append(listedPiece<CycleList>(batteries, i, store.batteries.at(i)));
    QVector<Piece<ModelValues>> newModels;
    newModels.reserve(store.models.size());
    for (int i = 0; i < store.models.size(); ++i)
        newModels.append(listedPiece<FlightList>(models, i, store.models.at(i)));
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
