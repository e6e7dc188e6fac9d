// The window and its records as people meet them: in a host, on every page, with the keyboard
// alone, through a screen reader and in translation.

#include "records/elidinglabel.h"
#include "window/chartclasses.h"
#include "windowsupport.h"

#include <tuple>

using namespace TestSupport;

namespace {

// Cycle data entries: battery, discharged mAh, current, moment as seconds after the flight.
using Cycles = QVector<std::tuple<QString, uint, uint, int>>;

// The overview's column: card names, then the hint labels shown ("stray" outside it).
QStringList column(const CelloraGui &win)
{
    const QLayout *grid = namedChild<QScrollArea>(win, "scrollArea")->widget()->layout();
    QStringList rows = overviewCardNames(win);
    for (const char *label : { "lbl_welcome", "lbl_optionshint" })
        if (namedChild<QLabel>(win, label)->isVisibleTo(&win))
            rows << (grid->indexOf(namedChild(win, label)) < 0 ? "stray " : "") + QString(label);
    return rows;
}

// The moment of flight n; the store keeps whole seconds.
QDateTime flightMoment(int n)
{
    return QDateTime(QDate(2024, 3, 1), QTime(9, 0)).addSecs(600 * n);
}

// "Heli" with flights 1 to n on "Pack A"; on request "Solo" with one flight, and "Empty".
SampleStore heliLog(int flights, bool soloAndEmpty = false)
{
    SampleStore store { {}, { pack("Pack A") }, { model("Heli") } };
    if (soloAndEmpty)
        store.models << model("Solo") << model("Empty");
    for (int n = 1; n <= flights; ++n) {
        store.models[0].flightLog << SampleFlight { flightMoment(n), {}, {}, 15,
            QString("flight %1").arg(n) };
        store.batteries[0].cycleData << SampleCycle { flightMoment(n), 1000u + n, 100u * n };
    }
    if (soloAndEmpty)
        store.models[1].flightLog << store.models[0].flightLog.first();
    return store;
}

// Everything the logbook page shows, in reading order.
QStringList logbookFields(const CelloraGui &win)
{
    QStringList fields;
    for (const char *name :
        { "date", "time", "duration", "location", "temp", "capacity", "current", "battname" })
        fields << namedChild<QLabel>(win, qPrintable(QString("lbl_logview_") + name))->text();
    return fields << namedChild<QPlainTextEdit>(win, "ptext_logview_notes")->toPlainText();
}

// The notes shown and the steps enabled: "flight 2 <>", "flight 1 ->", " --".
QString logbookState(const CelloraGui &win)
{
    return QStringLiteral("%1 %2%3")
        .arg(logbookFields(win).last())
        .arg(namedChild<QPushButton>(win, "pb_logview_prev")->isEnabled() ? '<' : '-')
        .arg(namedChild<QPushButton>(win, "pb_logview_next")->isEnabled() ? '>' : '-');
}

// The page's chart as text, "Battery age: 2.00 years: 1,45 2,30", and whether a legend shows.
QString chartShown(const CelloraGui &win)
{
    const QList<QChartView *> views = win.findChildren<QChartView *>();
    if (views.size() != 1)
        return QStringLiteral("%1 chart views").arg(views.size());
    QStringList points;
    if (const auto *series = qobject_cast<QLineSeries *>(views[0]->chart()->series().value(0))) {
        for (const QPointF &point : series->points())
            points << QStringLiteral("%1,%2").arg(point.x()).arg(point.y());
    }
    return views[0]->chart()->title() + ": " + points.join(' ')
        + (views[0]->chart()->legend()->isVisible() ? " legend" : "");
}

QStringList backupsIn(const QTemporaryDir &folder)
{
    return QDir(folder.path()).entryList({ "cellora_*" }, QDir::Files);
}

// Every card of the process, also those that the overview does not show.
QList<BatteryWidget *> allCards()
{
    QList<BatteryWidget *> cards;
    for (QWidget *w : QApplication::allWidgets())
        if (auto *card = qobject_cast<BatteryWidget *>(w))
            cards.append(card);
    return cards;
}

struct KeyCountingHost : QWidget {
    int keys = 0;
    void keyPressEvent(QKeyEvent *event) override { ++keys, QWidget::keyPressEvent(event); }
};

// The names of one kind in the data file; ListedKind: the battery names the models list.
enum Kind { BatteryKind, ModelKind, LocationKind, ListedKind };
const char *const kindNames[] = { "battery", "model", "location" };
QStringList storedNames(int kind, const QString &folder)
{
    static const char *const patterns[] = { "<Battery>\\s*<Name>([^<]*)<",
        "<Model>\\s*<Name>([^<]*)<", "<Location Name=\"([^\"]*)\"", "<Battery>([^<]+)</Battery>" };
    QStringList names;
    for (auto match = QRegularExpression(patterns[kind]).globalMatch(readStore(folder));
         match.hasNext();)
        names << match.next().captured(1);
    return names;
}

// A window on a store, driven as a person drives it, with a watch that counts saves.
struct Session : StoreWindow {
    explicit Session(const SampleStore &store = {})
    {
        if (!open(store))
            qFatal("no window on the store");
    }
    // Through the options menu to the edit page, then on with the given buttons.
    void go(const QString &buttons)
    {
        for (int i = 0; i < 3 && shownPage(win) != QLatin1String("optionsView"); ++i)
            clickThrough(win, "pb_options");
        clickThrough(win, "pb_edit_data " + buttons);
    }
    QLineEdit *field(const QString &name) { return namedChild<QLineEdit>(win, qPrintable(name)); }
    void choose(const QString &box, const QString &text)
    {
        namedChild<QComboBox>(win, qPrintable(box))->setCurrentText(text);
    }
    int saves() { return watch.takeSaves(); }
    FolderWatch watch { dir.path() };
};

// The buttons, pages and fields of one kind of record.
struct Pages {
    const char *openAdd, *add, *addPage, *openModify, *update, *openDelete, *deletePage;
    QStringList addFields; // the name first, the purchase date last
    QStringList confirmation; // the delete button and its question
    QStringList lists; // the combo boxes that list the records, the delete page's first
};
const Pages pages[] = {
    { "pb_choose_addbattery", "pb_addNewBattery", "addView", "pb_choose_modify_battery",
        "pb_update_battery", "pb_choose_delbattery", "deleteView",
        { "ledt_name", "ledt_capacity", "ledt_chargeRate", "ledt_dischargeRate", "ledt_cyclesused",
            "ledt_purchaseDate" },
        { "pb_deleteConfirm", "lbl_really" },
        { "cb_batteryList_delete", "cb_bat_choose_model", "cb_batteryData" } },
    { "pb_choose_addmodel", "pb_addNewModel", "addModelView", "pb_choose_modify_model",
        "pb_update_model", "pb_choose_delmodel", "deleteModelView",
        { "ledt_addheli_name", "ledt_addheli_type", "ledt_addheli_weight", "ledt_addheli_size",
            "ledt_addheli_flightsused", "ledt_addheli_purchase" },
        { "pb_deleteConfirm_model", "lbl_reallydelete_model" },
        { "cb_modelList_delete", "cb_model_choose_bat", "cb_select_model", "cb_logview_model" } },
    { "pb_choose_addlocation", "pb_add_location", "addLocationView", nullptr, nullptr,
        "pb_choose_dellocation", "deleteLocationView", { "ledt_location_new" },
        { "pb_del_location", "lbl_reallydelete_location" },
        { "cb_location_delete", "cb_log_location", "cb_overview_location" } },
};

// The texts of the named widgets that a person can use: shown and enabled.
QString usable(Session &s, const QStringList &names)
{
    QStringList texts;
    for (const QString &name : names) {
        const QWidget *widget = namedChild(s.win, qPrintable(name));
        if (!widget->isHidden() && widget->isEnabled())
            texts << widget->property("text").toString();
    }
    return texts.join(' ');
}
const QStringList assignButtons { "pb_add_batt_to_model", "pb_rem_batt_from_model" };

const QString cycle
    = "<Cycle Discharged=\"4000\" Current=\"12500\" Date=\"Sat May 6 14:05:09 2023\"/>";
const QString flight = "<LogData Date=\"Sat May 6 14:05:09 2023\" Location=\"Hill\" "
                       "Duration=\"00:05:00\" Temperature=\"18\" Notes=\"\"/>";
// Pack (charged, with the cycle above) and Spare; Heli lists both and flew at Hill; Plane.
SampleStore fleet()
{
    const QDateTime flown(QDate(2023, 5, 6), QTime(14, 5, 9));
    SampleStore store { { "Field", "Hill" }, { pack("Pack", 4500, 30, 1, true), pack("Spare") },
        { model("Heli", { "Pack", "Spare" }), model("Plane") } };
    store.batteries[0].cycleData << SampleCycle { flown, 4000, 12500 };
    store.models[0].flightLog << SampleFlight { flown, QTime(0, 5), "Hill", 18, "" };
    return store;
}

// Every control that takes focus, hidden or not, that a screen reader could not name.
QStringList unnamedControls(const CelloraGui &win)
{
    QStringList unnamed;
    for (QWidget *widget : win.findChildren<QWidget *>()) {
        const QAccessibleInterface *described = QAccessible::queryAccessibleInterface(widget);
        if (widget->focusPolicy() != Qt::NoFocus
            && (!described || described->text(QAccessible::Name).isEmpty()))
            unnamed << widget->objectName() + " (" + widget->metaObject()->className() + ')';
    }
    return unnamed;
}

// Whether a label shows, within its width, all of `name` or its start and end around "…".
bool showsFitting(const QLabel *label, const QString &name)
{
    const QString shown = label->text();
    const int mark = shown.indexOf(QChar(0x2026));
    if (label->fontMetrics().horizontalAdvance(shown) > label->width())
        return false;
    return shown == name
        || (mark > 0 && mark < shown.size() - 1 && shown.size() - 1 <= name.size()
            && name.startsWith(shown.left(mark)) && name.endsWith(shown.mid(mark + 1)));
}

// A key pressed where the keyboard is: the focused control, or else the active window.
void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget *focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : QApplication::activeWindow(), Qt::Key(key), modifiers);
}

// Presses Tab until `target` has the focus; false after a whole round without it.
bool tabTo(QWidget *target)
{
    for (int i = 0; i < 40 && QApplication::focusWidget() != target; ++i)
        press(Qt::Key_Tab);
    return QApplication::focusWidget() == target;
}

