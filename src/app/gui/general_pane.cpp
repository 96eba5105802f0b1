#include "app/gui/general_pane.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "app/gui/folders_pane.h"
#include "settings/settings.h"

namespace {

// Each item carries the value the settings keep ("None", "03"); months show their names.
QComboBox* numberPopUp(int first, int last, int width, QWidget* parent, bool months = false) {
    auto* popUp = new QComboBox(parent);
    popUp->addItem(QStringLiteral("None"), QStringLiteral("None"));
    const QLocale locale;
    for (int n = first; n <= last; ++n) {
        const QString value = QStringLiteral("%1").arg(n, width, 10, QChar(u'0'));
        popUp->addItem(months ? locale.standaloneMonthName(n) : value, value);
    }
    return popUp;
}

}  // namespace

void selectTitle(QComboBox* popUp, const QString& title) {
    int index = popUp->findData(title);
    if (index < 0) {
        popUp->addItem(title, title);
        index = popUp->count() - 1;
    }
    popUp->setCurrentIndex(index);
}

GeneralPane::GeneralPane(Settings& draft, QWidget* parent) : QWidget(parent), draft_(draft) {
    archiveMo = numberPopUp(1, 12, 2, this, true);
    archiveDa = numberPopUp(1, 31, 2, this);
    archiveYr = numberPopUp(1990, QDate::currentDate().year(), 4, this);
    archiveMo->setObjectName(QStringLiteral("archiveMo"));
    archiveDa->setObjectName(QStringLiteral("archiveDa"));
    archiveYr->setObjectName(QStringLiteral("archiveYr"));
    updatesCheck = new QCheckBox(tr("Check for &updates when Desktidy starts"), this);
    updatesCheck->setObjectName(QStringLiteral("updatesCheck"));

    auto* date = new QHBoxLayout;
    date->addWidget(buddyLabel(tr("&Month:"), archiveMo));
    date->addWidget(archiveMo);
    date->addSpacing(8);
    date->addWidget(buddyLabel(tr("&Day:"), archiveDa));
    date->addWidget(archiveDa);
    date->addSpacing(8);
    date->addWidget(buddyLabel(tr("&Year:"), archiveYr));
    date->addWidget(archiveYr);
    date->addStretch();

    auto* explain = new QLabel(tr("Before each filing, loose items last changed on or before this "
                                  "date are moved into the archive folder. "
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

    const auto bind = [this](QComboBox* popUp, QString ArchiveDate::*field) {
        connect(popUp, &QComboBox::currentIndexChanged, this, [this, popUp, field] {
            draft_.archiveDate.*field = popUp->currentData().toString();
            showWhatApplies();
        });
    };
    bind(archiveMo, &ArchiveDate::month);
    bind(archiveDa, &ArchiveDate::day);
    bind(archiveYr, &ArchiveDate::year);
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
    showWhatApplies();
}

void GeneralPane::showWhatApplies() {
    // Without a year nothing is archived, so month and day have no say.
    const bool archiving = draft_.archiveDate.year != u"None";
    archiveMo->setEnabled(archiving);
    archiveDa->setEnabled(archiving);
}
