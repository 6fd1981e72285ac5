#include "FolderWatcher.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <map>
#include <memory>

// Each row drives real files through steps: watch (starts watching) | write P | open P (written
// in part, kept open) | close P | reopen P (for writing, closed unchanged) | move P (made
// outside, renamed in) | mkdir P | expect P… (all reported so far, sorted; still so after a
// later arrival). A burst, a file moved into the watched folder and the folder itself going
// away: WatchTest, through the command line.
class FolderWatcherTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void arrivals_data() {
        QTest::addColumn<QStringList>("steps");
        const auto row = [](const char* name, const QString& steps) {
            QTest::addRow("%s", name) << steps.split(u',');
        };
        row("slow writer, once after close",
            "watch,open a.webp,expect,close a.webp,expect a.webp,reopen a.webp,expect a.webp");
        row("new subfolders, files right after mkdir",
            "watch,mkdir s,write s/a.webp,mkdir s/t/u,write s/t/u/b.webp,move s/c.webp,"
            "expect s/a.webp s/c.webp s/t/u/b.webp");
        row("hidden, excluded, refused names",
            "watch,mkdir out,write .h.webp,mkdir .d,write .d/a.webp,write out/a.webp,mkdir out/x,"
            "write out/x/b.webp,write c.png,mkdir out2,write out2/ok.webp,expect out2/ok.webp");
        row("existing files, one still being written",
            "write e.webp,write .e.webp,open w.webp,watch,expect e.webp,close w.webp,"
            "expect e.webp w.webp");
    }

    void arrivals() {
        QFETCH(QStringList, steps);
        QTemporaryDir dir;
        const QString root = dir.filePath(QStringLiteral("watched"));
        QVERIFY(QDir().mkpath(root));
        FolderWatcher watcher(FolderWatcher::Depth::Recursive);
        watcher.setFileFilter([](const QString& path) { return path.endsWith(".webp"); });
        watcher.setExcludedFolders({root + "/out"});
        QStringList reported;
        connect(&watcher, &FolderWatcher::fileReady, this,
                [&](const QString& path, const QString& sub) {
                    const QString relative = path.mid(root.size() + 1);
                    QCOMPARE(sub,
                             relative.contains(u'/') ? relative.section(u'/', 0, -2) : QString());
                    reported.insert(std::lower_bound(reported.begin(), reported.end(), relative),
                                    relative);
                });
        std::map<QString, std::unique_ptr<QFile>> open;
        int arrivals = 0;
        const auto step = [&](const QString& line) {
            const QStringList words = line.split(u' ');
            const QString& verb = words[0];
            const QString path = root + u'/' + words.value(1);
            auto file = std::make_unique<QFile>(verb == "move" ? dir.filePath("made") : path);
            if (verb == "watch") {
                QVERIFY(watcher.addFolder(root, FolderWatcher::ExistingFiles::Report));
            } else if (verb == "write" || verb == "open" || verb == "move") {
                QVERIFY(file->open(QIODevice::WriteOnly) && file->write("RIFF") && file->flush());
                if (verb == "open")
                    open[path] = std::move(file);
                else if (verb == "move")
                    QVERIFY(file->rename(path));
            } else if (verb == "close") {
                QVERIFY(open.at(path)->write("rest") > 0);
                open.erase(path);
            } else if (verb == "reopen") {
                QVERIFY(file->open(QIODevice::Append));
            } else if (verb == "mkdir") {
                QVERIFY(QDir().mkpath(path));
            } else { // expect
                QTRY_COMPARE_WITH_TIMEOUT(reported, words.mid(1), 10000);
                // Nothing more comes of the steps so far once a later arrival was seen.
                QFile later(root + QStringLiteral("/~%1.webp").arg(++arrivals));
                QVERIFY(later.open(QIODevice::WriteOnly) && later.write("x"));
                later.close();
                QTRY_VERIFY(reported.contains(later.fileName().mid(root.size() + 1)));
                reported.removeOne(later.fileName().mid(root.size() + 1));
                QCOMPARE(reported, words.mid(1));
            }
        };
        for (const QString& line : steps)
            if (step(line), QTest::currentTestFailed())
                return;
    }
};

QTEST_GUILESS_MAIN(FolderWatcherTest)
#include "tst_folderwatcher.moc"
