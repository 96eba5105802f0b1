#pragma once

class QMessageBox;
class QWidget;
struct UpdateAnswer;

// The About panel: the program's name, its version and one line about it.
QMessageBox* showAbout(QWidget* parent);

// The answer of an update check, in a window that does not block the main window. A
// newer version comes with a button that opens its download link.
QMessageBox* showUpdateAnswer(QWidget* parent, const UpdateAnswer& answer);
