// The start button and the auto-generation mode, on a temporary simulator
// folder with a real event log, real change notifications and, at the end,
// the simulator stand-in flying a mission.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QTextBrowser>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

#include "data/codepage.h"
#include "library/commands.h"
#include "monitor/autosupervisor.h"
#include "monitor/logmonitor.h"
#include "support/tempdir.h"
#include "doctor/doctor.h"
#include "ui/doctordialog.h"
#include "ui/mainform.h"
#include "ui/spinedit.h"
#include "asked.h"
#include "controls.h"
#include "uidata.h"

using namespace zelk;
using zelk::test::On;
using zelk::test::ReadFileBytes;
using zelk::test::TAsked;
using zelk::test::TUiSandbox;
namespace fs = std::filesystem;

namespace {

// Records the window's messages and answers them with OK; `During` runs
// while a message is "open", as the pilot would take time to read it.
struct TAskRecorder {
    std::vector<TAsked> Asked;
    std::function<void()> During;
    QMessageBox::StandardButton ConfirmAnswer = QMessageBox::No;

    QMessageBox::StandardButton QueryAnswer = QMessageBox::Cancel;

    TAskFunc Func() {
        return [this](QWidget*, TAskKind kind, const QString& caption, const QString& text) {
            Asked.push_back({kind, caption, text});
            if (During) During();
            if (kind == TAskKind::Query) return QueryAnswer;
            return kind == TAskKind::Confirm ? ConfirmAnswer : QMessageBox::Ok;
        };
    }
};

const QString kProblem = QStringLiteral("Проблема");
const char kLogName[] = "eventlog.lst";

void WriteConf(const TUiSandbox& box, bool keep) {
    zelk::test::WriteFileBytes(box.Root / "conf.ini", std::string("[game]\r\neventlog=") + kLogName +
                                                          "\r\neventlogkeep=" + (keep ? "1" : "0") + "\r\n");
}

void AppendLog(const TUiSandbox& box, const std::string& text) {
    std::ofstream out(box.Root / kLogName, std::ios::binary | std::ios::app);
    out << text;
}

std::string StartLine(const std::string& fileName) {
    return "[12:00:01] Mission: Missions/Single/NN/ZELK/" + fileName + " is Playing\r\n";
}
const std::string kEndLine = "[12:20:00] Mission END\r\n";

std::unique_ptr<TZELK_form> OpenForm(const TUiSandbox& box, TAskRecorder& ask) {
    TFormOptions options;
    options.Root = box.Root;
    options.DataDir = box.Data;
    options.Ask = ask.Func();
    auto form = std::make_unique<TZELK_form>(std::move(options));
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get())) return nullptr;
    QTest::qWait(1);
    return form;
}

// Makes `count` saved missions through the window. The first is a training
// sortie (its fighters box disabled); the others are combat sorties with
// fighters and a random route, so that every writing draws anew.
void MakeMissions(TZELK_form& form, int count) {
    for (int i = 0; i < count; ++i) {
        form.DoNew();
        TMission* mission = form.CurrentMission();
        QVERIFY(mission);
        if (i > 0) {
            mission->Data.Difficulty = 1;
            mission->Data.Fighters = 2;
            mission->Data.RandomRoute = 1;
        }
        QVERIFY(form.DoSave());
    }
}

void TypeIntoHeight(TZELK_form& form, const QString& text) {
    On(form).editHeight->setFocus();
    On(form).editHeight->selectAll();
    QTest::keyClicks(On(form).editHeight, text);
    On(form).lboxMissions->setFocus();
}

std::map<std::string, std::string> MissionFiles(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(folder))
        files[entry.path().filename().string()] = ReadFileBytes(entry.path());
    return files;
}

// The missions as a fresh scan of the folder reads them back.
TMissionLibrary ReadBack(const TZELK_form& form, const fs::path& folder) {
    TMissionLibrary library;
    library.Load(folder, form.RefData().Targets);
    return library;
}

// Counts the examinations of whichever monitor the window holds.
struct TCheckCounter {
    int Examined = 0;
    int Checks = 0;
    QPointer<TLogMonitorThread> Watched;

    void Follow(TLogMonitorThread* monitor) {
        if (monitor == nullptr || monitor == Watched.data()) return;
        Watched = monitor;
        QObject::connect(monitor, &TLogMonitorThread::LogChecked, monitor, [this](bool examined) {
            ++Checks;
            if (examined) ++Examined;
        });
    }
};

// Writes new files into the root until the monitor reacts: its watch is in place.
bool WaitArmed(const TUiSandbox& box, TCheckCounter& counter) {
    const int before = counter.Checks;
    for (int i = 0; i < 200 && counter.Checks == before; ++i) {
        std::ofstream(box.Root / ("poke" + std::to_string(i) + ".txt")) << "x";
        (void)QTest::qWaitFor([&] { return counter.Checks > before; }, 25);
    }
    return counter.Checks > before;
}

