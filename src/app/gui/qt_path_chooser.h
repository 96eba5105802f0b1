#pragma once

#include <QFileDialog>
#include <QPointer>
#include <functional>

#include "platform/path_chooser.h"

// An open panel for one ChooserRequest: its title, confirm-button text, what may be
// chosen (files, folders or both, one or several) and its start folder (the home folder
// when it has none). With name filters, only matching items show, and a matching folder
// (an application bundle) is chosen like a file: Enter or a double-click on it chooses it
// rather than opening it.
class ChooserDialog : public QFileDialog {
    Q_OBJECT
  public:
    explicit ChooserDialog(const ChooserRequest& request, QWidget* parent = nullptr);

    // The chosen paths, in the panel's order.
    QList<Path> chosenPaths() const;
    QString confirmButtonText() const;
    // The panel's confirm button, for tests that press it.
    QPushButton* confirmButton() const;

    void accept() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The folder at index, when it matches the name filters and so is an item.
    bool isFolderItem(const QModelIndex& index) const;
    void keepConfirmText();
    bool hasListSelection() const;
    // True when every selected item matches the request's name filters.
    bool selectionMatchesNameFilters() const;

    ChooserRequest request_;
    QString startFolder_;  // the request's start folder as the panel shows it; empty: none
};

// Runs a ChooserDialog for every request the program makes.
class QtPathChooser : public PathChooser {
  public:
    void setParentWidget(QWidget* parent) { parent_ = parent; }
    std::optional<QList<Path>> choose(const ChooserRequest& request) override;

    // Tests answer the dialog themselves just before it runs.
    using DialogHook = std::function<void(ChooserDialog&)>;
    void setDialogHook(DialogHook hook) { hook_ = std::move(hook); }

  private:
    QPointer<QWidget> parent_;
    DialogHook hook_;
};
