// The row painting and the small views: size texts, state marks, the delete button, the
// spinner, the progress bar and the centred text frame.
#include "JobList.h"
#include "JobTableModel.h"
#include "JobTableView.h"
#include "ProgressBar.h"
#include "SizeFormat.h"
#include "StateMarks.h"
#include "TessaroCell.h"
#include "TextCentering.h"

#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Share of the pixels in rect whose colour is close to the wanted hue family.
double share(const QImage& image, const QRect& rect, const std::function<bool(QColor)>& wanted) {
    int hits = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            hits += wanted(image.pixelColor(x, y)) ? 1 : 0;
    return double(hits) / (rect.width() * rect.height());
}

bool greenish(QColor c) {
    return c.green() > 120 && c.green() > c.red() + 50 && c.green() > c.blue() + 30;
}
bool reddish(QColor c) {
    return c.red() > 160 && c.red() > c.green() + 80 && c.red() > c.blue() + 80;
}
bool bluish(QColor c) {
    return c.blue() > 150 && c.blue() > c.red() + 60;
}

PicModel job(const QString& path, double size, qint64 state) {
    PicModel m;
    m.url = path;
    m.name = QFileInfo(path).fileName();
    m.size = size;
    m.completed = state;
    return m;
}

} // namespace

class TessaroCellTest : public QObject {
    Q_OBJECT

    // Paints row 0 of a one-job list into an image.
    QImage paintRow(qint64 state, int spinnerStep = 0) {
        JobList list;
        list.appendJobs({job(QStringLiteral("/pictures/holiday.webp"), 12.5, state)});
        JobTableModel model(&list);
        TessaroCell cell;
        cell.setSpinnerStep(spinnerStep);
        QImage image(700, 80, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        QStyleOptionViewItem option;
        option.rect = image.rect();
        option.font = QFont();
        cell.paint(&painter, option, model.index(0, 0));
        painter.end();
        return image;
    }

private Q_SLOTS:
    void sizeText_data() {
        QTest::addColumn<double>("size");
        QTest::addColumn<QString>("text");
        QTest::newRow("500 bytes") << 0.5 << "0.50 KB";
        QTest::newRow("missing file") << 0.0 << "0.00 KB";
        QTest::newRow("1,024,000 bytes") << 1024.0 << "1024.00 KB";
        QTest::newRow("1,025,000 bytes") << 1025.0 << "1.00 MB";
        QTest::newRow("2,000,000 bytes") << 2000.0 << "1.95 MB";
        QTest::newRow("just above") << 1024.001 << "1.00 MB";
        QTest::newRow("5,000,000 bytes") << 5000.0 << "4.88 MB";
    }

    void sizeText() {
        QFETCH(double, size);
        QFETCH(QString, text);
        QCOMPARE(formattedSize(size), text);
        JobList list;
        list.appendJobs({job(QStringLiteral("/x/a.webp"), size, 0)});
        JobTableModel model(&list);
        QCOMPARE(model.index(0, 0).data(JobTableModel::SizeTextRole).toString(), text);
    }

    void stateMarks_data() {
        QTest::addColumn<qint64>("state");
        QTest::addColumn<bool>("green");
        QTest::addColumn<bool>("red");
        QTest::addColumn<bool>("spinner");
        QTest::newRow("waiting") << JobState::Waiting << false << false << false;
        QTest::newRow("converted") << JobState::Converted << true << false << false;
        QTest::newRow("converting") << JobState::Converting << false << false << true;
        QTest::newRow("failed") << JobState::Failed << false << true << false;
        QTest::newRow("unknown value") << qint64(7) << false << false << false;
    }

    void stateMarks() {
        QFETCH(qint64, state);
        QFETCH(bool, green);
        QFETCH(bool, red);
        QFETCH(bool, spinner);
        const QImage image = paintRow(state);
        const QRect mark = TessaroCell::markRect(image.rect());
        QCOMPARE(share(image, mark, greenish) > 0.3, green);
        QCOMPARE(share(image, mark, reddish) > 0.3, red);
        QCOMPARE(share(image, mark, bluish) > 0.05, spinner);
    }

    void spinnerTurns() {
        const QRect mark = TessaroCell::markRect(QRect(0, 0, 700, 80));
        const QImage first = paintRow(JobState::Converting, 0).copy(mark);
        const QImage second = paintRow(JobState::Converting, 3).copy(mark);
        QVERIFY(first != second);
        QCOMPARE(paintRow(JobState::Converting, 3).copy(mark), second);
    }

    void markImagesByName() {
        QVERIFY(!StateMarks::image(QStringLiteral("completed"), 22).isNull());
        QVERIFY(!StateMarks::image(QStringLiteral("alert"), 22).isNull());
        QVERIFY(StateMarks::image(QStringLiteral("other"), 22).isNull());
        QCOMPARE(StateMarks::image(QStringLiteral("alert"), 22, 2.0).size(), QSize(44, 44));
    }

    void selectionKeepsTextColours() {
        JobList list;
        list.appendJobs({job(QStringLiteral("/pictures/holiday.webp"), 12.5, 0)});
        JobTableModel model(&list);
        TessaroCell cell;
        auto render = [&](bool selected) {
            QImage image(700, 80, QImage::Format_ARGB32_Premultiplied);
            QPainter painter(&image);
            QStyleOptionViewItem option;
            option.rect = image.rect();
            if (selected)
                option.state |= QStyle::State_Selected;
            cell.paint(&painter, option, model.index(0, 0));
            return image;
        };
        const QImage plain = render(false);
        const QImage selected = render(true);
        // The darkest pixel (the name's text) is the same colour either way.
        auto darkest = [](const QImage& image) {
            int best = 255 * 3;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 70; x < 300; ++x) {
                    const QColor c = image.pixelColor(x, y);
                    best = qMin(best, c.red() + c.green() + c.blue());
                }
            return best;
        };
        QVERIFY(plain != selected);
        QCOMPARE(darkest(selected), darkest(plain));
    }