// Appends to the log and waits until the monitor has read it.
bool AppendAndWait(const TUiSandbox& box, TCheckCounter& counter, const std::string& text) {
    const int before = counter.Examined;
    AppendLog(box, text);
    return QTest::qWaitFor([&] { return counter.Examined > before; }, 10000);
}

QColor MeanColour(QWidget* widget) {
    const QImage image = widget->grab().toImage();
    qint64 r = 0, g = 0, b = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            r += c.red();
            g += c.green();
            b += c.blue();
        }
    const qint64 n = qMax<qint64>(1, qint64(image.width()) * image.height());
    return QColor(int(r / n), int(g / n), int(b / n));
}

QWidgetList PageControls(const TZELK_form& form) {
    QWidgetList controls;
    for (QWidget* page : {On(form).TabSheet1, On(form).TabSheet2})
        for (QObject* child : page->children())
            if (auto* widget = qobject_cast<QWidget*>(child)) controls << widget;
    return controls;
}

}  // namespace

class TestAuto : public QObject {
    Q_OBJECT
private slots:
    void switchingLocksAndUnlocks();
    void flownMissionWrittenAnew();
    void ignoredLogLines();
    void saveWaitsForOpenMessage();
    void failedSaveReportedModeStaysOn();
    void unwatchableRootEndsMode();
    void monitorCreationFailure();
    void startButton();
    void withoutLogOffersSetUpCheck();
    void confReadAnewBySwitchAndStart();
    void unsavedEditsBeforeTheMode();
    void checkNamesAnAbsentDataFile();
    void standInFliesMission();
};

void TestAuto::switchingLocksAndUnlocks() {
    TUiSandbox box;
    WriteConf(box, true);
    TAskRecorder ask;
    auto form = OpenForm(box, ask);
    QVERIFY(form);
    MakeMissions(*form, 2);
    On(*form).lboxMissions->setCurrentRow(0);
    QVERIFY(!On(*form).editFighters->isEnabled());  // a training sortie
    std::map<QWidget*, bool> before;
    for (QWidget* control : PageControls(*form)) before[control] = control->isEnabled();

    std::vector<QAction*> disabled;
    for (QAction* action : {On(*form).ActionNew, On(*form).ActionSave, On(*form).ActionCopy, On(*form).ActionDelete})
        connect(action, &QAction::enabledChanged, this, [&disabled, action](bool on) {
            if (!on) disabled.push_back(action);
        });

    On(*form).PageControl->setCurrentIndex(1);
    QTest::mouseClick(On(*form).speedAuto, Qt::LeftButton);
    QVERIFY(On(*form).speedAuto->isChecked());
    QCOMPARE(On(*form).speedAuto->toolTip(), QStringLiteral("Выключить режим автогенерации заданий"));
    QVERIFY(form->Monitor() != nullptr);
    for (QWidget* control : PageControls(*form)) {
        const bool usable = control == On(*form).speedAuto || control == On(*form).BitBtnRunTheGame ||
                            control == On(*form).LabelAutoState || control == On(*form).BitBtnDoctor;
        QVERIFY2(control->isEnabled() == usable, qPrintable(control->objectName()));
    }
    for (QWidget* control :
         QWidgetList{On(*form).lboxMissions, On(*form).FileName, On(*form).MissionShort, On(*form).MissionComment,
                     On(*form).BitBtnNew, On(*form).BitBtnSave, On(*form).BitBtnCopy, On(*form).BitBtnDelete})
        QVERIFY2(!control->isEnabled(), qPrintable(control->objectName()));
    QCOMPARE(disabled, (std::vector<QAction*>{On(*form).ActionCopy, On(*form).ActionDelete, On(*form).ActionSave,
                                              On(*form).ActionNew}));
    // The pages can still be turned.
    QVERIFY(On(*form).PageControl->isEnabled());

    // Down, the button stands out from the greyed page, and the page says why.
    const QColor on = MeanColour(On(*form).speedAuto);
    QVERIFY2(
        On(*form).LabelAutoState->isEnabled() && On(*form).LabelAutoState->text().contains(QStringLiteral("включён")),
        qPrintable(On(*form).LabelAutoState->text()));

    QPointer<TLogMonitorThread> first = form->Monitor();
    QTest::mouseClick(On(*form).speedAuto, Qt::LeftButton);
    QVERIFY(!On(*form).speedAuto->isChecked());
    QCOMPARE(On(*form).speedAuto->toolTip(), QStringLiteral("Включить режим автогенерации заданий"));
    QVERIFY(form->Monitor() == nullptr);
    const QColor off = MeanColour(On(*form).speedAuto);
    QVERIFY(std::abs(on.red() - off.red()) + std::abs(on.green() - off.green()) + std::abs(on.blue() - off.blue()) >
            90);
    QCOMPARE(On(*form).LabelAutoState->text(), QStringLiteral("Режим автогенерации выключен."));
    // Everything is as the mission shown offers it again: a training sortie
    // has no fighters, and only the tank list the save reads.
    QVERIFY(!On(*form).editFighters->isEnabled());
    for (QWidget* control : PageControls(*form))
        QVERIFY2(control->isEnabled() == before[control], qPrintable(control->objectName()));
    for (QWidget* control :
         QWidgetList{On(*form).lboxMissions, On(*form).FileName, On(*form).MissionShort, On(*form).MissionComment,
                     On(*form).BitBtnNew, On(*form).BitBtnSave, On(*form).BitBtnCopy, On(*form).BitBtnDelete})
        QVERIFY2(control->isEnabled(), qPrintable(control->objectName()));

    // On again at once: the late end of the stopped monitor starts no second one.
    QTest::mouseClick(On(*form).speedAuto, Qt::LeftButton);
    QPointer<TLogMonitorThread> second = form->Monitor();
    QVERIFY(second && second != first);
    QVERIFY(QTest::qWaitFor([&] { return first.isNull(); }, 10000));
    QTest::qWait(50);
    QCOMPARE(form->Monitor(), second.data());
    QVERIFY(!second->StopRequested());
    QVERIFY(ask.Asked.empty());

    // Closing the window with the mode on ends the monitor with it.
    form.reset();
    QVERIFY(second.isNull());
}

