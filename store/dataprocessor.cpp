#include "store/dataprocessor.h"

#include "records/batterywidget.h"
#include "records/modelwidget.h"
#include "store/filebytes.h"
#include "store/rescuecopies.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QSaveFile>
#include <QTextStream>

#include <new>

#ifdef Q_OS_LINUX
#include <sys/stat.h>
#endif

namespace {

const QString dataFileName = QStringLiteral("cellora.xml");
// The readers hold the data file in memory while they parse it; no store comes near this.
constexpr qint64 largestStore = qint64(512) * 1024 * 1024;
const QString datePattern = QStringLiteral("yyyy/MM/dd");

uint toUInt(const QStringRef &text)
{
    return text.toUInt(); // 0 when the text is no unsigned decimal
}

uint toUInt(const QString &text)
{
    return text.toUInt();
}

void appendTwoDigits(QString &text, int value)
{
    text += QLatin1Char(char('0' + value / 10));
    text += QLatin1Char(char('0' + value % 10));
}

void appendTimeOfDay(QString &text, const QTime &time)
{
    appendTwoDigits(text, time.hour());
    text += QLatin1Char(':');
    appendTwoDigits(text, time.minute());
    text += QLatin1Char(':');
    appendTwoDigits(text, time.second());
}

// The toolkit's text date-time costs a locale look-up and an asprintf for every value, a
// third of a save. So each day's text is made once per save and the time of day written
// here, into the toolkit's place and form (checked once against the toolkit).
//
// The day and month names are always the English ones, as the toolkit writes them on an
// English system: Qt 5 writes the system's names into Qt::TextDate but reads only English
// ones back, so under any other language every date-time of the file would be lost at the
// next refresh.
class TextDates {
public:
    QString dateTime(const QDateTime &when);
    QString time(const QTime &time) const;
    void forget() { days.clear(); }

private:
    struct Day {
        QString head; // "Sat Mar 2 ", the text before the time of day
        QString tail; // " 2024", after it
    };
    static Day splitDay(const QDate &date);
    static bool formsMatchToolkit();

    QHash<qint64, Day> days;
};

TextDates::Day TextDates::splitDay(const QDate &date)
{
    const QLocale english = QLocale::c();
    const QChar blank = QLatin1Char(' ');
    return { english.dayName(date.dayOfWeek(), QLocale::ShortFormat) + blank
            + english.monthName(date.month(), QLocale::ShortFormat) + blank
            + QString::number(date.day()) + blank,
        blank + QString::number(date.year()) };
}

bool TextDates::formsMatchToolkit()
{
    static const bool match = [] {
        const QTime time(14, 5, 9, 120);
        const QDateTime when(QDate(2024, 7, 6), time, Qt::LocalTime);
        return QTime(4, 5, 9).toString(Qt::TextDate) == QLatin1String("04:05:09")
            && time.toString(Qt::TextDate) == QLatin1String("14:05:09")
            && when.toString(Qt::TextDate).endsWith(QLatin1String(" 6 14:05:09 2024"));
    }();
    return match;
}

QString TextDates::time(const QTime &time) const
{
    if (!time.isValid() || !formsMatchToolkit())
        return time.toString(Qt::TextDate); // empty for a null time
    QString text;
    text.reserve(8);
    appendTimeOfDay(text, time);
    return text;
}

QString TextDates::dateTime(const QDateTime &when)
{
    // Invalid values (empty text) and an unknown form are left to the toolkit.
    if (!when.isValid() || !formsMatchToolkit())
        return when.toString(Qt::TextDate);
    const QDate date = when.date();
    auto day = days.constFind(date.toJulianDay());
    if (day == days.cend())
        day = days.insert(date.toJulianDay(), splitDay(date));
    if (when.timeSpec() != Qt::LocalTime) {
        // The toolkit adds the zone; the names before the time of day are English.
        const QString text = when.toString(Qt::TextDate);
        const int time = text.indexOf(when.time().toString(Qt::TextDate));
        return time < 0 ? text : day->head + text.mid(time);
    }
    QString text;
    text.reserve(day->head.size() + 8 + day->tail.size());
    text += day->head;
    appendTimeOfDay(text, when.time());
    text += day->tail;
    return text;
}

TextDates &saveTexts()
{
    static TextDates texts;
    return texts;
}

QString dateTimeText(const QDateTime &when)
{
    return saveTexts().dateTime(when); // empty for a null date-time
}

// What makes the C library read its time zone rules anew: the TZ variable and, while it is
// unset, the identity and age of /etc/localtime.
QByteArray zoneSetting()
{
    QByteArray setting = qEnvironmentVariableIsSet("TZ") ? "TZ=" + qgetenv("TZ") : "no TZ";
#ifdef Q_OS_LINUX
    struct stat info { };
    if (stat("/etc/localtime", &info) == 0) {
        for (qint64 field : { qint64(info.st_dev), qint64(info.st_ino), qint64(info.st_size),
                 qint64(info.st_mtim.tv_sec), qint64(info.st_mtim.tv_nsec) })
            setting += ' ' + QByteArray::number(field);
    }
#else
    // Elsewhere nothing is known about the zone's source: reuse nothing across reads.
    static quint64 reads = 0;
    setting += ' ' + QByteArray::number(++reads);
#endif
    return setting;
}

// Qt makes every local date-time through tzset() and mktime(), and with TZ unset the C
// library answers each tzset() with a stat() of /etc/localtime: a third of a refresh for the
// tens of thousands of date-times of a large store. So each distinct date-time is made once
// and reused for as long as the zone setting stays the same.
class LocalDateTimes {
public:
    QDateTime at(const QDate &date, const QTime &time)
    {
        const qint64 key = date.toJulianDay() * 86400000 + time.msecsSinceStartOfDay();
        auto known = made.constFind(key);
        if (known != made.cend())
            return *known;
        if (made.size() >= maxKept)
            made.clear();
        return *made.insert(key, QDateTime(date, time, Qt::LocalTime));
    }

