#ifndef SYNCTHINGPAIR_H
#define SYNCTHINGPAIR_H

// Two Syncthing instances on loopback sharing one folder, as two machines would: each with
// its own home, ports and folder, discovery, relays, NAT traversal and usage reporting off,
// each knowing the other by its device ID, file changes noticed after one second.

#include <QDir>
#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QtTest>

class SyncthingPair {
public:
    ~SyncthingPair() { connect(false); }

    // Empty when both run and are connected; otherwise what went wrong.
    QString start(const QString &root)
    {
        for (int i = 0; i < 2; ++i) {
            Machine &machine = machines[i];
            machine.home = root + QString("/home%1").arg(i);
            machine.folder = root + QString("/logbook%1").arg(i);
            QDir().mkpath(machine.folder);
            QProcess generate;
            generate.start("syncthing",
                { "generate", "--home=" + machine.home, "--no-default-folder",
                    "--skip-port-probing" });
            generate.waitForFinished(60000);
            const QString said = generate.readAllStandardOutput() + generate.readAllStandardError();
            machine.id = QRegularExpression("Device ID: (\\S+)").match(said).captured(1);
            machine.port = freePort();
            machine.guiPort = freePort();
            if (machine.id.isEmpty())
                return "syncthing generate said: " + said;
        }
        for (int i = 0; i < 2; ++i) {
            if (!configure(machines[i], machines[1 - i]))
                return "cannot write " + machines[i].home + "/config.xml";
        }
        return connect(true) ? QString() : "the two instances did not connect";
    }

    QString folder(int machine) const { return machines[machine].folder; }

    // Stops both instances, as machines gone offline, or starts them again: true once both
    // are stopped, or connected. (A restart meets within 3 s; a paused device is dialled
    // again after anything from 1 to 20 s.)
    bool connect(bool connected)
    {
        for (Machine &machine : machines) {
            if (!connected && machine.process.state() != QProcess::NotRunning) {
                call(machine, "POST", "/rest/system/shutdown");
                if (!machine.process.waitForFinished(10000))
                    machine.process.kill();
            } else if (connected) {
                machine.process.setProgram("syncthing");
                machine.process.setArguments({ "serve", "--home=" + machine.home, "--no-browser",
                    "--no-restart", "--no-upgrade" });
                machine.process.setStandardOutputFile(machine.home + "/log.txt", QIODevice::Append);
                machine.process.setStandardErrorFile(machine.home + "/log.txt", QIODevice::Append);
                machine.process.start();
                // One after the other: a dial that found no one listening is tried again late.
                if (!waitFor([&] { return !call(machine, "GET", "/rest/system/ping").isEmpty(); }))
                    return false;
            }
        }
        return !connected || waitFor([this] {
            return QJsonDocument::fromJson(call(machines[0], "GET", "/rest/system/connections"))
                .object()["connections"]
                .toObject()[machines[1].id]
                .toObject()["connected"]
                .toBool();
        });
    }

private:
    struct Machine {
        QString home, folder, id;
        int port = 0, guiPort = 0;
        QProcess process;
    };

    template <typename Condition> static bool waitFor(Condition condition)
    {
        QElapsedTimer waited;
        waited.start();
        while (!condition()) {
            if (waited.elapsed() > 30000)
                return false;
            QTest::qWait(50);
        }
        return true;
    }

    static int freePort()
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        return probe.serverPort();
    }

    static bool configure(const Machine &self, const Machine &other)
    {
        QFile file(self.home + "/config.xml");
        if (!file.open(QIODevice::ReadOnly))
            return false;
        QString config = QString::fromUtf8(file.readAll());
        file.close();
        const auto set = [&config](const QString &option, const QString &value) {
            config.replace(QRegularExpression("<" + option + ">[^<]*</" + option + ">"),
                "<" + option + ">" + value + "</" + option + ">");
        };
        set("listenAddress", QString("tcp://127.0.0.1:%1").arg(self.port));
        const QRegularExpressionMatch gui
            = QRegularExpression("(<gui[^>]*>\\s*<address>)[^<]*").match(config);
        config.replace(gui.capturedStart(), gui.capturedLength(),
            gui.captured(1) + QString("127.0.0.1:%1").arg(self.guiPort));
        set("apikey", "cellora-test");
        for (const char *off : { "globalAnnounceEnabled", "localAnnounceEnabled", "relaysEnabled",
                 "natEnabled", "startBrowser", "crashReportingEnabled" })
            set(off, "false");
        set("urAccepted", "-1");
        set("autoUpgradeIntervalH", "0");
        set("reconnectionIntervalS", "1");
        const QString devices = QString("<device id=\"%1\"></device><device id=\"%2\"></device>")
                                    .arg(self.id, other.id);
        config.replace("</configuration>",
            QString("<device id=\"%1\" name=\"other\"><address>tcp://127.0.0.1:%2</address>"
                    "</device><folder id=\"logbook\" path=\"%3\" type=\"sendreceive\" "
                    "rescanIntervalS=\"3600\" fsWatcherEnabled=\"true\" fsWatcherDelayS=\"1\">%4"
                    "<maxConflicts>10</maxConflicts></folder></configuration>")
                .arg(other.id)
                .arg(other.port)
                .arg(self.folder, devices));
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
            && file.write(config.toUtf8()) > 0;
    }

    QByteArray call(Machine &machine, const QByteArray &verb, const QString &path)
    {
        QNetworkRequest request(
            QUrl(QString("http://127.0.0.1:%1%2").arg(machine.guiPort).arg(path)));
        request.setRawHeader("X-API-Key", "cellora-test");
        QNetworkReply *reply = network.sendCustomRequest(request, verb);
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        loop.exec();
        const QByteArray answer = reply->readAll();
        reply->deleteLater();
        return answer;
    }

    Machine machines[2];
    QNetworkAccessManager network;
};

#endif // SYNCTHINGPAIR_H
