#pragma once
// The help window: pages chosen from the buttons down its left side, the
// chosen one in front. Done only hides it, so it opens again where it was.

#include <QDialog>
#include <memory>

namespace Ui {
class Thelp;
}
class QTextBrowser;

class Thelp : public QDialog {
    Q_OBJECT
public:
    static constexpr int PageCount = 5;

    explicit Thelp(QWidget *parent = nullptr);
    ~Thelp() override;

    Ui::Thelp *form() const { return ui.get(); }
    int currentPage() const; // 1..5
    QTextBrowser *page(int number) const;

public slots:
    // A page button: its page to the front, its caption above.
    void showPage(int number);

signals:
    void aboutRequested();

private:
    std::unique_ptr<Ui::Thelp> ui;
};