// The texts of the extraction by context, without those that vanished from the sources.
QMap<QString, QSet<QString>> readExtraction()
{
    QMap<QString, QSet<QString>> extraction;
    QFile file(QStringLiteral(CELLORA_TRANSLATION_SOURCE));
    file.open(QIODevice::ReadOnly);
    QXmlStreamReader xml(&file);
    QString context, source;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("name"))
            context = xml.readElementText();
        else if (xml.name() == QLatin1String("source"))
            source = xml.readElementText();
        else if (xml.name() == QLatin1String("translation")
            && !QStringList({ "vanished", "obsolete" })
                    .contains(xml.attributes().value("type").toString()))
            extraction[context].insert(source);
    }
    return extraction;
}

const QChar openMark(0x27E6), closeMark(0x27E7);

// Puts every text between marks, telling translated texts on screen, and notes what it asked.
// Each text is said twice: translations run longer than the source texts.
class MarkingTranslator : public QTranslator {
public:
    mutable QSet<QPair<QString, QString>> asked;
    bool isEmpty() const override { return false; }
    QString translate(const char *context, const char *text, const char *, int) const override
    {
        const QString source = QString::fromUtf8(text);
        asked.insert({ QString::fromUtf8(context), source });
        // Input masks and the paging arrows stay as they are: marks would change them.
        return source.contains(QRegularExpression("\\p{L}"))
            ? openMark + source + ' ' + source + closeMark
            : source;
    }
};

// Window texts with a word neither marked nor in `names`, a unit, or a short day or month.
QStringList unmarkedTexts(const QWidget &window, const QStringList &names)
{
    QStringList words { "mAh", "A", "C" }, unmarked;
    for (int i = 1; i <= 12; ++i)
        words << QLocale::system().monthName(i, QLocale::ShortFormat).remove('.')
              << QLocale::system().dayName(qMin(i, 7), QLocale::ShortFormat).remove('.');
    const auto check = [&](const QWidget *widget, const QString &text) {
        QString rest = text;
        rest.remove(QRegularExpression(QString("%1[^%2]*%2").arg(openMark, closeMark)));
        for (const QString &name : names)
            rest.remove(name);
        for (auto it = QRegularExpression("\\p{L}+").globalMatch(rest); it.hasNext();)
            if (!words.contains(it.next().captured()))
                unmarked << widget->objectName() + ": " + text;
    };
    check(&window, window.windowTitle());
    for (const QWidget *widget : window.findChildren<QWidget *>()) {
        for (const QString &text :
            { widget->toolTip(), widget->statusTip(), widget->whatsThis(), widget->accessibleName(),
                widget->accessibleDescription(), widget->property("placeholderText").toString() })
            check(widget, text);
        if (widget->inherits("QLabel") || widget->inherits("QAbstractButton"))
            check(widget, widget->property("text").toString());
        if (const auto *view = qobject_cast<const QChartView *>(widget))
            check(widget, view->chart()->title());
    }
    return unmarked;
}

// Left-aligned captions of the shown page whose text runs up to the next control of their
// grid row.
QStringList touchingCaptions(const QWidget &window)
{
    QStringList touching;
    for (const QGridLayout *grid : window.findChildren<QGridLayout *>()) {
        for (int i = 0; i < grid->count(); ++i) {
            const auto *label = qobject_cast<QLabel *>(grid->itemAt(i)->widget());
            int row, column, rows, columns;
            grid->getItemPosition(i, &row, &column, &rows, &columns);
            if (!label || !label->isVisible() || (label->alignment() & Qt::AlignRight))
                continue;
            // A wrapping caption breaks its text at its contents' edge.
            const QRect room = label->contentsRect();
            const int advance = label->fontMetrics().horizontalAdvance(label->text());
            const int textEnd = label->x()
                + (label->wordWrap() ? qMin(room.left() + advance, room.right() + 1)
                                     : room.left() + advance);
            for (int j = 0; j < grid->count(); ++j) {
                const QWidget *next = grid->itemAt(j)->widget();
                int nextRow, nextColumn, nextRows, nextColumns;
                grid->getItemPosition(j, &nextRow, &nextColumn, &nextRows, &nextColumns);
                if (next && next->isVisible() && nextRow == row && nextColumn >= column + columns
                    && next->x() - textEnd < 4)
                    touching << label->objectName() + " " + next->objectName();
            }
        }
    }
    return touching;
}

QString labelText(const BatteryWidget &card, const char *name)
{
    return namedChild<QLabel>(card, name)->text();
}

QToolButton *tank(const BatteryWidget &card)
{
    return namedChild<QToolButton>(card, "pushButton");
}

// The cards share their tank icons, so a fresh card gives the key of each tank.
quint64 tankIconKey(bool full)
{
    BatteryWidget card;
    card.setBatteryCharged(full, false);
    return tank(card)->icon().cacheKey();
}

} // namespace

Q_DECLARE_METATYPE(Cycles)

class TestOverview : public QObject {
    Q_OBJECT

private slots:
    void init() { resetSettings(); }

    void content_data()
    {
        QTest::addColumn<SampleStore>("store"); // none at all: no data file
        QTest::addColumn<QString>("logModel");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QStringList>("batteries");
        const SampleStore three { {}, { pack("A1"), pack("A2"), pack("B1"), pack("C1") },
            { model("A", { "A1", "A2" }), model("B", { "B1" }), model("C", { "C1" }) } };
        const auto pair = [](const QVector<SampleModel> &models) {
            return SampleStore { {}, { pack("P1"), pack("P2") }, models };
        };
        const QStringList pairBatteries { "P1", "P2" };
        QTest::newRow("no data") << SampleStore() << QString()
                                 << QStringList { "lbl_welcome", "lbl_optionshint" } << QString()
                                 << QStringList();
        QTest::newRow("batteries, no model")
            << pair({}) << QString() << QStringList() << "" << pairBatteries;
        QTest::newRow("model without batteries")
            << pair({ model("Glider") }) << QString() << QStringList { "lbl_optionshint" }
            << "Glider" << pairBatteries;
        QTest::newRow("one name twice")
            << pair({ model("Heli", { "P1" }), model("Heli", { "P2" }) }) << QString()
            << QStringList { "P2" } << "Heli" << pairBatteries;
        // The last model, an unknown one, and one in other letter case.
        for (const auto &[logModel, row, selected] :
            { std::tuple("B", "B1", "B"), std::tuple("C", "C1", "C"), std::tuple("Z", "A1 A2", "A"),
                std::tuple("b", "A1 A2", "A") })
            QTest::addRow("logmodel %s", logModel)
                << three << QString(logModel) << QString(row).split(' ') << QString(selected)
                << QStringList { "A1", "A2", "B1", "C1" };
    }

    void content()
    {
        QFETCH(SampleStore, store);
        QFETCH(QString, logModel);
        QFETCH(QStringList, batteries);
        const bool written = !store.batteries.isEmpty();
        if (!logModel.isNull())
            setSetting("logmodel", logModel);
        QTemporaryDir dir;
        QVERIFY(!written || writeStore(dir.path(), store));
        CelloraGui win;
        win.changeStoragePath(dir.path());
        QTEST(column(win), "rows");
        for (const char *chooser :
            { "cb_select_model", "cb_logview_model", "cb_model_choose_bat", "cb_modelList_delete" })
            QTEST(namedChild<QComboBox>(win, chooser)->currentText(), "selected");
        for (const char *chooser :
            { "cb_batteryData", "cb_batteryList_delete", "cb_bat_choose_model" })
            QCOMPARE(comboItems(win, chooser), batteries);
        QCOMPARE(namedChild<QPushButton>(win, "pb_chart")->isEnabled(), written);
        QCOMPARE(QFile::exists(dataFileIn(dir.path())), written);
    }

    // The tank of a charged card, end to end: one save holds the flight and the battery.
    void discharge_data()
    {
        QTest::addColumn<bool>("full");
        QTest::addColumn<uint>("capacity");
        QTest::addColumn<uint>("rating");
        QTest::addColumn<uint>("discharged"); // proposed and stored
        QTest::addColumn<QString>("currentText"); // proposed
        QTest::addColumn<uint>("current"); // stored, in hundredths
        QTest::addColumn<int>("temperature"); // stored
        QTest::newRow("Quick") << false << 4500u << 30u << 0u << QString() << 0u << 0;
        QTest::newRow("Full") << true << 4500u << 30u << 3600u << "135" << 13500u << -5;
        QTest::newRow("Full, 56.25 A") << true << 2250u << 25u << 1800u << "56" << 5600u << -5;
        QTest::newRow("Full, above the ranges")
            << true << 30000u << 50u << 20000u << "300" << 30000u << -5;
    }

    void discharge()
    {
        QFETCH(bool, full);
        QFETCH(uint, capacity);
        QFETCH(uint, rating);
        QFETCH(uint, discharged);
        QFETCH(uint, current);
        setSetting("cellora", full ? "Complex" : "Simple");
        Session f(heliFleet(capacity, rating));
        namedChild<QComboBox>(f.win, "cb_overview_location")->setCurrentIndex(1);
        namedChild<QSpinBox>(f.win, "sb_log_temp")->setValue(-5);
        // Notes are never reset: a Quick entry carries what was typed last.
        namedChild<QPlainTextEdit>(f.win, "ptext_log_notes")->setPlainText("Gusty wind");
        BatteryWidget *card = overviewCard(f.win, "Pack A");
        const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
        clickTank(card);
        if (full) {
            QCOMPARE(shownPage(f.win), QStringLiteral("dischargeView"));
            QCOMPARE(
                namedChild<QSpinBox>(f.win, "sb_discharged_capacity")->value(), int(discharged));
            QTEST(
                namedChild<QDoubleSpinBox>(f.win, "dsb_discharged_current")->text(), "currentText");
            QCOMPARE(f.saves(), 0);
            clickThrough(f.win, "pb_save_discharged");
        }
        QCOMPARE(f.saves(), 1);
        QCOMPARE(shownPage(f.win), QStringLiteral("scrollLayout"));
        QVERIFY(labelText(*card, "lbl_cycles") == "13" && !card->batteryCharged());
        if (full) {
            QCOMPARE(labelText(*card, "lbl_discharged") + ' ' + labelText(*card, "lbl_maxCurrent"),
                QString("%1mAh %2.0A").arg(discharged).arg(current / 100));
            QVERIFY(namedChild<QLabel>(*card, "lbl_maxCurrent")->isVisibleTo(&f.win));
        }
        const Loaded saved(f.dir.path());
        const BatteryWidget *battery = saved.battery("Pack A");
        QVERIFY(!battery->batteryCharged() && battery->batteryCycles() == 13u);
        QCOMPARE(battery->cycleDischarged() + battery->cycleCurrents(),
            (QVector<uint> { discharged, current }));
        QCOMPARE(saved.model("Heli")->flightLog().size(), 1);
        const LogData &entry = saved.model("Heli")->flightLog().first();
        QCOMPARE(entry.location + ' ' + entry.notes, QStringLiteral("South Gusty wind"));
        QTEST(entry.temperature, "temperature");
        if (!full)
            QCOMPARE(entry.duration, QTime(0, 0));
        QVERIFY(entry.date >= before && entry.date <= QDateTime::currentDateTime().addSecs(1));
        QCOMPARE(battery->cycleDates(), QVector<QDateTime> { entry.date }); // the logbook's link
    }