void TestAuto::flownMissionWrittenAnew() {
    TUiSandbox box;
    WriteConf(box, true);
    TAskRecorder ask;
    auto form = OpenForm(box, ask);
    QVERIFY(form);
    MakeMissions(*form, 3);
    QTest::mouseClick(On(*form).lboxMissions->viewport(), Qt::LeftButton, Qt::NoModifier,
                      On(*form).lboxMissions->visualItemRect(On(*form).lboxMissions->item(0)).center());
    const QList<QListWidgetItem*> selected = On(*form).lboxMissions->selectedItems();
    QCOMPARE(form->CurrentMission(), &form->Library().At(0));
    const std::string flown = form->Library().At(2).FileName;
    const QString shownFile = On(*form).FileName->text();
    const QString shownShort = On(*form).MissionShort->toPlainText();
    const TMissionLibrary library = ReadBack(*form, box.MissionFolder);
    const TMissionData flownData = library.At(library.FindByFileName(flown)).Data;
    const auto before = MissionFiles(box.MissionFolder);
    AppendLog(box, "[11:59:00] started\r\n");

    On(*form).PageControl->setCurrentIndex(1);
    QTest::mouseClick(On(*form).speedAuto, Qt::LeftButton);
    TCheckCounter counter;
    counter.Follow(form->Monitor());
    QVERIFY(WaitArmed(box, counter));

    QVERIFY(AppendAndWait(box, counter,
                          "[12:00:00] Loading mission Missions/Single/NN/ZELK/" + flown + "\r\n" + StartLine(flown)));
    QCOMPARE(MissionFiles(box.MissionFolder), before);  // a start writes nothing
    QVERIFY(AppendAndWait(box, counter, kEndLine));

    const auto after = MissionFiles(box.MissionFolder);
    const std::string description = flown.substr(0, 8) + "_ru.properties";
    QVERIFY(after.at(flown) != before.at(flown));
    QVERIFY(after.count(description) == 1);
    for (const auto& [name, bytes] : before)
        if (name != flown && name != description) QVERIFY2(after.at(name) == bytes, name.c_str());
    const TMissionLibrary back = ReadBack(*form, box.MissionFolder);
    const int index = back.FindByFileName(flown);
    QVERIFY(index >= 0);
    QVERIFY(back.At(index).Data == flownData);
    // Its entry takes the new title; the selection and the controls stay.
    QCOMPARE(On(*form).lboxMissions->item(2)->text(),
             QStringLiteral("0003  ") + QString::fromStdString(Cp1251ToUtf8(back.At(index).Name)));
    QVERIFY2(On(*form).LabelAutoState->text().contains(QStringLiteral("Записано заданий: 1, последнее в ")),
             qPrintable(On(*form).LabelAutoState->text()));
    QCOMPARE(On(*form).lboxMissions->currentRow(), 0);
    QCOMPARE(On(*form).lboxMissions->selectedItems(), selected);
    QCOMPARE(On(*form).FileName->text(), shownFile);
    QCOMPARE(On(*form).MissionShort->toPlainText(), shownShort);
    QCOMPARE(form->CurrentMission(), &form->Library().At(2));
    QVERIFY(!form->Library().At(2).IsUnsaved());

    // Flown again with the mode still on: written anew again.
    QVERIFY(AppendAndWait(box, counter, StartLine(flown) + kEndLine));
    QVERIFY(ReadFileBytes(box.MissionFolder / flown) != after.at(flown));

    // Switched off, the controls write into the mission they show.
    QTest::mouseClick(On(*form).speedAuto, Qt::LeftButton);
    QCOMPARE(form->CurrentMission(), &form->Library().At(0));
    const int flownHeight = form->Library().At(2).Data.Height;
    On(*form).PageControl->setCurrentIndex(0);
    On(*form).editHeight->setFocus();
    On(*form).editHeight->selectAll();
    QTest::keyClicks(On(*form).editHeight, QStringLiteral("2500"));
    On(*form).lboxMissions->setFocus();
    QCOMPARE(form->Library().At(0).Data.Height, 2500);
    QCOMPARE(form->Library().At(2).Data.Height, flownHeight);
    QVERIFY(ask.Asked.empty());
}

