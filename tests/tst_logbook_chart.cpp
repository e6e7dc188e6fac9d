#include "records/batterywidget.h"
#include "records/modelwidget.h"
#include "store/dataprocessor.h"
#include "testsupport.h"
#include "window/celloragui.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QLabel>
#include <QLegend>
#include <QLineSeries>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using QtCharts::QChartView;
using QtCharts::QLineSeries;

namespace {

// One cycle data entry: the battery holding it and its moment as seconds after the flight.
struct Cycle {
    QString battery;
    uint discharged;
    uint current;
    int secondsAfterFlight;
};

// Records built in memory and saved through the store's own writer.
class Store {
public:
    Store() = default;
    Store(const Store &) = delete;
    Store &operator=(const Store &) = delete;
    ~Store()
    {
        qDeleteAll(batteries);
        qDeleteAll(models);
    }

    BatteryWidget *addBattery(
        const QString &name, uint capacity = 1500, const QDate &purchase = QDate(2023, 4, 15))
    {
        auto *battery = new BatteryWidget;
        battery->setBatteryName(name);
        battery->setBatteryCapacity(capacity);
        battery->setPurchaseDate(purchase);
        batteries.append(battery);
        return battery;
    }

    ModelWidget *addModel(const QString &name)
    {
        auto *model = new ModelWidget;
        model->setModelName(name);
        models.append(model);
        return model;
    }

    void save(const QString &folder)
    {
        DataProcessor store;
        store.setStoragePath(folder);
        store.writeData(batteries, models, locations);
    }

    QVector<BatteryWidget *> batteries;
    QVector<ModelWidget *> models;
    QStringList locations;
};

// The moment of flight n; the store keeps whole seconds.
QDateTime flightMoment(int n)
{
    return QDateTime(QDate(2024, 3, 1), QTime(9, 0)).addSecs(600 * n);
}

LogData flight(int n)
{
    LogData entry;
    entry.date = flightMoment(n);
    entry.duration = QTime(0, 5, 0);
    entry.location = QStringLiteral("Field");
    entry.temperature = 15;
    entry.notes = QStringLiteral("flight %1").arg(n);
    return entry;
}

template <typename T> T *child(const QWidget &parent, const char *name)
{
    T *widget = parent.findChild<T *>(QLatin1String(name));
    if (!widget)
        qFatal("no widget named %s", name);
    return widget;
}

QString labelText(const CelloraGui &win, const char *name)
{
    return child<QLabel>(win, name)->text();
}

QString pageShown(const CelloraGui &win)
{
    return child<QStackedWidget>(win, "stackedWidget")->currentWidget()->objectName();
}

// Everything the logbook page shows, in reading order.
QStringList logbookFields(const CelloraGui &win)
{
    QStringList fields;
    for (const char *name : { "lbl_logview_date", "lbl_logview_time", "lbl_logview_duration",
             "lbl_logview_location", "lbl_logview_temp", "lbl_logview_capacity",
             "lbl_logview_current", "lbl_logview_battname" })
        fields << labelText(win, name);
    return fields << child<QPlainTextEdit>(win, "ptext_logview_notes")->toPlainText();
}

// What an empty log shows: nothing in any of the nine fields.
QStringList noFields()
{
    return QVector<QString>(9).toList();
}

QString notesShown(const CelloraGui &win)
{
    return child<QPlainTextEdit>(win, "ptext_logview_notes")->toPlainText();
}

bool stepEnabled(const CelloraGui &win, const char *name)
{
    return child<QPushButton>(win, name)->isEnabled();
}

void openFromOptions(CelloraGui &win, const char *button)
{
    child<QPushButton>(win, "pb_options")->click();
    child<QPushButton>(win, button)->click();
}

void chooseModel(CelloraGui &win, const QString &name)
{
    auto *chooser = child<QComboBox>(win, "cb_logview_model");
    chooser->setCurrentIndex(chooser->findText(name));
}

QChartView *onlyChartView(const CelloraGui &win)
{
    const QList<QChartView *> views = win.findChildren<QChartView *>();
    return views.size() == 1 ? views.first() : nullptr;
}

QVector<QPointF> plottedPoints(const QChartView *view)
{
    const auto *series = qobject_cast<QLineSeries *>(view->chart()->series().value(0));
    return series ? series->pointsVector() : QVector<QPointF>();
}

} // namespace

