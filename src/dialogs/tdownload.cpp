#include "tdownload.h"
#include "ui_tdownload.h"
#include "artscale.h"

#include "appfiles.h"
#include "messages.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QProcess>
#include <QStandardPaths>

namespace {
const char *const NotInstalled = QT_TRANSLATE_NOOP("Tdownload",
        "Please close the game and open the Corvel Gatehouse using the icon on your desktop or using the your Window's "
        "start-up menu.");
} // namespace

Tdownload::Tdownload(QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::Tdownload>()), m_url(QString::fromLatin1(DefaultInstaller))
{
    ui->setupUi(this);
    ui::plainTextLabels(this);
    setWindowFlags(windowFlags() | Qt::Tool | Qt::WindowStaysOnTopHint);
    ui->image_promo->setPixmap(ui::sharedPicture(QStringLiteral(":/pictures/icon128.png")));
    m_run = [](const QString &program, const QStringList &args) { return QProcess::startDetached(program, args); };
    connect(ui->getbutton, &QPushButton::clicked, this, &Tdownload::getbuttonClick);
    connect(ui->abortbutton, &QPushButton::clicked, this, &Tdownload::abortbuttonClick);
    connect(ui->Button1, &QPushButton::clicked, this, &Tdownload::Button1Click);
    connect(ui->Button2, &QPushButton::clicked, this, &Tdownload::Button2Click);
}

Tdownload::~Tdownload()
{
    if (m_reply)
        m_reply->abort();
}

QString Tdownload::installerName(const QUrl &url)
{
    const QString name = url.fileName();
    // Whatever the address ends in, the file stays in its folder.
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") || name.contains(QLatin1Char('\\')))
        return QStringLiteral("CorvelGatehouseSetup");
    return name;
}

void Tdownload::getbuttonClick()
{
    if (m_reply)
        return;
    m_state = Running;
    const QString name = installerName(m_url);
    ui->infolabel2->setText(name);
    // A folder of the launcher's own: whatever the address ends in, nothing
    // beside the program (the program itself, its settings) is ever written.
    const QString dir = m_dir.isEmpty() ? settings::besideExecutable(QStringLiteral("downloads")) : m_dir;
    QDir().mkpath(dir);
    m_file.setFileName(QDir(dir).filePath(name + QStringLiteral(".part")));
    // Only a plain file of ours is written over, never a link or a folder.
    const QFileInfo partInfo(m_file.fileName()), completeInfo(QDir(dir).filePath(name));
    const bool foreign = (partInfo.exists() && (partInfo.isSymLink() || !partInfo.isFile()))
            || (completeInfo.exists() && (completeInfo.isSymLink() || !completeInfo.isFile()));
    if (foreign || !m_file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        m_state = Aborted;
        say(ui->infolabel, tr("Download Aborted"));
        say(ui->infolabel3, tr("Cannot write ") + m_file.fileName());
        return;
    }
    m_received = 0;
    m_bodyStarted = false;
    ui->getbutton->setEnabled(false);
    ui->abortbutton->setEnabled(true);
    say(ui->infolabel, tr("Loading"));
    ui->infolabel3->clear();

    QNetworkRequest request(m_url);
    request.setRawHeader("User-Agent", "Mozilla/3.0 (compatible)");
    request.setRawHeader("Accept", "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*");
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    if (!m_net) {
        m_net = std::make_unique<QNetworkAccessManager>();
        m_net->setProxy(QNetworkProxy::NoProxy);
    }
    m_reply = m_net->get(request);
    // The body goes to the file as it arrives: however long it runs, only
    // this much of it is ever held in memory.
    m_reply->setReadBufferSize(256 * 1024);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &Tdownload::headersArrived);
    connect(m_reply, &QNetworkReply::readyRead, this, &Tdownload::bodyArrived);
    connect(m_reply, &QNetworkReply::finished, this, &Tdownload::finished);
}

void Tdownload::say(QLabel *label, const QString &text)
{
    label->setText(text);
    emit progressShown(label->objectName(), text);
}

void Tdownload::headersArrived()
{
    // One dot for the status line and one for each header.
    const qsizetype lines = m_reply->rawHeaderPairs().size() + 1;
    say(ui->infolabel, ui->infolabel->text() + QString(lines, QLatin1Char('.')));
}

