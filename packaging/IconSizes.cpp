// quillmark-icon-sizes SOURCE FOLDER SIZE...: writes the icon SOURCE, scaled
// to each SIZE, to FOLDER/<SIZE>x<SIZE>/apps/quillmark.png, the layout of an
// icon theme. Runs at build time.

#include <QDir>
#include <QImage>
#include <QString>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: quillmark-icon-sizes SOURCE FOLDER SIZE...\n");
        return 2;
    }
    const QImage source(QString::fromLocal8Bit(argv[1]));
    if (source.isNull()) {
        std::fprintf(stderr, "quillmark-icon-sizes: cannot read %s\n", argv[1]);
        return 1;
    }
    for (int i = 3; i < argc; ++i) {
        bool ok = false;
        const int size = QString::fromLocal8Bit(argv[i]).toInt(&ok);
        if (!ok || size <= 0) {
            std::fprintf(stderr, "quillmark-icon-sizes: %s is no size\n", argv[i]);
            return 2;
        }
        const QString folder =
            QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[2])).arg(size);
        const QImage scaled = source.size() == QSize(size, size)
            ? source
            : source.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        if (!QDir().mkpath(folder) || !scaled.save(folder + QStringLiteral("/quillmark.png"))) {
            std::fprintf(stderr, "quillmark-icon-sizes: cannot write %s\n", qPrintable(folder));
            return 1;
        }
    }
    return 0;
}
