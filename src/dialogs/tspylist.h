#pragma once
// The list of users watching without a seat. On the hosting copy its popup
// removes the watcher under the pointer. The list is kept from the start; its
// widgets are made when it is first shown (or its form asked for), so the
// program's start does not pay for a window most runs never open.

#include <QDialog>
#include <QStringList>
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

    Ui::Tspylist *form();
    void setVisible(bool visible) override;
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
    void ensureForm();

    std::unique_ptr<Ui::Tspylist> ui;
    QStringList m_spies;
    QMenu *m_popup = nullptr;
    int m_hover = -1;
};
