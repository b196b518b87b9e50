#include "files/IniFile.h"
#include "platform/ErrorReport.h"
#include "support/SharedState.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>
#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

using files::IniFile;
using testsupport::readFile;
using testsupport::writeFile;

class tst_IniFile : public QObject {
    Q_OBJECT
private slots:
    void readString_data();
    void readString();
    void readInteger_data();
    void readInteger();
    void readBool_data();
    void readBool();
    void write_data();
    void write();
    void roundTripKeepsForeignBytes();
    void readsAfterWrite();
    void unwritable_data();
    void unwritable();
    void fullDisk_data();
    void fullDisk();
    void unreadableFileIsNeverWrittenOver();
    void binaryAndHugeFiles();
    void killedWriterLeavesWholeFile_data();
    void killedWriterLeavesWholeFile();
    void errorReport_data();
    void errorReport();

private:
    QTemporaryDir m_dir;
};

void tst_IniFile::readString_data() {
    QTest::addColumn<QByteArray>("content"); // null: no file
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");
    const QByteArray s = "[settings]\n";
    QTest::newRow("no file") << QByteArray() << "settings"
                             << "posx"
                             << "<def>";
    QTest::newRow("no section") << QByteArray("[other]\nposx=1\n") << "settings"
                                << "posx"
                                << "<def>";
    QTest::newRow("no key") << s + "posy=1\n"
                            << "settings"
                            << "posx"
                            << "<def>";
    QTest::newRow("empty value") << s + "posx=\n"
                                 << "settings"
                                 << "posx"
                                 << "";
    QTest::newRow("blanks") << s + "posx=  150 \t\n"
                            << "settings"
                            << "posx"
                            << "150";
    QTest::newRow("double quotes") << s + "v=\" a b \"\n"
                                   << "settings"
                                   << "v"
                                   << " a b ";
    QTest::newRow("single quotes") << s + "v='x'\n"
                                   << "settings"
                                   << "v"
                                   << "x";
    QTest::newRow("mixed quotes kept") << s + "v=\"x'\n"
                                       << "settings"
                                       << "v"
                                       << "\"x'";
    QTest::newRow("one quote kept") << s + "v=\"\n"
                                    << "settings"
                                    << "v"
                                    << "\"";
    QTest::newRow("only quotes") << s + "v=\"\"\n"
                                 << "settings"
                                 << "v"
                                 << "";
    QTest::newRow("one pair only") << s + "v=\"\"x\"\"\n"
                                   << "settings"
                                   << "v"
                                   << "\"x\"";
    QTest::newRow("case") << QByteArray("[SETTINGS]\nPosX=5\n") << "settings"
                          << "posx"
                          << "5";
    QTest::newRow("blank key and section")
        << QByteArray(" [ settings ] \n  posx = 6\n") << "settings"
        << "posx"
        << "6";
    QTest::newRow("crlf") << QByteArray("[settings]\r\nposx=7\r\n") << "settings"
                          << "posx"
                          << "7";
    QTest::newRow("bom") << QByteArray("\xEF\xBB\xBF[settings]\nposx=8\n") << "settings"
                         << "posx"
                         << "8";
    QTest::newRow("no final line end") << QByteArray("[settings]\nposx=9") << "settings"
                                       << "posx"
                                       << "9";
    QTest::newRow("key before any section") << QByteArray("posx=1\n[settings]\n") << "settings"
                                            << "posx"
                                            << "<def>";
    QTest::newRow("comment not a key") << s + ";posx=1\n"
                                       << "settings"
                                       << "posx"
                                       << "<def>";
    QTest::newRow("value with equals") << s + "v=a=b\n"
                                       << "settings"
                                       << "v"
                                       << "a=b";
    QTest::newRow("utf8") << s + "v=Fran\xc3\xa7"
                                 "ais\n"
                          << "settings"
                          << "v"
                          << QString::fromUtf8("Fran\xc3\xa7"
                                               "ais");
    QTest::newRow("next section ends") << s + "[x]\nposx=1\n"
                                       << "settings"
                                       << "posx"
                                       << "<def>";
    QTest::newRow("first section wins") << s + "posx=1\n[settings]\nposx=2\n"
                                        << "settings"
                                        << "posx"
                                        << "1";
    QTest::newRow("later section of that name unread") << s + "posy=1\n[x]\n[Settings]\nposx=2\n"
                                                       << "settings"
                                                       << "posx"
                                                       << "<def>";
    QTest::newRow("first key wins") << s + "posx=1\nPOSX=2\n"
                                    << "settings"
                                    << "posx"
                                    << "1";
    QTest::newRow("non-ASCII names in any case")
        << QByteArray("[\xc3\x84rger]\n\xc3\x96l=3\n") << QString::fromUtf8("\xc3\xa4rger")
        << QString::fromUtf8("\xc3\xb6l") << "3";
}

