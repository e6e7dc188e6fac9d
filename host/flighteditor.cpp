#include "host/flighteditor.h"

#include "host/flightedits.h"
#include "host/flighttable.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

using FlightEdits::Field;

namespace {

const char *initialValue = "initialValue";
const QAbstractItemView::EditTriggers editTriggers = QAbstractItemView::DoubleClicked
    | QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed;

QByteArray fileContent(const QString &folder)
{
    QFile file(QDir(folder).filePath(QStringLiteral("cellora.xml")));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString hoursText(qint64 seconds)
{
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QSpinBox *spinBox(QWidget *parent, int lowest, int highest)
{
    auto *box = new QSpinBox(parent);
    box->setRange(lowest, highest);
    return box;
}

// Editors with the limits of the module's own discharge inputs. An editor that is left
// unchanged writes nothing back, so that a current held in hundredths keeps them.
class FlightDelegate : public QStyledItemDelegate {
public:
    FlightDelegate(const FlightTable &table, QObject *parent)
        : QStyledItemDelegate(parent)
        , table(table)
    {
    }

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
        const QModelIndex &index) const override
    {
        switch (static_cast<Field>(index.column())) {
        case Field::Date: {
            auto *edit = new QDateTimeEdit(parent);
            edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
            edit->setDateRange(FlightEdits::earliestDate, FlightEdits::latestDate);
            return edit;
        }
        case Field::Duration: {
            auto *edit = new QTimeEdit(parent);
            edit->setDisplayFormat(QStringLiteral("HH:mm:ss"));
            return edit;
        }
        case Field::Discharged:
            return spinBox(parent, 0, FlightEdits::maxDischarged);
        case Field::Current:
            return spinBox(parent, 0, FlightEdits::maxCurrentAmperes);
        case Field::Resistance: {
            auto *box = new QDoubleSpinBox(parent);
            box->setDecimals(1);
            box->setRange(0, FlightEdits::maxResistanceTenths / 10.0);
            box->setSpecialValueText(FlightEditor::tr("unknown"));
            return box;
        }
        case Field::Temperature:
            return spinBox(parent, FlightEdits::minTemperature, FlightEdits::maxTemperature);
        case Field::Battery:
        case Field::Location:
            return choices(parent, index);
        case Field::Notes:
            return new QPlainTextEdit(parent);
        default:
            return QStyledItemDelegate::createEditor(parent, option, index);
        }
    }

    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        if (auto *notes = qobject_cast<QPlainTextEdit *>(editor))
            notes->setPlainText(index.data(Qt::EditRole).toString());
        else if (auto *box = qobject_cast<QSpinBox *>(editor))
            box->setValue(qRound(index.data(Qt::EditRole).toDouble()));
        else
            QStyledItemDelegate::setEditorData(editor, index);
        editor->setProperty(initialValue, valueOf(editor));
    }

    void setModelData(
        QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        const QVariant value = valueOf(editor);
        if (value != editor->property(initialValue))
            model->setData(index, value);
    }

    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
        const QModelIndex &index) const override
    {
        QStyledItemDelegate::updateEditorGeometry(editor, option, index);
        // Room for a few lines of notes.
        if (qobject_cast<QPlainTextEdit *>(editor))
            editor->resize(qMax(option.rect.width(), 240), option.rect.height() * 4);
    }

private:
    QWidget *choices(QWidget *parent, const QModelIndex &index) const
    {
        auto *box = new QComboBox(parent);
        const StoreSnapshot &store = table.store();
        if (index.column() == int(Field::Battery)) {
            for (const StoreSnapshot::Battery &battery : store.batteries)
                box->addItem(battery.name);
        } else {
            box->addItems(store.locations);
            const QString own = index.data(Qt::EditRole).toString();
            if (!store.locations.contains(own))
                box->addItem(own);
        }
        return box;
    }

