#include "ui/startup.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include <cstdio>
#include <filesystem>

#include "monitor/language.h"
#include "monitor/rememberedroot.h"
#include "files/simroot.h"
#include "ui/drawings.h"
#include "ui/instance.h"
#include "ui/mainform.h"
#include "ui/simpaths.h"
#include "zelk_version.h"

namespace zelk {

namespace fs = std::filesystem;

namespace {

// The context of the start-up's texts for the translation.
struct TStartup {
    Q_DECLARE_TR_FUNCTIONS(TStartup)
};

// With ZELK_ACTIVATION_LOG set, the first copy notes when it is ready and
// each activation request it has acted on; the guard's tests read it.
void NoteActivation(const char* what) {
    const QByteArray path = qgetenv("ZELK_ACTIVATION_LOG");
    if (path.isEmpty()) return;
    QFile log(QString::fromLocal8Bit(path));
    if (log.open(QIODevice::Append | QIODevice::Text)) {
        log.write(QByteArray(what) + ' ' + QByteArray::number(QCoreApplication::applicationPid()) + '\n');
        log.flush();
    }
}

fs::path ToPath(const QString& dir) {
    return fs::path(QDir::toNativeSeparators(QDir(dir).absolutePath()).toStdU16String());
}

// The program's options; parsed once before the application object exists
// (--help, --version) and again in RunZelk.
struct TZelkOptions {
    QCommandLineParser Parser;
    QCommandLineOption Version{{QStringLiteral("v"), QStringLiteral("version")},
                               QStringLiteral("Displays version information.")};
    QCommandLineOption Root{
        QStringLiteral("root"),
        QStringLiteral("Simulator root folder (default: ZELK_ROOT, else the parent of the program's "
                       "folder when it holds the simulator, else the folder chosen once in the "
                       "window)."),
        QStringLiteral("DIR")};
    QCommandLineOption Data{QStringLiteral("data"),
                            QStringLiteral("Folder of orvak_zelk.rc0..rc9 (default: the current folder)."),
                            QStringLiteral("DIR")};
    QCommandLineOption Screenshot{QStringLiteral("screenshot"),
                                  QStringLiteral("Save a picture of the window to FILE and quit."),
                                  QStringLiteral("FILE")};
    // What the picture shows: the first page ("main"), the second page
    // ("extra"), the second page with auto-generation switched on ("auto"),
    // the set-up check ("doctor"), or the first mission's route drawn large ("route").
    QCommandLineOption Lang{QStringLiteral("lang"),
                            QStringLiteral("Language of the window: ru or en (default: the system's language, else "
                                           "Russian)."),
                            QStringLiteral("LANG")};
    QCommandLineOption Shown{QStringLiteral("screenshot-of"),
                             QStringLiteral("With --screenshot: main, extra, auto, doctor or route."),
                             QStringLiteral("WHAT"), QStringLiteral("main")};

    TZelkOptions() {
        Parser.setApplicationDescription(QStringLiteral("ORVAK ZELK - Zelkwright " ZELK_VERSION));
        // "-reverse" and the like are Qt's options, not letters of ours.
        Parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        Parser.addHelpOption();
        Screenshot.setFlags(QCommandLineOption::HiddenFromHelp);
        Shown.setFlags(QCommandLineOption::HiddenFromHelp);
        Parser.addOptions({Version, Root, Data, Lang, Screenshot, Shown});
    }
};

// The simulator's folder, asked once when no simulator was found; empty when
// the pilot declines.
fs::path AskSimulatorRoot(const fs::path& tried) {
    QMessageBox intro(QMessageBox::Information, QStringLiteral("ORVAK ZELK"),
                      TStartup::tr("Авиасимулятор ORVAK не найден в папке «%1»: нет ни conf.ini, ни orvaksim.exe. "
                                   "Укажите папку, в которой он установлен; ZELK запомнит ее.")
                          .arg(QDir::toNativeSeparators(QString::fromStdU16String(tried.u16string()))),
                      QMessageBox::Ok);
    intro.exec();
    QString start = QDir::homePath();
    for (;;) {
        const QString dir =
            QFileDialog::getExistingDirectory(nullptr, TStartup::tr("Папка авиасимулятора ORVAK"), start);
        if (dir.isEmpty()) return {};
        const fs::path chosen = ToPath(dir);
        if (HoldsSimulator(chosen)) return chosen;
        QMessageBox box(QMessageBox::Warning, QStringLiteral("ORVAK ZELK"),
                        TStartup::tr("В папке «%1» нет авиасимулятора: нет ни conf.ini, ни orvaksim.exe.")
                            .arg(QDir::toNativeSeparators(dir)),
                        QMessageBox::NoButton);
        QPushButton* again = box.addButton(TStartup::tr("Выбрать другую"), QMessageBox::AcceptRole);
        box.addButton(TStartup::tr("Работать с этой папкой"), QMessageBox::RejectRole);
        box.exec();
        if (box.clickedButton() != again) return chosen;
        start = dir;
    }
}

// --root, ZELK_ROOT, the program folder's parent, the remembered folder; and
// when none holds a simulator, the pilot is asked (not while taking a
// screenshot, which must not wait for anyone).
fs::path SimulatorRoot(const TZelkOptions& o, bool mayAsk) {
    TRootInputs in;
    if (o.Parser.isSet(o.Root)) in.Option = ToPath(o.Parser.value(o.Root));
    if (const auto env = RootFromEnvironment()) in.Environment = ToPath(QString::fromStdU16String(env->u16string()));
    in.ProgramDefault = SimulatorRootOf(ToPath(QCoreApplication::applicationDirPath()));
    in.Remembered = RememberedRoot();
    const TRootChoice choice = ChooseRoot(in);
    if (choice.Source != TRootSource::NotFound || !mayAsk) return choice.Root;
    const fs::path asked = AskSimulatorRoot(choice.Root);
    if (asked.empty()) return choice.Root;
    if (HoldsSimulator(asked) && !RememberRoot(asked)) {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("ORVAK ZELK"),
                        TStartup::tr("Не удалось запомнить папку авиасимулятора: при следующем запуске ZELK "
                                     "спросит ее снова."),
                        QMessageBox::Ok);
        box.exec();
    }
    return asked;
}

}  // namespace