void tst_IniFile::readString() {
    QFETCH(QByteArray, content);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    const QString path = m_dir.filePath(QStringLiteral("read.ini"));
    QFile::remove(path);
    if (!content.isNull())
        writeFile(path, content);
    QCOMPARE(IniFile(path).readString(section, key, QStringLiteral("<def>")), expected);
}

void tst_IniFile::readInteger_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("decimal") << "150" << 150;
    QTest::newRow("0x") << "0x10" << 16;
    QTest::newRow("0X") << "0X1f" << 31;
    QTest::newRow("dollar") << "$20" << 32;
    QTest::newRow("blanks") << " 150 " << 150;
    QTest::newRow("negative") << "-40" << -40;
    QTest::newRow("plus") << "+5" << 5;
    QTest::newRow("negative hex") << "-$10" << -16;
    QTest::newRow("abc") << "abc" << 200;
    QTest::newRow("empty") << "" << 200;
    QTest::newRow("0x alone") << "0x" << 200;
    QTest::newRow("dollar alone") << "$" << 200;
    QTest::newRow("trailing text") << "12px" << 200;
    QTest::newRow("inner blank") << "1 2" << 200;
    QTest::newRow("max") << "2147483647" << 2147483647;
    QTest::newRow("above max") << "2147483648" << 200;
    QTest::newRow("min") << "-2147483648" << int(-2147483647 - 1);
    QTest::newRow("below min") << "-2147483649" << 200;
    QTest::newRow("hex max") << "0x7FFFFFFF" << 2147483647;
    QTest::newRow("hex above max") << "0x80000000" << 200;
    QTest::newRow("long digits") << QString(40, QLatin1Char('9')) << 200;
    QTest::newRow("float") << "1.5" << 200;
}

void tst_IniFile::readInteger() {
    QFETCH(QString, value);
    QFETCH(int, expected);
    const QString path = m_dir.filePath(QStringLiteral("int.ini"));
    writeFile(path, "[settings]\nposx=" + value.toUtf8() + "\n");
    QCOMPARE(IniFile(path).readInteger(QStringLiteral("settings"), QStringLiteral("posx"), 200),
             expected);
}

void tst_IniFile::readBool_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("def");
    QTest::addColumn<bool>("expected");
    QTest::newRow("yes") << QByteArray("ontop=yes") << false << false;
    QTest::newRow("true word") << QByteArray("ontop=true") << false << false;
    QTest::newRow("2") << QByteArray("ontop=2") << false << true;
    QTest::newRow("-1") << QByteArray("ontop=-1") << false << true;
    QTest::newRow("0") << QByteArray("ontop=0") << true << false;
    QTest::newRow("empty flat") << QByteArray("ontop=") << true << true;
    QTest::newRow("missing") << QByteArray("other=0") << true << true;
}

void tst_IniFile::readBool() {
    QFETCH(QByteArray, line);
    QFETCH(bool, def);
    QFETCH(bool, expected);
    const QString path = m_dir.filePath(QStringLiteral("bool.ini"));
    writeFile(path, "[settings]\n" + line + "\n");
    QCOMPARE(IniFile(path).readBool(QStringLiteral("settings"), QStringLiteral("ontop"), def),
             expected);
}