    // Choosers keep the model names of the folder before: one matching no model shows every card.
    void dischargeWithoutModel()
    {
        Session f({ {}, {}, { model("Heli"), model("Glider") } });
        QVERIFY(f.open({ {}, { pack("Lone", 3000, 30, 4, true) }, {} }));
        namedChild<QComboBox>(f.win, "cb_select_model")->setCurrentIndex(1);
        FolderWatch watch(f.dir.path());
        clickTank(overviewCard(f.win, "Lone"));
        QCOMPARE(watch.takeSaves(), 1);
        const Loaded saved(f.dir.path());
        QVERIFY(saved.models.isEmpty() && !saved.battery("Lone")->batteryCharged());
        QCOMPARE(saved.battery("Lone")->batteryCycles(), 5u);
    }

    // After switching models each card still saves once per click; refreshes leak no widget.
    void modelSwitchingAndRefreshes()
    {
        Session f({ {}, { pack("P1", 4000, 30, 7, true), pack("P2"), pack("P3") },
            { model("A", { "P1", "P3" }), model("B", { "P2" }) } });
        auto *models = namedChild<QComboBox>(f.win, "cb_select_model");
        for (int i = 0; i < 6; ++i) {
            models->setCurrentIndex(1 - models->currentIndex());
            for (const char *chooser : { "cb_model_choose_bat", "cb_logview_model" })
                QCOMPARE(
                    namedChild<QComboBox>(f.win, chooser)->currentText(), models->currentText());
        }
        QCOMPARE(column(f.win), QStringList({ "P1", "P3" }));
        clickTank(overviewCard(f.win, "P1"));
        QCOMPARE(f.saves(), 1);
        QPointer<BatteryWidget> charged = overviewCard(f.win, "P3");
        clickTank(charged);
        QCOMPARE(f.saves(), 1);
        QVERIFY(charged && charged->batteryCharged());
        QCOMPARE(overviewCard(f.win, "P3"), charged.data());
        // Old content widgets leave the window's tree: the process's widget count shows a leak.
        for (int i = 0; i < 10; ++i)
            f.win.changeStoragePath(f.dir.path());
        const int children = f.win.findChildren<QObject *>().size();
        const int widgets = QApplication::allWidgets().size();
        for (int i = 0; i < 990; ++i)
            f.win.changeStoragePath(f.dir.path());
        QCOMPARE(f.win.findChildren<QObject *>().size(), children);
        QCOMPARE(QApplication::allWidgets().size(), widgets);
        QCOMPARE(column(f.win), QStringList({ "P1", "P3" }));
    }

    // The same clicks make tests/data/session.xml under Qt 5 and Qt 6, from a store as older
    // versions left it: a fraction of a second, a year of three digits, names beyond ASCII.
    void scriptedSessionFile()
    {
        setSetting("cellora", "Complex");
        StoreWindow f;
        QVERIFY(writeStore(f.dir.path(),
            { { "Feld Nord", "Wiese \u00e4\u00f6\u00fc" },
                { pack("Pack A", 5000, 35, 12, true), pack("Pack B", 2200, 25, 3) },
                { model("Heli \U0001F681", { "Pack A", "Pack B" }) } }));
        QVERIFY(writeBytes(dataFileIn(f.dir.path()),
            readStore(f.dir.path())
                .replace("14:05:09 2024<", "14:05:09.5 2024<")
                .replace("Sun Dec 31 23:59:59 2023<", "Tue Dec 31 12:00:00 999<")
                .toUtf8()));
        f.win.changeStoragePath(f.dir.path());
        addLocation(f.win, "Hang \U0001F3D4");
        clickTank(overviewCard(f.win, "Pack B")); // charged now
        namedChild<QComboBox>(f.win, "cb_overview_location")->setCurrentIndex(1);
        clickTank(overviewCard(f.win, "Pack A")); // a Full discharge
        namedChild<QDateEdit>(f.win, "dedt_dischargeDate")->setDate(QDate(2024, 5, 4));
        namedChild<QTimeEdit>(f.win, "tedt_dischargeTime")->setTime(QTime(9, 30));
        namedChild<QSpinBox>(f.win, "sb_log_temp")->setValue(-5);
        namedChild<QPlainTextEdit>(f.win, "ptext_log_notes")
            ->setPlainText("B\u00f6en \u2713\nzweite Zeile");
        clickThrough(f.win, "pb_save_discharged");
        // Date-times of this day come from the clock: the file names them "now".
        const QDate today = QDate::currentDate();
        const QString clock = QLocale::c().toString(today, "ddd MMM d") + " \\d\\d:\\d\\d:\\d\\d "
            + QString::number(today.year());
        QCOMPARE(readStore(f.dir.path()).replace(QRegularExpression(clock), "now").toUtf8(),
            bytesOf(CELLORA_TEST_DATA "/session.xml"));
    }

    // The newest flight first, no wrapping; a log shortened meanwhile turns off the step taken.
    void logbookBrowsing()
    {
        Session f(heliLog(3, true));
        clickThrough(f.win, "pb_options pb_logbook");
        QStringList states { logbookState(f.win) };
        for (const char *step : { "prev", "prev", "next", "next" }) {
            clickThrough(f.win, QString("pb_logview_") + step);
            states << logbookState(f.win);
        }
        QCOMPARE(states.join('|'), "flight 3 <-|flight 2 <>|flight 1 ->|flight 2 <>|flight 3 <-");
        auto *models = namedChild<QComboBox>(f.win, "cb_logview_model");
        models->setCurrentText("Solo");
        QCOMPARE(logbookState(f.win), QStringLiteral("flight 1 --"));
        models->setCurrentText("Empty");
        QCOMPARE(logbookFields(f.win), QVector<QString>(9).toList());
        QCOMPARE(logbookState(f.win), QStringLiteral(" --"));
        for (const auto &[flights, button, state] :
            { std::tuple(0, "pb_logview_prev", " --"), std::tuple(0, "pb_logview_next", " --"),
                std::tuple(1, "pb_logview_prev", "flight 1 -?"),
                std::tuple(1, "pb_logview_next", "flight 1 ?-") }) {
            QVERIFY(writeStore(f.dir.path(), heliLog(3)));
            f.win.changeStoragePath(f.dir.path());
            clickThrough(f.win, "pb_logbook pb_logview_prev");
            QCOMPARE(logbookState(f.win), QStringLiteral("flight 2 <>"));
            QVERIFY(writeStore(f.dir.path(), heliLog(flights)));
            f.win.changeStoragePath(f.dir.path());
            clickThrough(f.win, button);
            QString shown = logbookState(f.win);
            if (flights)
                shown[shown.size() - (QByteArray(button).endsWith("prev") ? 1 : 2)] = '?';
            QCOMPARE(shown, QString(state));
            const QStringList fields = logbookFields(f.win);
            QVERIFY(flights ? fields.at(7) == "Pack A" : fields == QVector<QString>(9).toList());
        }
    }

    void logbookEntry_data()
    {
        QTest::addColumn<Cycles>("cycles");
        QTest::addColumn<QStringList>("shown"); // temperature, capacity, current, battery
        QTest::newRow("battery deleted") << Cycles() << QStringList { "15°", "", "", "" };
        QTest::newRow("one second off")
            << Cycles { { "Pack A", 3000, 4000, 1 } } << QStringList { "15°", "", "", "" };
        QTest::newRow("later battery wins") << Cycles { { "Pack A", 3000, 4000, 0 },
            { "Pack B", 2000, 5000, 0 } } << QStringList { "21°", "2000", "50,0", "Pack B" };
        QTest::newRow("quick entry, frost")
            << Cycles { { "Pack Q", 0, 0, 0 } } << QStringList { "-3°", "0", "0,0", "Pack Q" };
        QTest::newRow("135 A") << Cycles { { "Pack A", 3300, 13500, 0 } }
                               << QStringList { "15°", "3300", "135,0", "Pack A" };
    }

    void logbookEntry()
    {
        QFETCH(Cycles, cycles);
        QFETCH(QStringList, shown);
        SampleStore store { {}, {}, { model("Heli") } };
        for (const auto &[name, discharged, current, offset] : cycles) {
            store.batteries << pack(name);
            store.batteries.last().cycleData
                << SampleCycle { flightMoment(1).addSecs(offset), discharged, current };
        }
        store.models[0].flightLog << SampleFlight { flightMoment(1), QTime(0, 6, 30),
            "Hangweide Süd", shown.first().chopped(1).toInt(), "gusty\n\tlanded early" };
        Session f(store);
        clickThrough(f.win, "pb_options pb_logbook");
        QCOMPARE(logbookFields(f.win),
            QStringList({ QDate(2024, 3, 1).toString(Qt::TextDate), "09:10:00", "00:06:30",
                "Hangweide Süd" })
                + shown + QStringList("gusty\n\tlanded early"));
    }

