#ifndef WINDOWSUPPORT_H
#define WINDOWSUPPORT_H

// Helpers of the window tests: the module's settings keys, a watch on the storage
// folder that counts saves, and the window driven through its widgets' object names.

#include "storesupport.h"
#include "window/celloragui.h"
#include "window/filedialogs.h"

#include <QtTest>
#include <QtWidgets>

#include <csignal>
#include <cstdlib>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <utility>

namespace TestSupport {

// The module's settings keys, in the same process and thus the same cache.
inline void setSetting(const QString &key, const QString &value)
{
    QSettings(QStringLiteral("Dornhaven"), QStringLiteral("Dedivoze"))
        .setValue(QStringLiteral("SETTINGS/") + key, value);
}

inline QVariant setting(const QString &key)
{
    return QSettings(QStringLiteral("Dornhaven"), QStringLiteral("Dedivoze"))
        .value(QStringLiteral("SETTINGS/") + key);
}

inline void resetSettings()
{
    QSettings settings(QStringLiteral("Dornhaven"), QStringLiteral("Dedivoze"));
    for (const char *key : { "SETTINGS/cellora", "SETTINGS/logmodel" })
        settings.remove(QLatin1String(key));
}

// Collects inotify events of one folder. The store saves by writing a temporary
// file and renaming it over the data file, so each save is one IN_MOVED_TO event.
class FolderWatch {
public:
    explicit FolderWatch(const QString &folder, uint32_t mask = IN_MOVED_TO | IN_CLOSE_WRITE)
        : fd(inotify_init1(IN_NONBLOCK))
    {
        inotify_add_watch(fd, QFile::encodeName(folder).constData(), mask);
    }
    ~FolderWatch() { ::close(fd); }
    FolderWatch(const FolderWatch &) = delete;
    FolderWatch &operator=(const FolderWatch &) = delete;

    bool isValid() const { return fd >= 0; }

    // Every event since the last call, as (mask, file name) pairs.
    QVector<std::pair<uint32_t, QString>> takeEvents()
    {
        QVector<std::pair<uint32_t, QString>> events;
        alignas(inotify_event) char buffer[8192];
        for (ssize_t length; (length = ::read(fd, buffer, sizeof buffer)) > 0;) {
            for (ssize_t offset = 0; offset < length;) {
                const auto *event = reinterpret_cast<const inotify_event *>(buffer + offset);
                events.append({ event->mask, event->len ? QFile::decodeName(event->name) : "" });
                offset += ssize_t(sizeof(inotify_event) + event->len);
            }
        }
        return events;
    }

    // Saves of the data file since the last call.
    int takeSaves()
    {
        const auto events = takeEvents();
        return int(std::count(
            events.begin(), events.end(), std::pair(uint32_t(IN_MOVED_TO), dataFileName())));
    }

private:
    int fd;
};

// While it lives, writes beyond `bytes` fail as on a full disk.
struct FileSizeLimit {
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &before);
        const rlimit lowered { bytes, before.rlim_max };
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &before); }
    rlimit before {};
};

// "Heli" flies "Pack A" (charged, 12 cycles) and "Pack B"; "Spare" belongs to no model.
inline SampleStore heliFleet(uint capacity = 4500, uint rating = 30)
{
    return { { "North", "South", "East" },
        { pack("Pack A", capacity, rating, 12, true), pack("Pack B", 2200, 25, 3),
            pack("Spare", 1000, 20) },
        { model("Heli", { "Pack A", "Pack B" }) } };
}

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
    return overviewCards(win).value(overviewCardNames(win).indexOf(name));
}

inline void clickTank(BatteryWidget *card)
{
    if (!card)
        qFatal("no such card in the overview");
    namedChild<QToolButton>(*card, "pushButton")->click();
}

inline void addLocation(const QObject &win, const QString &name)
{
    clickThrough(win, "pb_options pb_choose_addlocation");
    namedChild<QLineEdit>(win, "ledt_location_new")->setText(name);
    clickThrough(win, "pb_add_location");
}

// Answers the backup page's file dialogs with the given paths while it lives, so that no
// dialog ever waits for a person; an empty path is a cancelled dialog.
struct AnsweredDialogs {
    explicit AnsweredDialogs(const QString &importFile = {}, const QString &exportFolder = {})
    {
        answer(importFile, exportFolder);
    }
    void answer(const QString &importFile, const QString &exportFolder = {})
    {
        FileDialogs::chooseImportFile = [importFile](QWidget *) { return importFile; };
        FileDialogs::chooseExportFolder = [exportFolder](QWidget *) { return exportFolder; };
    }
    const QScopedValueRollback<FileDialogs::Chooser> systemImport { FileDialogs::chooseImportFile },
        systemExport { FileDialogs::chooseExportFolder };
};

// While it lives, the process is "nobody" (real user too, as access() asks with it); the
// saved user stays root for the way back.
struct RunAsNobody {
    explicit RunAsNobody(bool wanted)
        : dropped(wanted && geteuid() == 0 && setresuid(65534, 65534, 0) == 0)
    {
    }
    ~RunAsNobody()
    {
        if (dropped && setresuid(0, 0, 0) != 0)
            std::abort(); // the rest of the run would test nothing
    }
    const bool dropped;
};

// A window shown on a fresh temporary folder that holds the given store.
struct StoreWindow {
    QTemporaryDir dir;
    CelloraGui win;

    bool open(const SampleStore &store)
    {
        if (!dir.isValid() || !writeStore(dir.path(), store))
            return false;
        win.changeStoragePath(dir.path());
        win.show();
        return QTest::qWaitForWindowExposed(&win);
    }
};

} // namespace TestSupport

#endif // WINDOWSUPPORT_H