void tst_IniFile::write_data() {
    QTest::addColumn<QByteArray>("before"); // null: no file
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("new file") << QByteArray() << "settings"
                              << "ontop"
                              << "0" << QByteArray("[settings]\nontop=0\n");
    QTest::newRow("replace in place, spelling kept")
        << QByteArray("[SETTINGS]\r\nPosX = 5\r\nposy=1\r\n") << "settings"
        << "posx"
        << "-40" << QByteArray("[SETTINGS]\r\nPosX =-40\r\nposy=1\r\n");
    QTest::newRow("append key to its section") << QByteArray("[a]\nx=1\n\n[b]\ny=2\n") << "a"
                                               << "z"
                                               << "3" << QByteArray("[a]\nx=1\nz=3\n\n[b]\ny=2\n");
    QTest::newRow("append key to empty section") << QByteArray("[a]\n[b]\n") << "a"
                                                 << "z"
                                                 << "3" << QByteArray("[a]\nz=3\n[b]\n");
    QTest::newRow("append key at end of file without line end")
        << QByteArray("[a]\nx=1") << "a"
        << "z"
        << "3" << QByteArray("[a]\nx=1\nz=3\n");
    QTest::newRow("append section") << QByteArray("; c\n[b]\ny=2") << "settings"
                                    << "flat"
                                    << "1" << QByteArray("; c\n[b]\ny=2\n[settings]\nflat=1\n");
    QTest::newRow("crlf kept for new lines") << QByteArray("[b]\r\ny=2\r\n") << "a"
                                             << "x"
                                             << "1" << QByteArray("[b]\r\ny=2\r\n[a]\r\nx=1\r\n");
    QTest::newRow("bom kept") << QByteArray("\xEF\xBB\xBF[a]\nx=1\n") << "a"
                              << "x"
                              << "2" << QByteArray("\xEF\xBB\xBF[a]\nx=2\n");
    QTest::newRow("line break in value stays one line") << QByteArray("[a]\n") << "a"
                                                        << "x"
                                                        << "1\n[b]" << QByteArray("[a]\nx=1 [b]\n");
    QTest::newRow("empty file") << QByteArray("") << "a"
                                << "x"
                                << "1" << QByteArray("[a]\nx=1\n");
}

void tst_IniFile::write() {
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    const QString path = m_dir.filePath(QStringLiteral("write.ini"));
    QFile::remove(path);
    if (!before.isNull())
        writeFile(path, before);
    IniFile ini(path);
    ini.writeString(section, key, value);
    QCOMPARE(readFile(path), after);
}

void tst_IniFile::roundTripKeepsForeignBytes() {
    const QString path = m_dir.filePath(QStringLiteral("roundtrip.ini"));
    writeFile(path, "; Mirabou settings\r\n"
                    "\r\n"
                    "[Settings]\r\n"
                    "; position\r\n"
                    "PosX=1\r\n"
                    "extra = kept \r\n"
                    "\r\n"
                    "[languages]\r\n"
                    "number=3\r\n"
                    "lang001=English\r\n"
                    "lang002=Deutsch\r\n"
                    "lang003=Francais\r\n"
                    "[foreign]\r\n"
                    "ontop=9\r\n");
    IniFile ini(path);
    ini.writeBool(QStringLiteral("settings"), QStringLiteral("ontop"), true);
    ini.writeBool(QStringLiteral("settings"), QStringLiteral("flat"), false);
    ini.writeInteger(QStringLiteral("settings"), QStringLiteral("posx"), -5000);
    ini.writeInteger(QStringLiteral("settings"), QStringLiteral("posy"), 20);
    ini.writeString(QStringLiteral("settings"), QStringLiteral("language"),
                    QStringLiteral("lang003"));
    QCOMPARE(readFile(path), QByteArray("; Mirabou settings\r\n"
                                        "\r\n"
                                        "[Settings]\r\n"
                                        "; position\r\n"
                                        "PosX=-5000\r\n"
                                        "extra = kept \r\n"
                                        "ontop=1\r\n"
                                        "flat=0\r\n"
                                        "posy=20\r\n"
                                        "language=lang003\r\n"
                                        "\r\n"
                                        "[languages]\r\n"
                                        "number=3\r\n"
                                        "lang001=English\r\n"
                                        "lang002=Deutsch\r\n"
                                        "lang003=Francais\r\n"
                                        "[foreign]\r\n"
                                        "ontop=9\r\n"));
}