void TestAuto::ignoredLogLines() {
    TUiSandbox box;
    WriteConf(box, false);
    TAskRecorder ask;
    auto form = OpenForm(box, ask);
    QVERIFY(form);
    MakeMissions(*form, 2);
    const std::string listed = form->Library().At(1).FileName;
    const auto before = MissionFiles(box.MissionFolder);

    On(*form).speedAuto->click();
    TCheckCounter counter;
    counter.Follow(form->Monitor());
    QVERIFY(WaitArmed(box, counter));

    // Without the keep flag every pass after an end reads the log from its
    // start, so each case gets a log of its own.
    const std::string cases[] = {
        "[12:00:01] Mission: Missions/Single/Campaign/mission2.mis is Playing\r\n" + kEndLine,  // not ours
        kEndLine + kEndLine,                                                                    // no start
        StartLine("zelk0099.mis") + kEndLine,                                                   // not listed
    };
    for (const std::string& text : cases) {
        fs::remove(box.Root / kLogName);
        QVERIFY(AppendAndWait(box, counter, text));
        QTest::qWait(30);
        QVERIFY2(MissionFiles(box.MissionFolder) == before, text.c_str());
    }
    QCOMPARE(form->Monitor(), counter.Watched.data());

    // The same monitor still acts on a mission of ours. (A log of the same
    // size within the same two seconds would look unchanged.)
    fs::remove(box.Root / kLogName);
    QVERIFY(AppendAndWait(box, counter, "[12:00:00] Loading\r\n" + StartLine(listed) + kEndLine));
    QVERIFY(ReadFileBytes(box.MissionFolder / listed) != before.at(listed));
    QVERIFY(ask.Asked.empty());
}

void TestAuto::saveWaitsForOpenMessage() {
    TUiSandbox box;
    WriteConf(box, true);
    TAskRecorder ask;
    auto form = OpenForm(box, ask);
    QVERIFY(form);
    MakeMissions(*form, 2);
    const std::string listed = form->Library().At(1).FileName;
    const std::string before = ReadFileBytes(box.MissionFolder / listed);

    On(*form).speedAuto->click();
    TCheckCounter counter;
    counter.Follow(form->Monitor());
    QVERIFY(WaitArmed(box, counter));

    // The flight ends while a message is open (the simulator is missing):
    // the log is read then, but the mission is written only after OK.
    bool readMeanwhile = false;
    bool writtenMeanwhile = true;
    ask.During = [&] {
        readMeanwhile = AppendAndWait(box, counter, StartLine(listed) + kEndLine);
        QTest::qWait(50);
        writtenMeanwhile = ReadFileBytes(box.MissionFolder / listed) != before;
    };
    On(*form).BitBtnRunTheGame->click();
    ask.During = nullptr;
    QCOMPARE(ask.Asked.size(), size_t(1));
    QVERIFY(readMeanwhile);
    QVERIFY(!writtenMeanwhile);
    QVERIFY(QTest::qWaitFor([&] { return ReadFileBytes(box.MissionFolder / listed) != before; }, 5000));
}

void TestAuto::failedSaveReportedModeStaysOn() {
    TUiSandbox box;
    WriteConf(box, true);
    TAskRecorder ask;
    auto form = OpenForm(box, ask);
    QVERIFY(form);
    MakeMissions(*form, 1);
    const std::string listed = form->Library().At(0).FileName;

    On(*form).speedAuto->click();
    TCheckCounter counter;
    counter.Follow(form->Monitor());
    QVERIFY(WaitArmed(box, counter));
    QPointer<TLogMonitorThread> first = form->Monitor();

    // The mission folder gives way to a file: the save cannot write.
    fs::remove_all(box.MissionFolder);
    zelk::test::WriteFileBytes(box.MissionFolder, "not a folder");
    AppendLog(box, StartLine(listed) + kEndLine);
    QVERIFY(QTest::qWaitFor([&] { return !ask.Asked.empty(); }, 10000));
    QCOMPARE(ask.Asked[0].Caption, kProblem);
    QVERIFY2(
        ask.Asked[0].Text.contains(QStringLiteral("%1 не удалось записать заново").arg(QString::fromStdString(listed))),
        qPrintable(ask.Asked[0].Text));
    // A fresh monitor has taken over; the mode stays on.
    QVERIFY(QTest::qWaitFor([&] { return first.isNull(); }, 10000));
    QVERIFY(On(*form).speedAuto->isChecked());
    QVERIFY(form->Monitor() != nullptr);
    QVERIFY(!On(*form).lboxMissions->isEnabled());
}

