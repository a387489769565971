#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGenericPlugin>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QLocalSocket>
#include <QPlainTextEdit>
#include <QPointer>
#include <QQueue>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

namespace {

// Takes the test's commands, one line each with tab-separated fields, and
// acts on the program's widgets through the window system layer, the way
// the platform delivers a user's mouse and keys. Every command is answered
// before its action runs, since a click may open a modal window and block.
// "no" means the target is not there or not usable yet; the test asks again.
class Driver : public QObject
{
public:
    explicit Driver(const QString &serverName)
    {
        m_socket.connectToServer(serverName);
        if (!m_socket.waitForConnected(30000))
            qFatal("The driver could not reach the test at %s", qPrintable(serverName));
        connect(&m_socket, &QLocalSocket::readyRead, this, &Driver::readCommands);
        // The test ended the conversation: nobody is left to close the program.
        connect(&m_socket, &QLocalSocket::disconnected, qApp, [] { QCoreApplication::exit(2); });
    }

private:
    void readCommands()
    {
        while (m_socket.canReadLine())
            m_queue.enqueue(QString::fromUtf8(m_socket.readLine()).chopped(1).split(QLatin1Char('\t')));
        scheduleNext();
    }

    void scheduleNext()
    {
        if (m_queue.isEmpty() || m_scheduled || m_typing)
            return;
        m_scheduled = true;
        // Also runs from inside the nested loop of a modal window opened by the previous command.
        QTimer::singleShot(0, this, [this] {
            m_scheduled = false;
            if (m_queue.isEmpty())
                return;
            if (injecting()) {
                QTimer::singleShot(10, this, &Driver::scheduleNext);
                return;
            }
            const QStringList command = m_queue.dequeue();
            scheduleNext();
            run(command);
        });
    }

    // The events of one action all go in before the next command runs, even
    // though sending them lets the event loop turn; only a modal window the
    // action opens runs the next commands, in its own loop.
    void inject(const std::function<void()> &events)
    {
        const int outerLevel = m_injectionLevel;
        m_injectionLevel = QThread::currentThread()->loopLevel();
        events();
        m_injectionLevel = outerLevel;
    }

    bool injecting() const
    {
        return m_injectionLevel >= 0 && QThread::currentThread()->loopLevel() <= m_injectionLevel;
    }

    void reply(const QString &status, const QString &detail = QString())
    {
        m_socket.write((status + QLatin1Char('\t') + QString(detail).replace(QLatin1Char('\n'), QLatin1Char('\r')))
                           .toUtf8() + '\n');
        m_socket.flush();
    }

    void run(const QStringList &command)
    {
        const QString verb = command.value(0);
        QString problem;
        QWidget *target = find(command.value(1), problem);
        if (target && verb != QLatin1String("text"))
            problem = whyNotUsable(target, verb);
        if (!problem.isEmpty()) {
            reply(QStringLiteral("no"), problem);
            return;
        }
        if (verb == QLatin1String("text")) {
            reply(QStringLiteral("ok"), textOf(target));
        } else if (verb == QLatin1String("click") || verb == QLatin1String("dclick")) {
            QPoint point = target->rect().center();
            // A position may give x alone (y < 0): a field is clicked at its start.
            if (command.size() >= 4) {
                point.setX(command.at(2).toInt());
                if (command.at(3).toInt() >= 0)
                    point.setY(command.at(3).toInt());
            }
            problem = whyNotReachable(target, point);
            if (!problem.isEmpty())
                return reply(QStringLiteral("no"), problem);
            reply(QStringLiteral("ok"));
            inject([&] { mouse(target, point, verb == QLatin1String("dclick")); });
        } else if (verb == QLatin1String("dclickrow")) {
            auto *view = qobject_cast<QAbstractItemView *>(target);
            const QModelIndex index = view && view->model() ? view->model()->index(command.value(2).toInt(), 0) : QModelIndex();
            if (!index.isValid())
                return reply(QStringLiteral("no"), QStringLiteral("no such row"));
            reply(QStringLiteral("ok"));
            inject([&] { mouse(view->viewport(), view->visualRect(index).center(), true); });
        } else if (verb == QLatin1String("keys")) {
            reply(QStringLiteral("ok"));
            typeText(target, command.value(2));
        } else if (verb == QLatin1String("key")) {
            const QKeySequence sequence(command.value(2));
            if (sequence.count() != 1)
                return reply(QStringLiteral("no"), QStringLiteral("not one key: ") + command.value(2));
            reply(QStringLiteral("ok"));
            inject([&] { QTest::keyClick(handle(target), sequence[0].key(), sequence[0].keyboardModifiers()); });
        } else {
            reply(QStringLiteral("no"), QStringLiteral("unknown command ") + verb);
        }
    }