Q_DECLARE_METATYPE(QVector<Cycle>)

class TestLogbookChart : public QObject {
    Q_OBJECT

private slots:
    void init();

    void logbookSteps();
    void logbookSingleAndEmptyLog();
    void logbookEntryForms_data();
    void logbookEntryForms();
    void logbookBatteryMatch_data();
    void logbookBatteryMatch();
    void logbookStepAfterRefresh_data();
    void logbookStepAfterRefresh();

    void chartPoints_data();
    void chartPoints();
    void chartTitle_data();
    void chartTitle();
    void chartKeepsOneView();
    void chartWithoutBatteries();

    void screenshots();

private:
    std::unique_ptr<QTemporaryDir> dir;
};

void TestLogbookChart::init()
{
    TestSupport::resetSettings();
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
}

void TestLogbookChart::logbookSteps()
{
    Store store;
    BatteryWidget *pack = store.addBattery("Pack A");
    ModelWidget *heli = store.addModel("Heli");
    for (int n = 1; n <= 3; ++n) {
        heli->addLogData(flight(n));
        pack->addCycleData(flightMoment(n), 1000 + n, 100 * n, false);
    }
    store.save(dir->path());
    CelloraGui win;
    win.changeStoragePath(dir->path());

    openFromOptions(win, "pb_logbook");
    QCOMPARE(pageShown(win), QString("logView"));
    QCOMPARE(notesShown(win), QString("flight 3"));
    QCOMPARE(labelText(win, "lbl_logview_capacity"), QString("1003"));
    QVERIFY(!stepEnabled(win, "pb_logview_next"));
    QVERIFY(stepEnabled(win, "pb_logview_prev"));

    // Down to the first entry and back up to the last; the walk never wraps.
    const struct {
        const char *button;
        const char *notes;
        bool prevEnabled, nextEnabled;
    } walk[] = { { "pb_logview_prev", "flight 2", true, true },
        { "pb_logview_prev", "flight 1", false, true },
        { "pb_logview_next", "flight 2", true, true },
        { "pb_logview_next", "flight 3", true, false } };
    for (const auto &step : walk) {
        child<QPushButton>(win, step.button)->click();
        QCOMPARE(notesShown(win), QString(step.notes));
        QCOMPARE(stepEnabled(win, "pb_logview_prev"), step.prevEnabled);
        QCOMPARE(stepEnabled(win, "pb_logview_next"), step.nextEnabled);
    }
    QCOMPARE(labelText(win, "lbl_logview_capacity"), QString("1003"));
}

void TestLogbookChart::logbookSingleAndEmptyLog()
{
    Store store;
    store.addBattery("Pack A")->addCycleData(flightMoment(1), 2800, 4000, false);
    store.addModel("Solo")->addLogData(flight(1));
    store.addModel("Empty");
    store.save(dir->path());
    CelloraGui win;
    win.changeStoragePath(dir->path());

    chooseModel(win, "Solo");
    openFromOptions(win, "pb_logbook");
    QCOMPARE(notesShown(win), QString("flight 1"));
    QCOMPARE(labelText(win, "lbl_logview_battname"), QString("Pack A"));
    QVERIFY(!stepEnabled(win, "pb_logview_prev"));
    QVERIFY(!stepEnabled(win, "pb_logview_next"));

    chooseModel(win, "Empty");
    QCOMPARE(logbookFields(win), noFields());
    QVERIFY(!stepEnabled(win, "pb_logview_prev"));
    QVERIFY(!stepEnabled(win, "pb_logview_next"));
}

void TestLogbookChart::logbookEntryForms_data()
{
    QTest::addColumn<int>("temperature");
    QTest::addColumn<QTime>("duration");
    QTest::addColumn<QString>("notes");
    QTest::addColumn<QString>("temperatureText");
    QTest::addColumn<QString>("durationText");

    QTest::newRow("warm") << 21 << QTime(0, 6, 30) << "calm" << QStringLiteral("21\u00B0")
                          << "00:06:30";
    QTest::newRow("frost, no duration")
        << -3 << QTime() << "gusty\nlanded early" << QStringLiteral("-3\u00B0") << "";
}

