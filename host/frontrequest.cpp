#include "host/frontrequest.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTextStream>
#include <QWidget>

#include <sys/socket.h>
#include <unistd.h>

namespace {

const QByteArray request = "raise\n";
const QByteArray reply = "raised\n";
// Long enough for a busy program to reach its event loop, short enough for a start.
constexpr int answerWaitMs = 5000;

// Whether the program at the other end runs as this user. The server's name is easy to
// guess, and another user may listen under it first: only our own program's answer means
// that a window came to the front.
bool answersAsThisUser(const QLocalSocket &socket)
{
    ucred peer {};
    socklen_t size = sizeof peer;
    return ::getsockopt(int(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0
        && size == sizeof peer && peer.uid == ::getuid();
}

} // namespace

QString FrontRequest::serverName(const QString &folder)
{
    // A folder that does not exist yet has no canonical path; its absolute one names it.
    const QFileInfo info(folder);
    const QString canonical = info.canonicalFilePath();
    const QString path = canonical.isEmpty() ? info.absoluteFilePath() : canonical;
    const QByteArray key = path.toUtf8() + '\0' + QByteArray::number(::getuid());
    return QStringLiteral("cellora-")
        + QString::fromLatin1(
            QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(32));
}

bool FrontRequest::askRunningWindow(const QString &folder)
{
    QLocalSocket socket;
    socket.connectToServer(serverName(folder));
    if (!socket.waitForConnected(answerWaitMs) || !answersAsThisUser(socket))
        return false;
    socket.write(request);
    if (!socket.waitForBytesWritten(answerWaitMs))
        return false;
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(answerWaitMs))
            return false;
    }
    return socket.readLine() == reply;
}

FrontRequest::FrontRequest(QWidget *window)
    : QObject(window)
    , window(window)
{
}

FrontRequest::~FrontRequest() = default;

void FrontRequest::listen(const QString &folder)
{
    stop();
    server = new QLocalServer(this);
    // Only this user may ask; another user's Cellora cannot hold the folder anyway.
    server->setSocketOptions(QLocalServer::UserAccessOption);
    const QString name = serverName(folder);
    // The folder's lock is ours, so a socket left under this name is a dead program's.
    QLocalServer::removeServer(name);
    if (!server->listen(name)) {
        // A second start then ends with the refusal as before: nothing is lost.
        stop();
        return;
    }
    connect(server, &QLocalServer::newConnection, this, &FrontRequest::answer);
}

void FrontRequest::stop()
{
    delete server; // closes the server and removes its socket
    server = nullptr;
}

void FrontRequest::answer()
{
    while (QLocalSocket *socket = server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequest(socket); });
        readRequest(socket); // the request may have come with the connection
    }
}

void FrontRequest::readRequest(QLocalSocket *socket)
{
    if (!socket->canReadLine())
        return;
    // Anything but the request is dropped unanswered.
    if (socket->readLine() == request) {
        bringToFront();
        socket->write(reply);
        socket->flush();
    }
    socket->disconnectFromServer();
}

void FrontRequest::bringToFront()
{
    if (window->isMinimized())
        window->showNormal();
    window->show();
    window->raise();
    window->activateWindow();
    QTextStream(stdout) << "Brought the window to the front for a second start\n";
}
