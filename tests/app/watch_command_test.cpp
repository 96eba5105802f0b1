// `desktidy watch` as a user or the service manager runs it: the program, real inotify on
// a temporary folder, signals, and a stand-in notification server on a private bus.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include "run_desktidy.h"
#include "support/event_loop_wait.h"
#include "support/qstring_printer.h"
#include "support/temp_home.h"

namespace {

// A running `desktidy watch`, its output gathered as it comes.
class Watch {
  public:
    explicit Watch(const QStringList& arguments, const QProcessEnvironment& environment =
                                                     QProcessEnvironment::systemEnvironment()) {
        process_.setProcessEnvironment(environment);
        process_.setStandardInputFile(QProcess::nullDevice());
        process_.start(DESKTIDY_BINARY, QStringList{"watch"} + arguments);
        EXPECT_TRUE(process_.waitForStarted());
    }
    ~Watch() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished();
        }
    }
    QString out() {
        out_ += QString::fromUtf8(process_.readAllStandardOutput());
        return out_;
    }
    QString err() {
        err_ += QString::fromUtf8(process_.readAllStandardError());
        return err_;
    }
    // Waits until standard error has told line.
    bool told(const QString& line) {
        return waitUntil([&] { return err().contains(line); });
    }
    // Sends SIGTERM and waits for the end; the exit status.
    int stop() {
        ::kill(pid_t(process_.processId()), SIGTERM);
        EXPECT_TRUE(waitUntil([&] { return process_.state() == QProcess::NotRunning; }));
        return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
    }
    qint64 pid() const { return process_.processId(); }

  private:
    QProcess process_;
    QString out_, err_;
};

bool exists(const QString& path) { return QFileInfo::exists(path); }

// A private session bus: a dbus-daemon of the test's own, gone with it.
class PrivateBus {
  public:
    explicit PrivateBus(const TempHome& home) {
        const QString daemon = QStandardPaths::findExecutable("dbus-daemon");
        if (daemon.isEmpty()) return;
        address_ = "unix:path=" + home / "bus";
        writeFile(
            home / "bus.conf",
            "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\""
            " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
            "<busconfig><type>session</type><listen>" +
                address_.toUtf8() +
                "</listen><auth>EXTERNAL</auth><policy context=\"default\">"
                "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
                "<allow own=\"*\"/></policy></busconfig>\n");
        daemon_.start(daemon,
                      {"--nofork", "--print-address=1", "--config-file=" + home / "bus.conf"});
        if (!daemon_.waitForStarted() || !waitUntil([&] { return daemon_.canReadLine(); }))
            address_.clear();
    }
    ~PrivateBus() {
        QDBusConnection::disconnectFromBus("stand-in");
        daemon_.kill();
        daemon_.waitForFinished();
    }
    const QString& address() const { return address_; }

  private:
    QProcess daemon_;
    QString address_;
};

}  // namespace

// The desktop's notification service as far as the watch uses it: it offers actions,
// keeps what it was asked to show, and can press a notification's button.
class StandInNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
  public:
    struct Posted {
        uint id;
        QString summary, body;
        QStringList actions;
    };
    QList<Posted> posted;

  public Q_SLOTS:
    QStringList GetCapabilities() { return {"body", "actions"}; }
    uint Notify(const QString&, uint, const QString&, const QString& summary, const QString& body,
                const QStringList& actions, const QVariantMap&, int) {
        posted.append({uint(posted.size() + 1), summary, body, actions});
        return posted.last().id;
    }
};

// Each batch is one run: the result line names the folder and the run, history lists it
// and undo takes it back, after which the watch leaves the items where the undo put them.
// The folder list is followed as the settings change; what was there before is left alone.
TEST(WatchCommand, FilesEachBatchAsARunThatUndoTakesBack) {
    TempHome home;
    const QString desk = home / "Desk";
    writeFile(desk + "/old.jpg", "there before");
    Watch watch({"--settle", "0.3"});
    ASSERT_TRUE(watch.told("the folder list is empty"));
    ASSERT_EQ(desktidy({"folders", "add", desk}).status, 0);
    ASSERT_TRUE(watch.told("Watching " + desk + "."));
    writeFile(desk + "/new.jpg", "new");
    writeFile(desk + "/notes.txt", "words");
    ASSERT_TRUE(waitUntil([&] { return watch.out().contains("\n"); }));
    EXPECT_EQ(watch.out(), desk + ": Filed 2 items into 2 folders. (run 1)\n");
    EXPECT_EQ(namesIn(desk), (QStringList{"Images", "Words", "old.jpg"}));
    EXPECT_TRUE(desktidy({"history"})
                    .out.contains(QRegularExpression("   1  [-0-9]+ [0-9:]+  watch  +2  done     " +
                                                     QRegularExpression::escape(desk))));

    const Outcome undone = desktidy({"--yes", "undo", "1"});
    EXPECT_EQ(undone.status, 0) << undone.err.toStdString();
    EXPECT_EQ(namesIn(desk), (QStringList{"new.jpg", "notes.txt", "old.jpg"}));
    // A later item is filed; had the watch meant to file again what the undo put back, it
    // would have done so first.
    writeFile(desk + "/later.jpg", "later");
    ASSERT_TRUE(waitUntil([&] { return exists(desk + "/Images/later.jpg"); }));
    EXPECT_EQ(namesIn(desk), (QStringList{"Images", "new.jpg", "notes.txt", "old.jpg"}));
    EXPECT_EQ(watch.stop(), 0);
}