void tst_IniFile::readsAfterWrite() {
    const QString path = m_dir.filePath(QStringLiteral("raw.ini"));
    QFile::remove(path);
    IniFile ini(path);
    ini.writeInteger(QStringLiteral("s"), QStringLiteral("k"), 42);
    QCOMPARE(ini.readInteger(QStringLiteral("S"), QStringLiteral("K"), 0), 42);
    QCOMPARE(IniFile(path).readInteger(QStringLiteral("s"), QStringLiteral("k"), 0), 42);
}

void tst_IniFile::unwritable_data() {
    QTest::addColumn<QString>("relative");
    QTest::addColumn<QString>("why"); // as the log says it
    QTest::newRow("folder missing") << "missing/settings.ini"
                                    << "No such file or directory";
    QTest::newRow("path is a folder") << "folder.ini"
                                      << "could not be read, so it is kept";
}

void tst_IniFile::unwritable() {
    QFETCH(QString, relative);
    QFETCH(QString, why);
    QDir(m_dir.path()).mkpath(QStringLiteral("folder.ini"));
    const QString path = m_dir.filePath(relative);
    // The log says which file and why, a warning shown without any rules.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^cannot write ") +
                                                          QRegularExpression::escape(path) +
                                                          QStringLiteral(" - .*") + why));
    IniFile ini(path);
    QCOMPARE(ini.readInteger(QStringLiteral("settings"), QStringLiteral("posx"), 200), 200);
    try {
        ini.writeInteger(QStringLiteral("settings"), QStringLiteral("posx"), 1);
        QFAIL("the write did not fail");
    } catch (const files::IniWriteError& e) {
        QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("Unable to write to ") + path);
    }
}

void tst_IniFile::fullDisk_data() {
    QTest::addColumn<bool>("newFiles"); // a file can be made beside it: atomic replace
    QTest::addColumn<bool>("room");
    QTest::newRow("atomic replace, disk full") << true << false;
    QTest::newRow("in place, disk full") << false << false;
    QTest::newRow("in place, room left") << false << true;
}

void tst_IniFile::fullDisk() {
    QFETCH(bool, newFiles);
    QFETCH(bool, room);
    if (::geteuid() != 0)
        QSKIP("mounting a small file system needs root");
    // A small file system of its own: its space filled up, and its inodes
    // used up, so no file can be made beside the settings file.
    QTemporaryDir disk;
    QCOMPARE(
        QProcess::execute(QStringLiteral("mount"),
                          {"-t", "tmpfs", "-o", "size=256k,nr_inodes=64", "tmpfs", disk.path()}),
        0);
    const auto unmount =
        qScopeGuard([&disk] { QProcess::execute(QStringLiteral("umount"), {disk.path()}); });
    const QString path = disk.filePath(QStringLiteral("settings.ini"));
    const QByteArray old = "; kept\n[settings]\nposx=1\n[languages]\nnumber=2\n";
    writeFile(path, old);
    if (!room) {
        const int filler = ::open(QFile::encodeName(disk.filePath(QStringLiteral("filler"))),
                                  O_WRONLY | O_CREAT, 0600);
        QVERIFY(filler >= 0);
        const QByteArray block(4096, 'f');
        while (::write(filler, block.constData(), size_t(block.size())) > 0) {
        }
        ::close(filler);
    }
    for (int n = 0; !newFiles; ++n) {
        QFile empty(disk.filePath(QString::number(n)));
        if (!empty.open(QIODevice::WriteOnly))
            break;
    }
    const QString value(8000, QLatin1Char('x')); // more than the page the file has
    IniFile ini(path);
    try {
        ini.writeString(QStringLiteral("settings"), QStringLiteral("posx"), value);
        QVERIFY2(room, "a write to a full disk was reported as done");
        QCOMPARE(readFile(path), QByteArray(old).replace("posx=1", "posx=" + value.toLatin1()));
    } catch (const files::IniWriteError& e) {
        QVERIFY2(!room, e.what());
        QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("Unable to write to ") + path);
        QCOMPARE(readFile(path), old);
    }
}

