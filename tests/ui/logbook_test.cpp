// The logbook in the window: flights flown by the simulator stand-in with
// auto-generation on are recorded, the debrief never holds the next flight up,
// and a programme of three steps advances by the marks given between flights.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include <filesystem>

#include "data/codepage.h"
#include "library/commands.h"
#include "logbook/logbook.h"
#include "monitor/logmonitor.h"
#include "programme/progstate.h"
#include "support/tempdir.h"
#include "ui/logbookui.h"
#include "ui/mainform.h"
#include "controls.h"
#include "uidata.h"

using namespace zelk;
using zelk::test::On;
using zelk::test::ReadFileBytes;
using zelk::test::TUiSandbox;
using zelk::test::WriteFileBytes;
namespace fs = std::filesystem;

class TestLogbook : public QObject {
    Q_OBJECT
private slots:
    void programmeOfThreeStepsInTheWindow();
};

void TestLogbook::programmeOfThreeStepsInTheWindow() {
#ifdef _WIN32
    const fs::path stand = fs::path(ZELK_BIN_DIR) / "orvaksim.exe";
#else
    const fs::path stand = fs::path(ZELK_BIN_DIR) / "orvaksim";
#endif
    if (!fs::exists(stand)) QSKIP("the simulator stand-in is not built");
    TUiSandbox box;
    WriteFileBytes(box.Root / "conf.ini", "[game]\r\neventlog=eventlog.lst\r\neventlogkeep=1\r\n");
    std::string text = "name = \"Три шага\"\n";
    for (int hour : {6, 12, 18}) text += "[[step]]\nmode = 0\ndifficulty = 0\ntime = " + std::to_string(hour) + "\n";
    const fs::path programme = box.Root / "programme.toml";
    WriteFileBytes(programme, text);

    TFormOptions options;
    options.Root = box.Root;
    options.DataDir = box.Data;
    int asked = 0;
    options.Ask = [&](QWidget*, TAskKind, const QString&, const QString&) {
        ++asked;
        return QMessageBox::Ok;
    };
    TZELK_form form(std::move(options));
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.DoNew();
    QVERIFY(form.DoSave());
    const std::string flown = form.CurrentMission()->FileName;
    auto* ui = form.findChild<TLogbookUi*>(QStringLiteral("LogbookUi"));
    QVERIFY(ui);
    auto* programmeLine = zelk::test::Named<QLabel>(form, "LabelProgramme");
    auto* debrief = zelk::test::Named<TDebriefDialog>(form, "DebriefDialog");
    ui->StartProgramme(QString::fromStdString(programme.string()));
    auto hour = [&] {
        TMissionLibrary back;
        back.Load(box.MissionFolder, form.RefData().Targets);
        return back.At(back.FindByFileName(flown)).Data.Time;
    };
    QCOMPARE(hour(), 6);
    QVERIFY2(programmeLine->text().contains(QStringLiteral("шаг 1 из 3")), qPrintable(programmeLine->text()));

    On(form).speedAuto->click();
    QVERIFY(form.Monitor());
    QTest::qWait(500);  // the monitor's thread arms its watch
    int flights = 0;
    auto fly = [&] {
        const std::string before = ReadFileBytes(box.MissionFolder / flown);
        QProcess sim;
        sim.start(QString::fromStdString(stand.string()),
                  {QStringLiteral("--root"), QString::fromStdString(box.Root.string()), QStringLiteral("--seconds"),
                   QStringLiteral("0.2"), QStringLiteral("--mission"), QString::fromStdString(flown)});
        QVERIFY(sim.waitForStarted(10000));
        QVERIFY(QTest::qWaitFor([&] { return sim.state() == QProcess::NotRunning; }, 20000));
        QVERIFY(QTest::qWaitFor([&] { return ReadFileBytes(box.MissionFolder / flown) != before; }, 10000));
        ++flights;
        // The debrief is offered for the flight just ended, without the focus.
        QVERIFY(QTest::qWaitFor([&] { return debrief->isVisible(); }, 5000));
        QCOMPARE(debrief->FlightId(), flights);
    };
    auto answer = [&](const char* button, const QString& note = {}) {
        zelk::test::Named<QLineEdit>(*debrief, "DebriefNote")->setText(note);
        debrief->findChild<QPushButton*>(QLatin1String(button))->click();
        QVERIFY(!debrief->isVisible());
    };
    fly();
    answer("DebriefYes", QStringLiteral("первый заход"));
    fly();
    QCOMPARE(hour(), 6);
    answer("DebriefYes");  // two in a row: step 2 is written at once
    QCOMPARE(hour(), 12);
    fly();
    answer("DebriefNo");
    fly();  // left unanswered: the next flight is not held up
    QCOMPARE(hour(), 12);
    form.findChild<QPushButton*>(QStringLiteral("BitBtnProgrammeNext"))->click();
    QCOMPARE(hour(), 18);
    fly();
    answer("DebriefPartly");
    QVERIFY2(programmeLine->text().contains(QStringLiteral("шаг 3 из 3")), qPrintable(programmeLine->text()));

    const std::vector<TFlight> book = ui->Logbook()->Flights();
    QCOMPARE(book.size(), std::size_t{5});
    const int hours[] = {6, 6, 12, 12, 18};
    const TFlightResult results[] = {TFlightResult::Yes, TFlightResult::Yes, TFlightResult::No, TFlightResult::None,
                                     TFlightResult::Partly};
    for (std::size_t i = 0; i < 5; ++i) {
        QVERIFY(book[i].Variant);
        QCOMPARE(book[i].Variant->Data.Time, hours[i]);
        QVERIFY(book[i].Result == results[i]);
        QVERIFY(book[i].EndSeen && book[i].Seconds >= 0);
    }
    QCOMPARE(QString::fromStdString(Cp1251ToUtf8(book[0].Note)), QStringLiteral("первый заход"));
    // The whole book lists them newest first, with Ctrl+L.
    QTest::keyClick(&form, Qt::Key_L, Qt::ControlModifier);
    QVERIFY(zelk::test::Named<QDialog>(form, "LogbookDialog")->isVisible());
    auto* flightsTable = zelk::test::Named<QTableWidget>(form, "tableFlights");
    QCOMPARE(flightsTable->rowCount(), 5);
    QCOMPARE(flightsTable->item(0, 0)->text(), QStringLiteral("5"));
    QCOMPARE(asked, 0);
    On(form).speedAuto->click();
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    TestLogbook test;
    return QTest::qExec(&test, argc, argv);
}

#include "logbook_test.moc"