    // A key per turn of the event loop, as a person types: what a key sets
    // off (completions, lists, field updates) runs before the next one.
    void typeText(QWidget *target, const QString &text)
    {
        m_typing = true;
        typeNext(QPointer<QWindow>(handle(target)), text);
    }

    void typeNext(const QPointer<QWindow> &window, const QString &text)
    {
        if (!window || text.isEmpty()) {
            m_typing = false;
            scheduleNext();
            return;
        }
        QTimer::singleShot(0, this, [this, window, text] {
            if (window) {
                const QChar c = text.front();
                inject([&] { QTest::sendKeyEvent(QTest::Click, window, Qt::Key(c.toUpper().unicode()), QString(c), Qt::NoModifier); });
            }
            typeNext(window, text.mid(1));
        });
    }

    static QString nameOf(const QObject *object)
    {
        return object->objectName().isEmpty() ? QString::fromLatin1(object->metaObject()->className())
                                              : object->objectName();
    }

    // "Window/Control": a visible top-level window by object name (or class,
    // for Qt's own dialogs), then a control of it, or an action's button.
    static QWidget *find(const QString &path, QString &problem)
    {
        const QString windowName = path.section(QLatin1Char('/'), 0, 0);
        const QString controlName = path.section(QLatin1Char('/'), 1);
        QWidget *window = nullptr;
        for (QWidget *candidate : QApplication::topLevelWidgets()) {
            if (candidate->isVisible() && nameOf(candidate) == windowName)
                window = candidate;
        }
        if (!window) {
            problem = QStringLiteral("window %1 is not showing").arg(windowName);
            return nullptr;
        }
        if (controlName.isEmpty())
            return window;
        for (QWidget *control : window->findChildren<QWidget *>(controlName)) {
            if (control->isVisible())
                return control;
        }
        if (const auto *action = window->findChild<QAction *>(controlName)) {
            for (QObject *object : action->associatedObjects()) {
                auto *button = qobject_cast<QToolButton *>(object);
                if (button && button->isVisible())
                    return button;
            }
        }
        problem = QStringLiteral("%1 shows no %2").arg(windowName, controlName);
        return nullptr;
    }

    static QString whyNotUsable(QWidget *target, const QString &verb)
    {
        if (!target->isEnabled())
            return QStringLiteral("%1 is disabled").arg(nameOf(target));
        const QWidget *modal = QApplication::activeModalWidget();
        if (modal && target->window() != modal)
            return QStringLiteral("%1 is behind the modal window %2").arg(nameOf(target), nameOf(modal));
        const bool typing = verb == QLatin1String("keys") || verb == QLatin1String("key");
        if (typing && target->window()->focusWidget() != target && target->focusProxy() != target->window()->focusWidget())
            return QStringLiteral("%1 does not have the focus").arg(nameOf(target));
        return {};
    }

    static QString whyNotReachable(QWidget *target, const QPoint &point)
    {
        QWidget *window = target->window();
        QWidget *hit = window->childAt(target->mapTo(window, point));
        if (window != target && hit != target && !target->isAncestorOf(hit))
            return QStringLiteral("%1 is covered by %2").arg(nameOf(target), hit ? nameOf(hit) : QStringLiteral("nothing"));
        return {};
    }

    static QWindow *handle(QWidget *target) { return target->window()->windowHandle(); }

    static void mouse(QWidget *target, const QPoint &point, bool twice)
    {
        const QPoint inWindow = target->mapTo(target->window(), point);
        if (twice)
            QTest::mouseDClick(handle(target), Qt::LeftButton, Qt::NoModifier, inWindow);
        else
            QTest::mouseClick(handle(target), Qt::LeftButton, Qt::NoModifier, inWindow);
    }

    static QString textOf(QWidget *target)
    {
        if (auto *edit = qobject_cast<QLineEdit *>(target))
            return edit->text();
        if (auto *spin = qobject_cast<QAbstractSpinBox *>(target))
            return spin->text();
        if (auto *combo = qobject_cast<QComboBox *>(target))
            return combo->currentText();
        if (auto *label = qobject_cast<QLabel *>(target))
            return label->text();
        if (auto *button = qobject_cast<QAbstractButton *>(target))
            return button->text();
        if (auto *plain = qobject_cast<QPlainTextEdit *>(target))
            return plain->toPlainText();
        return target->windowTitle();
    }

    QLocalSocket m_socket;
    QQueue<QStringList> m_queue;
    bool m_scheduled = false;
    bool m_typing = false;
    int m_injectionLevel = -1;
};

} // namespace

class DriverPlugin : public QGenericPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "driver.json")
public:
    QObject *create(const QString &key, const QString &serverName) override
    {
        return key == QLatin1String("quindelodriver") ? new Driver(serverName) : nullptr;
    }
};

#include "DriverPlugin.moc"