void tst_IniFile::unreadableFileIsNeverWrittenOver() {
    if (::geteuid() == 0)
        QSKIP("permissions do not bind root (the whole-program suite covers this as another user)");
    const QString path = m_dir.filePath(QStringLiteral("locked.ini"));
    const QByteArray content = "[settings]\nposx=5\n[languages]\nnumber=7\n";
    writeFile(path, content);
    QFile::setPermissions(path, QFileDevice::WriteOwner);
    IniFile ini(path);
    QCOMPARE(ini.readInteger(QStringLiteral("settings"), QStringLiteral("posx"), 200), 200);
    QVERIFY_THROWS_EXCEPTION(files::IniWriteError, ini.writeInteger(QStringLiteral("settings"),
                                                                    QStringLiteral("posx"), 1));
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QCOMPARE(readFile(path), content);
}

void tst_IniFile::binaryAndHugeFiles() {
    const QString path = m_dir.filePath(QStringLiteral("huge.ini"));
    QByteArray garbage(8 << 20, '\0');
    QRandomGenerator rng(7);
    for (char& c : garbage)
        c = char(rng.bounded(256));
    // A real section buried in garbage, and a key with a 3000-byte value.
    garbage += "\n[settings]\nposx=" + QByteArray(3000, '7') + "\nposy=12\n";
    writeFile(path, garbage);
    IniFile ini(path);
    QCOMPARE(ini.readInteger(QStringLiteral("settings"), QStringLiteral("posy"), 0), 12);
    QCOMPARE(ini.readString(QStringLiteral("settings"), QStringLiteral("posx"), {}).size(), 2047);
    ini.writeInteger(QStringLiteral("settings"), QStringLiteral("posy"), 13);
    QByteArray expected = garbage;
    expected.replace("posy=12", "posy=13");
    QCOMPARE(readFile(path), expected);

    // A multi-byte character straddling the limit is dropped whole.
    writeFile(path, "[s]\nv=" + QByteArray(2046, 'a') + "\xc3\xa9" + "tail\n");
    const QString cut = IniFile(path).readString(QStringLiteral("s"), QStringLiteral("v"), {});
    QCOMPARE(cut, QString(2046, QLatin1Char('a')));
}

namespace {

/// What the killed writer tells the test, through a small file both map.
struct WriterState {
    std::atomic<quint32> writes;  // writes completed
    std::atomic<quint32> writing; // 1 while inside a write
    std::atomic<quint64> lastNs;  // how long the last write took
};

WriterState* mapState(const QString& path) {
    return testsupport::mapSharedState<WriterState>(path);
}

/// A settings file the writer rewrites for ever: it starts with the first
/// value, then the writer writes the second, the first, the second...
struct KillCase {
    QByteArray head;
    const char* key = nullptr;
    QString values[2];
    QList<QByteArray> whole; // what the file may be between two writes
    QByteArray file(const QByteArray& value) const { return head + value + "\n"; }
};

KillCase killCase(bool newFiles) {
    KillCase c;
    if (newFiles) { // large enough that a kill lands amid the bytes
        c.head = "; header\n[settings]\nvalue=";
        c.key = "value";
        c.values[0] = QString(300000, QLatin1Char('A'));
        c.values[1] = QString(300000, QLatin1Char('B'));
        c.whole = {c.file(c.values[0].toLatin1()), c.file(c.values[1].toLatin1())};
        return c;
    }
    // The program's own settings file, its window moved to a place of a
    // longer number and back: the file grows, and the shorter value is
    // followed by blanks, so that it does not shrink.
    c.head = "[languages]\nnumber=4\nlang001=English\nname001=English\n"
             "[settings]\nontop=0\nflat=1\nposy=200\nlanguage=lang001\nposx=";
    c.key = "posx";
    c.values[0] = QStringLiteral("7");
    c.values[1] = QStringLiteral("-12345");
    c.whole = {c.file("7"), c.file("-12345"), c.file("7     ")};
    return c;
}

} // namespace

