// Every text that the module shows comes through the translation, and the extraction
// (translations/cellora_de.ts, refreshed by lupdate at build time) holds every one of
// them, in the contexts "CelloraGui" and "BatteryWidget" only. A text that bypasses tr()
// shows up here untranslated; a tr() that lupdate cannot see is missing from the file.

#include "window/celloragui.h"
#include "window/chartclasses.h"
#include "windowsupport.h"

#include <QAbstractButton>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QTranslator>
#include <QXmlStreamReader>
#include <QtTest>

using namespace TestSupport;

namespace {

const QChar openMark(0x27E6);
const QChar closeMark(0x27E7);

using Extraction = QMap<QString, QSet<QString>>; // context to source texts

// The texts of the extraction that are still in the sources: lupdate keeps the ones that
// vanished from them, with their translations, in case they come back.
Extraction readExtraction()
{
    Extraction extraction;
    QFile file(QStringLiteral(CELLORA_TRANSLATION_SOURCE));
    if (!file.open(QIODevice::ReadOnly))
        return extraction;
    QXmlStreamReader xml(&file);
    QString context;
    QString source;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("source")) {
            source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            const auto type = xml.attributes().value(QLatin1String("type"));
            if (type != QLatin1String("vanished") && type != QLatin1String("obsolete"))
                extraction[context].insert(source);
        }
    }
    return extraction;
}

// Answers every text with the source text between marks, so that a text on the screen
// shows whether it came through the translation, and notes what it was asked.
class MarkingTranslator : public QTranslator {
public:
    mutable QSet<QPair<QString, QString>> asked;

    bool isEmpty() const override { return false; }

    QString translate(const char *context, const char *sourceText, const char *disambiguation,
        int n) const override
    {
        Q_UNUSED(disambiguation)
        Q_UNUSED(n)
        const QString source = QString::fromUtf8(sourceText);
        asked.insert({ QString::fromUtf8(context), source });
        // Input masks and the paging arrows stay as they are: marks would change them.
        if (!source.contains(QRegularExpression(QStringLiteral("\\p{L}"))))
            return source;
        return openMark + source + closeMark;
    }
};

// Names from the data file, the units that stay as they are ("mAh", "A", "C") and the
// system's short day and month names of the date texts: everything else needs marks.
class ShownTexts {
public:
    explicit ShownTexts(const QStringList &dataNames)
        : names(dataNames)
    {
        words << QStringLiteral("mAh") << QStringLiteral("A") << QStringLiteral("C");
        const QLocale system = QLocale::system();
        for (int i = 1; i <= 12; ++i) {
            words << system.monthName(i, QLocale::ShortFormat).remove(QLatin1Char('.'));
            if (i <= 7)
                words << system.dayName(i, QLocale::ShortFormat).remove(QLatin1Char('.'));
        }
    }

    void collect(const QWidget &window)
    {
        check(window.objectName(), window.windowTitle());
        for (const QWidget *widget : window.findChildren<QWidget *>()) {
            const QString name = widget->objectName();
            for (const QString &text :
                { widget->toolTip(), widget->statusTip(), widget->whatsThis(),
                    widget->accessibleName(), widget->accessibleDescription() })
                check(name, text);
            if (const auto *label = qobject_cast<const QLabel *>(widget))
                check(name, label->text());
            if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
                check(name, button->text());
            if (const auto *edit = qobject_cast<const QLineEdit *>(widget))
                check(name, edit->placeholderText());
            if (const auto *view = qobject_cast<const QChartView *>(widget))
                check(name, view->chart()->title());
        }
    }

    const QStringList &untranslated() const { return problems; }

private:
    void check(const QString &widget, const QString &text)
    {
        QString rest = text;
        rest.remove(QRegularExpression(QString(openMark) + QStringLiteral("[^") + closeMark
            + QStringLiteral("]*") + closeMark));
        for (const QString &name : names)
            rest.remove(name);
        const QRegularExpression word(QStringLiteral("\\p{L}+"));
        for (auto it = word.globalMatch(rest); it.hasNext();) {
            if (!words.contains(it.next().captured())) {
                const QString problem = widget + QStringLiteral(": ") + text;
                if (!problems.contains(problem))
                    problems << problem;
                return;
            }
        }
    }

    QStringList names;
    QStringList words;
    QStringList problems;
};

