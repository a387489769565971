#pragma once

#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QStringList>

// Starts the built program with the driver plugin loaded into it and acts on
// its controls, named "Window/Control", as a user would. An action waits
// until its control is showing, enabled and not behind another modal window.
class ProgramDriver
{
public:
    ~ProgramDriver();

    // A Brazilian user's session on a 1366 x 768 screen, with the driver on
    // the plugin path; the screen's description is written into `home`.
    static QProcessEnvironment desktop(const QString &home, const QString &pluginFolder);

    bool start(const QString &program, const QString &workingFolder, const QProcessEnvironment &environment);
    bool click(const QString &path);
    bool clickAt(const QString &path, int x, int y);
    bool doubleClick(const QString &path);
    bool doubleClickAt(const QString &path, int x, int y);
    bool doubleClickRow(const QString &path, int row);
    // Clicks into the field, selects what it holds and types over it.
    bool type(const QString &path, const QString &text);
    // Types into the control that has the focus, without clicking it first.
    bool keys(const QString &path, const QString &text);
    // A key as QKeySequence names it: "Tab", "Return", "Ctrl+A".
    bool press(const QString &path, const QString &key);
    // Waits until the control shows the text.
    bool waitForText(const QString &path, const QString &text);
    QString text(const QString &path);
    bool waitForExit(int &exitCode);

    QString lastError() const { return m_error; }

private:
    bool act(const QStringList &command);
    // One exchange; false when the program is gone.
    bool ask(const QStringList &command, QString &status, QString &detail);

    QProcess m_process;
    QLocalServer m_server;
    QLocalSocket *m_socket = nullptr;
    QString m_error;
};
