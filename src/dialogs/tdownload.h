#pragma once
// The launcher shown beside a solo game: play on alone, start the
// matchmaking client, or download its installer. A download is written to
// "<name>.part", renamed only when complete, and run only when the user says
// yes; a stopped, failed or oversized one runs nothing.

#include <QDialog>
#include <QFile>
#include <QNetworkAccessManager>
#include <QPointer>
#include <QUrl>
#include <functional>
#include <memory>

class QLabel;
class QNetworkReply;

namespace Ui {
class Tdownload;
}

class Tdownload : public QDialog {
    Q_OBJECT
public:
    static constexpr const char *DefaultInstaller = "https://wordmire.net/gatehouse/CorvelGatehouseSetup.exe";
    static constexpr qint64 DefaultLimit = 200LL * 1024 * 1024;
    enum State { Idle = 0, Running = 1, Aborted = 2 };

    explicit Tdownload(QWidget *parent = nullptr);
    ~Tdownload() override;

    Ui::Tdownload *form() const { return ui.get(); }

    void setInstallerUrl(const QUrl &url) { m_url = url; }
    QUrl installerUrl() const { return m_url; }
    // Where the installer lands (the executable's folder by default).
    void setTargetDir(const QString &dir) { m_dir = dir; }
    // Largest download accepted before it is stopped.
    void setSizeLimit(qint64 bytes) { m_limit = bytes; }
    // A path to the matchmaking client from the settings file (may be empty).
    void setGatehousePath(const QString &path) { m_gatehousePath = path; }
    // Starts a program detached; tests record instead. True when started.
    using Runner = std::function<bool(const QString &program, const QStringList &args)>;
    void setRunner(Runner run) { m_run = std::move(run); }

    int state() const { return m_state; }
    // The matchmaking client's program, or empty when it is not installed.
    QString findGatehouse() const;
    // The local file name of an installer address.
    static QString installerName(const QUrl &url);

    void getbuttonClick();
    void abortbuttonClick();
    void Button1Click();
    void Button2Click();

signals:
    // The game should end (the matchmaking client or the installer took over).
    void exitRequested();
    // The matchmaking client is not here; the user wants the game's own way.
    void playWithOthersRequested();
    // Each progress text as it is shown ("infolabel" or "infolabel3").
    void progressShown(const QString &label, const QString &text);

private:
    void say(QLabel *label, const QString &text);
    void headersArrived();
    void bodyArrived();
    void finished();
    void stopWith(const QString &info, const QString &info3);
    void install(const QString &path);

    std::unique_ptr<Ui::Tdownload> ui;
    // Made at the first download: most runs never download anything.
    std::unique_ptr<QNetworkAccessManager> m_net;
    QPointer<QNetworkReply> m_reply;
    QFile m_file;
    QUrl m_url;
    QString m_dir;
    QString m_gatehousePath;
    qint64 m_limit = DefaultLimit;
    qint64 m_received = 0;
    bool m_bodyStarted = false;
    int m_state = Idle;
    Runner m_run;
};