void TestAuto::unwatchableRootEndsMode() {
    TUiSandbox box;
    WriteConf(box, true);
    TAskRecorder ask;
    auto form = OpenForm(box, ask);
    QVERIFY(form);
    MakeMissions(*form, 1);

    // Counts the monitors of one switching on; after one that could not
    // watch, the next follows the retry wait.
    int attempts = 0;
    auto* supervisor = form->findChild<TAutoSupervisor*>();
    QVERIFY(supervisor);
    connect(supervisor, &TAutoSupervisor::Started, this, [&] { ++attempts; });

    // No folder, nothing to watch: every fresh monitor fails at once.
    fs::remove_all(box.Root);
    for (int round = 1; round <= 2; ++round) {
        attempts = 0;
        On(*form).speedAuto->click();
        QVERIFY(form->Monitor());
        QVERIFY(QTest::qWaitFor([&] { return !On(*form).speedAuto->isChecked(); }, 10000));
        QTest::qWait(50);
        QCOMPARE(attempts, 3);  // also after switching on again
        QVERIFY(form->Monitor() == nullptr);
        QCOMPARE(ask.Asked.size(), size_t(round));
        const TAsked& told = ask.Asked.back();
        QCOMPARE(told.Kind, TAskKind::Problem);
        QCOMPARE(told.Caption, kProblem);
        QVERIFY(told.Text.contains(QStringLiteral("Режим автогенерации выключен")));
        QVERIFY(told.Text.contains(QStringLiteral("sim")));
        QVERIFY(On(*form).lboxMissions->isEnabled());
        QVERIFY(On(*form).ActionNew->isEnabled());
        QVERIFY(On(*form).comboMaps->isEnabled());
        QCOMPARE(On(*form).speedAuto->toolTip(), QStringLiteral("Включить режим автогенерации заданий"));
    }
}

void TestAuto::monitorCreationFailure() {
#ifdef _WIN32
    QSKIP("runs out of file handles the POSIX way");
#else
    TUiSandbox box;
    WriteConf(box, true);
    TAskRecorder ask;
    auto form = OpenForm(box, ask);
    QVERIFY(form);
    MakeMissions(*form, 1);
    AppendLog(box, "[11:00:00] an old line\r\n");

    // The log is there but cannot be opened: no descriptor is left for it.
    rlimit saved{};
    QVERIFY(getrlimit(RLIMIT_NOFILE, &saved) == 0);
    const int lowest = open("/dev/null", O_RDONLY);
    QVERIFY(lowest >= 0);
    close(lowest);
    rlimit tight = saved;
    tight.rlim_cur = static_cast<rlim_t>(lowest);
    QVERIFY(setrlimit(RLIMIT_NOFILE, &tight) == 0);
    On(*form).speedAuto->click();
    setrlimit(RLIMIT_NOFILE, &saved);

    QVERIFY(!On(*form).speedAuto->isChecked());
    QVERIFY(form->Monitor() == nullptr);
    QVERIFY(On(*form).lboxMissions->isEnabled());
    QVERIFY(On(*form).MissionComment->isEnabled());
    QCOMPARE(ask.Asked.size(), size_t(1));
    QCOMPARE(ask.Asked[0].Caption, kProblem);
    QVERIFY2(ask.Asked[0].Text.contains(QStringLiteral("eventlog.lst")), qPrintable(ask.Asked[0].Text));
    QVERIFY(ask.Asked[0].Text.contains(QStringLiteral("Режим автогенерации не включён")));

    // With descriptors back the mode switches on.
    On(*form).speedAuto->click();
    QVERIFY(On(*form).speedAuto->isChecked());
    QVERIFY(form->Monitor() != nullptr);
#endif
}

