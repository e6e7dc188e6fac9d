#include "host/syncbar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

SyncBar::SyncBar(QWidget *parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("syncBar"));
    setStyleSheet(
        QStringLiteral("#syncBar { background: #fff3c4; border-bottom: 1px solid #c9a227; }"));
    auto *layout = new QHBoxLayout(this);
    lines = new QVBoxLayout;
    layout->addLayout(lines, 1);
    auto *dismiss = new QPushButton(tr("Dismiss"));
    dismiss->setObjectName(QStringLiteral("syncDismiss"));
    connect(dismiss, &QPushButton::clicked, this, &SyncBar::dismissed);
    layout->addWidget(dismiss, 0, Qt::AlignTop);
    hide();
}

void SyncBar::setContent(const QStringList &notices, const QVector<Row> &rows)
{
    // Later: a button of the old rows may be the one whose click brought the new ones.
    const auto drop = [](QLayoutItem *item) {
        if (QWidget *widget = item->widget()) {
            widget->hide();
            widget->deleteLater();
        }
        delete item;
    };
    while (QLayoutItem *item = lines->takeAt(0)) {
        if (QLayout *row = item->layout()) {
            while (QLayoutItem *part = row->takeAt(0))
                drop(part);
        }
        drop(item);
    }
    const auto label = [](const QString &text, const char *name) {
        auto *shown = new QLabel(text);
        shown->setObjectName(QLatin1String(name));
        shown->setWordWrap(true);
        shown->setTextFormat(Qt::PlainText);
        return shown;
    };
    for (const QString &notice : notices)
        lines->addWidget(label(notice, "syncNotice"));
    for (int i = 0; i < rows.size(); ++i) {
        auto *line = new QHBoxLayout;
        line->addWidget(label(rows.at(i).text, "syncConflict"), 1);
        auto *take = new QPushButton(rows.at(i).button);
        take->setObjectName(QStringLiteral("syncTake"));
        connect(take, &QPushButton::clicked, this, [this, i] { emit rowChosen(i); });
        line->addWidget(take);
        lines->addLayout(line);
    }
    setVisible(!notices.isEmpty() || !rows.isEmpty());
}
