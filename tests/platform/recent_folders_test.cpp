#include "platform/recent_folders.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <future>

#include "support/qstring_printer.h"
#include "support/temp_home.h"

TEST(RecentFolders, KeepsTheTenLatestMostRecentFirstEachOnce) {
    TempHome home;
    RecentFolders recent(RecentFolders::defaultFilePath(home.path()));
    for (int i = 0; i < 12; ++i) ASSERT_TRUE(recent.note(Path("/f" + QByteArray::number(i))));
    ASSERT_TRUE(recent.note(Path("/f5")));
    ASSERT_TRUE(recent.note(Path("/f\xFF")));        // kept as its bytes
    EXPECT_FALSE(recent.note(Path("/two\nlines")));  // cannot be kept one per line
    EXPECT_EQ(displayed(recent.folders()), (QStringList{"/f\\xFF", "/f5", "/f11", "/f10", "/f9",
                                                        "/f8", "/f7", "/f6", "/f4", "/f3"}));
    EXPECT_EQ(recent.folders().value(0), Path("/f\xFF"));
    EXPECT_EQ(readFile(home / ".local/state/Desktidy/recent-folders").count('\n'), 10);
}

TEST(RecentFolders, AFifoInPlaceOfTheListIsNotWaitedFor) {
    TempHome home;
    const QString file = home / ".local/state/Desktidy/recent-folders";
    QDir().mkpath(QFileInfo(file).absolutePath());
    ASSERT_EQ(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
    RecentFolders recent(file);
    auto reading = std::async(std::launch::async, [&] { return recent.folders(); });
    if (reading.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
        ADD_FAILURE() << "reading the list waits for a writer to the FIFO";
        QFile writer(file);
        writer.open(QIODevice::WriteOnly);  // lets the stalled read end
    }
    EXPECT_TRUE(reading.get().isEmpty());
}