void TestLogbookChart::logbookEntryForms()
{
    QFETCH(int, temperature);
    QFETCH(QTime, duration);
    QFETCH(QString, notes);

    const QDateTime moment(QDate(2024, 1, 2), QTime(9, 5, 7));
    LogData entry;
    entry.date = moment;
    entry.duration = duration;
    entry.location = QStringLiteral("Hangweide Süd");
    entry.temperature = temperature;
    entry.notes = notes;
    Store store;
    store.addModel("Heli")->addLogData(entry);
    store.save(dir->path());
    CelloraGui win;
    win.changeStoragePath(dir->path());

    openFromOptions(win, "pb_logbook");
    QTEST(labelText(win, "lbl_logview_temp"), "temperatureText");
    QTEST(labelText(win, "lbl_logview_duration"), "durationText");
    QCOMPARE(labelText(win, "lbl_logview_date"), QDate(2024, 1, 2).toString(Qt::TextDate));
    QCOMPARE(labelText(win, "lbl_logview_time"), QString("09:05:07"));
    QCOMPARE(labelText(win, "lbl_logview_location"), QString("Hangweide Süd"));
    QCOMPARE(notesShown(win), notes);
}

void TestLogbookChart::logbookBatteryMatch_data()
{
    QTest::addColumn<QVector<Cycle>>("cycles");
    QTest::addColumn<QStringList>("shown"); // capacity, current, battery

    QTest::newRow("battery deleted") << QVector<Cycle>() << QStringList { "", "", "" };
    QTest::newRow("one second off")
        << QVector<Cycle> { { "Pack A", 3000, 4000, 1 } } << QStringList { "", "", "" };
    QTest::newRow("later battery wins") << QVector<Cycle> { { "Pack A", 3000, 4000, 0 },
        { "Pack B", 2000, 5000, 0 } } << QStringList { "2000", "50,0", "Pack B" };
    QTest::newRow("quick entry") << QVector<Cycle> { { "Pack Q", 0, 0, 0 } }
                                 << QStringList { "0", "0,0", "Pack Q" };
    QTest::newRow("135 A") << QVector<Cycle> { { "Pack A", 3300, 13500, 0 } }
                           << QStringList { "3300", "135,0", "Pack A" };
}

void TestLogbookChart::logbookBatteryMatch()
{
    QFETCH(QVector<Cycle>, cycles);

    Store store;
    for (const Cycle &cycle : cycles)
        store.addBattery(cycle.battery)
            ->addCycleData(flightMoment(1).addSecs(cycle.secondsAfterFlight), cycle.discharged,
                cycle.current, false);
    store.addModel("Heli")->addLogData(flight(1));
    store.save(dir->path());
    CelloraGui win;
    win.changeStoragePath(dir->path());

    openFromOptions(win, "pb_logbook");
    const QStringList shown { labelText(win, "lbl_logview_capacity"),
        labelText(win, "lbl_logview_current"), labelText(win, "lbl_logview_battname") };
    QTEST(shown, "shown");
    QCOMPARE(notesShown(win), QString("flight 1"));
}

void TestLogbookChart::logbookStepAfterRefresh_data()
{
    QTest::addColumn<int>("entriesAfter");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("notesAndBattery");

    const QStringList nothing { "", "" };
    const QStringList first { "flight 1", "Pack A" };
    QTest::newRow("emptied, previous") << 0 << "pb_logview_prev" << nothing;
    QTest::newRow("emptied, next") << 0 << "pb_logview_next" << nothing;
    QTest::newRow("shortened, previous") << 1 << "pb_logview_prev" << first;
    QTest::newRow("shortened, next") << 1 << "pb_logview_next" << first;
}

