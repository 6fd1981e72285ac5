// Renders the scalable application icon into one square PNG: render-icon <svg> <side> <png>.
// Used by the build for the fixed-size icons of the icon theme.
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QTextStream>

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    if (argc != 4) {
        err << "usage: render-icon <svg> <side> <png>\n";
        return 2;
    }
    const int side = QByteArray(argv[2]).toInt();
    QImageReader reader(QString::fromLocal8Bit(argv[1]));
    reader.setScaledSize(QSize(side, side));
    const QImage image = reader.read();
    if (image.isNull() || image.size() != QSize(side, side)) {
        err << argv[1] << ": " << reader.errorString() << '\n';
        return 1;
    }
    if (!image.convertToFormat(QImage::Format_ARGB32)
             .save(QString::fromLocal8Bit(argv[3]), "PNG")) {
        err << argv[3] << ": cannot write\n";
        return 1;
    }
    return 0;
}
