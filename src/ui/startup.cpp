#include "ui/startup.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include <cstdio>
#include <filesystem>

#include "ui/instance.h"
#include "ui/mainform.h"
#include "ui/simpaths.h"

namespace zelk {

namespace fs = std::filesystem;

namespace {

// With ZELK_ACTIVATION_LOG set, the first copy notes when it is ready and
// each activation request it has acted on; the guard's tests read it.
void NoteActivation(const char* what) {
    const QByteArray path = qgetenv("ZELK_ACTIVATION_LOG");
    if (path.isEmpty())
        return;
    QFile log(QString::fromLocal8Bit(path));
    if (log.open(QIODevice::Append | QIODevice::Text)) {
        log.write(QByteArray(what) + ' ' + QByteArray::number(QCoreApplication::applicationPid()) + '\n');
        log.flush();
    }
}

fs::path ToPath(const QString& dir) {
    return fs::path(QDir::toNativeSeparators(QDir(dir).absolutePath()).toStdU16String());
}

}  // namespace

int RunZelk(QApplication& app) {
    QApplication::setApplicationName(QStringLiteral("ORVAK ZELK"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("ORVAK ZELK - Zelkwright"));
    parser.addHelpOption();
    const QCommandLineOption rootOption(
        QStringLiteral("root"), QStringLiteral("Simulator root folder (default: the parent of the program's folder)."),
        QStringLiteral("DIR"));
    const QCommandLineOption dataOption(
        QStringLiteral("data"), QStringLiteral("Folder of orvak_zelk.rc0..rc9 (default: the current folder)."),
        QStringLiteral("DIR"));
    QCommandLineOption screenshotOption(QStringLiteral("screenshot"),
                                        QStringLiteral("Save a picture of the window to FILE and quit."),
                                        QStringLiteral("FILE"));
    screenshotOption.setFlags(QCommandLineOption::HiddenFromHelp);
    // What the picture shows: the first page ("main"), the second page
    // ("extra"), the second page with auto-generation switched on ("auto"),
    // or the set-up check's window ("doctor").
    QCommandLineOption shownOption(QStringLiteral("screenshot-of"),
                                   QStringLiteral("With --screenshot: main, extra, auto or doctor."), QStringLiteral("WHAT"),
                                   QStringLiteral("main"));
    shownOption.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(rootOption);
    parser.addOption(dataOption);
    parser.addOption(screenshotOption);
    parser.addOption(shownOption);
    if (!parser.parse(QCoreApplication::arguments())) {
        std::fprintf(stderr, "zelk: %s\n", qPrintable(parser.errorText()));
        return 2;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    const QString shown = parser.value(shownOption);
    if (shown != QLatin1String("main") && shown != QLatin1String("extra") && shown != QLatin1String("auto") &&
        shown != QLatin1String("doctor")) {
        std::fprintf(stderr, "zelk: --screenshot-of takes main, extra, auto or doctor, not %s\n", qPrintable(shown));
        return 2;
    }
    if (!parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "zelk: unexpected argument: %s\n", qPrintable(parser.positionalArguments().front()));
        return 2;
    }

    TInstanceGuard guard;
    const TInstanceCheck check = guard.CheckSingleInstance();
    if (check == TInstanceCheck::Second)
        return 0;
    if (check != TInstanceCheck::First) {
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("ORVAK ZELK"), InstanceErrorText(check), QMessageBox::Ok);
        SetRussianButtonTexts(box);
        box.exec();
        return 1;
    }

    TFormOptions options;
    options.Root = parser.isSet(rootOption)
                       ? ToPath(parser.value(rootOption))
                       : SimulatorRootOf(ToPath(QCoreApplication::applicationDirPath()));
    options.DataDir = ToPath(parser.isSet(dataOption) ? parser.value(dataOption) : QDir::currentPath());

    TZELK_form form(std::move(options));
    QObject::connect(&guard, &TInstanceGuard::ActivationRequested, &form, [&form] {
        form.BringToFront();
        NoteActivation("activated");
    });
    form.show();
    NoteActivation("ready");

    if (parser.isSet(screenshotOption)) {
        const QString file = parser.value(screenshotOption);
        QTimer::singleShot(1500, &form, [&form, file, shown] {
            if (shown != QLatin1String("main"))
                form.PageControl->setCurrentIndex(1);
            if (shown == QLatin1String("auto") && form.speedAuto->isEnabled())
                form.speedAuto->click();
            QWidget* pictured = &form;
            if (shown == QLatin1String("doctor")) {
                form.ShowDoctor();
                pictured = form.findChild<QDialog*>(QStringLiteral("DoctorDialog"));
            }
            const bool ok = pictured != nullptr && pictured->grab().save(file);
            if (!ok)
                std::fprintf(stderr, "zelk: cannot save %s\n", qPrintable(file));
            QCoreApplication::exit(ok ? 0 : 1);
        });
    }
    return app.exec();
}

}  // namespace zelk
