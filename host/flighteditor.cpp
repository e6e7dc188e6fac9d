#include "host/flighteditor.h"

#include "host/changerefusal.h"
#include "host/flightedits.h"
#include "host/flighttable.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

using FlightEdits::Field;

namespace {

const char *initialValue = "initialValue";
const QAbstractItemView::EditTriggers editTriggers = QAbstractItemView::DoubleClicked
    | QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed;

QString hoursText(qint64 seconds)
{
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

// The editors show a cell's text as the table shows it and take it back as typed: a text
// that does not say a value within the record's limits is refused with the reason, never
// changed into another value.
class FieldText {
    Q_DECLARE_TR_FUNCTIONS(FlightEditor)

public:
    // The value that `typed` says for `field`, or an invalid one with the `problem`.
    static QVariant read(Field field, const QVariant &typed, QString *problem)
    {
        const QString text = typed.toString();
        QVariant value;
        switch (field) {
        case Field::Duration:
            value = duration(text);
            if (!value.isValid())
                *problem = tr("Type the duration as hours, minutes and seconds, such as "
                              "00:06:12 (or 6:12), up to 23:59:59.");
            break;
        case Field::Discharged:
            value = whole(text, 0, RecordRules::maxDischargedMah);
            if (!value.isValid())
                *problem = tr("The discharged capacity is a whole number from 0 to %1 mAh.")
                               .arg(RecordRules::maxDischargedMah);
            break;
        case Field::Current:
            value = amperes(text);
            if (!value.isValid())
                *problem = tr("The maximum current is a number from 0 to %1 A, to the "
                              "hundredth, such as %2.")
                               .arg(RecordRules::maxCurrentAmperes)
                               .arg(FlightTable::numberLocale().toString(85.5, 'f', 2));
            break;
        case Field::Resistance:
            value = milliohms(text);
            if (!value.isValid())
                *problem = tr("The resistance is a number of milliohms from 0 to %1, to the "
                              "tenth, such as %2; empty or 0 when it is not known.")
                               .arg(FlightTable::numberLocale().toString(
                                   RecordRules::maxResistanceTenths / 10.0, 'f', 1))
                               .arg(FlightTable::numberLocale().toString(15.3, 'f', 1));
            break;
        case Field::Temperature:
            value = whole(text, RecordRules::minTemperature, RecordRules::maxTemperature);
            if (!value.isValid())
                *problem = tr("The temperature is a whole number from %1 to %2 °C.")
                               .arg(RecordRules::minTemperature)
                               .arg(RecordRules::maxTemperature);
            break;
        default:
            value = typed;
        }
        return value;
    }

private:
    // "1:02:03", "00:06:12" or, for a flight's usual minutes, "6:12".
    static QVariant duration(const QString &text)
    {
        static const QRegularExpression form(
            QStringLiteral("^\\s*(?:(\\d{1,2}):)?(\\d{1,2}):(\\d{2})\\s*$"));
        const QRegularExpressionMatch match = form.match(text);
        if (!match.hasMatch())
            return QVariant();
        const QTime time(
            match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
        return time.isValid() ? QVariant(time) : QVariant();
    }

    // In the language's form or in digits alone; group separators are refused, so that
    // "2.500" cannot be read as 2500 in one language and 2.5 in another.
    static QVariant whole(const QString &text, int lowest, int highest)
    {
        bool ok = false;
        int number = FlightTable::numberLocale().toInt(text.trimmed(), &ok);
        if (!ok)
            number = QLocale::c().toInt(text.trimmed(), &ok);
        return ok && number >= lowest && number <= highest ? QVariant(number) : QVariant();
    }

    // The language's decimal sign or the point, at most to the `places`' decimal; no groups.
    static QVariant decimal(QString text, double highest, int places)
    {
        // A character in Qt 5, a string in Qt 6.
        const QString decimalSign(FlightTable::numberLocale().decimalPoint());
        text = text.trimmed().replace(decimalSign, QStringLiteral("."));
        bool ok = false;
        const double number = QLocale::c().toDouble(text, &ok);
        const double scaled = number * std::pow(10.0, places);
        if (!ok || number < 0 || number > highest || qAbs(scaled - qRound(scaled)) > 1e-6)
            return QVariant();
        return number;
    }

    static QVariant amperes(const QString &text)
    {
        return decimal(text, RecordRules::maxCurrentAmperes, 2);
    }

    // An empty cell is an unknown resistance, as 0 is.
    static QVariant milliohms(const QString &text)
    {
        if (text.trimmed().isEmpty())
            return 0.0;
        return decimal(text, RecordRules::maxResistanceTenths / 10.0, 1);
    }
};

// Editors within the limits of the module's own discharge inputs. An editor that is left
// unchanged writes nothing back, so that a value the editor cannot show keeps its form.
class FlightDelegate : public QStyledItemDelegate {
public:
    using Tell = std::function<void(const QString &problem)>;

    FlightDelegate(const FlightTable &table, Tell tell, QObject *parent)
        : QStyledItemDelegate(parent)
        , table(table)
        , tell(std::move(tell))
    {
    }

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
        const QModelIndex &index) const override
    {
        switch (static_cast<Field>(index.column())) {
        case Field::Date: {
            auto *edit = new QDateTimeEdit(parent);
            edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
            edit->setDateRange(RecordRules::earliestDate, RecordRules::latestDate);
            return edit;
        }
        case Field::Duration:
        case Field::Discharged:
        case Field::Current:
        case Field::Resistance:
        case Field::Temperature:
            return new QLineEdit(parent);
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
        else if (auto *line = qobject_cast<QLineEdit *>(editor))
            line->setText(index.data(Qt::DisplayRole).toString());
        else
            QStyledItemDelegate::setEditorData(editor, index);
        editor->setProperty(initialValue, valueOf(editor));
    }

    void setModelData(
        QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        const QVariant typed = valueOf(editor);
        if (typed == editor->property(initialValue))
            return;
        QString problem;
        const QVariant value = FieldText::read(static_cast<Field>(index.column()), typed, &problem);
        if (value.isValid())
            model->setData(index, value);
        else
            tell(problem);
    }

    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
        const QModelIndex &index) const override
    {
        QStyledItemDelegate::updateEditorGeometry(editor, option, index);
        // Wide enough to show the whole value, a date or a pack's name, over the next
        // cells; room for a few lines of notes.
        QRect shown(editor->pos(), editor->size().expandedTo(QSize(editor->sizeHint().width(), 0)));
        if (qobject_cast<QPlainTextEdit *>(editor))
            shown.setSize(QSize(qMax(option.rect.width(), 240), option.rect.height() * 4));
        // Within the table's visible part: moved to the left where it would reach beyond it.
        if (const QWidget *viewport = editor->parentWidget()) {
            shown.setWidth(qMin(shown.width(), viewport->width()));
            shown.moveLeft(qMax(0, qMin(shown.left(), viewport->width() - shown.width())));
        }
        editor->setGeometry(shown);
    }

private:
    QWidget *choices(QWidget *parent, const QModelIndex &index) const
    {
        auto *box = new QComboBox(parent);
        box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
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
        if (auto *line = qobject_cast<QLineEdit *>(editor))
            return line->text();
        if (auto *edit = qobject_cast<QDateTimeEdit *>(editor))
            return edit->dateTime();
        return editor->property("text");
    }

    const FlightTable &table;
    Tell tell;
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
    , message(new QLabel(this))
{
    setObjectName(QStringLiteral("flightEditor"));
    setWindowTitle(tr("Flights and Cycles"));
    filter->setSourceModel(table);
    filter->setSortRole(FlightTable::SortRole);
    view->setObjectName(QStringLiteral("flightTable"));
    view->setModel(filter);
    view->setItemDelegate(new FlightDelegate(
        *table, [this](const QString &problem) { tell(problem); }, view));
    view->setSortingEnabled(true);
    view->sortByColumn(int(Field::Date), Qt::DescendingOrder);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->horizontalHeader()->setStretchLastSection(true);
    view->verticalHeader()->hide();
    totals->setObjectName(QStringLiteral("flightTotals"));
    // Why the last correction was refused, until the next one is made.
    message->setObjectName(QStringLiteral("flightMessage"));
    message->setWordWrap(true);
    message->setStyleSheet(QStringLiteral("color: #9c2a00;"));
    message->hide();

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(createFilters());
    layout->addWidget(view, 1);
    layout->addWidget(totals);
    layout->addWidget(message);
    layout->addWidget(createButtons());
    // The size it opens at on a large screen; a smaller one gets less, and the table scrolls.
    resize(1180, 560);

    connect(filter, &QAbstractItemModel::modelReset, this, &FlightEditor::showTotals);
    connect(filter, &QAbstractItemModel::rowsInserted, this, &FlightEditor::showTotals);
    connect(filter, &QAbstractItemModel::rowsRemoved, this, &FlightEditor::showTotals);
    connect(filter, &QAbstractItemModel::layoutChanged, this, &FlightEditor::showTotals);
    connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
        &FlightEditor::updateButtons);
    connect(table, &FlightTable::refused, this, &FlightEditor::tellRefusal);
    reload();
    // Once shown: a hidden view measures every one of the rows, a shown one those in sight.
    QTimer::singleShot(0, view, &QTableView::resizeColumnsToContents);
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
    // Long names must not widen the dialog beyond a small screen; the lists show them whole.
    for (QComboBox *box : { modelFilter, batteryFilter }) {
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(12);
    }
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
    shown = StoreFolder::load(folder);
    // A store read only in part would lose the rest with the first change: show, never save.
    readOnly = shown.status == StoreFolder::Status::Damaged
        || shown.status == StoreFolder::Status::Unreadable;
    view->setEditTriggers(readOnly ? QAbstractItemView::NoEditTriggers : editTriggers);
    table->setStore(shown.records);
    QStringList models, batteries;
    for (const StoreSnapshot::Model &model : shown.records.models)
        models << model.name;
    for (const StoreSnapshot::Battery &battery : shown.records.batteries)
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
    const QString sums
        = tr("%n flight(s), flight time %1, %2 mAh", nullptr, rows)
              .arg(hoursText(seconds), FlightTable::numberLocale().toString(discharged));
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
    if (readOnly)
        return false;
    const ChangeOutcome outcome = applyChange(label, shown, changed);
    if (outcome.refused.isBroken()) {
        tell(ChangeRefusal::describe(outcome.refused));
        // Something else changed the file since the table read it: the table shows that.
        if (outcome.refused.refusal == RecordRules::Refusal::FileChanged)
            QTimer::singleShot(0, this, &FlightEditor::reload);
        return false;
    }
    if (!outcome.written) {
        tell(tr("The logbook could not be written; nothing was changed."));
        return false;
    }
    tell(QString());
    return true;
}

void FlightEditor::reloadIfChanged()
{
    if (StoreFolder::load(folder).bytes != shown.bytes)
        reload();
}

void FlightEditor::tell(const QString &problem)
{
    message->setText(problem);
    message->setVisible(!problem.isEmpty());
}

void FlightEditor::tellRefusal(Field field, const QVariant &value)
{
    if (field == Field::Date)
        tell(tr("Another flight or discharge is recorded at %1 already: each flight needs a "
                "moment of its own.")
                 .arg(value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))));
    else
        tell(tr("%1 cannot be set to this value; nothing was changed.")
                 .arg(table->headerData(int(field), Qt::Horizontal, Qt::DisplayRole).toString()));
}

void FlightEditor::deleteSelected()
{
    const int row = selectedRow();
    StoreSnapshot changed = table->store();
    const FlightEdits::FlightRef ref = table->flightAt(row);
    if (row < 0 || !FlightEdits::deleteFlight(changed, ref))
        return;
    const QString label = tr("Delete Flight of %1").arg(table->store().models[ref.model].name);
    if (change(table->withPackStates(label, changed), changed))
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