void TestLogbookChart::logbookStepAfterRefresh()
{
    QFETCH(int, entriesAfter);
    QFETCH(QString, button);
    const auto saveHeli = [this](int entries) {
        Store store;
        BatteryWidget *pack = store.addBattery("Pack A");
        ModelWidget *heli = store.addModel("Heli");
        for (int n = 1; n <= entries; ++n) {
            heli->addLogData(flight(n));
            pack->addCycleData(flightMoment(n), 1000, 100, false);
        }
        store.save(dir->path());
    };
    saveHeli(3);
    CelloraGui win;
    win.changeStoragePath(dir->path());
    openFromOptions(win, "pb_logbook");
    child<QPushButton>(win, "pb_logview_prev")->click();
    QVERIFY(stepEnabled(win, "pb_logview_prev") && stepEnabled(win, "pb_logview_next"));

    // The same model with a shorter log comes in while the page still steps the old one.
    saveHeli(entriesAfter);
    win.changeStoragePath(dir->path());

    child<QPushButton>(win, qPrintable(button))->click();
    const QStringList shown { notesShown(win), labelText(win, "lbl_logview_battname") };
    QTEST(shown, "notesAndBattery");
    QVERIFY(!stepEnabled(win, qPrintable(button)));
    if (entriesAfter == 0) {
        QCOMPARE(logbookFields(win), noFields());
        QVERIFY(!stepEnabled(win, "pb_logview_prev") && !stepEnabled(win, "pb_logview_next"));
    }
}

void TestLogbookChart::chartPoints_data()
{
    QTest::addColumn<QString>("unit");
    QTest::addColumn<uint>("capacity");
    QTest::addColumn<QVector<QPointF>>("points");

    QTest::newRow("mAh") << "rb_showmAh" << 1500u
                         << QVector<QPointF> { { 1, 1300 }, { 2, 1250 }, { 3, 1280 } };
    QTest::newRow("amperes") << "rb_showAmps" << 1500u
                             << QVector<QPointF> { { 1, 45.0 }, { 2, 30.0 }, { 3, 0.0 } };
    QTest::newRow("C") << "rb_showC" << 1500u
                       << QVector<QPointF> { { 1, 30.0 }, { 2, 20.0 }, { 3, 0.0 } };
    // Infinite and undefined C values are left out rather than drawn.
    QTest::newRow("C without capacity") << "rb_showC" << 0u << QVector<QPointF>();
}

void TestLogbookChart::chartPoints()
{
    QFETCH(QString, unit);
    QFETCH(uint, capacity);

    Store store;
    BatteryWidget *pack = store.addBattery("Pack A", capacity);
    pack->addCycleData(flightMoment(1), 1300, 4500, false);
    pack->addCycleData(flightMoment(2), 1250, 3000, false);
    pack->addCycleData(flightMoment(3), 1280, 0, false);
    store.save(dir->path());
    CelloraGui win;
    win.changeStoragePath(dir->path());

    openFromOptions(win, "pb_chart");
    QCOMPARE(pageShown(win), QString("dataView"));
    child<QRadioButton>(win, qPrintable(unit))->click();

    const QChartView *view = onlyChartView(win);
    QVERIFY(view);
    QTEST(plottedPoints(view), "points");
    QVERIFY(!view->chart()->legend()->isVisible());
}

void TestLogbookChart::chartTitle_data()
{
    QTest::addColumn<QDate>("purchase");
    QTest::addColumn<QString>("title");

    const QDate today = QDate::currentDate();
    QTest::newRow("730 days ago") << today.addDays(-730) << "Battery age: 2.00 years";
    QTest::newRow("today") << today << "Battery age: 0.00 years";
    QTest::newRow("no date") << QDate() << "Battery age: 0.00 years";
    QTest::newRow("a year ahead") << today.addDays(365) << "Battery age: -1.00 years";
}

void TestLogbookChart::chartTitle()
{
    QFETCH(QDate, purchase);

    Store store;
    store.addBattery("Pack A", 1500, purchase);
    store.save(dir->path());
    CelloraGui win;
    win.changeStoragePath(dir->path());

    openFromOptions(win, "pb_chart");
    const QChartView *view = onlyChartView(win);
    QVERIFY(view);
    QTEST(view->chart()->title(), "title");
    QVERIFY(plottedPoints(view).isEmpty());
}

