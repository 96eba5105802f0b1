#include "app/gui/add_type_panel.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

AddTypePanel::AddTypePanel(AddEntry add, QWidget* parent) : QDialog(parent), add_(std::move(add)) {
    setObjectName(QStringLiteral("addTypePanel"));
    setWindowTitle(tr("Add a Type"));
    addTypeTextField = new QLineEdit(this);
    addTypeTextField->setPlaceholderText(tr("e.g. jpg"));
    typeDescTextField = new QLineEdit(this);
    typeDescTextField->setPlaceholderText(tr("e.g. JPEG image"));
    auto* buttons = new QDialogButtonBox(this);
    addButton = buttons->addButton(tr("&Add"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Cancel);

    auto* form = new QFormLayout;
    form->addRow(tr("&Type:"), addTypeTextField);
    form->addRow(tr("&Description:"), typeDescTextField);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &AddTypePanel::doType);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void AddTypePanel::addType() {
    addTypeTextField->setFocus();
    show();
    raise();
    activateWindow();
}

void AddTypePanel::doType() {
    if (!add_(addTypeTextField->text(), typeDescTextField->text())) return;
    hide();
    Q_EMIT added();
}
