#pragma once

#include <QWidget>

class QLabel;
class QToolButton;

// The working folder as a breadcrumb ("/ › home › ann › Desktop"), cut at the front when
// the window is too narrow, with a button that opens the folder chooser.
class PathControl : public QWidget {
    Q_OBJECT
  public:
    explicit PathControl(QWidget* parent = nullptr);

    void setPath(const QString& path);
    QString path() const { return path_; }
    // The breadcrumb as shown, before any cut.
    static QString breadcrumb(const QString& path);

    QToolButton* chooseButton;

  Q_SIGNALS:
    void chooseRequested();

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void updateText();

    QString path_;
    QLabel* icon_;
    QLabel* crumbs_;
};