void TestAuto::withoutLogOffersSetUpCheck() {
    // A log set in a folder that exists needs no question; none set, or a
    // missing folder, asks whether to show the check, which names the fault.
    const struct {
        const char* Conf;
        bool Offered;
        const char* Fault;
    } cases[] = {
        {"[game]\r\neventlog=eventlog.lst\r\n", false, ""},
        {"[game]\r\neventlogkeep=1\r\n", true, "не задан ключ eventlog"},
        {"[game]\r\neventlog=logs/eventlog.lst\r\n", true, "logs"},
    };
    for (const auto& c : cases) {
        TUiSandbox box;
        zelk::test::WriteFileBytes(box.Root / "conf.ini", c.Conf);
        TAskRecorder ask;
        ask.ConfirmAnswer = QMessageBox::Yes;
        auto form = OpenForm(box, ask);
        QVERIFY(form);
        MakeMissions(*form, 1);
        On(*form).PageControl->setCurrentIndex(1);
        QTest::mouseClick(On(*form).speedAuto, Qt::LeftButton);
        QVERIFY2(On(*form).speedAuto->isChecked(), c.Conf);
        QCOMPARE(ask.Asked.size(), size_t(c.Offered ? 1 : 0));
        auto* dialog = form->findChild<TDoctorDialog*>();
        QCOMPARE(dialog != nullptr, c.Offered);
        if (!c.Offered) continue;
        QCOMPARE(ask.Asked[0].Kind, TAskKind::Confirm);
        QVERIFY(ask.Asked[0].Text.endsWith(QStringLiteral("Показать проверку установки?")));
        QVERIFY(dialog->isVisible());
        QVERIFY2(zelk::test::Named<QTextBrowser>(*dialog, "DoctorReport")
                     ->toPlainText()
                     .contains(QString::fromUtf8(c.Fault)),
                 qPrintable(zelk::test::Named<QTextBrowser>(*dialog, "DoctorReport")->toPlainText()));
        QVERIFY(!DoctorPassed(dialog->Items()));
        // F2 in the locked window brings the same check back, not a second one.
        QTest::keyClick(form.get(), Qt::Key_F2);
        QCOMPARE(form->findChildren<TDoctorDialog*>().size(), qsizetype(1));
    }
}

// conf.ini changed while the window runs: the switch and the start button
// judge it anew, as the set-up check does.
void TestAuto::confReadAnewBySwitchAndStart() {
    TUiSandbox box;
    zelk::test::WriteFileBytes(box.Root / "conf.ini", "[game]\r\n");
    TAskRecorder ask;
    auto form = OpenForm(box, ask);
    QVERIFY(form);
    MakeMissions(*form, 2);  // the second draws anew at every writing
    const std::string flown = form->Library().At(1).FileName;
    On(*form).PageControl->setCurrentIndex(1);
    QTest::mouseClick(On(*form).speedAuto, Qt::LeftButton);
    QCOMPARE(ask.Asked.size(), size_t(1));  // no log: the check is offered

    // The log set meanwhile is followed from the next start on.
    WriteConf(box, false);
    On(*form).BitBtnRunTheGame->click();  // no simulator here: reported, the mode stays
    QCOMPARE(ask.Asked.size(), size_t(2));
    QVERIFY(On(*form).speedAuto->isChecked());
    TCheckCounter counter;
    counter.Follow(form->Monitor());
    QVERIFY(WaitArmed(box, counter));
    const std::string before = ReadFileBytes(box.MissionFolder / flown);
    QVERIFY(AppendAndWait(box, counter, StartLine(flown) + kEndLine));
    QVERIFY(ReadFileBytes(box.MissionFolder / flown) != before);

    // Off and on: the log is set now, no question; removed, asked again.
    QTest::mouseClick(On(*form).speedAuto, Qt::LeftButton);
    QTest::mouseClick(On(*form).speedAuto, Qt::LeftButton);
    QCOMPARE(ask.Asked.size(), size_t(2));
    QTest::mouseClick(On(*form).speedAuto, Qt::LeftButton);
    zelk::test::WriteFileBytes(box.Root / "conf.ini", "[game]\r\n");
    QTest::mouseClick(On(*form).speedAuto, Qt::LeftButton);
    QCOMPARE(ask.Asked.size(), size_t(3));
    QCOMPARE(ask.Asked.back().Kind, TAskKind::Confirm);
}

// The mode asks to save unsaved missions; kept unsaved, a flown mission is
// written as it was flown and the edits stay pending.
void TestAuto::unsavedEditsBeforeTheMode() {
    TUiSandbox box;
    WriteConf(box, true);
    TAskRecorder ask;
    auto form = OpenForm(box, ask);
    QVERIFY(form);
    MakeMissions(*form, 2);  // the second draws anew at every writing
    const std::string flown = form->Library().At(1).FileName;
    const TMissionData saved = form->Library().At(1).Data;
    On(*form).PageControl->setCurrentIndex(0);
    QTest::mouseClick(On(*form).lboxMissions->viewport(), Qt::LeftButton, Qt::NoModifier,
                      On(*form).lboxMissions->visualItemRect(On(*form).lboxMissions->item(1)).center());
    TypeIntoHeight(*form, QStringLiteral("4321"));
    QVERIFY(form->Library().At(1).IsUnsaved());

    On(*form).PageControl->setCurrentIndex(1);
    ask.QueryAnswer = QMessageBox::Cancel;
    QTest::mouseClick(On(*form).speedAuto, Qt::LeftButton);
    QVERIFY(!On(*form).speedAuto->isChecked());
    QCOMPARE(ask.Asked.back().Kind, TAskKind::Query);
    QVERIFY2(ask.Asked.back().Text.contains(QStringLiteral("0002")), qPrintable(ask.Asked.back().Text));

    ask.QueryAnswer = QMessageBox::No;
    QTest::mouseClick(On(*form).speedAuto, Qt::LeftButton);
    QVERIFY(On(*form).speedAuto->isChecked());
    TCheckCounter counter;
    counter.Follow(form->Monitor());
    QVERIFY(WaitArmed(box, counter));
    const std::string before = ReadFileBytes(box.MissionFolder / flown);
    QVERIFY(AppendAndWait(box, counter, StartLine(flown) + kEndLine));
    QVERIFY(ReadFileBytes(box.MissionFolder / flown) != before);
    const TMissionLibrary back = ReadBack(*form, box.MissionFolder);
    QVERIFY(back.At(1).Data == saved);
    QCOMPARE(form->Library().At(1).Data.Height, 4321);
    QVERIFY(form->Library().At(1).IsUnsaved());
    QTest::mouseClick(On(*form).speedAuto, Qt::LeftButton);

    // Saved on the pilot's word: nothing left to lose.
    ask.QueryAnswer = QMessageBox::Yes;
    QTest::mouseClick(On(*form).speedAuto, Qt::LeftButton);
    QVERIFY(On(*form).speedAuto->isChecked());
    QCOMPARE(ReadBack(*form, box.MissionFolder).At(1).Data.Height, 4321);
    QCOMPARE(form->Library().CountUnsaved(), 0);
    QTest::mouseClick(On(*form).speedAuto, Qt::LeftButton);
}

