#ifndef CELLORAGUI_P_H
#define CELLORAGUI_P_H

#include <QSettings>
#include <QString>
#include <QVariant>
#include <QVector>

// The process-wide settings store, shared by every window of the module.
namespace CelloraSettings {
QVariant value(const QString &key);
void setValue(const QString &key, const QString &value);
} // namespace CelloraSettings

class QWidget;

// The widgets a control is built of can take focus too: the list a combo box opens, the
// editor inside a spin box, the drawing area of a chart. Below `root`, each of them that
// has no name of its own gets its control's name, so that a screen reader that enters it
// still says what it is.
void nameInnerControls(QWidget *root);

// The pages set captions side by side in grids without spacing between the columns: a
// caption as wide as its column, as longer translations are, would touch the next one.
// Below `root`, each label with a control to its right keeps a little room after its text.
void spaceNeighbouringCaptions(QWidget *root);

// Records refer to one another by name alone, compared exactly and case-sensitively.
template <typename Record> using NameOf = const QString &(Record::*)() const;

// The last record of that name: should two share one, the later one counts.
template <typename Record>
Record *lastNamed(const QVector<Record *> &records, const QString &name, NameOf<Record> nameOf)
{
    for (auto it = records.crbegin(); it != records.crend(); ++it) {
        if (((*it)->*nameOf)() == name)
            return *it;
    }
    return nullptr;
}

template <typename Record>
int firstNamedIndex(const QVector<Record *> &records, const QString &name, NameOf<Record> nameOf)
{
    for (int i = 0; i < records.size(); ++i) {
        if ((records.at(i)->*nameOf)() == name)
            return i;
    }
    return -1;
}

// The first record of that name: the one a delete takes.
template <typename Record>
Record *firstNamed(const QVector<Record *> &records, const QString &name, NameOf<Record> nameOf)
{
    const int index = firstNamedIndex(records, name, nameOf);
    return index >= 0 ? records.at(index) : nullptr;
}

// Takes the first record of that name off the list and hands it to the caller.
template <typename Record>
Record *takeFirstNamed(QVector<Record *> &records, const QString &name, NameOf<Record> nameOf)
{
    const int index = firstNamedIndex(records, name, nameOf);
    return index >= 0 ? records.takeAt(index) : nullptr;
}

#endif // CELLORAGUI_P_H