    static QVariant valueOf(QWidget *editor)
    {
        if (auto *notes = qobject_cast<QPlainTextEdit *>(editor))
            return notes->toPlainText();
        if (auto *box = qobject_cast<QComboBox *>(editor))
            return box->currentText();
        if (auto *box = qobject_cast<QSpinBox *>(editor))
            return box->value();
        if (auto *box = qobject_cast<QDoubleSpinBox *>(editor))
            return box->value();
        if (auto *edit = qobject_cast<QTimeEdit *>(editor))
            return edit->time();
        if (auto *edit = qobject_cast<QDateTimeEdit *>(editor))
            return edit->dateTime();
        return editor->property("text");
    }

    const FlightTable &table;
};

} // namespace

FlightEditor::FlightEditor(const QString &storageFolder, ApplyChange applyChange, QWidget *parent)
    : QDialog(parent)
    , folder(storageFolder)
    , applyChange(std::move(applyChange))
    , table(new FlightTable(
          [this](const QString &label, const StoreSnapshot &changed) {
              // The table shows the new store once the edit's editor has closed.
              if (!change(label, changed))
                  return false;
              QTimer::singleShot(0, this, &FlightEditor::reload);
              return true;
          },
          this))
    , filter(new FlightFilter(this))
    , view(new QTableView(this))
    , totals(new QLabel(this))
{
    setObjectName(QStringLiteral("flightEditor"));
    setWindowTitle(tr("Flights and Cycles"));
    filter->setSourceModel(table);
    filter->setSortRole(FlightTable::SortRole);
    view->setObjectName(QStringLiteral("flightTable"));
    view->setModel(filter);
    view->setItemDelegate(new FlightDelegate(*table, view));
    view->setSortingEnabled(true);
    view->sortByColumn(int(Field::Date), Qt::DescendingOrder);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->horizontalHeader()->setStretchLastSection(true);
    view->verticalHeader()->hide();
    totals->setObjectName(QStringLiteral("flightTotals"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(createFilters());
    layout->addWidget(view, 1);
    layout->addWidget(totals);
    layout->addWidget(createButtons());
    resize(1180, 560);

    connect(filter, &QAbstractItemModel::modelReset, this, &FlightEditor::showTotals);
    connect(filter, &QAbstractItemModel::rowsInserted, this, &FlightEditor::showTotals);
    connect(filter, &QAbstractItemModel::rowsRemoved, this, &FlightEditor::showTotals);
    connect(filter, &QAbstractItemModel::layoutChanged, this, &FlightEditor::showTotals);
    connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
        &FlightEditor::updateButtons);
    reload();
    view->resizeColumnsToContents();
}

QWidget *FlightEditor::createFilters()
{
    auto *row = new QWidget(this);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    modelFilter = new QComboBox(row);
    modelFilter->setObjectName(QStringLiteral("modelFilter"));
    batteryFilter = new QComboBox(row);
    batteryFilter->setObjectName(QStringLiteral("batteryFilter"));
    layout->addWidget(new QLabel(tr("Model:"), row));
    layout->addWidget(modelFilter, 1);
    layout->addWidget(new QLabel(tr("Battery:"), row));
    layout->addWidget(batteryFilter, 1);
    for (QComboBox *box : { modelFilter, batteryFilter })
        connect(box, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &FlightEditor::filterChanged);
    return row;
}

QWidget *FlightEditor::createButtons()
{
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    deleteButton = buttons->addButton(tr("Delete Flight"), QDialogButtonBox::ActionRole);
    deleteButton->setObjectName(QStringLiteral("deleteFlight"));
    notChargedButton = buttons->addButton(tr("Mark Not Charged"), QDialogButtonBox::ActionRole);
    notChargedButton->setObjectName(QStringLiteral("markNotCharged"));
    notChargedButton->setToolTip(tr("The battery chosen above was not charged after all"));
    connect(deleteButton, &QPushButton::clicked, this, &FlightEditor::deleteSelected);
    connect(notChargedButton, &QPushButton::clicked, this, &FlightEditor::markNotCharged);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    return buttons;
}

void FlightEditor::reload()
{
    shownContent = fileContent(folder);
    StoreSnapshot store;
    store.readBytes(shownContent);
    // A store read only in part would lose the rest with the first change: show, never save.
    readOnly = store.damaged() && !shownContent.isEmpty();
    view->setEditTriggers(readOnly ? QAbstractItemView::NoEditTriggers : editTriggers);
    table->setStore(store);
    QStringList models, batteries;
    for (const StoreSnapshot::Model &model : store.models)
        models << model.name;
    for (const StoreSnapshot::Battery &battery : store.batteries)
        batteries << battery.name;
    refillFilter(modelFilter, tr("All models"), models);
    refillFilter(batteryFilter, tr("All batteries"), batteries);
    filterChanged();
}

void FlightEditor::refillFilter(QComboBox *box, const QString &allText, const QStringList &names)
{
    const QString chosen = box->currentIndex() > 0 ? box->currentText() : QString();
    const QSignalBlocker blocker(box);
    box->clear();
    box->addItem(allText);
    box->addItems(names);
    box->setCurrentIndex(qMax(0, names.indexOf(chosen) + 1));
}

void FlightEditor::filterChanged()
{
    filter->setModelName(modelFilter->currentIndex() > 0 ? modelFilter->currentText() : QString());
    filter->setBatteryName(
        batteryFilter->currentIndex() > 0 ? batteryFilter->currentText() : QString());
    showTotals();
    updateButtons();
}

void FlightEditor::showTotals()
{
    qint64 seconds = 0;
    qint64 discharged = 0;
    const int rows = filter->rowCount();
    for (int row = 0; row < rows; ++row) {
        seconds
            += filter->index(row, int(Field::Duration)).data(FlightTable::SortRole).toLongLong();
        discharged += filter->index(row, int(Field::Discharged)).data(Qt::EditRole).toLongLong();
    }
    const QString sums = tr("%1 flights, flight time %2, %3 mAh")
                             .arg(rows)
                             .arg(hoursText(seconds))
                             .arg(discharged);
    totals->setText(readOnly ? tr("The data file could not be read to its end: nothing can be "
                                  "changed here. %1")
                                   .arg(sums)
                             : sums);
}

void FlightEditor::updateButtons()
{
    deleteButton->setEnabled(!readOnly && selectedRow() >= 0);
    bool charged = false;
    for (const StoreSnapshot::Battery &battery : table->store().batteries)
        charged |= batteryFilter->currentIndex() > 0 && battery.name == batteryFilter->currentText()
            && battery.charged;
    notChargedButton->setEnabled(!readOnly && charged);
}

int FlightEditor::selectedRow() const
{
    const QModelIndexList rows = view->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : filter->mapToSource(rows.first()).row();
}

bool FlightEditor::change(const QString &label, const StoreSnapshot &changed)
{
    // Something else changed the file since the table read it: show that instead of
    // writing an edit of an older store over it.
    if (readOnly || fileContent(folder) != shownContent) {
        QTimer::singleShot(0, this, &FlightEditor::reload);
        return false;
    }
    const QByteArray content = changed.toBytes();
    return !content.isEmpty() && applyChange(label, content);
}

void FlightEditor::deleteSelected()
{
    const int row = selectedRow();
    StoreSnapshot changed = table->store();
    const FlightEdits::FlightRef ref = table->flightAt(row);
    if (row < 0 || !FlightEdits::deleteFlight(changed, ref))
        return;
    if (change(tr("Delete Flight of %1").arg(table->store().models[ref.model].name), changed))
        reload();
}

void FlightEditor::markNotCharged()
{
    const QString battery = batteryFilter->currentText();
    StoreSnapshot changed = table->store();
    if (batteryFilter->currentIndex() <= 0
        || !FlightEdits::markNotCharged(changed, battery, QDateTime::currentDateTime()))
        return;
    if (change(tr("Mark %1 Not Charged").arg(battery), changed))
        reload();
}
