#include "FolderWatcher.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <map>
#include <memory>

// Each row drives real files through steps, before and after watching starts: write P |
// open P (written in part, kept open) | close P | reopen P (for writing, closed unchanged) |
// move P (made outside, renamed in) | mkdir P | burst N (files n0.webp…) | expect P… (reported
// so far, N: the burst's names; still so after a later arrival) | rmroot | mvroot | lost.
class FolderWatcherTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void arrivals_data() {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("after");
        const auto row = [](const char* name, const char* before, const char* after) {
            QTest::addRow("%s", name)
                << QString(before).split(u',', Qt::SkipEmptyParts) << QString(after).split(u',');
        };
        row("slow writer, once after close", "",
            "open a.webp,expect,close a.webp,expect a.webp,reopen a.webp,expect a.webp");
        row("moved in", "", "move m.webp,expect m.webp");
        row("burst of 300", "", "burst 300,expect 300");
        row("new subfolders, files right after mkdir", "",
            "mkdir s,write s/a.webp,mkdir s/t/u,write s/t/u/b.webp,move s/c.webp,"
            "expect s/a.webp s/c.webp s/t/u/b.webp");
        row("hidden, excluded, refused names", "",
            "mkdir out,write .h.webp,mkdir .d,write .d/a.webp,write out/a.webp,mkdir out/x,"
            "write out/x/b.webp,write c.png,mkdir out2,write out2/ok.webp,expect out2/ok.webp");
        row("existing files, one still being written", "write e.webp,write .e.webp,open w.webp",
            "expect e.webp,close w.webp,expect e.webp w.webp");
        row("root removed", "write e.webp", "expect e.webp,rmroot,lost");
        row("root moved away", "", "mvroot,lost");
    }

    void arrivals() {
        QFETCH(QStringList, before);
        QFETCH(QStringList, after);
        QTemporaryDir dir;
        const QString root = dir.filePath(QStringLiteral("watched"));
        QVERIFY(QDir().mkpath(root));
        FolderWatcher watcher(FolderWatcher::Depth::Recursive);
        watcher.setFileFilter([](const QString& path) { return path.endsWith(".webp"); });
        watcher.setExcludedFolders({root + "/out"});
        QStringList reported, lost;
        connect(&watcher, &FolderWatcher::fileReady, this,
                [&](const QString& path, const QString& sub) {
                    const QString relative = path.mid(root.size() + 1);
                    QCOMPARE(sub,
                             relative.contains(u'/') ? relative.section(u'/', 0, -2) : QString());
                    reported << relative;
                });
        connect(&watcher, &FolderWatcher::folderLost, this, [&](const QString& f) { lost << f; });
        std::map<QString, std::unique_ptr<QFile>> open;
        const auto write = [](QFile& file) {
            return file.open(QIODevice::WriteOnly) && file.write("RIFF part") > 0 && file.flush();
        };
        int flushes = 0;
        const auto step = [&](const QString& line) {
            const QString verb = line.section(u' ', 0, 0);
            const QStringList args = line.section(u' ', 1).split(u' ', Qt::SkipEmptyParts);
            const QString path = root + u'/' + args.value(0);
            if (verb == "write" || verb == "open") {
                auto file = std::make_unique<QFile>(path);
                QVERIFY(write(*file));
                if (verb == "open")
                    open[path] = std::move(file);
            } else if (verb == "close") {
                QVERIFY(open.at(path)->write("rest") > 0);
                open.erase(path);
            } else if (verb == "move") {
                QFile made(dir.filePath("made"));
                QVERIFY(write(made) && made.rename(path));
            } else if (verb == "reopen") {
                QVERIFY(QFile(path).open(QIODevice::Append)); // closed again unchanged
            } else if (verb == "mkdir") {
                QVERIFY(QDir().mkpath(path));
            } else if (verb == "burst") {
                for (int i = 0; i < args[0].toInt(); ++i) {
                    QFile file(root + QStringLiteral("/n%1.webp").arg(i));
                    QVERIFY(write(file));
                }
            } else if (verb == "expect") {
                QStringList want = args;
                if (args.size() == 1 && args[0].toInt() > 0)
                    for (int i = (want.clear(), 0); i < args[0].toInt(); ++i)
                        want << QStringLiteral("n%1.webp").arg(i);
                want.sort();
                const auto sorted = [&] {
                    QStringList copy = reported;
                    copy.sort();
                    return copy;
                };
                QTRY_COMPARE_WITH_TIMEOUT(sorted(), want, 10000);
                // Nothing more comes of the steps so far once a later arrival was seen.
                QFile flush(root + QStringLiteral("/flush%1.webp").arg(++flushes));
                QVERIFY(write(flush));
                flush.close();
                QTRY_VERIFY(reported.contains(flush.fileName().mid(root.size() + 1)));
                reported.removeOne(flush.fileName().mid(root.size() + 1));
                QCOMPARE(sorted(), want);
            } else if (verb == "rmroot") {
                QVERIFY(QDir(root).removeRecursively());
            } else if (verb == "mvroot") {
                QVERIFY(QDir().rename(root, root + "-moved"));
            } else if (verb == "lost") {
                QTRY_COMPARE(lost, QStringList{root});
            }
        };
        for (const QString& line : before)
            if (step(line), QTest::currentTestFailed())
                return;
        QString error;
        QVERIFY2(watcher.addFolder(root, FolderWatcher::ExistingFiles::Report, &error),
                 qPrintable(error));
        for (const QString& line : after)
            if (step(line), QTest::currentTestFailed())
                return;
    }
};

QTEST_GUILESS_MAIN(FolderWatcherTest)
#include "tst_folderwatcher.moc"
