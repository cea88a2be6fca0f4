// The download folder for a run: command line, then environment, then the build's default.
#include "download/download_url.h"
#include "program/command_line.h"

#include <QCommandLineParser>
#include <QProcessEnvironment>
#include <QTest>

class DownloadUrlTest : public QObject
{
    Q_OBJECT

    static QString urlFrom(const QStringList &arguments, const QString &environmentValue)
    {
        QCommandLineParser commandLine;
        program::describeCommandLine(commandLine);
        if (!commandLine.parse(QStringList{"gearledger"} + arguments))
            return "parse error: " + commandLine.errorText();
        QProcessEnvironment environment;
        if (!environmentValue.isNull())
            environment.insert("GEARLEDGER_DOWNLOAD_URL", environmentValue);
        return download::downloadFolderUrlFrom(commandLine, environment);
    }

private slots:
    void theCommandLineWinsOverTheEnvironmentWhichWinsOverTheBuildDefault()
    {
        QCOMPARE(urlFrom({}, QString()), download::defaultDownloadFolderUrl());
        QCOMPARE(urlFrom({}, ""), download::defaultDownloadFolderUrl());
        QCOMPARE(urlFrom({}, "http://127.0.0.1:8123/site"), "http://127.0.0.1:8123/site/");
        QCOMPARE(urlFrom({"--download-url", "http://127.0.0.1:9000/a/"}, "http://127.0.0.1:8123/site"),
                 "http://127.0.0.1:9000/a/");
        QCOMPARE(urlFrom({"--download-url=http://127.0.0.1:9000/b"}, QString()), "http://127.0.0.1:9000/b/");
        QVERIFY(urlFrom({"--download-url"}, QString()).startsWith("parse error"));
    }
};

QTEST_GUILESS_MAIN(DownloadUrlTest)
#include "download_url_test.moc"
