#include "FirebirdTools.h"

#include <QProcess>
#include <QTemporaryFile>

namespace {

// The output, errors merged in, and the exit code.
std::pair<QString, int> runTool(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, QStringList{QStringLiteral("-user"), QStringLiteral("sysdba"), QStringLiteral("-password"),
                                       QStringLiteral("tarvolimb")} + arguments);
    if (!process.waitForFinished(120000))
        qFatal("%s did not finish: %s", qPrintable(program), qPrintable(process.errorString()));
    return {QString::fromUtf8(process.readAll()), process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1};
}

} // namespace

QString isql(const QString &database, const QByteArray &script)
{
    // From a file rather than the standard input: isql then prints no prompts.
    QTemporaryFile input;
    if (!input.open())
        qFatal("No temporary file for isql-fb");
    input.write(script);
    input.close();
    return runTool(QStringLiteral("isql-fb"), {QStringLiteral("-q"), QStringLiteral("-ch"), QStringLiteral("UTF8"),
                                               QStringLiteral("-i"), input.fileName(), database})
        .first;
}

QString gbakRestore(const QString &backupFile, const QString &database)
{
    const auto [output, exitCode] = runTool(QStringLiteral("gbak"), {QStringLiteral("-c"), backupFile, database});
    return exitCode == 0 ? QString() : output;
}