// A data file moved away while missions fly on its map: the check names it.
void TestAuto::checkNamesAnAbsentDataFile() {
    TUiSandbox box;
    TAskRecorder ask;
    auto form = OpenForm(box, ask);
    QVERIFY(form);
    form->DoNew();
    On(*form).PageControl->setCurrentIndex(0);
    QVERIFY(On(*form).comboMaps->count() == 2);
    On(*form).comboMaps->setCurrentIndex(1);
    emit On(*form).comboMaps->activated(1);  // the map of file 1
    QVERIFY(form->DoSave());
    QTest::keyClick(form.get(), Qt::Key_F2);
    auto* dialog = form->findChild<TDoctorDialog*>();
    QVERIFY(dialog);
    const auto dataFaults = [&] {
        QStringList faults;
        for (const TDoctorItem& item : dialog->Items())
            if (item.Area == TDoctorArea::Data && item.Status == TDoctorStatus::Fault)
                faults << QString::fromStdString(item.What + " " + item.Fix);
        return faults;
    };
    QCOMPARE(dataFaults(), QStringList());

    fs::rename(box.Data / "orvak_zelk.rc1", box.Dir.Path() / "orvak_zelk.rc1");
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("DoctorRecheck")), Qt::LeftButton);
    const QStringList faults = dataFaults();
    QCOMPARE(faults.size(), qsizetype(1));
    // The journal knows the file of the mission's map; the other absent files are not blamed.
    QVERIFY2(faults[0].contains(QStringLiteral("zelk0001.mis")) &&
                 faults[0].contains(QStringLiteral("orvak_zelk.rc1")) &&
                 !faults[0].contains(QStringLiteral("orvak_zelk.rc2")),
             qPrintable(faults[0]));
    QVERIFY(zelk::test::Named<QTextBrowser>(*dialog, "DoctorReport")
                ->toPlainText()
                .contains(QStringLiteral("orvak_zelk.rc1 отсутствует")));
}

void TestAuto::startButton() {
    TUiSandbox box;
    TAskRecorder ask;
    auto form = OpenForm(box, ask);
    QVERIFY(form);
    MakeMissions(*form, 1);  // with an empty list the start button is disabled
    const fs::path exe = box.Root / "orvaksim.exe";

    // Missing: the window stays and says which file it looked for.
    On(*form).BitBtnRunTheGame->click();
    QVERIFY(!form->isMinimized());
    QCOMPARE(ask.Asked.size(), size_t(1));
    QCOMPARE(ask.Asked[0].Caption, kProblem);
    QVERIFY(ask.Asked[0].Text.contains(QStringLiteral("не найден")));
    QVERIFY(ask.Asked[0].Text.contains(QDir::toNativeSeparators(QString::fromStdString(exe.string()))));

#ifndef _WIN32
    // There but not a program: minimised, then restored with the message.
    zelk::test::WriteFileBytes(exe, "not a program\n");
    fs::permissions(exe, fs::perms::owner_read | fs::perms::owner_write);
    bool minimisedMeanwhile = false;
    ask.During = [&] { minimisedMeanwhile = form->isMinimized(); };
    On(*form).BitBtnRunTheGame->click();
    ask.During = nullptr;
    QVERIFY(!form->isMinimized());
    QVERIFY(!minimisedMeanwhile);
    QCOMPARE(ask.Asked.size(), size_t(2));
    QVERIFY(ask.Asked[1].Text.contains(QStringLiteral("Не удаётся запустить")));

    // A program: started in the program's current folder, without waiting,
    // and the window goes to the task bar.
    zelk::test::WriteFileBytes(exe, "#!/bin/sh\npwd > started.txt\nsleep 1\n");
    fs::permissions(exe, fs::perms::owner_all);
    const QString oldCurrent = QDir::currentPath();
    QVERIFY(QDir::setCurrent(QString::fromStdString(box.Data.string())));
    const auto t0 = std::chrono::steady_clock::now();
    On(*form).BitBtnRunTheGame->click();
    const auto took = std::chrono::steady_clock::now() - t0;
    QDir::setCurrent(oldCurrent);
    QVERIFY(form->isMinimized());
    QCOMPARE(ask.Asked.size(), size_t(2));
    QVERIFY(took < std::chrono::milliseconds(900));  // the script sleeps a second
    QVERIFY(QTest::qWaitFor([&] { return fs::exists(box.Data / "started.txt"); }, 10000));
    std::string where;
    QVERIFY(QTest::qWaitFor(
        [&] {
            where = ReadFileBytes(box.Data / "started.txt");
            return where.find('\n') != std::string::npos;
        },
        5000));
    where.resize(where.find('\n'));
    QCOMPARE(fs::canonical(where), fs::canonical(box.Data));
#endif
}

