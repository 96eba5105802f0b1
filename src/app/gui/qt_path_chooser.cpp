#include "app/gui/qt_path_chooser.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStyle>
#include <algorithm>

#include "app/gui/run_owner.h"

ChooserDialog::ChooserDialog(const ChooserRequest& request, QWidget* parent)
    : QFileDialog(parent),
      request_(request),
      // The panel works on text; a start folder that is not UTF-8 cannot be shown.
      startFolder_(request.startFolder.toText().value_or(QString())) {
    // Qt's own panel on every desktop, so the texts and rules below hold everywhere.
    setOption(QFileDialog::DontUseNativeDialog);
    setAcceptMode(QFileDialog::AcceptOpen);
    if (!request.title.isEmpty()) setWindowTitle(request.title);
    if (!request.confirmButton.isEmpty()) setLabelText(QFileDialog::Accept, request.confirmButton);

    if (request.chooseFolders && !request.chooseFiles) {
        setFileMode(QFileDialog::Directory);
        setOption(QFileDialog::ShowDirsOnly);
    } else {
        // Files, or files and folders: accept() below lets a selected folder through.
        setFileMode(request.multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    }
    if (request.multiple) {
        // Directory mode allows a single choice only; the list view takes several.
        for (QAbstractItemView* view : findChildren<QAbstractItemView*>())
            if (view->objectName() == u"listView" || view->objectName() == u"treeView")
                view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    }
    QDir::Filters filters = QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System;
    if (request.showHidden) filters |= QDir::Hidden;
    setFilter(filters);
    if (!request.nameFilters.isEmpty()) setNameFilter(request.nameFilters.join(u' '));
    // A panel without a start folder opens on the user's files, not where the program runs.
    setDirectory(startFolder_.isEmpty() ? QDir::homePath() : startFolder_);

    // Qt relabels the confirm button "Open" while a folder is selected in a files mode;
    // these run after its own handlers and put the requested text back.
    if (request.chooseFiles && (request.chooseFolders || !request.nameFilters.isEmpty())) {
        for (QAbstractItemView* view : findChildren<QAbstractItemView*>())
            if (view->selectionModel())
                connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                        &ChooserDialog::keepConfirmText);
        if (auto* edit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            connect(edit, &QLineEdit::textChanged, this, &ChooserDialog::keepConfirmText);
    }
    // Qt's panel opens any folder that is activated; a bundle is chosen instead.
    if (request.chooseFiles && !request.nameFilters.isEmpty()) {
        for (QAbstractItemView* view : findChildren<QAbstractItemView*>()) {
            if (view->objectName() != u"listView" && view->objectName() != u"treeView") continue;
            view->installEventFilter(this);
            view->viewport()->installEventFilter(this);
        }
    }
}

bool ChooserDialog::isFolderItem(const QModelIndex& index) const {
    if (!index.isValid()) return false;
    const QFileInfo item(index.data(QFileSystemModel::FilePathRole).toString());
    return item.isDir() && QDir::match(request_.nameFilters, item.fileName());
}

bool ChooserDialog::eventFilter(QObject* watched, QEvent* event) {
    // The events that activate an item: Enter on the current one, a double-click, and a
    // click where the style activates on one.
    QAbstractItemView* view = qobject_cast<QAbstractItemView*>(watched);
    if (!view && watched->parent()) view = qobject_cast<QAbstractItemView*>(watched->parent());
    QModelIndex activated;
    if (view == watched && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) activated = view->currentIndex();
    } else if (view && view != watched &&
               (event->type() == QEvent::MouseButtonDblClick ||
                (event->type() == QEvent::MouseButtonRelease &&
                 style()->styleHint(QStyle::SH_ItemView_ActivateItemOnSingleClick, nullptr,
                                    view)))) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && mouse->modifiers() == Qt::NoModifier)
            activated = view->indexAt(mouse->position().toPoint());
    }
    if (!isFolderItem(activated)) return QFileDialog::eventFilter(watched, event);
    view->selectionModel()->setCurrentIndex(
        activated, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    accept();
    return true;
}

QPushButton* ChooserDialog::confirmButton() const {
    auto* box = findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    return box ? box->button(QDialogButtonBox::Open) : nullptr;
}

QString ChooserDialog::confirmButtonText() const {
    QPushButton* button = confirmButton();
    return button ? button->text() : QString();
}

void ChooserDialog::keepConfirmText() {
    const bool folderIsItem = request_.chooseFolders || selectionMatchesNameFilters();
    if (QPushButton* button = confirmButton();
        button && folderIsItem && !request_.confirmButton.isEmpty())
        button->setText(request_.confirmButton);
}

bool ChooserDialog::selectionMatchesNameFilters() const {
    if (request_.nameFilters.isEmpty() || !hasListSelection()) return false;
    const QStringList paths = selectedFiles();
    return !paths.isEmpty() && std::all_of(paths.begin(), paths.end(), [this](const QString& p) {
        return QDir::match(request_.nameFilters, QFileInfo(p).fileName());
    });
}

QList<Path> ChooserDialog::chosenPaths() const {
    QStringList paths = selectedFiles();
    if (!request_.multiple && paths.size() > 1) paths = paths.mid(paths.size() - 1);
    QList<Path> chosen;
    for (const QString& path : paths) chosen.append(Path::fromText(path));
    return chosen;
}

bool ChooserDialog::hasListSelection() const {
    for (QAbstractItemView* view : findChildren<QAbstractItemView*>())
        if (view->objectName() == u"listView" && view->selectionModel())
            return view->selectionModel()->hasSelection();
    return false;
}

void ChooserDialog::accept() {
    // An application bundle is a folder, but chosen as an item like a file.
    if (selectionMatchesNameFilters()) {
        QDialog::accept();
        return;
    }
    const bool both = request_.chooseFiles && request_.chooseFolders;
    if (!both || !hasListSelection()) {
        // A typed folder name still opens that folder, as in any open panel.
        QFileDialog::accept();
        return;
    }
    const QStringList paths = selectedFiles();
    if (paths.isEmpty()) return;
    for (const QString& p : paths)
        if (!QFileInfo::exists(p)) return;
    // Folders count as chosen items here, not as places to go.
    QDialog::accept();
}

std::optional<QList<Path>> QtPathChooser::choose(const ChooserRequest& request) {
    ChooserDialog dialog(request, RunOwner::currentOr(parent_));
    int result = QDialog::Rejected;
    if (hook_) {
        hook_(dialog);  // the test accepts or rejects the dialog itself
        result = dialog.result();
    } else {
        result = dialog.exec();
    }
    if (result != QDialog::Accepted) return std::nullopt;
    const QList<Path> paths = dialog.chosenPaths();
    if (paths.isEmpty()) return std::nullopt;
    return paths;
}
