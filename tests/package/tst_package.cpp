#include <QDir>
#include <QDirIterator>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// Builds the Debian package with CPack, unpacks it with dpkg-deb into a temporary root and checks
// it as Debian's tools and a user would: the files' places, the validators and lintian, and the
// unpacked program itself, started offscreen against temporary homes with the answering plugin
// (AnswerPlugin.cpp) in the user's place.
class TestPackage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void filesLieWhereTheDesktopLooks();
    void dependsOnItsLibrariesPluginsAndFonts();
    void desktopEntryAndMetadataValidate();
    void lintianFindsNoError();
    void helpAndVersionNeedNoDisplay();
    void firstStartOffersTheDataFolderAndSecondOpensIt();
    void databaseOptionOpensTheChosenFile();

private:
    struct Run
    {
        int exitCode = -1;
        QStringList lines;
        QString errors;
    };
    Run run(const QString& program, const QStringList& arguments, const QProcessEnvironment& environment);
    Run runProgram(const QString& home, const QStringList& arguments, const QString& answers = {});
    QString helpLine() const;
    QString dataFolder(const QString& home) const;

    QTemporaryDir m_work;
    QString m_deb;
    QString m_root;
};

TestPackage::Run TestPackage::run(const QString& program, const QStringList& arguments,
                                  const QProcessEnvironment& environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForStarted())
        return {-1, {}, program + QStringLiteral(": ") + process.errorString()};
    process.closeWriteChannel();
    if (!process.waitForFinished(240000))
        return {-1, {}, program + QStringLiteral(" did not finish")};
    Run result;
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.lines = QString::fromUtf8(process.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    result.errors = QString::fromUtf8(process.readAllStandardError());
    return result;
}

TestPackage::Run TestPackage::runProgram(const QString& home, const QStringList& arguments, const QString& answers)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "QT_QPA_GENERIC_PLUGINS"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("QT_PLUGIN_PATH"), QStringLiteral(VORNADEL_TEST_PLUGINS));
    environment.insert(QStringLiteral("QT_QPA_GENERIC_PLUGINS"), QStringLiteral("vornadelanswers"));
    environment.insert(QStringLiteral("VORNADEL_TEST_ANSWERS"), answers);
    QDir().mkpath(home);
    return run(m_root + QStringLiteral("/usr/bin/vornadel"), arguments, environment);
}

QString TestPackage::helpLine() const
{
    return QStringLiteral("help: %1/usr/share/vornadel/help/Help.htm (Vornadel Lite help)").arg(m_root);
}

QString TestPackage::dataFolder(const QString& home) const
{
    return home + QStringLiteral("/.local/share/Vornadel");
}

void TestPackage::initTestCase()
{
    QVERIFY(m_work.isValid());
    const Run cpack = run(QStringLiteral(VORNADEL_CPACK),
                          {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("--config"),
                           QStringLiteral(VORNADEL_BUILD_DIR "/CPackConfig.cmake"), QStringLiteral("-B"),
                           m_work.filePath(QStringLiteral("out"))},
                          QProcessEnvironment::systemEnvironment());
    QVERIFY2(cpack.exitCode == 0, qPrintable(cpack.lines.join(u'\n') + cpack.errors));
    const QStringList debs = QDir(m_work.filePath(QStringLiteral("out"))).entryList({QStringLiteral("*.deb")});
    QCOMPARE(debs.size(), 1);
    m_deb = m_work.filePath(QStringLiteral("out/") + debs.constFirst());
    const Run architecture = run(QStringLiteral("dpkg"), {QStringLiteral("--print-architecture")},
                                 QProcessEnvironment::systemEnvironment());
    QCOMPARE(debs.constFirst(), QStringLiteral("vornadel_1.0_%1.deb").arg(architecture.lines.value(0)));

    m_root = m_work.filePath(QStringLiteral("root"));
    const Run unpack = run(QStringLiteral("dpkg-deb"), {QStringLiteral("-x"), m_deb, m_root},
                           QProcessEnvironment::systemEnvironment());
    QVERIFY2(unpack.exitCode == 0, qPrintable(unpack.errors));
}