void tst_IniFile::killedWriterLeavesWholeFile_data() {
    QTest::addColumn<bool>("newFiles"); // a file can be made beside it: atomic replace
    QTest::newRow("atomic replace") << true;
    QTest::newRow("in place, folder read-only") << false;
}

void tst_IniFile::killedWriterLeavesWholeFile() {
    QFETCH(bool, newFiles);
    // The short form by default; MIRABOU_KILL_ROUNDS asks for more (make killtest).
    const int rounds = qEnvironmentVariableIsSet("MIRABOU_KILL_ROUNDS")
                           ? qEnvironmentVariableIntValue("MIRABOU_KILL_ROUNDS")
                           : 25;
    QVERIFY(rounds > 0);
    const bool root = ::geteuid() == 0;
    // Everyone may pass through, so that the writer may run as another user.
    QTemporaryDir top;
    const QString folder = top.filePath(QStringLiteral("program"));
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(::chmod(QFile::encodeName(top.path()).constData(), 0755) == 0);
    const QString path = folder + QStringLiteral("/settings.ini");
    const QString statePath = top.filePath(QStringLiteral("state"));
    const KillCase c = killCase(newFiles);
    const QByteArray start = c.whole.front();
    writeFile(path, start);
    writeFile(statePath, QByteArray(sizeof(WriterState), '\0'));
    WriterState* state = mapState(statePath);
    QVERIFY(state);
    const auto unmap = qScopeGuard([state] { ::munmap(state, sizeof(WriterState)); });
    QStringList command = {QCoreApplication::applicationFilePath(), QStringLiteral("--writer"),
                           path, statePath,
                           newFiles ? QStringLiteral("atomic") : QStringLiteral("inplace")};
    if (!newFiles) {
        // No new file can be made in the folder, the file itself stays
        // writable. Permissions do not bind root: then the writer runs as
        // nobody, who owns the file but not the folder.
        QVERIFY(::chmod(QFile::encodeName(folder).constData(), root ? 0755 : 0555) == 0);
        if (root) {
            for (const QString& owned : {path, statePath})
                QVERIFY(::chown(QFile::encodeName(owned).constData(), 65534, 65534) == 0);
            command = QStringList{"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"} +
                      command;
        }
    }
    const auto writable =
        qScopeGuard([&folder] { ::chmod(QFile::encodeName(folder).constData(), 0755); });

    QRandomGenerator rng(11);
    int kills = 0;
    int duringWrite = 0;
    QList<int> found(c.whole.size()); // rounds that left each whole file
    int replaced = 0;                 // rounds whose file became another one (atomic replace)
    quint64 writeNs = 0;              // how long a write takes, learnt in the first round
    QElapsedTimer clock;
    clock.start();
    for (int round = 0; round < rounds; ++round) {
        writeFile(path, start);
        struct stat before {};
        QVERIFY(::stat(QFile::encodeName(path).constData(), &before) == 0);
        state->writes = 0;
        state->writing = 0;
        QProcess writer;
        writer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        writer.start(command.first(), command.mid(1));
        QVERIFY(writer.waitForStarted());
        // Killed at a random point of its first two writes.
        QElapsedTimer started;
        started.start();
        while (state->writing == 0 && state->writes == 0 && writer.state() == QProcess::Running &&
               started.elapsed() < 20000)
            QThread::usleep(50);
        QVERIFY2(state->writing != 0 || state->writes > 0, "the writer never wrote");
        while (writeNs == 0 && state->writes == 0 && started.elapsed() < 20000)
            QThread::usleep(50); // the first round learns how long a write takes
        if (writeNs == 0)
            writeNs = state->lastNs;
        QThread::usleep(quint64(rng.bounded(qint64(2 * writeNs / 1000 + 1))));
        ::kill(pid_t(writer.processId()), SIGKILL);
        QVERIFY(writer.waitForFinished());
        kills += writer.exitStatus() == QProcess::CrashExit;
        duringWrite += state->writing != 0;
        const QByteArray now = readFile(path);
        QVERIFY2(c.whole.contains(now),
                 qPrintable(QStringLiteral("round %1: %2 bytes, ending \"%3\": neither the old "
                                           "file nor the new")
                                .arg(round)
                                .arg(now.size())
                                .arg(QString::fromLatin1(now.right(12).toPercentEncoding()))));
        ++found[c.whole.indexOf(now)];
        struct stat after {};
        QVERIFY(::stat(QFile::encodeName(path).constData(), &after) == 0);
        replaced += after.st_ino != before.st_ino;
        // What a killed atomic write leaves beside the file is not the file.
        for (const QString& name : QDir(folder).entryList(QDir::Files)) {
            if (name != QLatin1String("settings.ini"))
                QFile::remove(folder + QLatin1Char('/') + name);
        }
    }
    QStringList left;
    for (const int n : found)
        left << QString::number(n);
    qInfo("%d rounds, %d kills, %d during a write, %d replaced the file, left the file as "
          "each of its contents: %s, %lld ms",
          rounds, kills, duringWrite, replaced, qPrintable(left.join(QLatin1Char('/'))),
          qint64(clock.elapsed()));
    QCOMPARE(kills, rounds);
    QVERIFY(duringWrite > rounds / 2);
    // Each path really taken: the atomic replace puts a new file in place,
    // the in-place write keeps the file it has.
    if (newFiles)
        QVERIFY(replaced > 0);
    else
        QCOMPARE(replaced, 0);
}