    // Forgets every date-time made under another zone setting; once per read.
    void checkZone()
    {
        QByteArray setting = zoneSetting();
        if (setting != zone) {
            made.clear();
            zone = std::move(setting);
        }
    }

private:
    static constexpr int maxKept = 1 << 18; // some 10 MB at most
    QHash<qint64, QDateTime> made;
    QByteArray zone;
};

LocalDateTimes &localDateTimes()
{
    static LocalDateTimes dateTimes;
    return dateTimes;
}

int digitAt(const QChar *text, int size, int pos)
{
    const int digit = pos < size ? text[pos].unicode() - '0' : -1;
    return digit >= 0 && digit <= 9 ? digit : -1;
}

// Reads `min` to `max` ASCII digits at `pos`; -1 when there are fewer than `min`.
int readNumber(const QChar *text, int size, int &pos, int min, int max)
{
    int value = 0;
    int count = 0;
    for (int digit; count < max && (digit = digitAt(text, size, pos)) >= 0; ++count, ++pos)
        value = value * 10 + digit;
    return count >= min ? value : -1;
}

bool readChar(const QChar *text, int size, int &pos, char expected)
{
    if (pos >= size || text[pos] != QLatin1Char(expected))
        return false;
    ++pos;
    return true;
}

// Number (1 based) of the three-letter English name at `pos`, 0 when none matches.
int readName(const QChar *text, int size, int &pos, const char *names, int count)
{
    if (pos + 3 > size)
        return 0;
    for (int i = 0; i < count; ++i) {
        const char *name = names + 3 * i;
        if (text[pos] == QLatin1Char(name[0]) && text[pos + 1] == QLatin1Char(name[1])
            && text[pos + 2] == QLatin1Char(name[2])) {
            pos += 3;
            return i + 1;
        }
    }
    return 0;
}

// Parses exactly the English form that QDateTime::toString(Qt::TextDate) writes,
// "Sat Mar 2 14:05:09 2024" (optionally with ".zzz" after the seconds), to the same
// value as QDateTime::fromString gives. Invalid when the text has any other form.
QDateTime parseEnglishTextDate(const QStringRef &text)
{
    const QChar *s = text.unicode();
    const int size = text.size();
    int pos = 0;
    const int weekday = readName(s, size, pos, "MonTueWedThuFriSatSun", 7);
    if (!weekday || !readChar(s, size, pos, ' '))
        return {};
    const int month = readName(s, size, pos, "JanFebMarAprMayJunJulAugSepOctNovDec", 12);
    if (!month || !readChar(s, size, pos, ' '))
        return {};
    const int day = readNumber(s, size, pos, 1, 2);
    if (!readChar(s, size, pos, ' '))
        return {};
    const int hour = readNumber(s, size, pos, 2, 2);
    const int minute = readChar(s, size, pos, ':') ? readNumber(s, size, pos, 2, 2) : -1;
    const int second = readChar(s, size, pos, ':') ? readNumber(s, size, pos, 2, 2) : -1;
    // fromString reads a fraction of the seconds as a whole number of milliseconds
    const int msec = readChar(s, size, pos, '.') ? readNumber(s, size, pos, 1, 3) : 0;
    if (!readChar(s, size, pos, ' '))
        return {};
    const int year = readNumber(s, size, pos, 4, 4);
    if (pos != size || year < 1000)
        return {};
    const QDate date(year, month, day);
    const QTime time(hour, minute, second, msec);
    if (!date.isValid() || !time.isValid() || date.dayOfWeek() != weekday)
        return {};
    return localDateTimes().at(date, time);
}

// A refresh parses tens of thousands of date-times, and QDateTime::fromString is slow:
// take the fast path for the form we write and leave every other form to the toolkit.
QDateTime parseDateTime(const QStringRef &text)
{
    if (text.isEmpty())
        return {};
    const QDateTime fast = parseEnglishTextDate(text);
    return fast.isValid() ? fast : QDateTime::fromString(text.toString(), Qt::TextDate);
}

QDateTime parseDateTime(const QString &text)
{
    return parseDateTime(QStringRef(&text));
}

// Ends a token scan (of Data, FlightLog or Locations) at the token named with
// `endWord`, and also when the document ends or breaks off inside the scan, so that
// a damaged file keeps what was read before the fault and no loop runs forever.
bool nextScanToken(QXmlStreamReader &reader, QLatin1String endWord)
{
    if (reader.atEnd() || reader.hasError())
        return false;
    reader.readNext();
    return !reader.hasError() && !reader.name().contains(endWord);
}

// Only start elements carry items; an end tag or an unresolved entity adds nothing.
bool isScanItem(const QXmlStreamReader &reader, QLatin1String itemWord)
{
    return reader.isStartElement() && reader.name().contains(itemWord);
}

// Hands every root child whose name contains `word` to readRecord and skips the others
// with all their content.
template <typename ReadRecord>
void scanRoot(QXmlStreamReader &reader, QLatin1String word, ReadRecord readRecord)
{
    while (reader.readNextStartElement()) {
        if (reader.name().contains(word))
            readRecord();
        else
            reader.skipCurrentElement();
    }
}

// Reads one of the eight text children of a Battery; false when the name is none of them.
// The first matching name wins, so one child never sets two fields.
bool readBatteryField(QXmlStreamReader &reader, BatteryWidget *battery)
{
    const QStringRef name = reader.name();
    if (name.contains(QLatin1String("Name")))
        battery->setBatteryName(reader.readElementText());
    else if (name.contains(QLatin1String("Capacity")))
        battery->setBatteryCapacity(toUInt(reader.readElementText()));
    else if (name.contains(QLatin1String("Chrgrate")))
        battery->setBatteryChargeRate(toUInt(reader.readElementText()));
    else if (name.contains(QLatin1String("Dischrgrate")))
        battery->setBatteryRating(toUInt(reader.readElementText()));
    else if (name.contains(QLatin1String("Purchase")))
        battery->setPurchaseDate(QDate::fromString(reader.readElementText(), datePattern));
    else if (name.contains(QLatin1String("Cycles")))
        battery->setBatteryCycles(toUInt(reader.readElementText()));
    else if (name.contains(QLatin1String("Charged")))
        battery->setBatteryCharged(toUInt(reader.readElementText()) == 1, false);
    else if (name.contains(QLatin1String("LastUse")))
        battery->setLastUpdated(parseDateTime(reader.readElementText()));
    else
        return false;
    return true;
}

// Reads one of the text children of a Model (with its Battery names); false when the
// name is none of them.
bool readModelField(QXmlStreamReader &reader, ModelWidget *model)
{
    const QStringRef name = reader.name();
    if (name.contains(QLatin1String("Name")))
        model->setModelName(reader.readElementText());
    else if (name.contains(QLatin1String("Type")))
        model->setModelType(reader.readElementText());
    else if (name.contains(QLatin1String("Weight")))
        model->setModelWeight(toUInt(reader.readElementText()));
    else if (name.contains(QLatin1String("Size")))
        model->setModelSize(toUInt(reader.readElementText()));
    else if (name.contains(QLatin1String("Purchase")))
        model->setPurchaseDate(QDate::fromString(reader.readElementText(), datePattern));
    else if (name.contains(QLatin1String("Flights")))
        model->setModelFlights(toUInt(reader.readElementText()));
    else if (name.contains(QLatin1String("Notes")))
        model->setNotes(reader.readElementText());
    else if (name.contains(QLatin1String("LastUpdate")))
        model->setLastUpdate(parseDateTime(reader.readElementText()));
    else if (name.contains(QLatin1String("Battery")))
        model->addBattery(reader.readElementText());
    else
        return false;
    return true;
}

// The folder exists (made with its parents when missing) and an existing data file may be
// written. QSaveFile could rename over a read-only data file; leave such a file as it is.
bool mayWrite(const QString &folder, const QString &dataFile)
{
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return false;
    const QFileInfo existing(dataFile);
    return !existing.exists() || existing.isWritable();
}

// XML 1.0 cannot hold C0 controls other than tab, line feed and carriage return, U+FFFE,
// U+FFFF or unpaired surrogates, and the writer refuses the whole document for one of
// them. They are left out of the file, so that one pasted control character can never
// stop this save or any later one.
bool isXmlCharacter(const QChar *text, int size, int at, int *width)
{
    const ushort unit = text[at].unicode();
    *width = 1;
    if (QChar::isHighSurrogate(unit)) {
        *width = 2;
        return at + 1 < size && QChar::isLowSurrogate(text[at + 1].unicode());
    }
    if (QChar::isLowSurrogate(unit))
        return false;
    if (unit < 0x20)
        return unit == '\t' || unit == '\n' || unit == '\r';
    return unit != 0xFFFE && unit != 0xFFFF;
}

QString xmlText(const QString &text)
{
    const QChar *units = text.constData();
    const int size = text.size();
    int at = 0;
    int width = 1;
    while (at < size && isXmlCharacter(units, size, at, &width))
        at += width;
    if (at == size)
        return text; // the usual case: shared, not copied
    QString kept = text.left(at);
    for (; at < size; at += width) {
        if (isXmlCharacter(units, size, at, &width))
            kept.append(units + at, width);
        else
            width = 1; // drop this unit only; a following one is judged by itself
    }
    return kept;
}

} // namespace