SampleStore sampleStore()
{
    return { { "North", "South" }, { pack("Pack A", 4500, 30, 12, true), pack("Spare", 1000, 20) },
        { model("Heli", { "Pack A" }) } };
}

} // namespace

class TestTranslations : public QObject {
    Q_OBJECT

private slots:
    void init() { resetSettings(); }

    void extractionHoldsTheModuleContextsOnly()
    {
        const Extraction extraction = readExtraction();
        QCOMPARE(extraction.keys(), QStringList({ "BatteryWidget", "CelloraGui" }));
    }

    void everyShownTextComesFromTheExtraction()
    {
        MarkingTranslator translator;
        QVERIFY(QCoreApplication::installTranslator(&translator));
        setSetting(QStringLiteral("cellora"), QStringLiteral("Complex"));
        QTemporaryDir backups;
        {
            StoreWindow store;
            QVERIFY(store.open(sampleStore()));
            CelloraGui &win = store.win;
            ShownTexts shown({ "North", "South", "Pack A", "Spare", "Heli" });
            const auto step = [&](const std::function<void()> &action) {
                action();
                shown.collect(win);
            };

            shown.collect(win);
            step([&] { clickTank(overviewCard(win, QStringLiteral("Pack A"))); });
            step([&] { win.on_pb_save_discharged_clicked(); });
            for (const auto page : { &CelloraGui::on_pb_options_clicked,
                     &CelloraGui::on_pb_logbook_clicked, &CelloraGui::on_pb_chart_clicked,
                     &CelloraGui::on_pb_mode_clicked, &CelloraGui::on_pb_edit_data_clicked,
                     &CelloraGui::on_pb_choose_addbattery_clicked,
                     &CelloraGui::on_pb_choose_addmodel_clicked,
                     &CelloraGui::on_pb_choose_addlocation_clicked,
                     &CelloraGui::on_pb_choose_modify_battery_clicked,
                     &CelloraGui::on_pb_choose_modify_model_clicked,
                     &CelloraGui::on_pb_choose_delbattery_clicked,
                     &CelloraGui::on_pb_deleteConfirm_clicked, // armed: "Yes"
                     &CelloraGui::on_pb_choose_delmodel_clicked,
                     &CelloraGui::on_pb_choose_dellocation_clicked,
                     &CelloraGui::on_pb_backup_clicked })
                step([&] { (win.*page)(); });

            // Every message of the backup page.
            const QString garbage = backups.filePath(QStringLiteral("garbage.xml"));
            QVERIFY(writeBytes(garbage, "not a store"));
            AnsweredDialogs dialogs;
            for (const QString &folder : { backups.path(), backups.filePath("missing/folder") }) {
                dialogs.answer({}, folder);
                step([&] { win.on_pb_export_data_clicked(); });
            }
            const QStringList exported = QDir(backups.path()).entryList({ "cellora_*.xml" });
            QCOMPARE(exported.size(), 1);
            for (const QString &file :
                { backups.filePath("missing.xml"), garbage, backups.filePath(exported.first()) }) {
                dialogs.answer(file);
                step([&] { win.on_pb_import_data_clicked(); });
            }

            QVERIFY2(shown.untranslated().isEmpty(),
                qPrintable(QStringLiteral("shown without translation:\n  ")
                    + shown.untranslated().join(QStringLiteral("\n  "))));
        }
        QCoreApplication::removeTranslator(&translator);

        const Extraction extraction = readExtraction();
        QStringList missing;
        for (const auto &text : qAsConst(translator.asked)) {
            // Qt's own classes ask for their texts as well; they are not ours to extract.
            if (!text.first.startsWith(QLatin1Char('Q'))
                && !extraction.value(text.first).contains(text.second))
                missing << text.first + QStringLiteral(": ") + text.second;
        }
        QVERIFY2(missing.isEmpty(),
            qPrintable(QStringLiteral("not in the extraction:\n  ")
                + missing.join(QStringLiteral("\n  "))));
        QVERIFY(translator.asked.contains(
            qMakePair(QStringLiteral("CelloraGui"), QStringLiteral("Vantrix %1.%2.%3"))));
        QVERIFY(translator.asked.contains(
            qMakePair(QStringLiteral("BatteryWidget"), QStringLiteral("Cycles:"))));
    }
};

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