    void chart_data()
    {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<uint>("capacity");
        QTest::addColumn<QDate>("bought");
        QTest::addColumn<QString>("shown");
        const QDate today = QDate::currentDate();
        QTest::newRow("mAh, bought today")
            << "rb_showmAh" << 1500u << today << "Battery age: 0.00 years: 1,1300 2,1250 3,1280";
        QTest::newRow("amperes, 730 days old") << "rb_showAmps" << 1500u << today.addDays(-730)
                                               << "Battery age: 2.00 years: 1,45 2,30 3,0";
        QTest::newRow("C, bought a year ahead") << "rb_showC" << 1500u << today.addDays(365)
                                                << "Battery age: -1.00 years: 1,30 2,20 3,0";
        // Infinite and undefined C values are left out rather than drawn.
        QTest::newRow("C without capacity, no date")
            << "rb_showC" << 0u << QDate() << "Battery age: 0.00 years: ";
    }

    void chart()
    {
        QFETCH(uint, capacity);
        QFETCH(QDate, bought);
        SampleStore store { {}, { pack("Pack A", capacity) }, {} };
        store.batteries[0].purchase = bought;
        store.batteries[0].cycleData << SampleCycle { flightMoment(1), 1300, 4500 }
                                     << SampleCycle { flightMoment(2), 1250, 3000 }
                                     << SampleCycle { flightMoment(3), 1280, 0 };
        Session f(store);
        QFETCH(QString, unit);
        clickThrough(f.win, "pb_options pb_chart " + unit);
        QTEST(chartShown(f.win), "shown");
    }

    // One view, replaced whole, fills the page; one discharge is a dot; stale names draw nothing.
    void chartKeepsOneView()
    {
        SampleStore store { {}, { pack("Pack A"), pack("Pack B") }, {} };
        store.batteries[0].purchase = store.batteries[1].purchase = QDate();
        store.batteries[0].cycleData << SampleCycle { flightMoment(1), 1300, 4500 };
        store.batteries[1].cycleData << SampleCycle { flightMoment(2), 900, 2000 };
        StoreWindow f;
        f.win.resize(345, 543);
        QVERIFY(f.open(store));
        clickThrough(f.win, "pb_options pb_chart");
        auto *batteries = namedChild<QComboBox>(f.win, "cb_batteryData");
        int destroyedViews = 0;
        connect(f.win.findChild<QChartView *>(), &QObject::destroyed, [&] { ++destroyedViews; });
        clickThrough(f.win, "rb_showAmps");
        QCOMPARE(destroyedViews, 1);
        for (int i = 0; i < 10; ++i) {
            batteries->setCurrentIndex(i % 2);
            clickThrough(f.win, i % 2 ? "rb_showmAh" : "rb_showAmps");
        }
        QCOMPARE(chartShown(f.win), QStringLiteral("Battery age: 0.00 years: 1,900")); // B, mAh
        const QChartView *view = f.win.findChild<QChartView *>();
        QVERIFY(qobject_cast<QLineSeries *>(view->chart()->series().value(0))->pointsVisible());
        QTRY_VERIFY(view->isVisible());
        QVERIFY(view->height() > f.win.height() / 2);
        QVERIFY(writeStore(f.dir.path(), { {}, {}, { model("Heli") } }));
        f.win.changeStoragePath(f.dir.path());
        QVERIFY(!namedChild<QPushButton>(f.win, "pb_chart")->isEnabled());
        QCOMPARE(batteries->count(), 2);
        clickThrough(f.win, "rb_showAmps");
        QCOMPARE(chartShown(f.win), QStringLiteral("Battery age: 0.00 years: "));
    }

    // Named after the export's moment, which may tick; its timer also clears a later message.
    void exportThenImport()
    {
        QTemporaryDir target;
        AnsweredDialogs dialogs({}, target.path());
        Session f(heliFleet());
        clickThrough(f.win, "pb_options pb_backup");
        const QDateTime exportedAt = QDateTime::currentDateTime();
        clickThrough(f.win, "pb_export_data");
        const QStringList backups = backupsIn(target);
        QVERIFY(backups == QStringList(StoreFiles::copyName(exportedAt))
            || backups == QStringList(StoreFiles::copyName(QDateTime::currentDateTime())));
        f.win.changeStoragePath(f.dir.path());
        QTest::qWait(1000);
        QCOMPARE(backupStatus(f.win), QStringLiteral("Export finished!"));
        dialogs.answer(target.filePath(backups.first()));
        clickThrough(f.win, "pb_import_data");
        QCOMPARE(backupStatus(f.win), QStringLiteral("Import finished!"));
        QTRY_COMPARE_WITH_TIMEOUT(backupStatus(f.win), QString(), 1500);
        QVERIFY(exportedAt.msecsTo(QDateTime::currentDateTime()) >= 1900);
    }

    void exportCases_data()
    {
        QTest::addColumn<QByteArray>("data"); // null: no data file
        QTest::addColumn<QString>("folder"); // in the target folder; null: cancelled
        QTest::addColumn<QByteArray>("backup"); // null: none made
        QTest::addColumn<QString>("status");
        const QByteArray store = "<Cellora>\n</Cellora>\n";
        QTest::newRow("no data file") << QByteArray() << "." << QByteArray("") << QString();
        QTest::newRow("cancelled") << store << QString() << QByteArray() << QString();
        QTest::newRow("missing folder")
            << store << "missing" << QByteArray() << "Error! Could not create file.";
        QTest::newRow("carriage returns, an empty line, no line end at the end")
            << QByteArray("<Cellora>\r\n\r\n</Cellora>") << "."
            << QByteArray("<Cellora>\n\n</Cellora>\n") << "Export finished!";
    }

    void exportCases()
    {
        QFETCH(QByteArray, data);
        QFETCH(QString, folder);
        QFETCH(QByteArray, backup);
        QTemporaryDir storage, target;
        QVERIFY(data.isNull() || writeBytes(dataFileIn(storage.path()), data));
        AnsweredDialogs dialogs({}, folder.isNull() ? QString() : target.filePath(folder));
        CelloraGui win;
        win.changeStoragePath(storage.path());
        clickThrough(win, "pb_export_data");
        QTEST(backupStatus(win), "status");
        QCOMPARE(backupsIn(target).size(), backup.isNull() ? 0 : 1);
        if (!backup.isNull())
            QCOMPARE(bytesOf(target.filePath(backupsIn(target).first())), backup);
        QCOMPARE(
            bytesOf(dataFileIn(storage.path())), data.isNull() ? QByteArray("<unreadable>") : data);
    }

    void importCases_data()
    {
        QTest::addColumn<bool>("folderSet");
        QTest::addColumn<QString>("source"); // in the source folder; "self": the data file
        QTest::addColumn<QByteArray>("content"); // written there first; null: no such file
        QTest::addColumn<QStringList>("cards"); // the overview after the import
        QTest::addColumn<QString>("status");
        const QStringList heli { "Pack A", "Pack B" }, none;
        QTest::newRow("no storage folder")
            << false << "trainer.xml"
            << QByteArray("<Cellora><Battery><Name>Pack X</Name></Battery></Cellora>\n") << none
            << "Error! Not a valid file.";
        QTest::newRow("missing file")
            << true << "missing.xml" << QByteArray() << heli << "Error! Could not access file.";
        QTest::newRow("the data file itself")
            << true << "self" << QByteArray() << heli << "Import finished!";
        QTest::newRow("empty file")
            << true << "empty.xml" << QByteArray("") << none << "Import finished!";
    }

    void importCases()
    {
        QFETCH(bool, folderSet);
        QFETCH(QString, source);
        QFETCH(QByteArray, content);
        QTemporaryDir storage, sources;
        QVERIFY(writeStore(storage.path(), heliFleet()));
        const QByteArray saved = bytesOf(dataFileIn(storage.path()));
        const QString path
            = source == "self" ? dataFileIn(storage.path()) : sources.filePath(source);
        QVERIFY(content.isNull() || writeBytes(path, content));
        // Without a folder the store stands for the working directory: keep it empty.
        const QString oldCurrent = QDir::currentPath();
        QVERIFY(QDir::setCurrent(sources.path()));
        AnsweredDialogs dialogs(path);
        CelloraGui win;
        if (folderSet)
            win.changeStoragePath(storage.path());
        clickThrough(win, "pb_import_data");
        QDir::setCurrent(oldCurrent);
        QTEST(backupStatus(win), "status");
        QTEST(overviewCardNames(win), "cards");
        QCOMPARE(
            bytesOf(dataFileIn(storage.path())), folderSet && !content.isNull() ? content : saved);
        QVERIFY(!QFile::exists(dataFileIn(sources.path())));
        QVERIFY(content.isNull() || bytesOf(path) == content);
        // A reload of a file without locations keeps the location choosers' items.
        QCOMPARE(comboItems(win, "cb_overview_location"),
            folderSet ? QStringList({ "North", "South", "East" }) : QStringList());
    }

    // The window's life in a host: construction, keys, a load and destruction.
    void lifeInHost()
    {
        // Without a folder the store is the working directory: its data file stays unread.
        setSetting("logmodel", "Heli");
        QTemporaryDir dir;
        QVERIFY(writeStore(dir.path(), heliFleet()));
        const QString oldCurrent = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        KeyCountingHost host;
        auto *win = new CelloraGui;
        auto *sibling = new QWidget;
        auto *layout = new QVBoxLayout(&host);
        layout->addWidget(win);
        layout->addWidget(sibling);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        QCOMPARE(QStringList({ win->windowTitle(), shownPage(*win), backupStatus(*win) }),
            QStringList({ "Vantrix 15.8.4", "scrollLayout", "" }));
        QCOMPARE(namedChild<QLabel>(*win, "lbl_welcome")->text() + ' '
                + namedChild<QLabel>(*win, "lbl_optionshint")->text(),
            "Welcome Please go to Options and add new model and battery!");
        QVERIFY(namedChild<QRadioButton>(*win, "rb_showmAh")->isChecked()
            && namedChild<QRadioButton>(*win, "rb_modeSimple")->isChecked());
        QCOMPARE(namedChild<QComboBox>(*win, "cb_overview_location")->count(), 0);
        // The host gets the keys of its own widgets only; the window's text fields get theirs.
        QTest::keyClick(sibling, Qt::Key_A);
        QCOMPARE(host.keys, 1);
        for (Qt::Key key : { Qt::Key_A, Qt::Key_Escape, Qt::Key_Return })
            QTest::keyClick(win, key);
        QTest::keyClick(namedChild<QPushButton>(*win, "pb_options"), Qt::Key_X);
        clickThrough(*win, "pb_options pb_edit_data pb_choose_addlocation");
        auto *name = namedChild<QLineEdit>(*win, "ledt_location_new");
        name->clear();
        QTest::keyClicks(name, "Field");
        QCOMPARE(name->text(), QStringLiteral("Field"));
        QCOMPARE(host.keys, 1);
        // Destruction writes neither the data file nor the settings.
        win->changeStoragePath(dir.path());
        QCOMPARE(overviewCardNames(*win), QStringList({ "Pack A", "Pack B" }));
        FolderWatch watch(dir.path(), IN_MODIFY | IN_CREATE | IN_MOVED_TO | IN_CLOSE_WRITE);
        delete win;
        QDir::setCurrent(oldCurrent);
        QVERIFY(watch.takeEvents().isEmpty());
        QVERIFY(!setting("cellora").isValid());
        QCOMPARE(setting("logmodel").toString(), QStringLiteral("Heli"));
    }