DataProcessor::DataProcessor(QObject *parent)
    : QObject(parent)
    , guard(std::make_unique<OverwriteGuard>())
{
}

DataProcessor::~DataProcessor() = default;

void DataProcessor::setStoragePath(const QString &path)
{
    storagePath = path;
    guard->forget(); // nothing is known yet about the file of another folder
}

QString DataProcessor::dataFilePath() const
{
    return QDir(storagePath).absoluteFilePath(dataFileName);
}

// One read of the data file: its bytes in memory, parsed by the reader member.
struct DataProcessor::Reading {
    QBuffer source;
    FileBytes::Stamp stamp;
    bool read = false; // the file was read whole
    bool rootFound = false;
};

void DataProcessor::writeData(const QVector<BatteryWidget *> &batteries,
    const QVector<ModelWidget *> &models, const QStringList &locations)
{
    const QString path = dataFilePath();
    if (!mayWrite(storagePath, path))
        return;
    const QByteArray document = storeDocument(batteries, models, locations);
    // A file that this store did not write or read whole is kept as a rescue copy first;
    // when that copy cannot be made, the file stays as it is.
    QByteArray present;
    if (document.isEmpty() || !guard->protect(path, storagePath, &present))
        return;
    if (FileBytes::replaceFile(path, document, present))
        guard->noteWritten(path, document);
}