void TestPackage::filesLieWhereTheDesktopLooks()
{
    QCOMPARE(QDir(m_root).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{QStringLiteral("usr")});
    for (const char* program : {"usr/bin/vornadel", "usr/bin/vornadel-mkdb"})
        QVERIFY2(QFileInfo(m_root + u'/' + QLatin1String(program)).isExecutable(), program);
    for (const char* file : {"usr/share/vornadel/help/Help.htm", "usr/share/vornadel/help/pictures/companies.png",
                             "usr/share/applications/com.example.Vornadel.desktop",
                             "usr/share/metainfo/com.example.Vornadel.metainfo.xml",
                             "usr/share/icons/hicolor/scalable/apps/vornadel.svg", "usr/share/man/man1/vornadel.1.gz",
                             "usr/share/man/man1/vornadel-mkdb.1.gz", "usr/share/doc/vornadel/copyright",
                             "usr/share/doc/vornadel/changelog.gz"})
        QVERIFY2(QFileInfo(m_root + u'/' + QLatin1String(file)).isFile(), file);
    for (int size : {16, 32, 48, 64, 128, 256}) {
        const QString icon = QStringLiteral("%1/usr/share/icons/hicolor/%2x%2/apps/vornadel.png").arg(m_root).arg(size);
        QCOMPARE(QImageReader(icon).size(), QSize(size, size));
    }
    // The plain program's build-folder files stay out of the package.
    QDirIterator all(m_root, QDir::Files, QDirIterator::Subdirectories);
    while (all.hasNext()) {
        const QString file = all.next();
        QVERIFY2(!file.endsWith(QStringLiteral(".mdb")), qPrintable(file));
    }
}

void TestPackage::dependsOnItsLibrariesPluginsAndFonts()
{
    const Run fields = run(QStringLiteral("dpkg-deb"), {QStringLiteral("-f"), m_deb, QStringLiteral("Depends")},
                           QProcessEnvironment::systemEnvironment());
    const QString depends = fields.lines.join(u' ');
    for (const char* package : {"libqt6widgets6", "libqt6printsupport6", "libsqlcipher0", "libc6", "qt6-qpa-plugins",
                                "fonts-liberation2", "fonts-dejavu-core", "fonts-noto-cjk", "fonts-symbola"})
        QVERIFY2(depends.contains(QLatin1String(package)), qPrintable(depends));
}

void TestPackage::desktopEntryAndMetadataValidate()
{
    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const QString entry = m_root + QStringLiteral("/usr/share/applications/com.example.Vornadel.desktop");
    const Run desktop = run(QStringLiteral("desktop-file-validate"), {entry}, environment);
    QVERIFY2(desktop.exitCode == 0 && desktop.lines.isEmpty(), qPrintable(desktop.lines.join(u'\n') + desktop.errors));
    const Run metadata = run(QStringLiteral("appstreamcli"),
                             {QStringLiteral("validate"), QStringLiteral("--no-net"),
                              m_root + QStringLiteral("/usr/share/metainfo/com.example.Vornadel.metainfo.xml")},
                             environment);
    QVERIFY2(metadata.exitCode == 0, qPrintable(metadata.lines.join(u'\n') + metadata.errors));
}

void TestPackage::lintianFindsNoError()
{
    const Run lintian = run(QStringLiteral("lintian"), {QStringLiteral("--fail-on"), QStringLiteral("error"), m_deb},
                            QProcessEnvironment::systemEnvironment());
    // What stays is shown in the test's log; the README says why each warning stays.
    for (const QString& line : lintian.lines)
        qInfo("%s", qPrintable(line));
    QVERIFY2(lintian.exitCode == 0, qPrintable(lintian.errors));
    QCOMPARE(lintian.lines.filter(QRegularExpression(QStringLiteral("^E: "))), QStringList());
}