void tst_IniFile::errorReport_data() {
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letter") << "Cannot open clipboard"
                            << "Cannot open clipboard.";
    QTest::newRow("digit") << "Error 5"
                           << "Error 5.";
    QTest::newRow("full stop") << "Done."
                               << "Done.";
    QTest::newRow("exclamation") << "Stop!"
                                 << "Stop!";
    QTest::newRow("comma") << "a,"
                           << "a,";
    QTest::newRow("slash") << "/tmp/"
                           << "/tmp/.";
    QTest::newRow("empty") << ""
                           << "";
}

void tst_IniFile::errorReport() {
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(platform::errorReportText(message), shown);
}

/// The crash-safety test's writer: rewrites the value for ever, alternating,
/// and tells the test how far it is.
static int runWriter(const QString& path, const QString& statePath, bool newFiles) {
    WriterState* state = mapState(statePath);
    if (!state)
        return 2;
    const KillCase c = killCase(newFiles);
    IniFile ini(path);
    QElapsedTimer clock;
    for (unsigned n = 1;; ++n) {
        clock.start();
        state->writing = 1;
        ini.writeString(QStringLiteral("settings"), QLatin1String(c.key), c.values[n % 2]);
        state->writing = 0;
        state->lastNs = quint64(clock.nsecsElapsed());
        ++state->writes;
    }
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 5 && qstrcmp(argv[1], "--writer") == 0)
        return runWriter(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                         qstrcmp(argv[4], "atomic") == 0);
    tst_IniFile test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_inifile.moc"