QByteArray DataProcessor::storeDocument(const QVector<BatteryWidget *> &batteries,
    const QVector<ModelWidget *> &models, const QStringList &locations)
{
    // The document is made in memory and handed to the file in one write: through the
    // file's own buffer, the writer's many small writes cost a fifth of a save.
    QByteArray document;
    QBuffer buffer(&document);
    buffer.open(QIODevice::WriteOnly);
    writer.setDevice(&buffer);
    writer.setAutoFormatting(true);
    writer.writeStartDocument();
    writer.writeDTD(QStringLiteral("<!DOCTYPE Cellora>"));
    writer.writeStartElement(QStringLiteral("Cellora"));
    if (!locations.isEmpty())
        writeLocations(locations);
    for (const BatteryWidget *battery : batteries)
        writeBattery(battery);
    for (const ModelWidget *model : models)
        writeModel(model);
    writer.writeEndElement();
    writer.writeEndDocument();
    writer.setDevice(nullptr);
    saveTexts().forget();
    if (!writer.hasError())
        return document;
    // The writer's error state survives setDevice(), so start the next save afresh.
    writer.~QXmlStreamWriter();
    new (&writer) QXmlStreamWriter;
    return QByteArray();
}

bool DataProcessor::readLocations(QStringList &locations)
{
    Reading reading;
    if (openForReading(reading))
        scanRoot(reader, QLatin1String("Location"), [&] { readLocationList(locations); });
    finishReading(reading);
    return !locations.isEmpty();
}

