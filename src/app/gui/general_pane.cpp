#include "app/gui/general_pane.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "settings/settings.h"

namespace {

QComboBox* numberPopUp(int first, int last, int width, QWidget* parent) {
    auto* popUp = new QComboBox(parent);
    popUp->addItem(QStringLiteral("None"));
    for (int n = first; n <= last; ++n)
        popUp->addItem(QStringLiteral("%1").arg(n, width, 10, QChar(u'0')));
    return popUp;
}

}  // namespace

void selectTitle(QComboBox* popUp, const QString& title) {
    int index = popUp->findText(title);
    if (index < 0) {
        popUp->addItem(title);
        index = popUp->count() - 1;
    }
    popUp->setCurrentIndex(index);
}

GeneralPane::GeneralPane(Settings& draft, QWidget* parent) : QWidget(parent), draft_(draft) {
    archiveMo = numberPopUp(1, 12, 2, this);
    archiveDa = numberPopUp(1, 31, 2, this);
    archiveYr = numberPopUp(1990, QDate::currentDate().year(), 4, this);
    archiveMo->setObjectName(QStringLiteral("archiveMo"));
    archiveDa->setObjectName(QStringLiteral("archiveDa"));
    archiveYr->setObjectName(QStringLiteral("archiveYr"));
    updatesCheck = new QCheckBox(tr("Check for updates when Desktidy starts"), this);
    updatesCheck->setObjectName(QStringLiteral("updatesCheck"));

    auto* date = new QHBoxLayout;
    date->addWidget(archiveMo);
    date->addWidget(new QLabel(QStringLiteral("/"), this));
    date->addWidget(archiveDa);
    date->addWidget(new QLabel(QStringLiteral("/"), this));
    date->addWidget(archiveYr);
    date->addStretch();

    auto* explain = new QLabel(tr("Before each filing, loose items last changed on or before this "
                                  "date (month / day / year) are moved into the archive folder. "
                                  "A year of \u201cNone\u201d turns archiving off."),
                               this);
    explain->setWordWrap(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Archive items older than:"), this));
    layout->addLayout(date);
    layout->addWidget(explain);
    layout->addSpacing(12);
    layout->addWidget(updatesCheck);
    layout->addStretch();

    connect(archiveMo, &QComboBox::currentTextChanged, this,
            [this](const QString& t) { draft_.archiveDate.month = t; });
    connect(archiveDa, &QComboBox::currentTextChanged, this,
            [this](const QString& t) { draft_.archiveDate.day = t; });
    connect(archiveYr, &QComboBox::currentTextChanged, this,
            [this](const QString& t) { draft_.archiveDate.year = t; });
    connect(updatesCheck, &QCheckBox::toggled, this,
            [this](bool on) { draft_.checkForUpdates = on; });
    refresh();
}

void GeneralPane::refresh() {
    const QSignalBlocker a(archiveMo), b(archiveDa), c(archiveYr), d(updatesCheck);
    selectTitle(archiveMo, draft_.archiveDate.month);
    selectTitle(archiveDa, draft_.archiveDate.day);
    selectTitle(archiveYr, draft_.archiveDate.year);
    updatesCheck->setChecked(draft_.checkForUpdates);
}
