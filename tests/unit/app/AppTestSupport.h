#pragma once
// The app tests' environment: private user folders and trust files, one QApplication (with the
// web engine's shared contexts), and helpers to answer alerts and wait for the event loop.
#include "app/AppAlert.h"
#include "app/project/KeptBook.h"
#include "TestSupport.h"
#include "output/FlashPlayerTrust.h"
#include "util/AppSettings.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QThread>
#include <QWidget>
#include <gtest/gtest.h>
#include <functional>
#include <memory>

namespace AppTestSupport {

inline QString& homeFolder() {
    static QString home;
    return home;
}

class Environment : public ::testing::Environment {
public:
    void SetUp() override {
        homeFolder() = TestSupport::isolateUserFolders();
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
        const QByteArray runtime = QFile::encodeName(homeFolder() + QStringLiteral("/runtime"));
        QDir().mkpath(QString::fromLocal8Bit(runtime));
        QFile::setPermissions(QString::fromLocal8Bit(runtime), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime);
        FlashPlayerTrust::setTrustFolders(homeFolder() + QStringLiteral("/trust-machine"),
                                          homeFolder() + QStringLiteral("/trust-user"));
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
        static int argc = 1;
        static char name[] = "test_app";
        static char* argv[] = {name, nullptr};
        iApp = std::make_unique<QApplication>(argc, argv);
    }
    // Inside main, not among the exit handlers: the web engine's contexts need live thread data.
    void TearDown() override { iApp.reset(); }

private:
    std::unique_ptr<QApplication> iApp;
};

// Answers every alert with the button the function picks, and keeps what was asked.
class AlertAnswers {
public:
    explicit AlertAnswers(std::function<int(const AppAlert::Request&)> pick = [](const AppAlert::Request&) { return 0; }) {
        AppAlert::setResponder([this, pick](const AppAlert::Request& request) {
            asked.push_back(request);
            return pick(request);
        });
    }
    ~AlertAnswers() { AppAlert::setResponder({}); }
    std::vector<AppAlert::Request> asked;
};

// Runs the event loop until the condition holds or the time is up; answers the condition.
inline bool waitFor(const std::function<bool()>& condition, int milliseconds = 20000) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > milliseconds) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}

// With LEAFMILL_SHOTS set to a folder, saves a picture of the widget there.
inline void saveShot(QWidget* widget, const QString& name) {
    const QString folder = qEnvironmentVariable("LEAFMILL_SHOTS");
    if (folder.isEmpty()) return;
    QDir().mkpath(folder);
    widget->grab().save(folder + QLatin1Char('/') + name);
}

// A settings store as a first start leaves it, and no book kept from an earlier run.
inline AppSettings& freshSettings() {
    QDir(KeptBook::defaultFolder()).removeRecursively();
    QSettings(QStringLiteral("Quirevale"), QStringLiteral("LeafMill")).clear();
    AppSettings::resetForTesting();
    return AppSettings::shareInstance();
}

} // namespace AppTestSupport
