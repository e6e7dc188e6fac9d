#include "exchange/packreport.h"

#include "store/storesnapshot.h"
#include "window/chartclasses.h"

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
#include <numeric>

namespace {

// The report's texts, translated in the context "PackReport".
struct Text {
    Q_DECLARE_TR_FUNCTIONS(PackReport)
};

double mean(QVector<double>::const_iterator first, QVector<double>::const_iterator last)
{
    if (first == last)
        return -1;
    return std::accumulate(first, last, 0.0) / double(last - first);
}

void measureDischarges(PackHealth &pack, const StoreSnapshot::Battery &battery)
{
    // Without a capacity no share or multiple of it means anything: those stay unknown.
    if (pack.capacity == 0)
        return;
    double total = 0;
    uint peakCurrent = 0;
    for (const StoreSnapshot::Cycle &cycle : battery.cycleData) {
        total += cycle.discharged;
        pack.shares << 100.0 * cycle.discharged / pack.capacity;
        peakCurrent = std::max(peakCurrent, cycle.current);
    }
    pack.equivalentCycles = total / pack.capacity;
    const int sample = std::min<int>(PackReport::sampleSize, pack.shares.size());
    pack.firstShare = mean(pack.shares.cbegin(), pack.shares.cbegin() + sample);
    pack.recentShare = mean(pack.shares.cend() - sample, pack.shares.cend());
    if (!battery.cycleData.isEmpty()) {
        // Hundredths of an ampere over mAh: A / Ah = 10 * hundredths / mAh.
        pack.peakC = 10.0 * peakCurrent / pack.capacity;
    }
}

void addWarnings(PackHealth &pack, qint64 secondsSinceUse)
{
    if (pack.charged && secondsSinceUse > PackReport::storageDaysLimit * 86400)
        pack.warnings << Text::tr("charged for %n day(s)", nullptr, int(secondsSinceUse / 86400));
    if (pack.recentShare > PackReport::heavyUseShare)
        pack.warnings << Text::tr("over 80 % used");
}

PackHealth assessPack(const StoreSnapshot::Battery &battery, const QDateTime &now)
{
    PackHealth pack;
    pack.name = battery.name;
    pack.capacity = battery.capacity;
    pack.rating = battery.rating;
    pack.purchase = battery.purchase;
    if (pack.purchase.isValid() && pack.purchase <= now.date())
        pack.ageDays = int(pack.purchase.daysTo(now.date()));
    pack.cycles = battery.cycles;
    pack.charged = battery.charged;
    measureDischarges(pack, battery);
    const QDateTime &lastUse = battery.lastUse;
    // A last use in the future (a clock that was wrong) counts as today.
    const qint64 seconds = lastUse.isValid() ? std::max<qint64>(0, lastUse.secsTo(now)) : -1;
    if (seconds >= 0)
        pack.daysSinceUse = int(seconds / 86400);
    addWarnings(pack, seconds);
    return pack;
}

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

QString warningsHtml(const PackHealth &pack)
{
    if (pack.warnings.isEmpty())
        return QString();
    return QStringLiteral("<span style=\"color:#b00020; font-weight:bold\">%1</span>")
        .arg(pack.warnings.join(QStringLiteral("; ")).toHtmlEscaped());
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
        { QT_TRANSLATE_NOOP("PackReport", "Battery"), "mAh",
            QT_TRANSLATE_NOOP("PackReport", "Cycles"),
            QT_TRANSLATE_NOOP("PackReport", "Equiv. cycles"),
            QT_TRANSLATE_NOOP("PackReport", "First 10"), QT_TRANSLATE_NOOP("PackReport", "Last 10"),
            QT_TRANSLATE_NOOP("PackReport", "Peak C"), QT_TRANSLATE_NOOP("PackReport", "Idle days"),
            QT_TRANSLATE_NOOP("PackReport", "Warnings") })
        html += QStringLiteral("<th>%1</th>").arg(Text::tr(head));
    html += QStringLiteral("</tr>");
    for (const PackHealth &pack : fleet) {
        html += QStringLiteral("<tr>") + cell(pack.name.toHtmlEscaped())
            + cell(QString::number(pack.capacity), true) + cell(QString::number(pack.cycles), true)
            + cell(number(pack.equivalentCycles), true) + cell(percent(pack.firstShare), true)
            + cell(percent(pack.recentShare), true) + cell(number(pack.peakC), true)
            + cell(daysText(pack.daysSinceUse), true) + cell(warningsHtml(pack))
            + QStringLiteral("</tr>");
    }
    return html
        + QStringLiteral("</table><p style=\"font-size:8pt\">%1</p>")
              .arg(Text::tr("Equivalent cycles: all discharged capacity over the pack's "
                            "capacity. First 10 and last 10: the mean share of the "
                            "capacity used in those discharges. Peak C: the highest "
                            "current as a multiple of the capacity. Warnings: charged "
                            "and unused for more than 3 days, or over 80 % of the "
                            "capacity used in the last 10 discharges.")
                       .toHtmlEscaped());
}

