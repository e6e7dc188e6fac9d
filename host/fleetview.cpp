#include "host/fleetview.h"

#include "store/storesnapshot.h"

#include <QBrush>
#include <QColor>
#include <QDialogButtonBox>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

namespace {

QColor verdictColour(PackVerdict verdict)
{
    switch (verdict) {
    case PackVerdict::Retire:
        return QColor(0xb0, 0x00, 0x20);
    case PackVerdict::Watch:
        return QColor(0xb3, 0x6b, 0x00);
    case PackVerdict::Good:
        break;
    }
    return QColor(0x2e, 0x7d, 0x32);
}

// A pack kept charged too long is marked like the warning bar of the window.
const QColor storageWarning(0xff, 0xf3, 0xc4);

} // namespace

void FleetTable::setRows(QVector<Row> rows)
{
    beginResetModel();
    packs = std::move(rows);
    endResetModel();
}

int FleetTable::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : packs.size();
}

int FleetTable::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : columnTotal;
}

QVariant FleetTable::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (Column(section)) {
    case Battery:
        return tr("Battery");
    case Models:
        return tr("Models");
    case Charged:
        return tr("State");
    case DaysCharged:
        return tr("Days charged");
    case Cycles:
        return tr("Cycles");
    case Resistance:
        return tr("mΩ now");
    case Verdict:
        return tr("Verdict");
    case Reasons:
        return tr("Why");
    }
    return QVariant();
}

QVariant FleetTable::shownValue(const Row &row, Column column) const
{
    const PackHealth &pack = row.health;
    switch (column) {
    case Battery:
        return pack.name;
    case Models:
        return row.models.join(QStringLiteral(", "));
    case Charged:
        return pack.charged ? tr("charged") : tr("empty");
    case DaysCharged:
        if (pack.daysCharged < 0)
            return QVariant();
        return pack.keptCharged ? tr("%1 – storage charge").arg(pack.daysCharged)
                                : QString::number(pack.daysCharged);
    case Cycles:
        return QString::number(pack.cycles);
    case Resistance:
        return pack.lastResistance < 0 ? QVariant()
                                       : QVariant(QLocale().toString(pack.lastResistance, 'f', 1));
    case Verdict:
        return PackHealthCheck::verdictText(pack.verdict);
    case Reasons:
        return pack.reasons.join(QStringLiteral("; "));
    }
    return QVariant();
}

// Numbers sort as numbers, unknown ones first; the verdict by how grave it is.
QVariant FleetTable::sortValue(const Row &row, Column column) const
{
    const PackHealth &pack = row.health;
    switch (column) {
    case DaysCharged:
        return pack.daysCharged;
    case Cycles:
        return pack.cycles;
    case Resistance:
        return pack.lastResistance;
    case Verdict:
        return int(pack.verdict);
    default:
        return shownValue(row, column);
    }
}

QVariant FleetTable::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= packs.size())
        return QVariant();
    const Row &row = packs[index.row()];
    const auto column = Column(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return shownValue(row, column);
    case SortRole:
        return sortValue(row, column);
    case Qt::ToolTipRole:
        if (column == DaysCharged && row.health.keptCharged)
            return tr("Kept charged for more than %1 days: discharge it to storage voltage, "
                      "or fly it.")
                .arg(HealthLimits::storageDaysLimit);
        return column == Verdict || column == Reasons ? shownValue(row, Reasons) : QVariant();
    case Qt::ForegroundRole:
        return column == Verdict ? QVariant(QBrush(verdictColour(row.health.verdict))) : QVariant();
    case Qt::BackgroundRole:
        return column == DaysCharged && row.health.keptCharged ? QVariant(QBrush(storageWarning))
                                                               : QVariant();
    case Qt::TextAlignmentRole:
        return column == DaysCharged || column == Cycles || column == Resistance
            ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
            : QVariant();
    default:
        return QVariant();
    }
}

FleetView::Reading FleetView::readRows(
    const QString &storageFolder, const QDateTime &now, QVector<FleetTable::Row> &rows)
{
    StoreSnapshot store;
    if (!store.readFile(StoreSnapshot::dataFilePath(storageFolder)))
        return Reading::Unreadable;
    QHash<QString, QStringList> modelsOf;
    for (const StoreSnapshot::Model &model : qAsConst(store.models)) {
        for (const QString &battery : model.batteries)
            modelsOf[battery] << model.name;
    }
    rows.clear();
    rows.reserve(store.batteries.size());
    for (const StoreSnapshot::Battery &battery : qAsConst(store.batteries))
        rows.append({ PackHealthCheck::assess(battery, now), modelsOf.value(battery.name) });
    return store.damaged() ? Reading::UpToAFault : Reading::Whole;
}

FleetView::FleetView(const QString &storageFolder, QWidget *parent, const QDateTime &now)
    : QDialog(parent)
    , table(new FleetTable(this))
    , view(new QTableView(this))
    , summary(new QLabel(this))
{
    setObjectName(QStringLiteral("fleetView"));
    setWindowTitle(tr("Packs"));
    QVector<FleetTable::Row> rows;
    const Reading reading = readRows(storageFolder, now, rows);
    table->setRows(rows);
    auto *sorted = new QSortFilterProxyModel(this);
    sorted->setSourceModel(table);
    sorted->setSortRole(FleetTable::SortRole);
    view->setObjectName(QStringLiteral("fleetTable"));
    view->setModel(sorted);
    view->setSortingEnabled(true);
    // The packs that need the bench first.
    view->sortByColumn(FleetTable::Verdict, Qt::DescendingOrder);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->verticalHeader()->hide();
    view->horizontalHeader()->setStretchLastSection(true);
    view->resizeColumnsToContents();

    int retire = 0, watch = 0, kept = 0;
    for (const FleetTable::Row &row : qAsConst(rows)) {
        retire += row.health.verdict == PackVerdict::Retire;
        watch += row.health.verdict == PackVerdict::Watch;
        kept += row.health.keptCharged;
    }
    summary->setObjectName(QStringLiteral("fleetSummary"));
    QString text = tr("%1 packs: %2 to retire, %3 to watch, %4 kept charged for more than %5 "
                      "days.")
                       .arg(rows.size())
                       .arg(retire)
                       .arg(watch)
                       .arg(kept)
                       .arg(HealthLimits::storageDaysLimit);
    if (reading == Reading::Unreadable)
        text = tr("The storage folder holds no data file that can be read.");
    else if (reading == Reading::UpToAFault)
        text += QLatin1Char(' ')
            + tr("The data file could not be read to its end: the packs after the fault are "
                 "missing.");
    summary->setText(text);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(summary);
    layout->addWidget(view, 1);
    layout->addWidget(buttons);
    // Wide enough for every reason when the screen allows it; each is a tool tip as well.
    int width = view->frameWidth() * 2 + layout->contentsMargins().left()
        + layout->contentsMargins().right();
    const QHeaderView *header = view->horizontalHeader();
    for (int column = 0; column < FleetTable::Reasons; ++column)
        width += header->sectionSize(column);
    // Stretched, the last column never gets narrower than the header's default size.
    width += qMax(header->sectionSize(FleetTable::Reasons), header->defaultSectionSize());
    // The program fits every dialog into the screen's free area as it opens.
    resize(qMax(640, width), 520);
}
