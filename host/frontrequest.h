#ifndef FRONTREQUEST_H
#define FRONTREQUEST_H

#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;
class QWidget;

// A second start on a folder this machine's running Cellora already shows asks that
// program to bring its window to the front, instead of ending with a refusal. The
// running program listens under a name made from the folder and the user.
class FrontRequest : public QObject {
    Q_OBJECT

public:
    // The local server name for `folder`: the same for every path that leads to it.
    static QString serverName(const QString &folder);
    // True when a running Cellora on `folder` answered that its window is in front.
    static bool askRunningWindow(const QString &folder);

    explicit FrontRequest(QWidget *window);
    ~FrontRequest() override;

    // Answers the requests for `folder` from now on; the previous folder's stop.
    void listen(const QString &folder);
    void stop();

private:
    void answer();
    void readRequest(QLocalSocket *socket);
    void bringToFront();

    QWidget *window;
    QLocalServer *server = nullptr;
};

#endif // FRONTREQUEST_H