std::optional<int> AnswerWithoutWindow(int argc, char** argv) {
    TZelkOptions o;
    QStringList args;
    for (int i = 0; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    // Errors are left to RunZelk: Qt's own options are unknown here.
    o.Parser.parse(args);
    if (o.Parser.isSet(QStringLiteral("help")) || o.Parser.isSet(QStringLiteral("help-all"))) {
        // Without an application object the parser does not know our name.
        std::fputs(qPrintable(o.Parser.helpText().replace(QStringLiteral("<executable_name>"), QStringLiteral("zelk"))),
                   stdout);
        return 0;
    }
    if (o.Parser.isSet(o.Version)) {
        std::fputs("zelk " ZELK_VERSION "\n", stdout);
        return 0;
    }
    return std::nullopt;
}

int RunZelk(QApplication& app) {
    QApplication::setApplicationName(QStringLiteral("ORVAK ZELK"));
    QApplication::setApplicationVersion(QStringLiteral(ZELK_VERSION));
    // Matches the installed menu entry, so desktops show its icon and name.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.zelk.Zelk"));
    QApplication::setWindowIcon(DrawAppIcon());

    TZelkOptions o;
    QCommandLineParser& parser = o.Parser;
    const QCommandLineOption& dataOption = o.Data;
    const QCommandLineOption& screenshotOption = o.Screenshot;
    const QCommandLineOption& shownOption = o.Shown;
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
        shown != QLatin1String("doctor") && shown != QLatin1String("route")) {
        std::fprintf(stderr, "zelk: --screenshot-of takes main, extra, auto, doctor or route, not %s\n",
                     qPrintable(shown));
        return 2;
    }
    TLanguage language = SystemLanguage();
    if (parser.isSet(o.Lang)) {
        const std::optional<TLanguage> chosen = LanguageFromName(parser.value(o.Lang).toStdString());
        if (!chosen) {
            std::fprintf(stderr, "zelk: --lang takes ru or en, not %s\n", qPrintable(parser.value(o.Lang)));
            return 2;
        }
        language = *chosen;
    }
    if (!UseLanguage(language))
        std::fputs("zelk: the English texts cannot be loaded; the window stays in Russian\n", stderr);
    if (!parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "zelk: unexpected argument: %s\n", qPrintable(parser.positionalArguments().front()));
        return 2;
    }

    TInstanceGuard guard;
    const TInstanceCheck check = guard.CheckSingleInstance();
    if (check == TInstanceCheck::Second) return 0;
    if (check != TInstanceCheck::First) {
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("ORVAK ZELK"), InstanceErrorText(check), QMessageBox::Ok);
        SetRussianButtonTexts(box);
        box.exec();
        return 1;
    }

    TFormOptions options;
    options.Root = SimulatorRoot(o, !parser.isSet(screenshotOption));
    options.DataDir = ToPath(parser.isSet(dataOption) ? parser.value(dataOption) : QDir::currentPath());

    // Reading a large library at the window's creation shows its progress
    // and takes requests meanwhile: a later copy asking then is answered
    // once the window is up.
    bool askedEarly = false;
    const QMetaObject::Connection early =
        QObject::connect(&guard, &TInstanceGuard::ActivationRequested, [&askedEarly] { askedEarly = true; });
    TZELK_form form(std::move(options));
    QObject::disconnect(early);
    QObject::connect(&guard, &TInstanceGuard::ActivationRequested, &form, [&form] {
        form.BringToFront();
        NoteActivation("activated");
    });
    form.show();
    NoteActivation("ready");
    if (askedEarly) {
        form.BringToFront();
        NoteActivation("activated");
    }

    if (parser.isSet(screenshotOption)) {
        const QString file = parser.value(screenshotOption);
        QTimer::singleShot(1500, &form, [&form, file, shown] {
            if (shown != QLatin1String("main") && shown != QLatin1String("route")) form.ShowPage(1);
            if (shown == QLatin1String("auto")) form.ClickAutoGeneration();
            QWidget* pictured = &form;
            if (shown == QLatin1String("doctor")) {
                form.ShowDoctor();
                pictured = form.findChild<QDialog*>(QStringLiteral("DoctorDialog"));
            }
            if (shown == QLatin1String("route")) {
                form.ToggleRoutePreview();
                form.OpenRouteWindow();
                pictured = form.findChild<QDialog*>(QStringLiteral("RouteWindow"));
            }
            const bool ok = pictured != nullptr && pictured->grab().save(file);
            if (!ok) std::fprintf(stderr, "zelk: cannot save %s\n", qPrintable(file));
            QCoreApplication::exit(ok ? 0 : 1);
        });
    }
    return app.exec();
}

}  // namespace zelk
