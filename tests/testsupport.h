#ifndef TESTSUPPORT_H
#define TESTSUPPORT_H

// Small helpers shared by the window tests: hand-written data files, the
// module's settings keys, a watch on the storage folder that counts saves, and
// the window driven through its widgets' object names.

#include "records/batterywidget.h"
#include "store/storefiles.h"
#include "window/celloragui.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QScrollArea>
#include <QSettings>
#include <QStackedWidget>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QVariant>
#include <QVector>

#include <sys/inotify.h>
#include <unistd.h>

#include <utility>

namespace TestSupport {

// Whether `shown` is `whole` cut in the middle: a start of it, "…", and an end of it.
inline bool cutInMiddle(const QString &shown, const QString &whole)
{
    const int mark = shown.indexOf(QChar(0x2026));
    if (mark < 0 || shown.size() < 2 || shown.size() - 1 > whole.size())
        return false;
    return whole.startsWith(shown.left(mark)) && whole.endsWith(shown.mid(mark + 1));
}

inline const QString &dataFileName()
{
    static const QString name = StoreFiles::dataFile;
    return name;
}

// ---- Settings: the module's keys, in the same process and thus the same cache.

inline void setSetting(const QString &key, const QString &value)
{
    QSettings settings(QStringLiteral("Dornhaven"), QStringLiteral("Dedivoze"));
    settings.beginGroup(QStringLiteral("SETTINGS"));
    settings.setValue(key, value);
    settings.endGroup();
    settings.sync();
}

inline QVariant setting(const QString &key)
{
    QSettings settings(QStringLiteral("Dornhaven"), QStringLiteral("Dedivoze"));
    settings.beginGroup(QStringLiteral("SETTINGS"));
    return settings.value(key);
}

inline void resetSettings()
{
    QSettings settings(QStringLiteral("Dornhaven"), QStringLiteral("Dedivoze"));
    settings.beginGroup(QStringLiteral("SETTINGS"));
    settings.remove(QStringLiteral("cellora"));
    settings.remove(QStringLiteral("logmodel"));
    settings.endGroup();
    settings.sync();
}

// ---- Data files written by hand, in the form the store itself writes.

struct BatterySpec {
    QString name;
    uint capacity = 4500;
    uint rating = 30;
    uint cycles = 0;
    bool charged = false;
};

inline QString xmlEscaped(const QString &text)
{
    return text.toHtmlEscaped();
}

inline QString locationsXml(const QStringList &names)
{
    if (names.isEmpty())
        return QString();
    QString xml = QStringLiteral("    <Locations>\n");
    for (const QString &name : names)
        xml += QStringLiteral("        <Location Name=\"%1\"/>\n").arg(xmlEscaped(name));
    return xml + QStringLiteral("    </Locations>\n");
}

inline QString batteryXml(const BatterySpec &battery)
{
    return QStringLiteral("    <Battery>\n"
                          "        <Name>%1</Name>\n"
                          "        <Capacity>%2</Capacity>\n"
                          "        <Chrgrate>10</Chrgrate>\n"
                          "        <Dischrgrate>%3</Dischrgrate>\n"
                          "        <Purchase>2023/04/15</Purchase>\n"
                          "        <Cycles>%4</Cycles>\n"
                          "        <Charged>%5</Charged>\n"
                          "        <LastUse>Sat Mar 2 14:05:09 2024</LastUse>\n"
                          "    </Battery>\n")
        .arg(xmlEscaped(battery.name))
        .arg(battery.capacity)
        .arg(battery.rating)
        .arg(battery.cycles)
        .arg(battery.charged ? 1 : 0);
}

inline QString modelXml(const QString &name, const QStringList &batteryNames)
{
    QString xml = QStringLiteral("    <Model>\n"
                                 "        <Name>%1</Name>\n"
                                 "        <Type>Heli</Type>\n"
                                 "        <Weight>1</Weight>\n"
                                 "        <Size>700</Size>\n"
                                 "        <Purchase>2022/12/31</Purchase>\n"
                                 "        <Flights>0</Flights>\n"
                                 "        <Notes></Notes>\n"
                                 "        <LastUpdate>Sun Dec 31 23:59:59 2023</LastUpdate>\n")
                      .arg(xmlEscaped(name));
    for (const QString &battery : batteryNames)
        xml += QStringLiteral("        <Battery>%1</Battery>\n").arg(xmlEscaped(battery));
    return xml + QStringLiteral("    </Model>\n");
}

// Writes "cellora.xml" into the folder with the given children of the root.
inline bool writeStore(const QString &folder, const QString &rootContent)
{
    QFile file(QDir(folder).filePath(dataFileName()));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                       "<!DOCTYPE Cellora>\n<Cellora>\n")
        + rootContent + QStringLiteral("</Cellora>\n");
    return file.write(xml.toUtf8()) > 0;
}