void Tdownload::bodyArrived()
{
    if (!m_reply)
        return;
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QByteArray chunk = m_reply->readAll();
    // An error page is not the installer.
    if (status >= 400 || m_state != Running)
        return;
    if (!m_bodyStarted) {
        m_bodyStarted = true;
        say(ui->infolabel3, tr("Downloading: ") + ui->infolabel2->text());
    }
    if (m_received + chunk.size() > m_limit) {
        stopWith(tr("Download Aborted"),
                tr("The download is larger than %1.").arg(QLocale().formattedDataSize(m_limit)));
        return;
    }
    if (m_file.write(chunk) != chunk.size()) {
        stopWith(tr("Download Aborted"), tr("Cannot write ") + m_file.fileName());
        return;
    }
    m_received += chunk.size();
    say(ui->infolabel, QString::number(m_received) + tr(" bytes"));
}

void Tdownload::abortbuttonClick()
{
    if (!m_reply)
        return;
    stopWith(tr("Download has been aborted."), tr("Download Aborted"));
}

void Tdownload::stopWith(const QString &info, const QString &info3)
{
    m_state = Aborted;
    if (m_reply)
        m_reply->abort(); // finished() runs from here and tidies up
    say(ui->infolabel, info);
    say(ui->infolabel3, info3);
}

void Tdownload::finished()
{
    if (!m_reply)
        return;
    if (m_state == Running && m_reply->bytesAvailable() > 0)
        bodyArrived();
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    reply->deleteLater();
    ui->getbutton->setEnabled(true);
    ui->abortbutton->setEnabled(false);
    m_file.close();
    if (m_state == Aborted)
        return; // what was received stays in the partial file
    if (reply->error() != QNetworkReply::NoError) {
        m_state = Aborted;
        say(ui->infolabel, tr("Download Aborted"));
        say(ui->infolabel3, reply->errorString());
        return;
    }
    const QString partial = m_file.fileName();
    const QString complete = partial.chopped(int(qstrlen(".part")));
    if (m_received == 0) {
        // Nothing came: there is nothing to run.
        m_state = Aborted;
        QFile::remove(partial);
        say(ui->infolabel, tr("Download Aborted"));
        say(ui->infolabel3, tr("The download is empty."));
        return;
    }
    say(ui->infolabel, tr("Received ") + QString::number(m_received) + tr(" bytes"));
    // Asked first: until the user says yes nothing takes the installer's
    // name, and on no the download goes.
    if (!ui::askYesNo(
                this, tr("Run the downloaded installer ") + QFileInfo(complete).fileName() + QStringLiteral("?"))) {
        QFile::remove(partial);
        return;
    }
    QFile::remove(complete);
    if (!QFile::rename(partial, complete)) {
        m_state = Aborted;
        say(ui->infolabel, tr("Download Aborted"));
        say(ui->infolabel3, tr("Cannot write ") + complete);
        return;
    }
    install(complete);
}

void Tdownload::install(const QString &path)
{
    say(ui->infolabel3, tr("Installing"));
    QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner | QFile::ExeUser);
    const QStringList args = path.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive)
            ? QStringList{QStringLiteral("/SP-"), QStringLiteral("/silent"), QStringLiteral("/noicons")}
            : QStringList{};
    if (!m_run(path, args)) {
        say(ui->infolabel3, tr("An Error has Occurred."));
        return;
    }
    emit exitRequested();
}

void Tdownload::Button1Click()
{
    hide();
}

QString Tdownload::findGatehouse() const
{
    const QFileInfo configured(m_gatehousePath);
    if (!m_gatehousePath.isEmpty() && configured.isFile() && configured.isExecutable())
        return configured.absoluteFilePath();
#ifdef Q_OS_WIN
    const QString fixed = QStringLiteral("C:\\Program Files\\Corvel\\CorvelGatehouse.exe");
    if (QFileInfo::exists(fixed))
        return fixed;
#endif
    const QStringList names{QStringLiteral("corvelgatehouse"), QStringLiteral("CorvelGatehouse")};
    for (const QString &name : names) {
        QString found = QStandardPaths::findExecutable(name);
        if (found.isEmpty())
            found = QStandardPaths::findExecutable(name, {QDir::homePath() + QStringLiteral("/.local/bin")});
        if (!found.isEmpty())
            return found;
    }
    return {};
}

void Tdownload::Button2Click()
{
    const QString gatehouse = findGatehouse();
    if (!gatehouse.isEmpty() && m_run(gatehouse, {})) {
        emit exitRequested();
        return;
    }
    if (ui::askYesNo(this,
                tr(NotInstalled)
                        + tr("\n\nOr host or join a game on your network or over the internet from inside Word "
                             "Mire now?"))) {
        hide();
        emit playWithOthersRequested();
    }
}
