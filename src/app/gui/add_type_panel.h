#pragma once

#include <QDialog>
#include <functional>

class QLineEdit;
class QPushButton;

// The add-type panel: a type ("jpg" or ".jpg"), a description and the Add button. The
// panel closes when the entry was added and stays open when it was not.
class AddTypePanel : public QDialog {
    Q_OBJECT
  public:
    // add gets the type and the description as typed; true when the entry was added.
    using AddEntry = std::function<bool(const QString& type, const QString& description)>;
    AddTypePanel(AddEntry add, QWidget* parent = nullptr);

    // Brings the panel to the front; the fields keep what was typed last.
    void addType();

    QLineEdit* addTypeTextField;
    QLineEdit* typeDescTextField;
    QPushButton* addButton;

  Q_SIGNALS:
    // An entry was added and the panel closed.
    void added();

  private:
    void doType();

    AddEntry add_;
};
