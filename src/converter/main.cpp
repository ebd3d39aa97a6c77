// util1.sp: the picture converter of the snap. Reads a bitmap and writes it as
// an optimised JPEG of the given quality:
//
//   util1.sp -quality 65 -optimize BITMAP JPEG
//
// The JPEG is written to a temporary file beside it and renamed over the old
// one only when complete, so a failed conversion keeps the earlier photograph
// and nobody ever reads half a JPEG. Exit status 0 on success; otherwise a
// message on standard error and status 1 (2 for a wrong command line).

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>
#include <QStringList>

#include <cstdio>

namespace {

struct Options
{
    int quality = -1;
    bool optimize = false;
    QString bitmap;
    QString jpeg;
};

int fail(int status, const QString &message)
{
    std::fprintf(stderr, "util1.sp: %s\n", qPrintable(message));
    return status;
}

bool parse(const QStringList &arguments, Options &options)
{
    QStringList files;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("-quality") && i + 1 < arguments.size()) {
            bool ok = false;
            options.quality = arguments.at(++i).toInt(&ok);
            if (!ok || options.quality < 0 || options.quality > 100)
                return false;
        } else if (argument == QLatin1String("-optimize")) {
            options.optimize = true;
        } else if (argument.startsWith(QLatin1Char('-'))) {
            return false;
        } else {
            files << argument;
        }
    }
    if (files.size() != 2 || options.quality < 0)
        return false;
    options.bitmap = files.at(0);
    options.jpeg = files.at(1);
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    Options options;
    if (!parse(application.arguments(), options))
        return fail(2, QStringLiteral("usage: util1.sp -quality N [-optimize] BITMAP JPEG"));

    QFile input(options.bitmap);
    if (!input.open(QIODevice::ReadOnly))
        return fail(1, QStringLiteral("cannot read the bitmap %1: %2").arg(options.bitmap, input.errorString()));
    QImageReader reader(&input, "bmp");
    reader.setAutoDetectImageFormat(false); // a bitmap, nothing else passes for one
    const QImage image = reader.read();
    if (image.isNull())
        return fail(1, QStringLiteral("cannot read the bitmap %1: %2").arg(options.bitmap, reader.errorString()));

    QSaveFile file(options.jpeg);
    if (!file.open(QIODevice::WriteOnly))
        return fail(1, QStringLiteral("cannot write %1: %2").arg(options.jpeg, file.errorString()));
    QImageWriter writer(&file, "jpeg");
    writer.setQuality(options.quality);
    writer.setOptimizedWrite(options.optimize);
    if (!writer.write(image)) {
        file.cancelWriting();
        return fail(1, QStringLiteral("cannot write %1: %2").arg(options.jpeg, writer.errorString()));
    }
    if (!file.commit())
        return fail(1, QStringLiteral("cannot write %1: %2").arg(options.jpeg, file.errorString()));
    return 0;
}