void DataProcessor::readModels(QVector<ModelWidget *> &models)
{
    Reading reading;
    if (openForReading(reading))
        scanRoot(reader, QLatin1String("Model"), [&] { readModel(models); });
    finishReading(reading);
}

void DataProcessor::readBatteries(QVector<BatteryWidget *> &batteries)
{
    Reading reading;
    if (openForReading(reading))
        scanRoot(reader, QLatin1String("Battery"), [&] { readBattery(batteries); });
    finishReading(reading);
}

bool DataProcessor::exportData(QIODevice *target)
{
    QFile file;
    if (!target || !FileBytes::openRegularFile(file, dataFilePath()))
        return false;
    return FileBytes::copyLines(&file, target);
}

bool DataProcessor::importData(QIODevice *source)
{
    const QString path = dataFilePath();
    if (!source || !source->isReadable() || !mayWrite(storagePath, path))
        return false;
    // Whatever the chosen file holds, the store it replaces stays as a rescue copy.
    if (!OverwriteGuard::keepPresent(path, storagePath))
        return false;
    // Importing the data file itself: read it whole first, in case it is written in place.
    QBuffer wholeSource;
    const auto *file = qobject_cast<QFile *>(source);
    if (file && FileBytes::Stamp::of(file->handle()).isSameFile(FileBytes::Stamp::of(path))) {
        wholeSource.setData(source->readAll());
        wholeSource.open(QIODevice::ReadOnly);
        source = &wholeSource;
    }
    // Through a temporary file, the old data file stays whole until the copy is complete.
    QSaveFile target(path);
    bool inPlace = false;
    if (!FileBytes::openReplacement(target, &inPlace))
        return false;
    if (!FileBytes::copyLines(source, &target)) {
        target.cancelWriting();
        return false;
    }
    if (!FileBytes::commitReplacement(target))
        return false;
    guard->forget(); // the reload that follows reads what was imported
    return true;
}

bool DataProcessor::openForReading(Reading &reading)
{
    QByteArray content;
    reading.read = FileBytes::readWhole(dataFilePath(), content, largestStore, &reading.stamp);
    if (!reading.read) {
        reading.stamp = FileBytes::Stamp::of(dataFilePath());
        return false;
    }
    localDateTimes().checkZone();
    reading.source.setData(content);
    reading.source.open(QIODevice::ReadOnly);
    reader.setDevice(&reading.source);
    while (reader.readNextStartElement()) {
        if (reader.name().contains(QLatin1String("Cellora")))
            return reading.rootFound = true;
    }
    return false;
}