    void deleteButton() {
        QTemporaryDir dir;
        JobList list;
        list.appendJobs({job(dir.filePath(QStringLiteral("a.webp")), 1, 0),
                         job(dir.filePath(QStringLiteral("b.webp")), 1, 0)});
        JobTableModel model(&list);
        JobTableView view(&model);
        view.resize(700, 400);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QList<qint64> asked;
        view.cell()->delImgBlock = [&](qint64 row) { asked.append(row); };
        const QRect row1 = view.visualRect(model.index(1, 0));
        QCOMPARE(row1.height(), 80);
        QCOMPARE(view.visualRect(model.index(0, 0)).height(), 80);
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {},
                          TessaroCell::deleteButtonRect(row1).center());
        QCOMPARE(asked, QList<qint64>{1});
        // Off the button: a selection, no delete.
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, row1.center());
        QCOMPARE(asked.size(), 1);
        QVERIFY(view.selectionModel()->isRowSelected(1, {}));
        // Disabled while a run holds the list.
        view.cell()->setDeleteEnabled(false);
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {},
                          TessaroCell::deleteButtonRect(row1).center());
        QCOMPARE(asked.size(), 1);
        // Without a callback the action is ignored.
        view.cell()->setDeleteEnabled(true);
        view.cell()->delImgBlock = nullptr;
        view.cell()->deleteImag(0);
        QCOMPARE(list.count(), 2);
    }

    void modelFollowsTheList() {
        JobList list;
        JobTableModel model(&list);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QSignalSpy converting(&model, &JobTableModel::convertingCountChanged);
        list.appendJobs({job(QStringLiteral("/a.webp"), 1, 0), job(QStringLiteral("/b.webp"), 1, 0),
                         job(QStringLiteral("/c.webp"), 1, 0)});
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(model.rowCount(), 3);
        PicModel b = list.at(1);
        b.completed = JobState::Converting;
        list.updateJob(1, b);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toModelIndex().row(), 1);
        QCOMPARE(model.convertingCount(), 1);
        QCOMPARE(model.index(1, 0).data(JobTableModel::StateRole).toLongLong(),
                 JobState::Converting);
        list.removeAt(0);
        QCOMPARE(removed.count(), 1);
        QCOMPARE(model.index(0, 0).data(Qt::DisplayRole).toString(), QStringLiteral("b.webp"));
        QCOMPARE(model.convertingCount(), 1);
        b.completed = JobState::Converted;
        list.updateJob(0, b);
        QCOMPARE(model.convertingCount(), 0);
        QCOMPARE(converting.count(), 2);
        list.clear();
        QCOMPARE(model.rowCount(), 0);
    }

    void spinnerRunsOnlyWhileConverting() {
        JobList list;
        list.appendJobs({job(QStringLiteral("/a.webp"), 1, 0)});
        JobTableModel model(&list);
        JobTableView view(&model);
        QVERIFY(!view.isSpinning());
        PicModel a = list.at(0);
        a.completed = JobState::Converting;
        list.updateJob(0, a);
        QVERIFY(view.isSpinning());
        a.completed = JobState::Failed;
        list.updateJob(0, a);
        QVERIFY(!view.isSpinning());
    }

    void progressBar() {
        ProgressBar bar;
        bar.resize(200, 22);
        QCOMPARE(bar.filledWidth(), 0); // no maxValue yet
        bar.setPresent(5);
        QCOMPARE(bar.filledWidth(), 0);
        bar.setMaxValue(40);
        bar.setPresent(10);
        QCOMPARE(bar.filledWidth(), 50);
        bar.setPresent(40);
        QCOMPARE(bar.filledWidth(), 200);
        QVERIFY(bar.Label()->text().isEmpty()); // the bar never writes its own text
        // From another thread the value arrives through the event loop.
        std::unique_ptr<QThread> thread(QThread::create([&bar] { bar.setPresent(20); }));
        thread->start();
        QVERIFY(thread->wait(5000));
        QTRY_COMPARE_WITH_TIMEOUT(bar.filledWidth(), 100, 5000);
    }

    void centredTextFrame_data() {
        QTest::addColumn<QRectF>("frame");
        QTest::addColumn<qreal>("ascender");
        QTest::addColumn<qreal>("descender");
        QTest::addColumn<QRectF>("expected");
        QTest::newRow("22 high, 12/-3")
            << QRectF(0, 0, 100, 22) << 12.0 << -3.0 << QRectF(0, 2, 100, 18);
        QTest::newRow("floor of a fraction")
            << QRectF(5, 10, 50, 25) << 10.0 << -2.0 << QRectF(5, 14, 50, 17);
        QTest::newRow("negative offset grows")
            << QRectF(0, 0, 10, 10) << 14.0 << -3.0 << QRectF(0, -6, 10, 22);
    }

    void centredTextFrame() {
        QFETCH(QRectF, frame);
        QFETCH(qreal, ascender);
        QFETCH(qreal, descender);
        QFETCH(QRectF, expected);
        QCOMPARE(adjustedFrameToVerticallyCenterText(frame, ascender, descender), expected);
    }
};

QTEST_MAIN(TessaroCellTest)
#include "tst_tessarocell.moc"