void TestAuto::standInFliesMission() {
#ifdef _WIN32
    const fs::path stand = fs::path(ZELK_BIN_DIR) / "orvaksim.exe";
#else
    const fs::path stand = fs::path(ZELK_BIN_DIR) / "orvaksim";
#endif
    if (!fs::exists(stand)) QSKIP("the simulator stand-in is not built");
    TUiSandbox box;
    WriteConf(box, false);  // the stand-in starts a fresh log for the flight
    TAskRecorder ask;
    auto form = OpenForm(box, ask);
    QVERIFY(form);
    MakeMissions(*form, 2);
    On(*form).lboxMissions->setCurrentRow(0);
    const std::string flown = form->Library().At(1).FileName;
    const fs::path file = box.MissionFolder / flown;
    const std::string before = ReadFileBytes(file);
    const TMissionLibrary library = ReadBack(*form, box.MissionFolder);
    const TMissionData data = library.At(library.FindByFileName(flown)).Data;

    On(*form).speedAuto->click();
    TCheckCounter counter;
    counter.Follow(form->Monitor());
    QVERIFY(WaitArmed(box, counter));

    QProcess sim;
    sim.setProcessChannelMode(QProcess::MergedChannels);
    sim.start(QString::fromStdString(stand.string()),
              {QStringLiteral("--root"), QString::fromStdString(box.Root.string()), QStringLiteral("--seconds"),
               QStringLiteral("0.3"), QStringLiteral("--mission"), QString::fromStdString(flown)});
    QVERIFY(sim.waitForStarted(10000));
    QVERIFY(QTest::qWaitFor([&] { return sim.state() == QProcess::NotRunning; }, 20000));
    QCOMPARE(sim.exitCode(), 0);
    QVERIFY(QTest::qWaitFor([&] { return ReadFileBytes(file) != before; }, 10000));

    // The end line is the log's last write; the mission file's is the rewrite.
    const auto endWritten = fs::last_write_time(box.Root / kLogName);
    const auto rewritten = fs::last_write_time(file);
    qInfo("delay from the end line to the rewritten mission file: %.1f ms",
          std::chrono::duration<double, std::milli>(rewritten - endWritten).count());

    const TMissionLibrary back = ReadBack(*form, box.MissionFolder);
    const int index = back.FindByFileName(flown);
    QVERIFY(index >= 0);
    QVERIFY(back.At(index).Data == data);
    QVERIFY(ReadFileBytes(file).rfind("[MAIN]", 0) == 0);
    QCOMPARE(On(*form).lboxMissions->item(1)->text(),
             QStringLiteral("0002  ") + QString::fromStdString(Cp1251ToUtf8(back.At(index).Name)));
    QCOMPARE(On(*form).lboxMissions->currentRow(), 0);
    QVERIFY(ask.Asked.empty());

    // As in the demo: the stand-in in the simulator's place, started by Пуск
    // from the program's folder, finds the root by its own folder and flies
    // the newest mission, the one just written (its flight lasts 5 s).
    const fs::path exe = box.Root / "orvaksim.exe";
    fs::copy_file(stand, exe);
    const std::string second = ReadFileBytes(file);
    const QString oldCurrent = QDir::currentPath();
    QVERIFY(QDir::setCurrent(QString::fromStdString(box.Data.string())));
    On(*form).BitBtnRunTheGame->click();
    QDir::setCurrent(oldCurrent);
    QVERIFY(ask.Asked.empty());
    QVERIFY(form->isMinimized());
    QVERIFY(QTest::qWaitFor([&] { return ReadFileBytes(file) != second; }, 30000));
    const TMissionLibrary again = ReadBack(*form, box.MissionFolder);
    QVERIFY(again.At(again.FindByFileName(flown)).Data == data);
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    TestAuto test;
    return QTest::qExec(&test, argc, argv);
}

#include "auto_test.moc"