void DataProcessor::finishReading(Reading &reading)
{
    const QByteArray &content = reading.source.data();
    if (reading.stamp.exists && !reading.read) {
        guard->forget(); // there, but unreadable: nothing is known about it
    } else {
        // A read that broke off, or found no store in a file that holds something, leaves
        // content that the next save would drop.
        const bool damaged = reader.hasError() || (!reading.rootFound && !content.isEmpty());
        guard->noteRead(content, reading.stamp, damaged);
    }
    reader.clear();
}

void DataProcessor::readBattery(QVector<BatteryWidget *> &batteries)
{
    auto *battery = new BatteryWidget;
    while (reader.readNextStartElement()) {
        const bool wasField = readBatteryField(reader, battery);
        // The last values come from the data points only while Data is the last child.
        battery->setBatteryLastDischarged(0);
        battery->setBatteryLastMaxCurrent(0);
        if (wasField)
            continue;
        if (reader.name().contains(QLatin1String("Data")))
            readBatteryData(battery);
        else
            reader.skipCurrentElement(); // a foreign child: its content is none of ours
    }
    batteries.append(battery);
}

void DataProcessor::readBatteryData(BatteryWidget *battery)
{
    while (nextScanToken(reader, QLatin1String("Data"))) {
        if (!isScanItem(reader, QLatin1String("Cycle")))
            continue;
        QStringRef date;
        uint discharged = 0;
        uint current = 0;
        const QXmlStreamAttributes attributes = reader.attributes();
        for (const QXmlStreamAttribute &attribute : attributes) {
            const QStringRef name = attribute.name();
            if (name.contains(QLatin1String("Date")))
                date = attribute.value();
            if (name.contains(QLatin1String("Current")))
                current = toUInt(attribute.value());
            if (name.contains(QLatin1String("Discharged")))
                discharged = toUInt(attribute.value());
        }
        battery->addCycleData(parseDateTime(date), discharged, current, false);
    }
}

void DataProcessor::readModel(QVector<ModelWidget *> &models)
{
    auto *model = new ModelWidget;
    while (reader.readNextStartElement()) {
        if (readModelField(reader, model))
            continue;
        if (reader.name().contains(QLatin1String("FlightLog")))
            readFlightLog(model);
        else
            reader.skipCurrentElement(); // a foreign child: its content is none of ours
    }
    models.append(model);
}

void DataProcessor::readFlightLog(ModelWidget *model)
{
    while (nextScanToken(reader, QLatin1String("FlightLog"))) {
        if (!isScanItem(reader, QLatin1String("LogData")))
            continue;
        LogData entry;
        const QXmlStreamAttributes attributes = reader.attributes();
        for (const QXmlStreamAttribute &attribute : attributes) {
            const QStringRef name = attribute.name();
            if (name.contains(QLatin1String("Date")))
                entry.date = parseDateTime(attribute.value());
            if (name.contains(QLatin1String("Location")))
                entry.location = attribute.value().toString();
            if (name.contains(QLatin1String("Duration")))
                entry.duration = QTime::fromString(attribute.value().toString(), Qt::TextDate);
            if (name.contains(QLatin1String("Temperature")))
                entry.temperature = attribute.value().toInt(); // 0 when no signed decimal
            if (name.contains(QLatin1String("Notes")))
                entry.notes = attribute.value().toString();
        }
        model->addLogData(entry);
    }
}

void DataProcessor::readLocationList(QStringList &locations)
{
    while (nextScanToken(reader, QLatin1String("Locations"))) {
        if (!isScanItem(reader, QLatin1String("Location")))
            continue;
        const QXmlStreamAttributes attributes = reader.attributes();
        for (const QXmlStreamAttribute &attribute : attributes) {
            if (attribute.name().contains(QLatin1String("Name")))
                locations.append(attribute.value().toString());
        }
    }
}