QString figureRow(const QString &label, const QString &value)
{
    return QStringLiteral("<tr><td>%1</td><td><b>%2</b></td></tr>").arg(label, value);
}

QUrl chartUrl(int index)
{
    return QUrl(QStringLiteral("chart:%1").arg(index));
}

QString packHtml(const PackHealth &pack, int index)
{
    QString html = QStringLiteral("<h2 style=\"page-break-before: always\">%1</h2>")
                       .arg(pack.name.toHtmlEscaped());
    if (!pack.warnings.isEmpty())
        html += QStringLiteral("<p>%1</p>").arg(warningsHtml(pack));
    html += QStringLiteral("<table cellpadding=\"3\">")
        + figureRow(Text::tr("Capacity"), QStringLiteral("%1 mAh").arg(pack.capacity))
        + figureRow(Text::tr("Rating"), QStringLiteral("%1 C").arg(pack.rating))
        + figureRow(Text::tr("Age"), ageText(pack))
        + figureRow(Text::tr("Cycles"), QString::number(pack.cycles))
        + figureRow(Text::tr("Equivalent full cycles"), number(pack.equivalentCycles))
        + figureRow(Text::tr("Capacity used, first 10 discharges"), percent(pack.firstShare))
        + figureRow(Text::tr("Capacity used, last 10 discharges"), percent(pack.recentShare))
        + figureRow(Text::tr("Highest current"),
            pack.peakC < 0 ? QStringLiteral("–") : QStringLiteral("%1 C").arg(number(pack.peakC)))
        + figureRow(Text::tr("Days since last use"), daysText(pack.daysSinceUse))
        + figureRow(Text::tr("State"), pack.charged ? Text::tr("charged") : Text::tr("empty"))
        + QStringLiteral("</table>");
    if (!pack.shares.isEmpty()) {
        html += QStringLiteral("<p>%1</p><p><img src=\"%2\" width=\"640\"></p>")
                    .arg(Text::tr("Share of the capacity used in each discharge:"),
                        chartUrl(index).toString());
    }
    return html;
}

QImage shareChart(const PackHealth &pack)
{
    auto *series = new QLineSeries;
    for (int i = 0; i < pack.shares.size(); ++i)
        series->append(i + 1, pack.shares[i]);
    auto *chart = new QChart;
    chart->addSeries(series);
    chart->legend()->hide();
    auto *discharges = new QValueAxis;
    discharges->setTitleText(Text::tr("Discharge"));
    discharges->setLabelFormat(QStringLiteral("%d"));
    const int count = std::max(2, int(pack.shares.size()));
    discharges->setRange(1, count);
    // Whole discharges only, about eight steps whatever the count.
    discharges->setTickType(QValueAxis::TicksDynamic);
    discharges->setTickAnchor(1);
    discharges->setTickInterval(std::max(1, (count - 1 + 7) / 8));
    auto *share = new QValueAxis;
    share->setTitleText(Text::tr("% of capacity"));
    share->setRange(
        0, std::max(100.0, *std::max_element(pack.shares.cbegin(), pack.shares.cend())));
    share->applyNiceNumbers();
    // Whole percents: no decimal mark that could differ from the report's language.
    share->setLabelFormat(QStringLiteral("%d"));
    for (QValueAxis *axis : { discharges, share }) {
        axis->setLabelsFont(chartFont());
        axis->setTitleFont(chartFont());
    }
    chart->addAxis(discharges, Qt::AlignBottom);
    chart->addAxis(share, Qt::AlignLeft);
    series->attachAxis(discharges);
    series->attachAxis(share);
    // The scene owns the chart and with it the series and the axes.
    QGraphicsScene scene;
    scene.addItem(chart);
    const QSizeF size(900, 380);
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
    QVector<PackHealth> fleet;
    for (const StoreSnapshot::Battery &battery : store.batteries)
        fleet << assessPack(battery, now);
    std::stable_sort(fleet.begin(), fleet.end(), [](const PackHealth &a, const PackHealth &b) {
        if (a.warnings.isEmpty() != b.warnings.isEmpty())
            return !a.warnings.isEmpty();
        return a.equivalentCycles > b.equivalentCycles;
    });
    return fleet;
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
        html += packHtml(fleet[i], i);
        if (!fleet[i].shares.isEmpty())
            document.addResource(QTextDocument::ImageResource, chartUrl(i), shareChart(fleet[i]));
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