    // What hosts use by name: the close signal, two functions, a slot per control Qt connects.
    void exportedInterface()
    {
        const QRegularExpression slot("^on_(\\w+)_(clicked\\(\\)|currentIndexChanged\\(int\\)|"
                                      "buttonClicked\\(QAbstractButton\\*\\))$");
        const QMetaObject &meta = CelloraGui::staticMetaObject;
        const CelloraGui win;
        QStringList others, controls;
        for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
            const QString signature = meta.method(i).methodSignature();
            const QString control = slot.match(signature).captured(1);
            if (meta.method(i).access() == QMetaMethod::Public)
                (!control.isEmpty() && win.findChild<QObject *>(control) ? controls : others)
                    << signature;
        }
        others.sort();
        QCOMPARE(others,
            QStringList({ "changeStoragePath(QString)", "closeCelloraGui()",
                "keyPressEvent(QKeyEvent*)" }));
        QCOMPARE(controls.size(), 38);
    }

    void homeAndOptionsButtons_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<bool>("toMenu");
        QTest::addColumn<QString>("road"); // what the user presses to get there
        // Page, toMenu, road; "+" stands for the way to the edit page's choices.
        for (const char *row : { "scrollLayout 1", "optionsView 0 pb_options",
                 "modeView 1 pb_options pb_mode", "dataView 1 pb_options pb_chart",
                 "editDataView 0 pb_options pb_edit_data", "addView 1 +addbattery",
                 "addModelView 1 +addmodel", "addLocationView 0 +addlocation",
                 "deleteView 1 +delbattery", "deleteModelView 1 +delmodel",
                 "deleteLocationView 0 +dellocation", "logView 1 pb_options pb_logbook",
                 "dischargeView 0 tank", "modBatteryView 1 +modify_battery",
                 "modModelView 1 +modify_model", "backupView 0 pb_options pb_backup" }) {
            const QString page = QString(row).section(' ', 0, 0);
            QTest::newRow(qPrintable(page))
                << page << (QString(row).section(' ', 1, 1) == "1")
                << QString(row).section(' ', 2).replace("+", "pb_options pb_edit_data pb_choose_");
        }
    }

    // pb_home only asks the host to close; pb_options serves as menu and back button.
    void homeAndOptionsButtons()
    {
        QFETCH(QString, road);
        QFETCH(bool, toMenu);
        setSetting("cellora", "Complex"); // the tank of a charged card opens the discharge page
        Session f(heliFleet());
        if (road == "tank")
            clickTank(overviewCard(f.win, "Pack A"));
        else
            clickThrough(f.win, road);
        QTEST(shownPage(f.win), "page");
        QSignalSpy closing(&f.win, &CelloraGui::closeCelloraGui);
        clickThrough(f.win, "pb_home");
        QCOMPARE(closing.count(), 1);
        QTEST(shownPage(f.win), "page");
        QVERIFY(f.win.isVisible());
        // The second press tells the new state apart: 1 leads to the overview, 0 to the menu.
        clickThrough(f.win, "pb_options");
        QCOMPARE(shownPage(f.win), toMenu ? "optionsView" : "scrollLayout");
        clickThrough(f.win, "pb_options");
        QCOMPARE(shownPage(f.win), toMenu ? "scrollLayout" : "optionsView");
    }

    void dataCaptureMode_data()
    {
        QTest::addColumn<QString>("stored"); // before the window opens
        QTest::addColumn<QString>("button"); // clicked on the mode page, or a refresh
        QTest::addColumn<QString>("storedAfter");
        const QString none;
        QTest::newRow("Complex restored") << QString("Complex") << none << "Complex";
        QTest::newRow("complex is Quick") << QString("complex") << none << "complex";
        QTest::newRow("Full is Quick") << QString("Full") << none << "Full";
        QTest::newRow("Full clicked") << none << QString("rb_modeAdvanced") << "Complex";
        QTest::newRow("Quick clicked")
            << QString("Complex") << QString("rb_modeSimple") << "Simple";
    }

    // Every card follows the mode, also "Spare", which the overview does not show.
    void dataCaptureMode()
    {
        QFETCH(QString, stored);
        QFETCH(QString, button);
        QFETCH(QString, storedAfter);
        const int viewMode = storedAfter == QLatin1String("Complex") ? 1 : 0;
        if (!stored.isNull())
            setSetting("cellora", stored);
        Session f(heliFleet());
        clickThrough(f.win, "pb_options pb_mode");
        // A second click hits the already checked button; a refresh makes new cards.
        for (int round = 0; round < 2; ++round) {
            QPointer<BatteryWidget> before = overviewCard(f.win, "Pack A");
            if (button.isEmpty()) {
                f.win.changeStoragePath(f.dir.path());
                QVERIFY(before.isNull());
            } else {
                setSetting("cellora", "unchanged");
                for (BatteryWidget *card : allCards())
                    card->setViewMode(1 - viewMode);
                clickThrough(f.win, button);
            }
            QCOMPARE(setting("cellora").toString(), storedAfter);
            QCOMPARE(
                namedChild<QRadioButton>(f.win, "rb_modeAdvanced")->isChecked(), viewMode == 1);
            QCOMPARE(allCards().size(), 3);
            for (BatteryWidget *card : allCards())
                QCOMPARE(card->viewMode(), viewMode);
        }
    }

    // Masks and ranges; a click into a date field picks the section that typing then replaces.
    void fields()
    {
        CelloraGui win;
        const char *const masks[][3] = { // field, typed, shown
            { "ledt_capacity", "4a5b0c0123", "45001" }, { "ledt_chargeRate", "159", "1.5" },
            { "ledt_purchaseDate", "2024/12/31999", "2024-12-31" },
            { "ledt_modifyBattery_purchaseDate", "x2021y0102", "2021-01-02" }
        };
        for (const auto &mask : masks) {
            auto *edit = namedChild<QLineEdit>(win, mask[0]);
            edit->clear();
            QTest::keyClicks(edit, mask[1]);
            QCOMPARE(edit->text(), QString(mask[2]));
        }
        namedChild<QSpinBox>(win, "sb_log_temp")->setValue(-150);
        namedChild<QDoubleSpinBox>(win, "dsb_discharged_current")->setValue(512.0);
        namedChild<QDateEdit>(win, "dedt_dischargeDate")->setDate(QDate(2004, 12, 31));
        for (const auto &[field, shown] :
            { std::pair("sb_log_temp", "-99"), std::pair("dsb_discharged_current", "300"),
                std::pair("dedt_dischargeDate", "01.01.05") })
            QCOMPARE(namedChild<QAbstractSpinBox>(win, field)->text(), shown);
        win.show();
        win.activateWindow();
        namedChild<QStackedWidget>(win, "stackedWidget")
            ->setCurrentWidget(namedChild(win, "dischargeView"));
        auto *date = namedChild<QDateEdit>(win, "dedt_dischargeDate");
        date->setDate(QDate(2023, 10, 30));
        auto *editor = date->findChild<QLineEdit *>();
        editor->setCursorPosition(4); // within the month of "30.10.23"
        const QPoint month = editor->inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
        QTest::mouseClick(editor, Qt::LeftButton, Qt::NoModifier, month);
        QTest::keyClicks(date, "07");
        QCOMPARE(date->date(), QDate(2023, 7, 30));
        QTest::mouseClick(editor, Qt::LeftButton, Qt::NoModifier, QPoint(3, editor->height() / 2));
        QTest::keyClicks(date, "05");
        QCOMPARE(date->date(), QDate(2023, 7, 5));
    }

    // A refresh keeps the page; the location choosers restart at the first and follow each other.
    void locationChoosersFollowEachOther()
    {
        Session f(heliFleet());
        clickThrough(f.win, "pb_options pb_edit_data");
        auto *overview = namedChild<QComboBox>(f.win, "cb_overview_location");
        auto *discharge = namedChild<QComboBox>(f.win, "cb_log_location");
        const auto both = [&] {
            return QString("%1 %2").arg(overview->currentIndex()).arg(discharge->currentIndex());
        };
        for (const QStringList &names : { QStringList { "A", "B", "C", "D" }, QStringList { "A" },
                 QStringList { "A", "B", "C" } }) {
            QVERIFY(writeStore(f.dir.path(), { names, { pack(names.last()) }, {} }));
            discharge->setCurrentIndex(1);
            f.win.changeStoragePath(f.dir.path());
            QCOMPARE(shownPage(f.win), QStringLiteral("editDataView"));
            QCOMPARE(comboItems(f.win, "cb_bat_choose_model"), QStringList(names.last()));
            QCOMPARE(both(), QStringLiteral("0 0"));
            QCOMPARE(comboItems(f.win, "cb_overview_location"), names);
        }
        clickThrough(f.win, "pb_options"); // the edit page's state kept: back to the overview
        QCOMPARE(shownPage(f.win), QStringLiteral("scrollLayout"));
        overview->setCurrentIndex(2);
        QCOMPARE(both(), QStringLiteral("2 2"));
        discharge->setCurrentIndex(1);
        QCOMPARE(both(), QStringLiteral("1 1"));
        addLocation(f.win, "E");
        QCOMPARE(both(), QStringLiteral("0 0"));
        QCOMPARE(comboItems(f.win, "cb_log_location").last(), QStringLiteral("E"));
    }

    void uniqueNames_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("holdsSuffix"); // the store holds n_1 and n in other letters
        for (int kind : { BatteryKind, ModelKind, LocationKind })
            for (bool suffix : { true, false })
                QTest::addRow("%s %s", kindNames[kind], suffix ? "with n_1" : "plain")
                    << kind << suffix;
    }

    // Default names: n, then the first free n_<number> (letter case counts); empty adds nothing.
    void uniqueNames()
    {
        QFETCH(int, kind);
        QFETCH(bool, holdsSuffix);
        const Pages &add = pages[kind];
        const QString n = QStringList { "MyBattery", "MyHeli", "MyLocation" }.at(kind);
        const QStringList existing
            = holdsSuffix ? QStringList { n + "_1", n.toLower() } : QStringList();
        SampleStore store;
        for (const QString &name : existing) {
            store.locations << name;
            store.batteries << pack(name);
            store.models << model(name);
        }
        Session s(store);
        for (int press = 0; press < 3; ++press) {
            s.go(add.openAdd);
            if (kind != LocationKind) { // every opening proposes today
                QLineEdit *date = s.field(add.addFields.last());
                QCOMPARE(date->text(), QDate::currentDate().toString(Qt::ISODate));
                date->setText("1999-09-09");
            }
            if (press == 2) // an empty name adds nothing
                s.field(add.addFields.first())->clear();
            clickThrough(s.win, add.add);
            QCOMPARE(shownPage(s.win), QString(press == 2 ? add.addPage : "scrollLayout"));
        }
        QCOMPARE(s.saves(), 2);
        const QStringList expected = existing + QStringList { n, n + (holdsSuffix ? "_2" : "_1") };
        QCOMPARE(storedNames(kind, s.dir.path()), expected);
        for (const QString &list : add.lists)
            QCOMPARE(comboItems(s.win, qPrintable(list)), expected);
    }

    void roundTrip_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QStringList>("inFile");
        QTest::addColumn<QStringList>("shown"); // when it differs from typed
        auto battery = [](const char *row, const QString &rate, const QString &date,
                           const QStringList &inFile, const QStringList &shown = {}) {
            QTest::newRow(row) << int(BatteryKind)
                               << QStringList { "Pack", "5000", rate, "25", "12", date } << inFile
                               << shown;
        };
        battery("half C", "0.5", "2021-03-04", { "<Chrgrate>5<", "<Purchase>2021/03/04<" });
        battery("two C", "2.0", "2019-12-31", { "<Chrgrate>20<" });
        // An empty masked date field keeps only its dashes.
        battery("nothing usable", "", "2021-02-30", { "<Chrgrate>0<", "<Purchase></Purchase>" },
            { "Pack", "5000", "0.0", "25", "12", "--" });
        for (auto weight : { "1.15=115", "0.29=29", "4.35=435", "0.50=50" }) {
            const QStringList pair = QString(weight).split('=');
            QTest::addRow("weight %s", weight)
                << int(ModelKind)
                << QStringList { "Heli", "Plane", pair.first(), "650", "3", "2022-06-30" }
                << QStringList { "<Weight>" + pair.last() + "<" } << QStringList();
        }
    }

    void roundTrip()
    {
        QFETCH(int, kind);
        QFETCH(QStringList, typed);
        QFETCH(QStringList, inFile);
        QFETCH(QStringList, shown);
        Session s;
        s.go(pages[kind].openAdd);
        for (int i = 0; i < typed.size(); ++i)
            s.field(pages[kind].addFields.at(i))->setText(typed.at(i));
        clickThrough(s.win, pages[kind].add);
        // The second pass checks that Update without changes stores the same values.
        for (int pass = 0; pass < 2; ++pass) {
            const QString file = readStore(s.dir.path());
            for (const QString &element : inFile)
                QVERIFY2(file.contains(element), qPrintable(element));
            s.go(pages[kind].openModify);
            QStringList modifyPage; // in the order of the add page's fields
            for (QString field : pages[kind].addFields)
                modifyPage << s.field(field.replace(QRegularExpression("^ledt_(addheli_)?"),
                                          kind ? "ledt_modifyheli_" : "ledt_modifyBattery_"))
                                  ->text();
            QCOMPARE(modifyPage, shown.isEmpty() ? typed : shown);
            clickThrough(s.win, pages[kind].update);
            QCOMPARE(shownPage(s.win), QString("scrollLayout"));
        }
    }

    void deleting_data()
    {
        QTest::addColumn<int>("kind");
        for (int kind : { BatteryKind, ModelKind, LocationKind })
            QTest::newRow(kindNames[kind]) << kind;
    }
    void deleting()
    {
        QFETCH(int, kind);
        const Pages &del = pages[kind];
        Session s(fleet());
        const QStringList names = storedNames(kind, s.dir.path());
        auto deleteFirst = [&] {
            s.go(del.openDelete);
            s.choose(del.lists.first(), names.first());
            clickThrough(s.win, (del.confirmation.first() + ' ').repeated(2));
        };
        // The first press arms, also across reopening; only on the battery page a choice disarms.
        s.go(del.openDelete);
        clickThrough(s.win, del.confirmation.first());
        s.go(del.openDelete);
        QCOMPARE(usable(s, del.confirmation), QString("Yes Really?"));
        s.choose(del.lists.first(), names.last());
        QCOMPARE(
            usable(s, del.confirmation), QString(kind == BatteryKind ? "Delete" : "Yes Really?"));
        QCOMPARE(s.saves(), 0);
        clickThrough(s.win, (del.confirmation.first() + ' ').repeated(kind == BatteryKind ? 2 : 1));
        QCOMPARE(usable(s, del.confirmation), QString("Delete"));
        QCOMPARE(shownPage(s.win), QString("scrollLayout"));
        QCOMPARE(s.saves(), 1);
        QCOMPARE(storedNames(kind, s.dir.path()), QStringList { names.first() });
        // A model keeps a deleted battery's name, the flight log a deleted location's.
        QCOMPARE(storedNames(ListedKind, s.dir.path()), (QStringList { "Pack", "Spare" }));
        for (const QString &list : del.lists)
            QCOMPARE(comboItems(s.win, qPrintable(list)), QStringList { names.first() });
        QCOMPARE(overviewCardNames(s.win),
            (kind == BatteryKind ? QStringList { "Pack" } : QStringList { "Pack", "Spare" }));
        clickThrough(s.win, "pb_options pb_logbook");
        QCOMPARE(namedChild<QLabel>(s.win, "lbl_logview_location")->text(), QString("Hill"));
        // A file without the kind refills no list, but the lists a location delete edits itself.
        deleteFirst();
        QCOMPARE(s.saves(), 1);
        QCOMPARE(storedNames(kind, s.dir.path()), QStringList());
        for (const QString &list : del.lists)
            QCOMPARE(comboItems(s.win, qPrintable(list)).join(""),
                kind == LocationKind && list != del.lists.first() ? "" : names.first());
        const QString before = readStore(s.dir.path());
        if (kind != LocationKind) { // modifying or assigning the stale name finds nothing
            s.go(pages[kind].openModify);
            QCOMPARE(shownPage(s.win), QString("editDataView"));
            if (kind == ModelKind)
                clickThrough(s.win, "pb_add_batt_to_model");
        }
        // Deleting it again removes nothing; only the location page still saves.
        deleteFirst();
        QCOMPARE(s.saves(), kind == LocationKind ? 1 : 0);
        QCOMPARE(shownPage(s.win), QString(kind == LocationKind ? "scrollLayout" : del.deletePage));
        QCOMPARE(usable(s, del.confirmation), QString("Delete"));
        QCOMPARE(readStore(s.dir.path()), before);
    }

    // Updates keep what their pages do not show; assignment buttons follow the chosen pair.
    void changingTheFleet()
    {
        Session s(fleet());
        s.go("pb_choose_modify_battery");
        s.field("ledt_modifyBattery_capacity")->setText("3300");
        clickThrough(s.win, "pb_update_battery");
        s.go("pb_choose_modify_model");
        s.field("ledt_modifyheli_type")->setText("Plane");
        clickThrough(s.win, "pb_update_model");
        QCOMPARE(s.saves(), 2);
        const QString file = readStore(s.dir.path());
        for (const QString &kept : QStringList { "<Name>Pack</Name>\n        <Capacity>3300<",
                 "<Charged>1<", cycle, "<Type>Plane<", flight })
            QVERIFY2(file.contains(kept), qPrintable(kept));
        // Pack gets a new stamp, Heli keeps its own.
        QCOMPARE(file.count("<LastUse>Sat Mar 2 14:05:09 2024<"), 1);
        QCOMPARE(file.count("<LastUpdate>Sun Dec 31 23:59:59 2023<"), 2);
        auto listed = [&] { return storedNames(ListedKind, s.dir.path()); };
        s.go(QString());
        QCOMPARE(usable(s, assignButtons), QString("Remove"));
        s.choose("cb_model_choose_bat", "Plane");
        QCOMPARE(usable(s, assignButtons), QString("Add"));
        s.choose("cb_model_choose_bat", "Heli");
        clickThrough(s.win, "pb_rem_batt_from_model");
        QCOMPARE(s.saves(), 1);
        QCOMPARE(listed(), QStringList { "Spare" });
        QCOMPARE(overviewCardNames(s.win), QStringList { "Spare" });
        QCOMPARE(usable(s, assignButtons), QString("Add")); // the refresh selects Pack again
        s.choose("cb_bat_choose_model", "Spare");
        QCOMPARE(usable(s, assignButtons), QString("Remove"));
        s.choose("cb_bat_choose_model", "Pack");
        clickThrough(s.win, "pb_add_batt_to_model");
        QCOMPARE(shownPage(s.win), QString("editDataView"));
        QCOMPARE(s.saves(), 1);
        QCOMPARE(listed(), (QStringList { "Spare", "Pack" }));
        QCOMPARE(overviewCardNames(s.win), (QStringList { "Pack", "Spare" }));
        // A second assignment keeps one copy, but saves all the same.
        QCOMPARE(usable(s, assignButtons), QString("Remove"));
        QVERIFY(QMetaObject::invokeMethod(&s.win, "on_pb_add_batt_to_model_clicked"));
        QCOMPARE(s.saves(), 1);
        QCOMPARE(listed(), (QStringList { "Spare", "Pack" }));
        s.choose("cb_bat_choose_model", "Spare");
        clickThrough(s.win, "pb_choose_delbattery");
        QCOMPARE(namedChild<QComboBox>(s.win, "cb_batteryList_delete")->currentText(), "Spare");
    }

    // Fifty-character names keep the window's size; names differing at their end stay apart.
    void longNames()
    {
        const SampleStore store = longNamesStore(QDateTime::currentDateTime());
        StoreWindow f;
        CelloraGui &win = f.win;
        win.resize(345, 543);
        QVERIFY(f.open(store));
        auto *pages = namedChild<QStackedWidget>(win, "stackedWidget");
        for (int i = 0; i < pages->count(); ++i) {
            pages->setCurrentIndex(i);
            QApplication::processEvents();
            QVERIFY(win.minimumSizeHint().width() <= 345 && win.width() == 345);
        }
        pages->setCurrentIndex(0);
        QStringList shown;
        for (const BatteryWidget *card : overviewCards(win)) {
            const auto *name = namedChild<QLabel>(*card, "lbl_name");
            QVERIFY(showsFitting(name, card->batteryName()) && name->text() != card->batteryName());
            shown << name->text();
        }
        QVERIFY(shown.size() > 1 && shown.removeDuplicates() == 0);
        auto *chooser = namedChild<QComboBox>(win, "cb_select_model");
        QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), chooser->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(chooser, &help);
        QTRY_COMPARE(QToolTip::text(), store.models.first().name);
        clickThrough(win, "pb_options pb_options pb_logbook");
        auto *battery = namedChild<ElidingLabel>(win, "lbl_logview_battname");
        QVERIFY(
            battery->text() != battery->fullText() && showsFitting(battery, battery->fullText()));
        QCOMPARE(battery->toolTip(), battery->fullText());
        clickThrough(win, "pb_options pb_options pb_edit_data pb_choose_modify_battery");
        const auto *name = namedChild<QLineEdit>(win, "ledt_modifyBattery_name");
        QCOMPARE(name->toolTip(), name->text());
        QVERIFY(store.batteries.first().name.startsWith(name->text().left(10)));
    }

    // A Full discharge from the overview to the saved file with the keyboard alone.
    void keyboardOnlyDischarge()
    {
        setSetting("cellora", "Complex");
        Session f(heliFleet());
        f.win.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f.win));
        auto *tank = namedChild<QToolButton>(*overviewCard(f.win, "Pack A"), "pushButton");
        QVERIFY(tabTo(tank));
        QVERIFY(namedChild(*tank, "focusRing")->isVisible());
        press(Qt::Key_Return); // on the focused tank
        QCOMPARE(shownPage(f.win), QStringLiteral("dischargeView"));
        QCOMPARE(namedChild<QLabel>(f.win, "lbl_discharge_battery")->text(), "Pack A in Heli");
        QApplication::processEvents(); // the added name keeps the window at its size
        QCOMPARE(f.win.minimumSizeHint().boundedTo(QSize(345, 543)), f.win.minimumSizeHint());
        // Every field in reading order, typed over; Tab leaves the notes, Ctrl+Tab does not.
        const std::pair<const char *, QString> walk[]
            = { { "dedt_dischargeDate", "05" }, { "tedt_dischargeTime", "17" },
                  { "sb_discharged_capacity", "3300" }, { "dsb_discharged_current", "90" },
                  { "cb_log_location", "S" }, { "sb_log_duration", "" }, { "sb_log_temp", "18" },
                  { "ptext_log_notes", "calm" }, { "pb_save_discharged", "" } };
        QVERIFY(tabTo(namedChild(f.win, "pb_home"))); // the last of the round
        for (const auto &step : walk) {
            press(Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), namedChild(f.win, step.first));
            QTest::keyClicks(QApplication::focusWidget(), step.second);
        }
        press(Qt::Key_Backtab);
        press(Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(namedChild<QPlainTextEdit>(f.win, "ptext_log_notes")->toPlainText(), "calm\t");
        press(Qt::Key_Backspace);
        press(Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(shownPage(f.win), QStringLiteral("scrollLayout"));
        const QDate today = QDate::currentDate();
        const QString moment
            = QLocale::c().toString(QDate(today.year(), today.month(), 5), "ddd MMM d 17:");
        const QString saved = readStore(f.dir.path());
        QVERIFY(saved.contains("<Cycle Discharged=\"3300\" Current=\"9000\" Date=\"" + moment));
        QVERIFY(saved.contains(QRegularExpression("<LogData Date=\"" + moment
            + "[^>]*Location=\"South\"[^>]*Temperature=\"18\" Notes=\"calm\"")));
    }

    void focusAfterEachPageChange_data()
    {
        QTest::addColumn<bool>("fullMode");
        QTest::addColumn<QString>("script"); // "click <buttons>", "tank <card>", "type <text>",
        QTest::addColumn<QString>("focused"); // "key <key>"; steps separated by "|"
        const auto row = [](const char *tag, bool full, const char *script, const char *focused) {
            QTest::newRow(tag) << full << QString(script) << QString(focused);
        };
        row("add model, confirmed by Ctrl+Return", false,
            "click pb_options pb_edit_data pb_choose_addmodel|type Goblin|key Ctrl+Return",
            "cb_select_model");
        row("add battery opened again", false,
            "click pb_options pb_edit_data pb_choose_addbattery|key Tab|key Tab|"
            "click pb_options pb_edit_data pb_choose_addbattery",
            "ledt_name");
        row("discharge page", true, "tank Pack", "dedt_dischargeDate");
        row("discharge saved", true, "tank Pack|key Ctrl+Return", "cb_select_model");
        row("delete page", false, "click pb_options pb_edit_data pb_choose_delbattery",
            "cb_batteryList_delete");
        // One stop per radio group, the checked button; the arrows select as they move.
        row("radio group", false, "click pb_options pb_chart|key Tab|key Right|key Right",
            "rb_showC");
        row("radio group, one stop", false, "click pb_options pb_chart|key Tab|key Tab",
            "pb_options");
    }

    // A page that opens puts the keyboard on its first field; back on the overview it waits
    // on the model, never on a tank that one more Return would discharge.
    void focusAfterEachPageChange()
    {
        QFETCH(bool, fullMode);
        QFETCH(QString, script);
        QFETCH(QString, focused);
        setSetting("cellora", fullMode ? "Complex" : "Simple");
        Session f(fleet());
        f.win.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f.win));
        for (const QString &step : script.split('|')) {
            const QString verb = step.section(' ', 0, 0), rest = step.section(' ', 1);
            if (verb == "click")
                clickThrough(f.win, rest);
            else if (verb == "tank")
                clickTank(overviewCard(f.win, rest));
            else if (verb == "type")
                QTest::keyClicks(QApplication::focusWidget(), rest);
            else
                QTest::keySequence(QApplication::focusWidget(), QKeySequence(rest));
        }
        QWidget *focus = QApplication::focusWidget();
        QCOMPARE(focus ? focus->objectName() : QString(), focused);
        if (auto *radio = qobject_cast<QRadioButton *>(focus))
            QVERIFY(radio->isChecked());
    }

    // Wherever the keyboard is, it shows: every control that Tab reaches on every page looks
    // different with the focus than without it.
    void focusShowsEverywhere()
    {
        Session f(fleet());
        f.win.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f.win));
        auto *pages = namedChild<QStackedWidget>(f.win, "stackedWidget");
        QStringList unseen;
        for (int i = 0; i < pages->count(); ++i) {
            pages->setCurrentIndex(i);
            QWidget *first = nullptr;
            for (int step = 0; step < 40; ++step) {
                press(Qt::Key_Tab);
                QWidget *focused = QApplication::focusWidget();
                if (!focused || focused == first)
                    break;
                first = first ? first : focused;
                const QImage shown = focused->grab().toImage();
                focused->clearFocus();
                if (focused->grab().toImage() == shown)
                    unseen << pages->currentWidget()->objectName() + ": " + focused->objectName();
                focused->setFocus(Qt::TabFocusReason);
            }
        }
        QVERIFY2(unseen.isEmpty(), qPrintable(unseen.join(", ")));
    }

    // Every control has a name for screen readers; every text shown, on every page and in every
    // backup message, came through the translation and is in the extraction, in two contexts
    // only; captions side by side do not touch.
    void everyShownTextIsTranslated()
    {
        MarkingTranslator translator;
        QVERIFY(QCoreApplication::installTranslator(&translator));
        setSetting("cellora", "Complex");
        QTemporaryDir backups;
        QStringList unmarked;
        {
            Session f(heliFleet());
            // The marks make every text longer, as translations are: captions keep apart.
            const auto shown = [&] {
                unmarked << unmarkedTexts(
                    f.win, { "North", "South", "East", "Pack A", "Pack B", "Spare", "Heli" })
                         << touchingCaptions(f.win);
            };
            shown();
            clickTank(overviewCard(f.win, "Pack A"));
            shown();
            // The delete button is pressed once, armed: "Yes".
            for (const QString &button : QString("save_discharged options logbook chart mode "
                                                 "edit_data choose_addbattery choose_addmodel "
                                                 "choose_addlocation choose_modify_battery "
                                                 "choose_modify_model choose_delbattery "
                                                 "deleteConfirm choose_delmodel "
                                                 "choose_dellocation backup")
                                             .split(' ')) {
                clickThrough(f.win, "pb_" + button);
                shown();
            }
            QCOMPARE(unnamedControls(f.win), QStringList()); // with the chart view on its page
            QCOMPARE(namedChild(f.win, "pb_options")->toolTip()
                    + namedChild(f.win, "pb_home")->toolTip(),
                "⟦Menu Menu⟧⟦Home Home⟧");
            AnsweredDialogs dialogs;
            for (const QString &folder : { backups.path(), backups.filePath("missing/folder") }) {
                dialogs.answer({}, folder);
                f.win.on_pb_export_data_clicked();
                shown();
            }
            for (const QString &file : { QString("missing.xml"), backupsIn(backups).value(0) }) {
                f.win.importFile(backups.filePath(file));
                shown();
            }
        }
        QCoreApplication::removeTranslator(&translator);
        CelloraGui empty; // every chooser empty before the first load
        empty.show();
        QVERIFY(QTest::qWaitForWindowExposed(&empty));
        QCOMPARE(unnamedControls(empty), QStringList());
        unmarked.removeDuplicates();
        QVERIFY2(unmarked.isEmpty(), qPrintable(unmarked.join(", ")));
        const auto extraction = readExtraction();
        QCOMPARE(extraction.keys(), QStringList({ "BatteryWidget", "CelloraGui" }));
        QStringList missing;
        for (const auto &text : qAsConst(translator.asked)) {
            // Qt's own classes ask for their texts as well; they are not ours to extract.
            if (!text.first.startsWith('Q') && !extraction.value(text.first).contains(text.second))
                missing << text.first + ": " + text.second;
        }
        QCOMPARE(missing, QStringList());
        QVERIFY(translator.asked.contains(
            qMakePair(QString("CelloraGui"), QString("Vantrix %1.%2.%3"))));
        QVERIFY(translator.asked.contains(qMakePair(QString("BatteryWidget"), QString("Cycles:"))));
    }

    // Rate texts in either order (0 clears nothing); currents to the hundredth; numbers unsigned.
    void valueTexts()
    {
        for (const auto &[rating, chargeRate, text] : { std::tuple(0u, 0u, "0C"),
                 std::tuple(25u, 7u, "25C/0.7C"), std::tuple(45u, 20u, "45C/2.0C") }) {
            BatteryWidget ratingFirst, chargeRateFirst;
            ratingFirst.setBatteryRating(rating);
            ratingFirst.setBatteryChargeRate(chargeRate);
            chargeRateFirst.setBatteryChargeRate(chargeRate);
            chargeRateFirst.setBatteryRating(rating);
            chargeRateFirst.setBatteryChargeRate(0);
            QCOMPARE(labelText(ratingFirst, "lbl_rate") + labelText(chargeRateFirst, "lbl_rate"),
                QString(text).repeated(2));
            QCOMPARE(chargeRateFirst.batteryChargeRate(), chargeRate);
        }
        QStringList currents;
        for (uint value : { 0u, 4000u, 1250u, 1205u, 4294967295u }) {
            BatteryWidget card;
            card.setBatteryLastMaxCurrent(value);
            currents << labelText(card, "lbl_maxCurrent");
        }
        QCOMPARE(currents.join(' '), "0.0A 40.0A 12.50A 12.05A 42949672.95A");
        BatteryWidget card;
        card.setBatteryCapacity(4294967295u);
        card.setBatteryLastDischarged(4294967295u);
        card.setBatteryCycles(4294967295u);
        QCOMPARE(labelText(card, "lbl_capacity") + labelText(card, "lbl_discharged")
                + labelText(card, "lbl_cycles"),
            "4294967295mAh4294967295mAh4294967295");
    }

    // An empty tank's click charges, a charged one's asks for a discharge, as its tip and name say;
    // every charged state set is a use, but only "charged" with notice emits.
    void tankButton()
    {
        QVERIFY(tankIconKey(true) != tankIconKey(false));
        BatteryWidget card;
        QCOMPARE(tank(card)->icon().cacheKey(), tankIconKey(false));
        QSignalSpy changed(&card, &BatteryWidget::dataChanged);
        QSignalSpy chargeClicked(&card, &BatteryWidget::chargeBatteryClicked);
        const auto state = [&] {
            return QString("%1 %2 %3 / %4")
                .arg(changed.count())
                .arg(chargeClicked.count())
                .arg(tank(card)->toolTip(), tank(card)->accessibleName());
        };
        QCOMPARE(state(), "0 0 Mark as charged / Mark as charged");
        const QDateTime before = QDateTime::currentDateTime();
        tank(card)->click();
        QVERIFY(card.lastUpdated() >= before && card.lastUpdated() <= QDateTime::currentDateTime());
        QCOMPARE(tank(card)->icon().cacheKey(), tankIconKey(true));
        card.setBatteryName("Voltra #1");
        QCOMPARE(state(), "1 0 Record a discharge / Voltra #1: record a discharge");
        const QDateTime chargedAt = card.lastUpdated();
        tank(card)->click();
        QCOMPARE(state(), "1 1 Record a discharge / Voltra #1: record a discharge");
        QCOMPARE(card.lastUpdated(), chargedAt);
        card.setBatteryCharged(false, false);
        card.setBatteryName("Voltra #2");
        QCOMPARE(state(), "1 1 Mark as charged / Voltra #2: mark as charged");
        card.setLastUpdated(QDateTime(QDate(2000, 1, 1), QTime(0, 0)));
        card.setBatteryCharged(false, true);
        QVERIFY(card.lastUpdated().secsTo(QDateTime::currentDateTime()) < 5);
        QCOMPARE(labelText(card, "lbl_dateTime"), card.lastUpdated().toString(Qt::TextDate));
        QCOMPARE(tank(card)->icon().cacheKey(), tankIconKey(false));
        card.setBatteryCharged(true, false);
        QVERIFY(card.batteryCharged());
        QCOMPARE(state(), "1 1 Record a discharge / Voltra #2: record a discharge");
    }

    // Long names are cut in the middle anew on each resize or font change; the tip holds all.
    void nameOnCard()
    {
        const QString longName = QStringLiteral(
            "Graphene Panther 6S 5000 mAh Wettbewerbs-Akku #1 \U0001F50B \u00c4\u00d6\u00dc");
        BatteryWidget card;
        card.resize(260, 170);
        card.show();
        QVERIFY(QTest::qWaitForWindowExposed(&card));
        auto *name = namedChild<QLabel>(card, "lbl_name");
        const auto shownWhole = [&] { // 1: whole, 0: cut in the middle, -1: neither, or too wide
            return showsFitting(name, card.batteryName()) ? int(name->text() == card.batteryName())
                                                          : -1;
        };
        card.setBatteryName(longName);
        QCOMPARE(shownWhole(), 0);
        QCOMPARE(card.batteryName() + card.toolTip(), longName + longName);
        card.resize(2000, 170);
        QTRY_COMPARE(shownWhole(), 1);
        QFont larger = name->font();
        larger.setPointSize(40);
        name->setFont(larger);
        QCOMPARE(shownWhole(), 0);
        name->setFont(QFont());
        card.resize(260, 170);
        QTRY_COMPARE(shownWhole(), 0);
        card.setBatteryName("Voltra #1");
        QCOMPARE(shownWhole(), 1);
        QCOMPARE(card.toolTip(), QStringLiteral("Voltra #1"));
    }

    // Cycle data notifies when asked; the older of two entries of a moment answers a search.
    void recordData()
    {
        BatteryWidget card;
        QSignalSpy changed(&card, &BatteryWidget::dataChanged);
        const QDateTime when(QDate(2019, 2, 2), QTime(9, 30));
        card.addCycleData(when, 3200, 4000, false);
        QCOMPARE(changed.count(), 0);
        card.addCycleData(when, true); // the short form, with the same moment
        QCOMPARE(changed.count(), 1);
        QCOMPARE(labelText(card, "lbl_discharged") + labelText(card, "lbl_maxCurrent"), "0mAh0.0A");
        uint discharged = 7, current = 8;
        QVERIFY(!card.findCycleData(when.addSecs(1), discharged, current));
        QCOMPARE(discharged + current, 15u);
        QVERIFY(card.findCycleData(when, discharged, current));
        QCOMPARE(std::pair(discharged, current), std::pair(3200u, 4000u));
        // A flight logged changes neither flight count nor last update; batteries listed once.
        ModelWidget model;
        model.setModelFlights(42);
        model.addLogData({ {}, {}, {}, 0, "1" });
        LogData out;
        QCOMPARE(model.lastLogData(out), 1);
        QCOMPARE(out.notes + ' ' + QString::number(model.modelFlights()), "1 42");
        QVERIFY(!model.lastUpdate().isValid());
        for (const char *name : { "Pack A", "Pack B", "Pack A", "Pack C" })
            model.addBattery(name);
        QCOMPARE(model.modelBatteries(), QVector<QString>({ "Pack A", "Pack B", "Pack C" }));
        QVERIFY(
            model.hasBattery("Pack A") && !model.hasBattery("pack a") && !model.hasBattery("Pack"));
        for (const char *name : { "pack b", "Pack D", "Pack B" })
            model.removeBattery(name);
        QCOMPARE(model.modelBatteries(), QVector<QString>({ "Pack A", "Pack C" }));
    }

    // Held labels show, once shown, what the same calls show at once; untouched ones keep theirs.
    void cardLabels()
    {
        const auto labelTexts = [](const BatteryWidget &card) {
            QStringList texts;
            for (const QLabel *label : card.findChildren<QLabel *>())
                texts << label->objectName() + '=' + label->text();
            return texts;
        };
        for (bool whole : { true, false }) {
            BatteryWidget plain, held;
            const QStringList before = labelTexts(held);
            held.holdCardLabels();
            for (BatteryWidget *card : { &plain, &held }) {
                card->setBatteryCycles(7);
                if (!whole)
                    continue;
                card->setBatteryName("Pack");
                card->setBatteryCapacity(5000);
                card->setBatteryChargeRate(15);
                card->setBatteryRating(35);
                card->setBatteryCharged(true, false);
                card->setLastUpdated(QDateTime(QDate(2024, 3, 2), QTime(14, 5, 9)));
                card->addCycleData(QDateTime(QDate(2024, 3, 1), QTime(10, 15)), 3200, 4000, false);
                card->addCycleData(QDateTime(QDate(2024, 3, 2), QTime(9, 30)), 3350, 1250, false);
            }
            QCOMPARE(labelTexts(held), before);
            held.showCardLabels();
            QCOMPARE(labelTexts(held), labelTexts(plain));
            held.setBatteryCycles(9); // shown at once again
            QCOMPARE(labelText(held, "lbl_cycles"), "9");
        }
        // Mode 1 shows the Discharged and Max. Current rows, 0 hides them, others leave them.
        BatteryWidget card;
        const auto rows
            = card.findChildren<QLabel *>(QRegularExpression("^lbl_(discharged|maxCurrent)"));
        QCOMPARE(rows.size(), 4);
        QStringList seen;
        for (int mode : { 0, 1, 2, 0, 2, -1 }) {
            if (!seen.isEmpty())
                card.setViewMode(mode);
            seen << QString::number(card.viewMode()) + ':';
            for (const QLabel *row : rows)
                seen.last() += row->isVisibleTo(&card) ? '+' : '-';
        }
        QCOMPARE(seen.join(' '), QStringLiteral("0:---- 1:++++ 2:++++ 0:---- 2:---- -1:----"));
    }
};

QTEST_MAIN(TestOverview)
#include "tst_overview.moc"
