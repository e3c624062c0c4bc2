// Start-up of the program: the windows come into being in their fixed order with the
// single-instance guard first, the terms window is on screen before the main window, and the
// real program refuses a second copy under the same file name but not under another one.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <memory>
#include <vector>

#include "ui/About.h"
#include "ui/Info.h"
#include "ui/InstanceGuard.h"
#include "ui/MessageBox.h"
#include "ui/Startup.h"
#include "ui/TarvelinApplication.h"
#include "ui/Unit1.h"
#include "ui/Unit4.h"

using tarvelin::ui::BoxRequest;
using tarvelin::ui::MessageBox;

namespace {

// Sets an environment variable for the lifetime of the guard.
struct EnvGuard {
    QByteArray name;
    EnvGuard(const char* variable, const QString& value) : name(variable)
    {
        qputenv(variable, QFile::encodeName(value));
    }
    ~EnvGuard() { qunsetenv(name.constData()); }
};

// The program's four windows for one test; destroyed and the box handler restored however the
// test ends.
struct ProgramWindows {
    ProgramWindows() { CreateProgramWindows(); }
    ~ProgramWindows()
    {
        DestroyProgramWindows();
        MessageBox::setHandler({});
    }
};

// True while some process holds the lock name in dir.
bool lockTaken(const QString& name, const QString& dir)
{
    return !InstanceGuard::acquire(name, dir)->owned();
}

// Starts the program offscreen with its message boxes printed to stderr.
std::unique_ptr<QProcess> startProgram(const QString& program, const QString& lockDir)
{
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("TARVELIN_LOCK_DIR"), lockDir);
    environment.insert(QStringLiteral("TARVELIN_MESSAGEBOX_STDERR"), QStringLiteral("1"));
    process->setProcessEnvironment(environment);
    process->start(program, {});
    return process;
}

void stop(QProcess& process)
{
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(10000);
    }
}

}  // namespace

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void lockIsHeldUntilReleasedAndKeyedByName();
    void themeIsFoundByItsName();
    void termsWindowComesBeforeTheMainWindow();
    void secondCopyOfTheProgramIsRefused();
    // Last: a refused copy asks the application to end.
    void windowsAreCreatedInOrderWithTheGuardFirst();
};

void StartupTest::lockIsHeldUntilReleasedAndKeyedByName()
{
    QTemporaryDir dir;
    auto first = InstanceGuard::acquire(QStringLiteral("tarvelin"), dir.path());
    QVERIFY(first->owned());
    QVERIFY(!InstanceGuard::acquire(QStringLiteral("tarvelin"), dir.path())->owned());
    QVERIFY(InstanceGuard::acquire(QStringLiteral("Tarvelin"), dir.path())->owned());
    QVERIFY(InstanceGuard::acquire(QStringLiteral("tarvelin.exe"), dir.path())->owned());
    first.reset();
    QVERIFY(InstanceGuard::acquire(QStringLiteral("tarvelin"), dir.path())->owned());
    // A folder that does not exist gives no lock, and so no start.
    QVERIFY(!InstanceGuard::acquire(QStringLiteral("tarvelin"), dir.filePath("fehlt"))->owned());
}

void StartupTest::themeIsFoundByItsName()
{
    QVERIFY(!ThemeResourcePath(QStringLiteral("Aqua Light Slate")).isEmpty());
    QVERIFY(ThemeResourcePath(QStringLiteral("AquaLightSlate")).isEmpty());
    QVERIFY(ThemeResourcePath(QStringLiteral("Carbon")).isEmpty());
    const QString before = qApp->styleSheet();
    QVERIFY(!ApplyTheme(QStringLiteral("Carbon")));
    QCOMPARE(qApp->styleSheet(), before);
    QVERIFY(ApplyTheme(QStringLiteral("Aqua Light Slate")));
    QVERIFY(qApp->styleSheet().contains(QStringLiteral("QPushButton")));
}

