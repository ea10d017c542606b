#pragma once
// The list of users watching without a seat. On the hosting copy its popup
// removes the watcher under the pointer.

#include <QDialog>
#include <memory>

namespace Ui {
class Tspylist;
}
class QAction;
class QMenu;

class Tspylist : public QDialog {
    Q_OBJECT
public:
    explicit Tspylist(QWidget *parent = nullptr);
    ~Tspylist() override;

    Ui::Tspylist *form() const { return ui.get(); }
    QAction *popup_kickhim = nullptr;

    // The line the pointer last moved over, or -1 over empty space.
    int lineUnderPointer() const { return m_hover; }
    void pointerMovedTo(const QPoint &viewportPos);

    void addSpy(const QString &line);
    // Removes the line (ignoring case); false when it is not there.
    bool removeSpy(const QString &line);
    QStringList spies() const;
    // Nobody watching (another game).
    void clearSpies();

public slots:
    void RemoveFromGameClick();

signals:
    void kickRequested(int slot);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::unique_ptr<Ui::Tspylist> ui;
    QMenu *m_popup = nullptr;
    int m_hover = -1;
};
