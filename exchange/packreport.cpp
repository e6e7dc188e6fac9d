#include "exchange/packreport.h"

#include "store/storesnapshot.h"
#include "window/chartclasses.h"

#include <QDateTimeAxis>
#include <QScatterSeries>

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFont>
#include <QGraphicsScene>
#include <QImage>
#include <QLocale>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>
#include <QUrl>

#include <algorithm>

namespace {

// The report's texts, translated in the context "PackReport".
struct Text {
    Q_DECLARE_TR_FUNCTIONS(PackReport)
};

// The language's decimal mark, without group separators: a pack is "5000 mAh" in any
// language, and figures read as in the rest of the program's texts.
QLocale numberLocale()
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

// A fixed face and size in points, resolved against the PDF's resolution alone.
QFont reportFont()
{
    QFont font(QStringLiteral("Sans Serif"));
    font.setPointSizeF(10);
    return font;
}

// The chart is a picture of fixed pixels: its lettering is sized in pixels as well, not
// after the screen the program runs on.
QFont chartFont()
{
    QFont font(QStringLiteral("Sans Serif"));
    font.setPixelSize(15);
    return font;
}

QString number(double value, int decimals = 1)
{
    return value < 0 ? QStringLiteral("–") : numberLocale().toString(value, 'f', decimals);
}

QString percent(double value)
{
    return value < 0 ? QStringLiteral("–") : number(value) + QStringLiteral(" %");
}

QString withUnit(double value, const char *unit)
{
    return value < 0 ? QStringLiteral("–")
                     : number(value) + QLatin1Char(' ') + QString::fromUtf8(unit);
}

// The pack's own first flights against its latest, "12.0 → 18.5 mΩ", or the one known.
QString firstAndNow(double first, double now, const char *unit)
{
    if (first < 0)
        return withUnit(now, unit);
    return number(first) + QStringLiteral(" → ") + withUnit(now, unit);
}

QString ageText(const PackHealth &pack)
{
    if (pack.ageDays < 0)
        return QStringLiteral("–");
    return Text::tr("%n day(s) (%1 years)", nullptr, pack.ageDays)
        .arg(number(pack.ageDays / 365.25));
}

QString daysText(int days)
{
    return days < 0 ? Text::tr("never used") : QString::number(days);
}

QString verdictHtml(const PackHealth &pack)
{
    static const char *const colours[] = { "#2e7d32", "#b36b00", "#b00020" };
    return QStringLiteral("<span style=\"color:%1; font-weight:bold\">%2</span>")
        .arg(QLatin1String(colours[int(pack.verdict)]),
            PackHealthCheck::verdictText(pack.verdict).toHtmlEscaped());
}

QString reasonsHtml(const PackHealth &pack)
{
    return pack.reasons.join(QStringLiteral("; ")).toHtmlEscaped();
}

QString cell(const QString &text, bool right = false)
{
    return QStringLiteral("<td%1>%2</td>")
        .arg(right ? QStringLiteral(" align=\"right\"") : QString(), text);
}

QString summaryHtml(const QVector<PackHealth> &fleet)
{
    QString html = QStringLiteral("<h2>%1</h2><table border=\"1\" cellspacing=\"0\" "
                                  "cellpadding=\"3\" width=\"100%\" style=\"font-size:8pt\"><tr>")
                       .arg(Text::tr("Fleet summary"));
    for (const char *head :
        { QT_TRANSLATE_NOOP("PackReport", "Verdict"), QT_TRANSLATE_NOOP("PackReport", "Battery"),
            "mAh", QT_TRANSLATE_NOOP("PackReport", "Cycles"),
            QT_TRANSLATE_NOOP("PackReport", "Equiv. cycles"), "mΩ",
            QT_TRANSLATE_NOOP("PackReport", "First 10"), QT_TRANSLATE_NOOP("PackReport", "Last 10"),
            QT_TRANSLATE_NOOP("PackReport", "Peak C"), QT_TRANSLATE_NOOP("PackReport", "Idle days"),
            QT_TRANSLATE_NOOP("PackReport", "Reasons") })
        html += QStringLiteral("<th>%1</th>").arg(Text::tr(head));
    html += QStringLiteral("</tr>");
    for (const PackHealth &pack : fleet) {
        html += QStringLiteral("<tr>") + cell(verdictHtml(pack)) + cell(pack.name.toHtmlEscaped())
            + cell(QString::number(pack.capacity), true) + cell(QString::number(pack.cycles), true)
            + cell(number(pack.equivalentCycles), true) + cell(number(pack.lastResistance), true)
            + cell(percent(pack.firstShare), true) + cell(percent(pack.recentShare), true)
            + cell(number(pack.peakC), true) + cell(daysText(pack.daysSinceUse), true)
            + cell(reasonsHtml(pack)) + QStringLiteral("</tr>");
    }
    return html
        + QStringLiteral("</table><p style=\"font-size:8pt\">%1</p>")
              .arg(Text::tr("Verdict: retire when the internal resistance has doubled against "
                            "the pack's own first flights, or after %1 cycles or %2 years; "
                            "watch when it rose by half, when the voltage under load sags %3 % "
                            "lower, after %4 cycles or %5 years, when it is kept charged for "
                            "more than %6 days, or when its discharges use over %7 % of the "
                            "capacity or %8 points more than at first. Equivalent cycles: all "
                            "discharged capacity over the pack's capacity. mΩ: the internal "
                            "resistance of the latest flights. First 10 and last 10: the mean "
                            "share of the capacity used in those discharges (Quick entries "
                            "without figures left out). Peak C: the highest current as a "
                            "multiple of the capacity. Idle days: since the last flight or "
                            "charge.")
                       .arg(HealthLimits::cyclesRetire)
                       .arg(HealthLimits::ageRetireDays / 365)
                       .arg(qRound(100 * (1 - HealthLimits::sagWatch)))
                       .arg(HealthLimits::cyclesWatch)
                       .arg(HealthLimits::ageWatchDays / 365)
                       .arg(HealthLimits::storageDaysLimit)
                       .arg(HealthLimits::heavyUseShare)
                       .arg(HealthLimits::shareRiseWatch)
                       .toHtmlEscaped());
}

QString figureRow(const QString &label, const QString &value)
{
    return QStringLiteral("<tr><td>%1</td><td><b>%2</b></td></tr>").arg(label, value);
}

// Each pack page has up to two charts: the share of the capacity and the resistance.
QUrl chartUrl(int pack, int chart)
{
    return QUrl(QStringLiteral("chart:%1-%2").arg(pack).arg(chart));
}

QString chartHtml(const QString &caption, const QUrl &url)
{
    return QStringLiteral("<p>%1</p><p><img src=\"%2\" width=\"600\"></p>")
        .arg(caption, url.toString());
}

QString stateText(const PackHealth &pack)
{
    if (!pack.charged)
        return Text::tr("empty");
    return pack.daysCharged < 0 ? Text::tr("charged")
                                : Text::tr("charged for %1 days").arg(pack.daysCharged);
}

bool hasDatedFigure(const QVector<DatedFigure> &figures)
{
    return std::any_of(figures.cbegin(), figures.cend(),
        [](const DatedFigure &figure) { return figure.date.isValid(); });
}

QString packHtml(const PackHealth &pack, int index)
{
    QString html = QStringLiteral("<h2 style=\"page-break-before: always\">%1</h2>")
                       .arg(pack.name.toHtmlEscaped());
    html += QStringLiteral("<p>%1 %2").arg(Text::tr("Verdict:"), verdictHtml(pack));
    if (!pack.reasons.isEmpty())
        html += QStringLiteral(" – ") + reasonsHtml(pack);
    html += QStringLiteral("</p><table cellpadding=\"3\">")
        + figureRow(Text::tr("Internal resistance, first flights → now"),
            firstAndNow(pack.firstResistance, pack.lastResistance, "mΩ"))
        + figureRow(Text::tr("Lowest voltage under load, first flights → now"),
            firstAndNow(pack.firstMinVoltage, pack.lastMinVoltage, "V"))
        + figureRow(Text::tr("Capacity"), QStringLiteral("%1 mAh").arg(pack.capacity))
        + figureRow(Text::tr("Rating"), QStringLiteral("%1 C").arg(pack.rating))
        + figureRow(Text::tr("Age"), ageText(pack))
        + figureRow(Text::tr("Cycles"), QString::number(pack.cycles))
        + figureRow(Text::tr("Equivalent full cycles"), number(pack.equivalentCycles))
        + figureRow(Text::tr("Capacity used, first 10 discharges"), percent(pack.firstShare))
        + figureRow(Text::tr("Capacity used, last 10 discharges"), percent(pack.recentShare))
        + figureRow(Text::tr("Highest current"), withUnit(pack.peakC, "C"))
        + figureRow(Text::tr("Days since last flight or charge"), daysText(pack.daysSinceUse))
        + figureRow(Text::tr("State"), stateText(pack)) + QStringLiteral("</table>");
    if (hasDatedFigure(pack.shares))
        html += chartHtml(
            Text::tr("Share of the capacity used in each discharge, by date:"), chartUrl(index, 0));
    if (hasDatedFigure(pack.resistances))
        html += chartHtml(Text::tr("Internal resistance in mΩ, by date:"), chartUrl(index, 1));
    return html;
}

// The figures over their dates, a line through a point per discharge, so that a single one
// shows too. Figures without a date have no place on this axis and stay out.
QImage datedChart(const QVector<DatedFigure> &figures, const QString &valueTitle, double leastTop)
{
    auto *series = new QLineSeries;
    auto *points = new QScatterSeries;
    points->setMarkerSize(10);
    QDateTime first, last;
    double top = leastTop;
    for (const DatedFigure &figure : figures) {
        if (!figure.date.isValid())
            continue;
        series->append(double(figure.date.toMSecsSinceEpoch()), figure.value);
        points->append(double(figure.date.toMSecsSinceEpoch()), figure.value);
        first = first.isValid() ? std::min(first, figure.date) : figure.date;
        last = last.isValid() ? std::max(last, figure.date) : figure.date;
        top = std::max(top, figure.value);
    }
    auto *chart = new QChart;
    chart->addSeries(series);
    chart->addSeries(points);
    points->setColor(series->color()); // the theme's colour, given as the series is added
    points->setBorderColor(series->color());
    chart->legend()->hide();
    auto *dates = new QDateTimeAxis;
    dates->setTitleText(Text::tr("Date"));
    dates->setFormat(QLocale().dateFormat(QLocale::ShortFormat));
    // A little room on either side for the first and the last point; a single discharge is
    // shown among the days around it.
    const qint64 room = first == last ? 86400000 : first.msecsTo(last) / 40;
    dates->setRange(first.addMSecs(-room), last.addMSecs(room));
    dates->setTickCount(first == last ? 3 : 6);
    auto *values = new QValueAxis;
    values->setTitleText(valueTitle);
    values->setRange(0, top);
    values->applyNiceNumbers();
    // Whole numbers: no decimal mark that could differ from the report's language.
    values->setLabelFormat(QStringLiteral("%d"));
    dates->setLabelsFont(chartFont());
    dates->setTitleFont(chartFont());
    values->setLabelsFont(chartFont());
    values->setTitleFont(chartFont());
    chart->addAxis(dates, Qt::AlignBottom);
    chart->addAxis(values, Qt::AlignLeft);
    for (QXYSeries *xy : { static_cast<QXYSeries *>(series), static_cast<QXYSeries *>(points) }) {
        xy->attachAxis(dates);
        xy->attachAxis(values);
    }
    // The scene owns the chart and with it the series and the axes.
    QGraphicsScene scene;
    scene.addItem(chart);
    const QSizeF size(900, 300);
    chart->resize(size);
    // Lays the chart out at its size now: it is never shown, and no event loop runs here.
    QCoreApplication::sendPostedEvents(chart, QEvent::LayoutRequest);
    QImage image(size.toSize(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    scene.render(&painter, QRectF(QPointF(), size), QRectF(QPointF(), size));
    return image;
}

} // namespace

QVector<PackHealth> PackReport::assess(const StoreSnapshot &store, const QDateTime &now)
{
    return PackHealthCheck::assessFleet(store, now);
}

void PackReport::compose(QTextDocument &document, const QVector<PackHealth> &fleet,
    const QString &storageFolder, const QDateTime &now)
{
    QString html = QStringLiteral("<h1>%1</h1><p>%2</p>")
                       .arg(Text::tr("Cellora pack report"),
                           Text::tr("Storage folder %1, %2")
                               .arg(QDir::toNativeSeparators(storageFolder).toHtmlEscaped(),
                                   QLocale().toString(now, QLocale::ShortFormat)));
    html += summaryHtml(fleet);
    for (int i = 0; i < fleet.size(); ++i) {
        const PackHealth &pack = fleet[i];
        html += packHtml(pack, i);
        if (hasDatedFigure(pack.shares))
            document.addResource(QTextDocument::ImageResource, chartUrl(i, 0),
                datedChart(pack.shares, Text::tr("% of capacity"), 100));
        if (hasDatedFigure(pack.resistances))
            document.addResource(QTextDocument::ImageResource, chartUrl(i, 1),
                datedChart(pack.resistances, Text::tr("mΩ"), 0));
    }
    document.setHtml(html);
}

QByteArray PackReport::pdf(
    const StoreSnapshot &store, const QString &storageFolder, const QDateTime &now)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setTitle(Text::tr("Cellora pack report"));
        pdf.setCreator(QStringLiteral("Cellora"));
        QTextDocument document;
        // The program's font depends on the desktop and the screen; a report written
        // from the menu and one written from the command line look the same.
        document.setDefaultFont(reportFont());
        compose(document, assess(store, now), storageFolder, now);
        document.print(&pdf);
    } // the writer finishes the document when it goes
    return bytes;
}