void StartupTest::termsWindowComesBeforeTheMainWindow()
{
    QTemporaryDir lockDir;
    EnvGuard lock("TARVELIN_LOCK_DIR", lockDir.path());
    std::vector<BoxRequest> boxes;
    MessageBox::setHandler([&boxes](QWidget*, const BoxRequest& box) { boxes.push_back(box); });

    const ProgramWindows windows;
    QVERIFY(boxes.empty());
    for (QWidget* window : std::initializer_list<QWidget*>{Form1, Form4, TForm2, AboutBox}) {
        QVERIFY(window != nullptr);
        QVERIFY(!window->isVisible());
    }

    bool termsShown = false;
    bool mainOnScreen = true;
    bool termsModal = false;
    QTimer::singleShot(0, [&] {
        termsShown = Form4->isVisible();
        termsModal = Form4->isModal();
        mainOnScreen = Form1->windowHandle() != nullptr && Form1->windowHandle()->isVisible();
        Form4->BitBtn3->click();
    });
    Form1->show();
    QVERIFY(termsShown);
    QVERIFY(termsModal);
    QVERIFY(!mainOnScreen);
    QVERIFY(!Form4->isVisible());
    QVERIFY(Form1->windowHandle()->isVisible());
    QTRY_COMPARE(QApplication::focusWidget(), Form1->Button1);

    // The window stands in the middle of the desktop.
    const QRect desktop = Form1->screen()->availableGeometry();
    QVERIFY(qAbs(Form1->frameGeometry().center().x() - desktop.center().x()) <= 1);
    QVERIFY(qAbs(Form1->frameGeometry().center().y() - desktop.center().y()) <= 1);
    QVERIFY(boxes.empty());
}

void StartupTest::secondCopyOfTheProgramIsRefused()
{
    QTemporaryDir dir;
    const QString lockDir = dir.filePath(QStringLiteral("locks"));
    QVERIFY(QDir().mkpath(lockDir));
    const QString program = QStringLiteral(TARVELIN_PROGRAM);

    auto first = startProgram(program, lockDir);
    QVERIFY(first->waitForStarted(10000));
    QTRY_VERIFY_WITH_TIMEOUT(lockTaken(QStringLiteral("tarvelin"), lockDir), 20000);

    // Same file name from another folder: refused with the message, and it ends by itself.
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("anderswo"))));
    const QString sameName = dir.filePath(QStringLiteral("anderswo/tarvelin"));
    QVERIFY(QFile::copy(program, sameName));
    auto second = startProgram(sameName, lockDir);
    QVERIFY(second->waitForFinished(20000));
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    const QString said = QString::fromUtf8(second->readAllStandardError());
    QVERIFY2(said.contains(QStringLiteral("Tarvelin: Das Programm ist bereits gestartet!!")),
             qPrintable(said));
    QCOMPARE(first->state(), QProcess::Running);

    // Another file name: it takes a lock of its own and keeps running.
    const QString otherName = dir.filePath(QStringLiteral("tarvelin-kopie"));
    QVERIFY(QFile::copy(program, otherName));
    auto third = startProgram(otherName, lockDir);
    QVERIFY(third->waitForStarted(10000));
    QTRY_VERIFY_WITH_TIMEOUT(lockTaken(QStringLiteral("tarvelin-kopie"), lockDir), 20000);
    QCOMPARE(third->state(), QProcess::Running);
    QVERIFY(!QString::fromUtf8(third->readAllStandardError()).contains(QStringLiteral("bereits")));

    stop(*third);
    stop(*first);
    // The kernel releases the lock with the process, however it ended.
    QVERIFY(!lockTaken(QStringLiteral("tarvelin"), lockDir));
}

void StartupTest::windowsAreCreatedInOrderWithTheGuardFirst()
{
    QTemporaryDir lockDir;
    EnvGuard lock("TARVELIN_LOCK_DIR", lockDir.path());
    const auto held = InstanceGuard::acquire(InstanceGuard::executableName(), lockDir.path());
    QVERIFY(held->owned());

    std::vector<BoxRequest> boxes;
    bool othersExisted = true;
    MessageBox::setHandler([&](QWidget*, const BoxRequest& box) {
        boxes.push_back(box);
        othersExisted = Form4 != nullptr || TForm2 != nullptr || AboutBox != nullptr;
    });
    QVERIFY(!TarvelinApplication::endRequested());
    const ProgramWindows windows;
    MessageBox::setHandler({});

    QCOMPARE(boxes.size(), std::size_t{1});
    QCOMPARE(boxes[0].caption, QStringLiteral("Tarvelin"));
    QCOMPARE(boxes[0].text, QStringLiteral("Das Programm ist bereits gestartet!!"));
    QVERIFY(!othersExisted);
    QVERIFY(TarvelinApplication::endRequested());
    // Start-up is not cut short: all four windows exist, none is visible.
    for (QWidget* window : std::initializer_list<QWidget*>{Form1, Form4, TForm2, AboutBox}) {
        QVERIFY(window != nullptr);
        QVERIFY(!window->isVisible());
    }
}

int main(int argc, char** argv)
{
    TarvelinApplication app(argc, argv);
    LoadProgramFonts();
    ApplyTheme(QString::fromLatin1(kThemeName));
    StartupTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "StartupTest.moc"