void DataProcessor::writeBattery(const BatteryWidget *battery)
{
    writer.writeStartElement(QStringLiteral("Battery"));
    writer.writeTextElement(QStringLiteral("Name"), xmlText(battery->batteryName()));
    writer.writeTextElement(
        QStringLiteral("Capacity"), QString::number(battery->batteryCapacity()));
    writer.writeTextElement(
        QStringLiteral("Chrgrate"), QString::number(battery->batteryChargeRate()));
    writer.writeTextElement(
        QStringLiteral("Dischrgrate"), QString::number(battery->batteryRating()));
    writer.writeTextElement(
        QStringLiteral("Purchase"), battery->purchaseDate().toString(datePattern));
    writer.writeTextElement(QStringLiteral("Cycles"), QString::number(battery->batteryCycles()));
    writer.writeTextElement(QStringLiteral("Charged"),
        battery->batteryCharged() ? QStringLiteral("1") : QStringLiteral("0"));
    writer.writeTextElement(QStringLiteral("LastUse"), dateTimeText(battery->lastUpdated()));
    writeBatteryData(battery);
    writer.writeEndElement();
}

void DataProcessor::writeBatteryData(const BatteryWidget *battery)
{
    const QVector<QDateTime> &dates = battery->cycleDates();
    if (dates.isEmpty())
        return;
    const QVector<uint> &discharged = battery->cycleDischarged();
    const QVector<uint> &currents = battery->cycleCurrents();
    writer.writeStartElement(QStringLiteral("Data"));
    for (int i = 0; i < dates.size(); ++i) {
        writer.writeEmptyElement(QStringLiteral("Cycle"));
        // value() gives 0 should a value list ever be shorter than the dates
        writer.writeAttribute(QStringLiteral("Discharged"), QString::number(discharged.value(i)));
        writer.writeAttribute(QStringLiteral("Current"), QString::number(currents.value(i)));
        writer.writeAttribute(QStringLiteral("Date"), dateTimeText(dates.at(i)));
    }
    writer.writeEndElement();
}

void DataProcessor::writeModel(const ModelWidget *model)
{
    writer.writeStartElement(QStringLiteral("Model"));
    writer.writeTextElement(QStringLiteral("Name"), xmlText(model->modelName()));
    writer.writeTextElement(QStringLiteral("Type"), xmlText(model->modelType()));
    writer.writeTextElement(QStringLiteral("Weight"), QString::number(model->modelWeight()));
    writer.writeTextElement(QStringLiteral("Size"), QString::number(model->modelSize()));
    writer.writeTextElement(
        QStringLiteral("Purchase"), model->purchaseDate().toString(datePattern));
    writer.writeTextElement(QStringLiteral("Flights"), QString::number(model->modelFlights()));
    writer.writeTextElement(QStringLiteral("Notes"), xmlText(model->notes()));
    writer.writeTextElement(QStringLiteral("LastUpdate"), dateTimeText(model->lastUpdate()));
    for (const QString &batteryName : model->modelBatteries())
        writer.writeTextElement(QStringLiteral("Battery"), xmlText(batteryName));
    writeFlightLog(model);
    writer.writeEndElement();
}

void DataProcessor::writeFlightLog(const ModelWidget *model)
{
    const QVector<LogData> &entries = model->flightLog();
    if (entries.isEmpty())
        return;
    writer.writeStartElement(QStringLiteral("FlightLog"));
    for (const LogData &entry : entries) {
        writer.writeEmptyElement(QStringLiteral("LogData"));
        writer.writeAttribute(QStringLiteral("Date"), dateTimeText(entry.date));
        writer.writeAttribute(QStringLiteral("Location"), xmlText(entry.location));
        writer.writeAttribute(QStringLiteral("Duration"), saveTexts().time(entry.duration));
        writer.writeAttribute(QStringLiteral("Temperature"), QString::number(entry.temperature));
        writer.writeAttribute(QStringLiteral("Notes"), xmlText(entry.notes));
    }
    writer.writeEndElement();
}

void DataProcessor::writeLocations(const QStringList &locations)
{
    writer.writeStartElement(QStringLiteral("Locations"));
    for (const QString &location : locations) {
        writer.writeEmptyElement(QStringLiteral("Location"));
        writer.writeAttribute(QStringLiteral("Name"), xmlText(location));
    }
    writer.writeEndElement();
}
