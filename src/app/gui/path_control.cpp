#include "app/gui/path_control.h"

#include <QFileIconProvider>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

PathControl::PathControl(QWidget* parent)
    : QWidget(parent), icon_(new QLabel(this)), crumbs_(new QLabel(this)) {
    setObjectName(QStringLiteral("workingFolderControl"));
    chooseButton = new QToolButton(this);
    chooseButton->setText(tr("&Choose..."));
    chooseButton->setToolTip(tr("Choose the folder to work on"));
    chooseButton->setFocusPolicy(Qt::StrongFocus);
    crumbs_->setTextFormat(Qt::PlainText);
    crumbs_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    crumbs_->setMinimumWidth(40);
    const int side = crumbs_->fontMetrics().height();
    icon_->setPixmap(QFileIconProvider().icon(QFileIconProvider::Folder).pixmap(side, side));

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 4, 4, 4);
    layout->addWidget(icon_);
    layout->addWidget(crumbs_, 1);
    layout->addWidget(chooseButton);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);

    connect(chooseButton, &QToolButton::clicked, this, &PathControl::chooseRequested);
}

QString PathControl::breadcrumb(const QString& path) {
    if (path.isEmpty()) return QString();
    QStringList parts = path.split(u'/', Qt::SkipEmptyParts);
    if (path.startsWith(u'/')) parts.prepend(QStringLiteral("/"));
    return parts.join(QStringLiteral(" \u203a "));
}

void PathControl::setPath(const QString& path) {
    path_ = path;
    crumbs_->setToolTip(path);
    updateText();
}

void PathControl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    updateText();
}

void PathControl::updateText() {
    // The end of the path matters most: the front goes first when space is short.
    crumbs_->setText(crumbs_->fontMetrics().elidedText(breadcrumb(path_), Qt::ElideLeft,
                                                       std::max(40, crumbs_->width())));
}