void TestLogbookChart::chartKeepsOneView()
{
    Store store;
    store.addBattery("Pack A")->addCycleData(flightMoment(1), 1300, 4500, false);
    store.addBattery("Pack B")->addCycleData(flightMoment(2), 900, 2000, false);
    store.save(dir->path());
    CelloraGui win;
    win.resize(345, 543);
    win.changeStoragePath(dir->path());
    win.show();
    QVERIFY(QTest::qWaitForWindowExposed(&win));
    openFromOptions(win, "pb_chart");

    auto *chooser = child<QComboBox>(win, "cb_batteryData");
    const char *units[] = { "rb_showAmps", "rb_showmAh" };
    for (int i = 0; i < 10; ++i) {
        chooser->setCurrentIndex(i % 2);
        child<QRadioButton>(win, units[i % 2])->click();
    }
    QCOMPARE(win.findChildren<QChartView *>().size(), 1);
    // The last switch chose Pack B in mAh.
    QChartView *const view = onlyChartView(win);
    QCOMPARE(plottedPoints(view), (QVector<QPointF> { { 1, 900 } }));
    // On screen, with the page's free height.
    QTRY_VERIFY(view->isVisible());
    QVERIFY2(view->height() > win.height() / 2, qPrintable(QString::number(view->height())));
}

void TestLogbookChart::chartWithoutBatteries()
{
    {
        Store store;
        store.addBattery("Pack A")->addCycleData(flightMoment(1), 1300, 4500, false);
        store.addBattery("Pack B");
        store.save(dir->path());
    }
    CelloraGui win;
    win.changeStoragePath(dir->path());
    QVERIFY(child<QPushButton>(win, "pb_chart")->isEnabled());
    openFromOptions(win, "pb_chart");

    // Every battery goes; the chooser keeps its names and still points at one of them.
    {
        Store store;
        store.addModel("Heli");
        store.save(dir->path());
    }
    win.changeStoragePath(dir->path());
    QVERIFY(!child<QPushButton>(win, "pb_chart")->isEnabled());
    QCOMPARE(child<QComboBox>(win, "cb_batteryData")->count(), 2);

    child<QRadioButton>(win, "rb_showAmps")->click();
    const QChartView *view = onlyChartView(win);
    QVERIFY(view);
    QVERIFY(plottedPoints(view).isEmpty());
    QCOMPARE(view->chart()->title(), QString("Battery age: 0.00 years"));
}

// Pictures of the two pages with lifelike data, for a person to look at.
void TestLogbookChart::screenshots()
{
    const QString shots = qEnvironmentVariable("CELLORA_SHOTS_DIR");
    if (shots.isEmpty())
        QSKIP("set CELLORA_SHOTS_DIR to take pictures of the logbook and chart pages");
    QVERIFY(QDir().mkpath(shots));

    Store store;
    store.locations = QStringList { "Hangweide Süd" };
    BatteryWidget *pack
        = store.addBattery("Pack A 6S 5000", 5000, QDate::currentDate().addDays(-400));
    ModelWidget *heli = store.addModel("Goblin 700");
    const uint discharged[] = { 3900, 4100, 3850, 4200, 4000, 3700, 4150, 3950 };
    for (int n = 0; n < 8; ++n) {
        LogData entry = flight(n);
        entry.location = QStringLiteral("Hangweide Süd");
        entry.temperature = -3 + n;
        entry.duration = QTime(0, 6, 30).addSecs(10 * n);
        entry.notes = QStringLiteral("Windy, gusts from west.\nTail a bit soft in hover.");
        heli->addLogData(entry);
        pack->addCycleData(flightMoment(n), discharged[n], 13500 - 500 * n, false);
    }
    heli->addBattery(pack->batteryName());
    store.save(dir->path());

    CelloraGui win;
    win.resize(345, 543);
    win.changeStoragePath(dir->path());
    win.show();
    QVERIFY(QTest::qWaitForWindowExposed(&win));

    openFromOptions(win, "pb_logbook");
    QVERIFY(win.grab().save(QDir(shots).filePath("logbook.png")));
    // A new chart view is shown by the layout from the event loop.
    openFromOptions(win, "pb_chart");
    QTRY_VERIFY(onlyChartView(win)->isVisible());
    QVERIFY(win.grab().save(QDir(shots).filePath("chart_mAh.png")));
    child<QRadioButton>(win, "rb_showC")->click();
    QTRY_VERIFY(onlyChartView(win)->isVisible());
    QVERIFY(win.grab().save(QDir(shots).filePath("chart_C.png")));
}

QTEST_MAIN(TestLogbookChart)
#include "tst_logbook_chart.moc"
