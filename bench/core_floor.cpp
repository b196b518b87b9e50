// The floor of a command that needs no display: a bare Qt Core program that
// parses its arguments and prints one line, as `mirabou --convert` does.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption convert(QStringLiteral("convert"), QStringLiteral("A text."),
                                     QStringLiteral("text"));
    const QCommandLineOption format(QStringLiteral("format"), QStringLiteral("A name."),
                                    QStringLiteral("name"));
    parser.addOptions({convert, format});
    parser.process(app);
    std::printf("%s\n", qPrintable(parser.value(convert)));
    return 0;
}
