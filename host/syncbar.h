#ifndef SYNCBAR_H
#define SYNCBAR_H

#include <QFrame>
#include <QString>
#include <QStringList>
#include <QVector>

class QVBoxLayout;

// The part of the program's warning bar that speaks of the other machines sharing the
// storage folder: notices (another program holds the folder, a merge without a common
// version) and each conflict of a merge, with a button to take the other value.
class SyncBar : public QFrame {
    Q_OBJECT

public:
    struct Row {
        QString text;
        QString button;
    };

    explicit SyncBar(QWidget *parent = nullptr);

    void setContent(const QStringList &notices, const QVector<Row> &rows);

signals:
    void rowChosen(int row);
    void dismissed();

private:
    QVBoxLayout *lines;
};

#endif // SYNCBAR_H
