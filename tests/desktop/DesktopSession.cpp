#include "desktop/DesktopSession.h"

#include <QDir>
#include <QElapsedTimer>
#include <QSettings>
#include <QThread>

#include <stdexcept>

DesktopSession::DesktopSession() {
    const QString config = home_.filePath(QStringLiteral("config"));
    QDir().mkpath(config + QStringLiteral("/KENVORA"));
    QSettings settings(config + QStringLiteral("/KENVORA/KENVORA.ini"), QSettings::IniFormat);
    settings.setValue(QStringLiteral("DAT/FILE0"), file_.folder());
    settings.sync();
    QDir().mkpath(home_.filePath(QStringLiteral("runtime")));
    QFile::setPermissions(home_.filePath(QStringLiteral("runtime")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

DesktopSession::~DesktopSession() {
    if (program_.state() != QProcess::NotRunning) {
        program_.kill();
        program_.waitForFinished(5000);
    }
}

QString DesktopSession::tool(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(KENVORA_TOOL), args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        throw std::runtime_error(("kenvora-tool failed: " + args.join(' ') + " " +
                                  QString::fromUtf8(p.readAllStandardError()))
                                     .toStdString());
    return QString::fromUtf8(p.readAllStandardOutput());
}

void DesktopSession::generate(int sets, int records) {
    tool({QStringLiteral("gen"), file_.path(), QStringLiteral("--sets"), QString::number(sets),
          QStringLiteral("--records"), QString::number(records)});
}

void DesktopSession::sql(const QString& statement) {
    tool({QStringLiteral("sql"), file_.path(), statement});
}

QString DesktopSession::output(const QString& statement) {
    return tool({QStringLiteral("sql"), file_.path(), statement});
}

std::vector<QStringList> DesktopSession::rows(const QString& statement) {
    QStringList lines = tool({QStringLiteral("sql"), file_.path(), statement})
                            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    std::vector<QStringList> result;
    for (int i = 1; i < lines.size(); ++i) result.push_back(lines[i].split(QLatin1Char('\t')));
    return result;
}

void DesktopSession::start() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("HOME"), home_.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home_.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home_.filePath(QStringLiteral("runtime")));
    program_.setProcessEnvironment(env);
    program_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program_.start(QStringLiteral(KENVORA_PROGRAM), {});
    if (!program_.waitForStarted()) throw std::runtime_error("the program did not start");
}

QString DesktopSession::xdotool(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral("xdotool"), args);
    p.waitForFinished(10000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

bool DesktopSession::waitForWindow(const QString& title, std::chrono::milliseconds timeout) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeout.count()) {
        if (!visibleWindows(title).isEmpty()) return true;
        QThread::msleep(100);
    }
    return false;
}

QStringList DesktopSession::visibleWindows(const QString& title) {
    return xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                    QStringLiteral("--name"), title})
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// The start-up window carries the main window's title too, for a moment; it is a dialog,
// the main window a normal window. A window manager reparenting the window unmaps it for a
// moment, so an empty answer is asked again.
QString DesktopSession::mainWindowId() {
    QElapsedTimer clock;
    clock.start();
    do {
        for (const QString& id : visibleWindows(QStringLiteral("^KENVORA"))) {
            QProcess xprop;
            xprop.start(QStringLiteral("xprop"),
                        {QStringLiteral("-id"), id, QStringLiteral("_NET_WM_WINDOW_TYPE")});
            xprop.waitForFinished(5000);
            if (xprop.readAllStandardOutput().contains("_NET_WM_WINDOW_TYPE_NORMAL")) return id;
        }
        QThread::msleep(100);
    } while (clock.elapsed() < 3000);
    return {};
}

bool DesktopSession::waitForMainWindow(std::chrono::milliseconds timeout) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeout.count()) {
        if (!mainWindowId().isEmpty()) return true;
    }
    return false;
}

QString DesktopSession::mainWindowTitle() {
    const QString id = mainWindowId();
    return id.isEmpty() ? QString() : xdotool({QStringLiteral("getwindowname"), id});
}

void DesktopSession::focusMainWindow() {
    const QString id = mainWindowId();
    if (id.isEmpty()) return;
    // A pointer-focus window manager (twm) gives the focus to the window under the pointer;
    // the others take it on request.
    xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), id, QStringLiteral("200"),
             QStringLiteral("5")});
    xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), id});
    QThread::msleep(300);
}

void DesktopSession::keys(const QStringList& keys) {
    for (const QString& key : keys) {
        xdotool({QStringLiteral("key"), QStringLiteral("--clearmodifiers"), key});
        QThread::msleep(250);
    }
}

bool DesktopSession::waitForExit(std::chrono::milliseconds timeout) {
    if (program_.state() != QProcess::NotRunning &&
        !program_.waitForFinished(static_cast<int>(timeout.count())))
        return false;
    return program_.exitStatus() == QProcess::NormalExit && program_.exitCode() == 0;
}

bool DesktopSession::exitByMenu() {
    using namespace std::chrono_literals;
    for (int attempt = 0; attempt < 3; ++attempt) {
        focusMainWindow();
        keys({QStringLiteral("Escape"), QStringLiteral("alt+f"), QStringLiteral("x")});
        if (waitForExit(10s)) return true;
    }
    return false;
}