void TestPackage::helpAndVersionNeedNoDisplay()
{
    // No display at all: an application object would end the program at once.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("HOME"), m_work.filePath(QStringLiteral("no-home")));
    const QString program = m_root + QStringLiteral("/usr/bin/vornadel");

    const Run version = run(program, {QStringLiteral("--version")}, environment);
    QCOMPARE(version.exitCode, 0);
    QCOMPARE(version.lines, QStringList{QStringLiteral("Vornadel Lite 1.0")});
    const Run help = run(program, {QStringLiteral("--help")}, environment);
    QCOMPARE(help.exitCode, 0);
    QCOMPARE(help.lines.value(0), QStringLiteral("Usage: vornadel [options]"));
    QVERIFY2(help.lines.join(u'\n').contains(QStringLiteral("--database <FILE>")), qPrintable(help.lines.join(u'\n')));
    QVERIFY(!QFileInfo::exists(m_work.filePath(QStringLiteral("no-home"))));

    const Run wrong = runProgram(m_work.filePath(QStringLiteral("home-wrong")), {QStringLiteral("--datbase")});
    QCOMPARE(wrong.exitCode, 1);
    QVERIFY2(wrong.errors.contains(QStringLiteral("Unknown option 'datbase'")), qPrintable(wrong.errors));
    QCOMPARE(wrong.lines, QStringList());
}

void TestPackage::firstStartOffersTheDataFolderAndSecondOpensIt()
{
    const QString home = m_work.filePath(QStringLiteral("home"));
    const QString database = dataFolder(home) + QStringLiteral("/Vornadel.mdb");

    const Run quit = runProgram(home, {}, QStringLiteral("Quit"));
    QCOMPARE(quit.exitCode, 0);
    QCOMPARE(quit.lines.size(), 1);
    QVERIFY(!QFileInfo::exists(dataFolder(home)));

    const Run first = runProgram(home, {}, QStringLiteral("New Empty Database"));
    QVERIFY2(first.exitCode == 0, qPrintable(first.errors));
    QCOMPARE(first.lines.size(), 3);
    QVERIFY2(first.lines[0].startsWith(QStringLiteral("box: Confirm: Welcome to Vornadel Lite.")),
             qPrintable(first.lines[0]));
    QVERIFY2(first.lines[0].contains(database), qPrintable(first.lines[0]));
    QCOMPARE(first.lines.mid(1), (QStringList{QStringLiteral("window: Vornadel Lite"), helpLine()}));
    // Beside the database, the folder of its daily copies.
    QCOMPARE(QDir(dataFolder(home)).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             (QStringList{QStringLiteral("Backups"), QStringLiteral("Vornadel.mdb")}));

    const Run second = runProgram(home, {});
    QVERIFY2(second.exitCode == 0, qPrintable(second.errors));
    QCOMPARE(second.lines, (QStringList{QStringLiteral("window: Vornadel Lite"), helpLine()}));
}

void TestPackage::databaseOptionOpensTheChosenFile()
{
    const QString other = m_work.filePath(QStringLiteral("old sales/Vornadel 2025.mdb"));
    QVERIFY(QDir().mkpath(QFileInfo(other).path()));
    const Run made = run(m_root + QStringLiteral("/usr/bin/vornadel-mkdb"), {QStringLiteral("--demo"), other},
                         QProcessEnvironment::systemEnvironment());
    QVERIFY2(made.exitCode == 0, qPrintable(made.errors));

    // A home without a database: the offer would show if the program looked there.
    const QString home = m_work.filePath(QStringLiteral("home-chosen"));
    const Run chosen = runProgram(home, {QStringLiteral("--database"), other});
    QVERIFY2(chosen.exitCode == 0, qPrintable(chosen.errors));
    QCOMPARE(chosen.lines, (QStringList{QStringLiteral("window: Vornadel Lite"), helpLine()}));

    const QString missing = m_work.filePath(QStringLiteral("old sales/missing.mdb"));
    const Run failed = runProgram(home, {QStringLiteral("--database"), missing});
    QCOMPARE(failed.exitCode, 1);
    QCOMPARE(failed.lines, QStringList{QStringLiteral("box: Error: Could not find file '%1'.").arg(missing)});
    QVERIFY(!QFileInfo::exists(missing));
    QVERIFY(!QFileInfo::exists(dataFolder(home)));
}

QTEST_GUILESS_MAIN(TestPackage)
#include "tst_package.moc"
