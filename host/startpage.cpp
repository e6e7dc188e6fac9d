#include "host/startpage.h"

#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

class StartPagePrivate {
public:
    QPushButton *logbook = nullptr;
    QLabel *folder = nullptr;
    QGroupBox *recentBox = nullptr;
    QVBoxLayout *recent = nullptr;
};

namespace {

QPushButton *namedButton(const QString &text, const char *name)
{
    auto *button = new QPushButton(text);
    button->setObjectName(QLatin1String(name));
    return button;
}

} // namespace

StartPage::StartPage(QWidget *parent)
    : QWidget(parent)
    , d(std::make_unique<StartPagePrivate>())
{
    setObjectName(QStringLiteral("startPage"));
    auto *content = new QWidget;
    auto *column = new QVBoxLayout(content);
    column->setContentsMargins(24, 18, 24, 18);
    column->setSpacing(12);

    auto *title = new QLabel(QStringLiteral("Cellora"));
    QFont large = title->font();
    large.setPointSizeF(large.pointSizeF() * 1.8);
    large.setBold(true);
    title->setFont(large);
    column->addWidget(title);
    column->addWidget(new QLabel(tr("Battery logbook for electric radio-controlled models")));

    d->logbook = namedButton(tr("&Open the Logbook"), "pb_start_logbook");
    connect(d->logbook, &QPushButton::clicked, this, &StartPage::openLogbook);
    d->folder = new QLabel;
    d->folder->setObjectName(QStringLiteral("lbl_start_folder"));
    d->folder->setWordWrap(true);
    d->folder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *logbookRow = new QHBoxLayout;
    logbookRow->addWidget(d->logbook);
    logbookRow->addWidget(d->folder, 1);
    column->addLayout(logbookRow);

    d->recentBox = new QGroupBox(tr("Recent storage folders"));
    d->recent = new QVBoxLayout(d->recentBox);
    column->addWidget(d->recentBox);

    auto *actions = new QHBoxLayout;
    const std::pair<QPushButton *, void (StartPage::*)()> buttons[] = {
        { namedButton(tr("Open Storage &Folder…"), "pb_start_open"), &StartPage::chooseFolder },
        { namedButton(tr("Try the &Demo"), "pb_start_demo"), &StartPage::tryDemo },
        { namedButton(tr("Import &Telemetry Logs…"), "pb_start_telemetry"),
            &StartPage::importTelemetry },
    };
    for (const auto &entry : buttons) {
        connect(entry.first, &QPushButton::clicked, this, entry.second);
        actions->addWidget(entry.first);
    }
    actions->addStretch(1);
    column->addLayout(actions);
    auto *ending = new QLabel(tr("Cellora ends with File, Quit or by closing its window."));
    ending->setWordWrap(true);
    column->addWidget(ending);
    column->addStretch(1);

    // A small screen scrolls the page rather than cutting buttons off.
    auto *area = new QScrollArea;
    area->setObjectName(QStringLiteral("startScrollArea"));
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setWidget(content);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(area);
}

StartPage::~StartPage() = default;

void StartPage::showFolders(const QString &current, const QStringList &recent)
{
    d->folder->setText(QDir::toNativeSeparators(current));
    // A button may be the one whose click led here: it goes once its click is over.
    while (QLayoutItem *item = d->recent->takeAt(0)) {
        if (QWidget *button = item->widget()) {
            button->hide();
            button->deleteLater();
        }
        delete item;
    }
    // Tab reaches them in reading order, after the logbook's button.
    QWidget *before = d->logbook;
    for (const QString &folder : recent) {
        auto *button = namedButton(QDir::toNativeSeparators(folder), "pb_start_recent");
        button->setFlat(true);
        button->setStyleSheet(QStringLiteral("text-align: left; padding: 3px 6px;"));
        button->setToolTip(tr("Open the logbook in %1").arg(QDir::toNativeSeparators(folder)));
        connect(button, &QPushButton::clicked, this, [this, folder] { emit openFolder(folder); });
        d->recent->addWidget(button);
        setTabOrder(before, button);
        before = button;
    }
    d->recentBox->setVisible(!recent.isEmpty());
}

void StartPage::focusFirstButton()
{
    d->logbook->setFocus(Qt::OtherFocusReason);
}