inline QString readStore(const QString &folder)
{
    QFile file(QDir(folder).filePath(dataFileName()));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

// ---- Files as bytes.

inline QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

inline bool writeBytes(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// ---- Watching the storage folder.

// Collects inotify events of one folder. The store saves by writing a temporary
// file and renaming it over the data file, so each save is one IN_MOVED_TO event.
class FolderWatch {
public:
    explicit FolderWatch(const QString &folder, uint32_t mask = IN_MOVED_TO | IN_CLOSE_WRITE)
        : fd(inotify_init1(IN_NONBLOCK))
    {
        if (fd >= 0)
            inotify_add_watch(fd, QFile::encodeName(folder).constData(), mask);
    }
    ~FolderWatch()
    {
        if (fd >= 0)
            ::close(fd);
    }
    FolderWatch(const FolderWatch &) = delete;
    FolderWatch &operator=(const FolderWatch &) = delete;

    bool isValid() const { return fd >= 0; }

    // Every event since the last call, as (mask, file name) pairs.
    QVector<std::pair<uint32_t, QString>> takeEvents()
    {
        QVector<std::pair<uint32_t, QString>> events;
        alignas(inotify_event) char buffer[8192];
        for (;;) {
            const ssize_t length = ::read(fd, buffer, sizeof buffer);
            if (length <= 0)
                break;
            for (ssize_t offset = 0; offset < length;) {
                const auto *event = reinterpret_cast<const inotify_event *>(buffer + offset);
                const QString name = event->len ? QFile::decodeName(event->name) : QString();
                events.append({ event->mask, name });
                offset += ssize_t(sizeof(inotify_event) + event->len);
            }
        }
        return events;
    }

    // Saves of the data file since the last call.
    int takeSaves()
    {
        int saves = 0;
        for (const auto &event : takeEvents()) {
            if ((event.first & IN_MOVED_TO) && event.second == dataFileName())
                ++saves;
        }
        return saves;
    }

private:
    int fd;
};

// ---- The window, driven as a person drives it.

template <typename T = QWidget> T *namedChild(const QObject &parent, const char *name)
{
    T *child = parent.findChild<T *>(QLatin1String(name));
    if (!child)
        qFatal("no widget named %s", name);
    return child;
}

inline QString shownPage(const QObject &win)
{
    return namedChild<QStackedWidget>(win, "stackedWidget")->currentWidget()->objectName();
}

// Clicks the buttons named in `buttons`, separated by blanks, one after another.
inline void clickThrough(const QObject &win, const QString &buttons)
{
    for (const QString &name : buttons.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        namedChild<QAbstractButton>(win, qPrintable(name))->click();
}

inline QStringList comboItems(const QObject &win, const char *comboBox)
{
    const auto *box = namedChild<QComboBox>(win, comboBox);
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

// What the backup page's status line says now.
inline QString backupStatus(const QObject &win)
{
    return namedChild<QLabel>(win, "lbl_backup_status")->text();
}

// The cards placed in the overview's column, top to bottom.
inline QList<BatteryWidget *> overviewCards(const QObject &win)
{
    QList<BatteryWidget *> cards;
    const QLayout *column = namedChild<QScrollArea>(win, "scrollArea")->widget()->layout();
    for (int i = 0; column && i < column->count(); ++i) {
        if (auto *card = qobject_cast<BatteryWidget *>(column->itemAt(i)->widget()))
            cards << card;
    }
    return cards;
}

inline QStringList overviewCardNames(const QObject &win)
{
    QStringList names;
    for (const BatteryWidget *card : overviewCards(win))
        names << card->batteryName();
    return names;
}

inline BatteryWidget *overviewCard(const QObject &win, const QString &name)
{
    for (BatteryWidget *card : overviewCards(win)) {
        if (card->batteryName() == name)
            return card;
    }
    return nullptr;
}

inline void clickTank(BatteryWidget *card)
{
    if (!card)
        qFatal("no such card in the overview");
    namedChild<QToolButton>(*card, "pushButton")->click();
}

// A window shown on a fresh temporary folder that holds the given store.
struct StoreWindow {
    QTemporaryDir dir;
    CelloraGui win;

    bool open(const QString &rootContent)
    {
        if (!dir.isValid() || !writeStore(dir.path(), rootContent))
            return false;
        win.changeStoragePath(dir.path());
        win.show();
        return QTest::qWaitForWindowExposed(&win);
    }
};

} // namespace TestSupport

#endif // TESTSUPPORT_H