// SIGTERM in the middle of a batch stops it after the item in hand: its record is ended
// (stopped, or done had it just finished), every item is either filed or still loose, and
// the exit status is 0. The items are there at the start and filed with --existing, so
// that they settle together and make one long batch.
TEST(WatchCommand, SigtermDuringABatchEndsItsRecordAndExitsWithZero) {
    TempHome home;
    const QString desk = home / "Desk";
    makeFolder(desk);
    constexpr int count = 20000;
    for (int i = 0; i < count; ++i)
        ::close(::creat(QFile::encodeName(desk + QString("/%1.jpg").arg(i)), 0644));
    Watch watch({"--settle", "0.3", "--existing", desk});
    const QString record = home / ".local/state/Desktidy/history/1.run";
    // Once the batch's record is there, its first move is being made.
    ASSERT_TRUE(waitUntil([&] { return exists(record); }));
    EXPECT_EQ(watch.stop(), 0);
    const QByteArray text = readFile(record);
    EXPECT_TRUE(text.contains("\nend stopped\n") || text.contains("\nend done\n"))
        << text.right(200).toStdString();
    const int filed = int(namesIn(desk + "/Images").size());
    EXPECT_EQ(namesIn(desk).size(), count - filed + 1);
    const QString history = desktidy({"history"}).out;
    EXPECT_TRUE(history.startsWith(QString("   1  ")) &&
                history.contains(QString("watch       %1  ").arg(filed, 6)) &&
                !history.contains("\n   2  "))
        << history.toStdString();
}

// The "Undo" of a batch's notification undoes that batch, and only that one.
TEST(WatchCommand, TheNotificationsUndoUndoesItsBatchOnly) {
    TempHome home;
    PrivateBus bus(home);
    if (bus.address().isEmpty()) GTEST_SKIP() << "no dbus-daemon (scripts/bootstrap installs it)";
    QDBusConnection connection = QDBusConnection::connectToBus(bus.address(), "stand-in");
    StandInNotifications server;
    ASSERT_TRUE(connection.registerObject("/org/freedesktop/Notifications", &server,
                                          QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(connection.registerService("org.freedesktop.Notifications"));

    const QString desk = home / "Desk";
    makeFolder(desk);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DBUS_SESSION_BUS_ADDRESS", bus.address());
    Watch watch({"--settle", "0.3", desk}, environment);
    ASSERT_TRUE(watch.told("Watching " + desk + "."));
    writeFile(desk + "/first.jpg", "1");
    ASSERT_TRUE(waitUntil([&] { return server.posted.size() == 1; }));
    writeFile(desk + "/second.txt", "2");
    ASSERT_TRUE(waitUntil([&] { return server.posted.size() == 2; }));
    const StandInNotifications::Posted first = server.posted[0];
    EXPECT_EQ(first.summary, "Filed 1 item into Images");
    EXPECT_EQ(first.body, desk);
    ASSERT_EQ(first.actions.size(), 2);
    EXPECT_EQ(first.actions[1], "Undo");
    EXPECT_EQ(server.posted[1].summary, "Filed 1 item into Words");

    QDBusMessage pressed = QDBusMessage::createSignal(
        "/org/freedesktop/Notifications", "org.freedesktop.Notifications", "ActionInvoked");
    pressed << first.id << first.actions[0];
    ASSERT_TRUE(connection.send(pressed));
    ASSERT_TRUE(waitUntil([&] { return exists(desk + "/first.jpg"); }));
    EXPECT_EQ(namesIn(desk), (QStringList{"Words", "first.jpg"}));
    EXPECT_EQ(namesIn(desk + "/Words"), QStringList{"second.txt"});
    ASSERT_TRUE(waitUntil([&] { return watch.out().count('\n') == 3; }));
    // The undo's own result line follows the batches'.
    EXPECT_EQ(watch.out().section('\n', 2, 2), QString("Undid run 1 (watch): 1 item moved back."));
    EXPECT_EQ(watch.stop(), 0);
    const QString history = desktidy({"history"}).out;
    EXPECT_TRUE(history.contains(QRegularExpression("   1  .* undone ")) &&
                history.contains(QRegularExpression("   2  .* done ")))
        << history.toStdString();
}

#include "watch_command_test.moc"
