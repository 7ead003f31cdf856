// The main window driven as a pilot drives it: entries chosen, lists picked,
// numbers typed, buttons pressed, questions answered.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

#include <cerrno>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <set>

#include "data/catalogues.h"
#include "data/codepage.h"
#include "library/scan.h"
#include "preview/sortie.h"
#include "monitor/language.h"
#include "support/faultfs.h"
#include "support/tempdir.h"
#include "ui/mainform.h"
#include "ui/simpaths.h"
#include "ui/spinedit.h"
#include "asked.h"
#include "controls.h"
#include "uidata.h"

using namespace zelk;
using zelk::test::On;
using zelk::test::TAsked;
using zelk::test::TUiSandbox;
namespace fs = std::filesystem;

namespace {

// Answers the window's questions from a script and records them.
struct TAskScript {
    std::vector<TAsked> Asked;
    std::deque<QMessageBox::StandardButton> Answers;

    TAskFunc Func() {
        return [this](QWidget*, TAskKind kind, const QString& caption, const QString& text) {
            Asked.push_back({kind, caption, text});
            if (Answers.empty())
                return kind == TAskKind::Confirm ? QMessageBox::No
                                                 : (kind == TAskKind::Query ? QMessageBox::Cancel : QMessageBox::Ok);
            const QMessageBox::StandardButton answer = Answers.front();
            Answers.pop_front();
            return answer;
        };
    }
    int Count(TAskKind kind) const {
        return static_cast<int>(
            std::count_if(Asked.begin(), Asked.end(), [kind](const TAsked& a) { return a.Kind == kind; }));
    }
};

std::unique_ptr<TZELK_form> OpenForm(const TUiSandbox& box, TAskScript& ask, TSaveFileSystem* fileSystem = nullptr) {
    TFormOptions options;
    options.Root = box.Root;
    options.DataDir = box.Data;
    options.Ask = ask.Func();
    options.FileSystem = fileSystem;
    auto form = std::make_unique<TZELK_form>(std::move(options));
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get())) return nullptr;
    form->activateWindow();
    QTest::qWait(1);  // lets messages held back until the window shows appear
    return form;
}

template <typename T>
T* Find(QWidget* form, const char* name) {
    return form->findChild<T*>(QString::fromLatin1(name));
}

QStringList Items(const QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
    return items;
}

// What a pick from the drop-down list does: the entry becomes current and
// the list reports it as chosen.
bool Choose(QComboBox* combo, const QString& text) {
    const int index = combo->findText(text, Qt::MatchExactly);
    if (index < 0 || !combo->isEnabled()) return false;
    combo->setCurrentIndex(index);
    emit combo->activated(index);
    return true;
}

void ClickEntry(QListWidget* list, int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const QRect rect = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, rect.center());
}

// Typing, also of letters outside Latin-1.
void TypeText(QWidget* widget, const QString& text) {
    for (QChar c : text) {
        if (c == QLatin1Char('\n'))
            QTest::keyClick(widget, Qt::Key_Return);
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

void TypeInto(QAbstractSpinBox* box, const QString& text) {
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    TypeText(box, text);
}

QString U(const std::string& cp1251) { return QString::fromStdString(Cp1251ToUtf8(cp1251)); }

const QString kColumn = QStringLiteral("Колонна, танки синих");

}  // namespace

class TestMainForm : public QObject {
    Q_OBJECT
private slots:
    void layoutAndTexts();
    void missingAndBrokenData();
    void emptyLibrary();
    void newSaveAndReopen();
    void settlingTargetsTypesAndAircraft();
    void tankLists();
    void everyControlWritesItsOwnField();
    void spinBoxes();
    void copyResetsColumnsRouteAndFighters();
    void deleteSelectedEntries();
    void numberLimit();
    void commentBox();
    void unreadableFolder();
    void closeWithUnsavedMissions();
    void closeWhenSaveFails();
    void saveWhenAnotherProgramTookTheNumber();
    void fileFaultsLoseNothing();
    void realMessageBoxes();
    void warningsAndFolderFailure();
    void newAndCopySelectOnlyTheNewEntry();
    void missionOfALeftOutMap();
    void wheelTurnsOnlyTheFocusedControl();
    void simulatorPaths();
    void routePreviewVariantsAndSurprise();
    void drawnRouteIsTheSavedRoute();
    void typingWhileTheRouteIsShown();
    void doubleClickOpensTheRouteLarge();
    void keyboardShortcuts();
    void languages();
};

void TestMainForm::layoutAndTexts() {
    TUiSandbox box;
    TAskScript ask;
    auto form = OpenForm(box, ask);
    QVERIFY(form);
    QCOMPARE(form->windowTitle(), QStringLiteral("ORVAK ZELK - Zelkwright"));
    QCOMPARE(form->size(), QSize(641, 649));
    QCOMPARE(form->minimumSize(), form->maximumSize());
    QVERIFY(!(form->windowFlags() & Qt::WindowMaximizeButtonHint));

    const struct {
        const char* name;
        QRect bounds;
    } bounds[] = {
        {"lboxMissions", {8, 24, 281, 289}},       {"FileName", {304, 24, 137, 21}},
        {"PanelLogo", {456, 16, 177, 33}},         {"MissionShort", {304, 64, 329, 145}},
        {"MissionComment", {304, 232, 329, 81}},   {"PanelPreview", {8, 325, 280, 210}},
        {"GroupBox2", {8, 544, 281, 97}},          {"BitBtnNew", {10, 16, 113, 25}},
        {"BitBtnSave", {156, 16, 113, 25}},        {"BitBtnCopy", {10, 61, 111, 25}},
        {"BitBtnDelete", {156, 61, 113, 25}},      {"PageControl", {304, 320, 329, 321}},
        {"comboTargets", {81, 52, 233, 21}},       {"editHeight", {81, 196, 65, 22}},
        {"comboClouds", {81, 268, 57, 21}},        {"comboTanksBlue", {208, 32, 105, 21}},
        {"editFighters", {208, 88, 57, 22}},       {"speedAuto", {16, 256, 177, 25}},
        {"BitBtnRunTheGame", {208, 248, 105, 41}},
    };
    for (const auto& b : bounds) {
        QWidget* w = Find<QWidget>(form.get(), b.name);
        QVERIFY2(w, b.name);
        QCOMPARE(w->geometry(), b.bounds);
    }
    // Check boxes keep their place and grow only where the face needs room.
    auto* moving = Find<QCheckBox>(form.get(), "checkMoving");
    QCOMPARE(moving->geometry().topLeft(), QPoint(81, 76));
    QVERIFY(moving->width() >= 89 && moving->width() >= moving->sizeHint().width());
    auto* route = Find<QCheckBox>(form.get(), "checkRandomRoute");
    QCOMPARE(route->geometry().right(), 97 + 124 - 1);
    QCOMPARE(route->geometry().top(), 63);
    QVERIFY(route->width() >= 124 && route->width() >= route->sizeHint().width());
    for (QComboBox* combo : form->findChildren<QComboBox*>())
        QVERIFY2(!combo->isEditable(), qPrintable(combo->objectName()));
    QCOMPARE(Find<QListWidget>(form.get(), "lboxMissions")->selectionMode(), QAbstractItemView::ExtendedSelection);
    QVERIFY(Find<QLineEdit>(form.get(), "FileName")->isReadOnly());
    QVERIFY(Find<QPlainTextEdit>(form.get(), "MissionShort")->isReadOnly());
    QCOMPARE(Find<QPlainTextEdit>(form.get(), "MissionComment")->lineWrapMode(), QPlainTextEdit::NoWrap);
    QCOMPARE(Find<QLabel>(form.get(), "ZELK_Logo")->pixmap().size(), QSize(173, 30));
    QVERIFY(Find<QLabel>(form.get(), "ZELK_Logo")
                ->toolTip()
                .startsWith(QStringLiteral("ZELK 2, версия 2.2 (21.02.2007).\nZelkwright.\nАвторы:")));
    QCOMPARE(Find<QLabel>(form.get(), "Image")->pixmap().size(), QSize(280, 210));

    auto* tabs = Find<QTabWidget>(form.get(), "PageControl");
    QCOMPARE(tabs->tabText(0), QStringLiteral("Параметры задания"));
    QCOMPARE(tabs->tabText(1), QStringLiteral("Дополнительно"));
    QCOMPARE(tabs->currentIndex(), 0);

    const struct {
        const char* button;
        const char* action;
        QString text, hint, caption, actionHint;
    } commands[] = {
        {"BitBtnNew", "ActionNew", "Создать", "Создать новое задание (Ctrl+N)", "Новое задание",
         "Создать новое задание"},
        {"BitBtnSave", "ActionSave", "Сохранить", "Сохранить задание (Ctrl+S)", "Сохранить",
         "Сохранить задание в файле"},
        {"BitBtnCopy", "ActionCopy", "Копировать", "Копировать задание (Ctrl+D)", "Копировать",
         "Копировать задание в новый файл"},
        {"BitBtnDelete", "ActionDelete", "Удалить", "Удалить отмеченные задания (Del)", "Удалить",
         "Удалить отмеченные файлы заданий"},
    };
    for (const auto& c : commands) {
        auto* button = Find<QPushButton>(form.get(), c.button);
        auto* action = Find<QAction>(form.get(), c.action);
        QVERIFY(button && action);
        QCOMPARE(button->text(), c.text);
        QCOMPARE(button->toolTip(), c.hint);
        QCOMPARE(action->text(), c.caption);
        QCOMPARE(action->toolTip(), c.actionHint);
        QVERIFY(!button->icon().isNull());
        // The button follows its command both ways.
        action->setEnabled(false);
        QVERIFY(!button->isEnabled());
        action->setEnabled(true);
        QVERIFY(button->isEnabled());
    }

    auto* start = Find<QPushButton>(form.get(), "BitBtnRunTheGame");
    QCOMPARE(start->text(), QStringLiteral("Пуск"));
    QCOMPARE(start->toolTip(), QStringLiteral("Запустить авиасимулятор Orvak (F5)"));
    QVERIFY(start->font().bold());
    QCOMPARE(start->font().pixelSize(), 16);
    QVERIFY(!start->icon().isNull());
    auto* autoButton = Find<QPushButton>(form.get(), "speedAuto");
    QVERIFY(autoButton->isCheckable() && !autoButton->isChecked());
    QCOMPARE(autoButton->toolTip(), QStringLiteral("Включить режим автогенерации заданий"));

    QCOMPARE(Items(Find<QComboBox>(form.get(), "comboArmy")),
             QStringList({"Красная, русский", "Красная, английский", "Синяя, немецкий", "Синяя, японский"}));
    QCOMPARE(Items(Find<QComboBox>(form.get(), "comboFlight")), QStringList({"Нет", "Пара", "Звено"}));
    auto* time = Find<QComboBox>(form.get(), "comboTime");
    QCOMPARE(time->count(), 24);
    QCOMPARE(time->itemText(0), QStringLiteral("00:00"));
    QCOMPARE(time->currentText(), QStringLiteral("12:00"));
    QCOMPARE(Items(Find<QComboBox>(form.get(), "comboWeather")),
             QStringList({"Безоблачно", "Ясно", "Дымка", "Слабый туман", "Туман", "Дождь/снег", "Гроза"}));
    QCOMPARE(Find<QComboBox>(form.get(), "comboClouds")->currentText(), QStringLiteral("800"));
    QCOMPARE(Find<QComboBox>(form.get(), "comboClouds")->count(), 11);
    for (const char* name : {"comboTanksRed", "comboTanksBlue"}) {
        auto* tanks = Find<QComboBox>(form.get(), name);
        QCOMPARE(tanks->count(), 14);
        QCOMPARE(tanks->itemText(0), QStringLiteral("Случайный"));
    }
    auto* height = Find<TSpinEdit>(form.get(), "editHeight");
    QCOMPARE(height->Minimum(), 50);
    QCOMPARE(height->Maximum(), 15000);
    QCOMPARE(height->singleStep(), 10);
    QCOMPARE(height->text(), QStringLiteral("1000"));
    QCOMPARE(height->toolTip(), QStringLiteral("Ввод высоты полета.\nДопустимы значения от 50 до 15000 м."));
    auto* fighters = Find<TSpinEdit>(form.get(), "editFighters");
    QCOMPARE(fighters->Maximum(), 4);
    QCOMPARE(fighters->text(), QStringLiteral("0"));

    // Tab order on the first page follows the rows from top to bottom; on the
    // second the start button comes before the fighters box.
    auto focusChain = [&form](const char* first, int count) {
        QStringList chain;
        QWidget* w = Find<QWidget>(form.get(), first);
        for (int i = 0; i < count; ++i) {
            chain << w->objectName();
            do w = w->nextInFocusChain();
            while (!(w->focusPolicy() & Qt::TabFocus) || w->objectName().isEmpty() ||
                   w->objectName().startsWith(QLatin1String("qt_")));
        }
        return chain;
    };
    QCOMPARE(focusChain("comboMaps", 12),
             QStringList({"comboMaps", "comboArmy", "comboTargets", "checkMoving", "comboModes", "comboDifficulty",
                          "comboAircrafts", "comboFlight", "editHeight", "comboTime", "comboWeather", "comboClouds"}));
    QCOMPARE(focusChain("comboTanksRed", 5),
             QStringList({"comboTanksRed", "comboTanksBlue", "checkRandomRoute", "BitBtnRunTheGame", "editFighters"}));
    QVERIFY(!(Find<QWidget>(form.get(), "speedAuto")->focusPolicy() & Qt::TabFocus));
    QVERIFY(!(Find<QLineEdit>(form.get(), "FileName")->focusPolicy() & Qt::TabFocus));
    QVERIFY(!(Find<QPlainTextEdit>(form.get(), "MissionShort")->focusPolicy() & Qt::TabFocus));
    QCOMPARE(QApplication::focusWidget(), Find<QWidget>(form.get(), "lboxMissions"));
}

void TestMainForm::missingAndBrokenData() {
    {
        TUiSandbox box(false);
        TAskScript ask;
        auto form = OpenForm(box, ask);
        QVERIFY(form);
        QVERIFY(!form->DataLoaded());
        QCOMPARE(Find<QPlainTextEdit>(form.get(), "MissionShort")->toPlainText(),
                 QStringLiteral("\n  Файл orvak_zelk.rc0 не найден!\n  Формирование заданий невозможно."));
        for (QWidget* page : {Find<QWidget>(form.get(), "TabSheet1"), Find<QWidget>(form.get(), "TabSheet2")}) {
            for (QWidget* w : page->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
                if (w->objectName() != QLatin1String("BitBtnRunTheGame") &&
                    w->objectName() != QLatin1String("BitBtnDoctor"))
                    QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
            }
        }
        QVERIFY(Find<QPushButton>(form.get(), "BitBtnRunTheGame")->isEnabled());
        // The set-up check is what explains the missing file.
        QVERIFY(Find<QPushButton>(form.get(), "BitBtnDoctor")->isEnabled());
        QVERIFY(!Find<QPlainTextEdit>(form.get(), "MissionComment")->isEnabled());
        for (const char* name : {"BitBtnNew", "BitBtnSave", "BitBtnCopy", "BitBtnDelete"})
            QVERIFY2(!Find<QPushButton>(form.get(), name)->isEnabled(), name);
        QCOMPARE(Find<QListWidget>(form.get(), "lboxMissions")->count(), 0);
        QCOMPARE(Find<QTabWidget>(form.get(), "PageControl")->currentIndex(), 0);
        QVERIFY(ask.Asked.empty());
        // Nothing is scanned or created without data.
        QVERIFY(!fs::exists(box.MissionFolder));
    }
    {
        TUiSandbox box(false);
        zelk::test::WriteFileBytes(box.Data / "orvak_zelk.rc0", "this is no data file");
        TAskScript ask;
        auto form = OpenForm(box, ask);
        QVERIFY(form);
        const QString text = Find<QPlainTextEdit>(form.get(), "MissionShort")->toPlainText();
        QVERIFY2(text.contains(QStringLiteral("orvak_zelk.rc0 поврежден!")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Формирование заданий невозможно.")));
        // The fault itself is named below.
        QVERIFY(text.count(QStringLiteral("orvak_zelk.rc0")) >= 2);
        QVERIFY(!Find<QPushButton>(form.get(), "BitBtnNew")->isEnabled());
        QVERIFY(Find<QPushButton>(form.get(), "BitBtnRunTheGame")->isEnabled());
    }
}

void TestMainForm::emptyLibrary() {
    TUiSandbox box;
    TAskScript ask;
    auto form = OpenForm(box, ask);
    QVERIFY(form);
    QVERIFY(form->DataLoaded());
    QVERIFY(fs::is_directory(box.MissionFolder));
    QVERIFY(form->CurrentMission() == nullptr);
    QVERIFY(Find<QPushButton>(form.get(), "BitBtnNew")->isEnabled());
    for (const char* name : {"BitBtnSave", "BitBtnCopy", "BitBtnDelete", "comboMaps", "checkMoving", "editHeight",
                             "comboTanksRed", "speedAuto", "BitBtnRunTheGame", "MissionComment"})
        QVERIFY2(!Find<QWidget>(form.get(), name)->isEnabled(), name);
    QCOMPARE(Items(Find<QComboBox>(form.get(), "comboMaps")), QStringList({"Карта А", "Карта Б"}));
    QCOMPARE(Items(Find<QComboBox>(form.get(), "comboTargets")), QStringList({kColumn, "Мост", "Склад"}));
    QCOMPARE(Items(Find<QComboBox>(form.get(), "comboAircrafts")), QStringList({"Ил-2", "Пе-2", "Ту-2", "Учебный"}));
    QCOMPARE(Items(Find<QComboBox>(form.get(), "comboModes")),
             QStringList({"Штурмовка", "Торпедирование", "Пикирование", "Бомбометание"}));
    QVERIFY(ask.Asked.empty());
}

void TestMainForm::newSaveAndReopen() {
    TUiSandbox box;
    TAskScript ask;
    {
        auto form = OpenForm(box, ask);
        QVERIFY(form);
        QTest::mouseClick(Find<QPushButton>(form.get(), "BitBtnNew"), Qt::LeftButton);
        auto* list = Find<QListWidget>(form.get(), "lboxMissions");
        QCOMPARE(list->count(), 1);
        QCOMPARE(list->item(0)->text(), QStringLiteral("0001  zelk0001.mis *"));
        QCOMPARE(list->currentRow(), 0);
        TMission* mission = form->CurrentMission();
        QVERIFY(mission == &form->Library().At(0));
        QCOMPARE(mission->Data.Map, std::string("maps/a.ini"));
        QCOMPARE(U(mission->Data.Target), kColumn);
        QCOMPARE(mission->Data.Aircraft, std::string("IL2"));
        QCOMPARE(mission->Data.Height, 1000);
        QCOMPARE(mission->Data.Clouds, std::string("800"));
        QCOMPARE(mission->Data.Time, 12);
        QVERIFY(mission->IsNew);
        QCOMPARE(Find<QLineEdit>(form.get(), "FileName")->text(), QStringLiteral("zelk0001.mis"));
        QCOMPARE(Find<QPlainTextEdit>(form.get(), "MissionShort")->toPlainText(),
                 QStringLiteral("\n Не забудьте сохранить это задание!"));
        for (const char* name : {"BitBtnSave", "BitBtnCopy", "BitBtnDelete", "comboMaps", "checkMoving",
                                 "comboTanksBlue", "speedAuto", "BitBtnRunTheGame", "MissionComment"})
            QVERIFY2(Find<QWidget>(form.get(), name)->isEnabled(), name);
        // A training sortie has no enemy fighters.
        QVERIFY(!Find<QWidget>(form.get(), "editFighters")->isEnabled());
        QCOMPARE(Find<QLabel>(form.get(), "Image")->pixmap().size(), QSize(40, 30));

        auto* comment = Find<QPlainTextEdit>(form.get(), "MissionComment");
        comment->setFocus();
        TypeText(comment, QStringLiteral("Первая строка\nВторая"));
        QTest::mouseClick(Find<QPushButton>(form.get(), "BitBtnSave"), Qt::LeftButton);

        QVERIFY(fs::exists(box.MissionFolder / "zelk0001.mis"));
        QVERIFY(fs::exists(box.MissionFolder / "zelk0001_ru.properties"));
        QCOMPARE(list->item(0)->text(), QStringLiteral("0001  Штурмовка - ") + kColumn);
        QVERIFY(!form->Library().At(0).IsUnsaved());
        QVERIFY(Find<QPlainTextEdit>(form.get(), "MissionShort")->toPlainText() !=
                QStringLiteral("\n Не забудьте сохранить это задание!"));
        QCOMPARE(comment->toPlainText(), QStringLiteral("Первая строка\nВторая"));
        QCOMPARE(QApplication::focusWidget(), list);
        QCOMPARE(ask.Count(TAskKind::Error), 0);
    }
    // The next start finds the mission again and shows it first.
    auto form = OpenForm(box, ask);
    QVERIFY(form);
    auto* list = Find<QListWidget>(form.get(), "lboxMissions");
    QCOMPARE(list->count(), 1);
    QCOMPARE(list->item(0)->text(), QStringLiteral("0001  Штурмовка - ") + kColumn);
    QCOMPARE(Find<QLineEdit>(form.get(), "FileName")->text(), QStringLiteral("zelk0001.mis"));
    QVERIFY(
        Find<QPlainTextEdit>(form.get(), "MissionComment")->toPlainText().contains(QStringLiteral("Первая строка")));
    QCOMPARE(Find<QComboBox>(form.get(), "comboTargets")->currentText(), kColumn);
}

void TestMainForm::settlingTargetsTypesAndAircraft() {
    TUiSandbox box;
    TAskScript ask;
    auto form = OpenForm(box, ask);
    QVERIFY(form);
    form->DoNew();
    TMissionData& data = form->CurrentMission()->Data;
    auto* targets = Find<QComboBox>(form.get(), "comboTargets");
    auto* modes = Find<QComboBox>(form.get(), "comboModes");
    auto* aircrafts = Find<QComboBox>(form.get(), "comboAircrafts");
    auto* moving = Find<QCheckBox>(form.get(), "checkMoving");
    auto* image = Find<QLabel>(form.get(), "Image");

    // The bridge offers types 2 and 3 only and never moves.
    QVERIFY(Choose(targets, QStringLiteral("Мост")));
    QCOMPARE(U(data.Target), QStringLiteral("Мост"));
    QCOMPARE(Items(modes), QStringList({"Пикирование", "Бомбометание"}));
    QCOMPARE(modes->currentText(), QStringLiteral("Пикирование"));
    QCOMPARE(int(data.Mode), 2);
    QCOMPARE(Items(aircrafts), QStringList({"Пе-2"}));
    QCOMPARE(data.Aircraft, std::string("PE2"));
    QVERIFY(!moving->isEnabled() && !moving->isChecked());
    QCOMPARE(int(data.Moving), 0);
    QVERIFY(!Find<QWidget>(form.get(), "comboTanksRed")->isEnabled());
    QCOMPARE(image->pixmap().size(), QSize(50, 20));

    // A type change refills the aircraft only; the aircraft stays while offered.
    QVERIFY(Choose(modes, QStringLiteral("Бомбометание")));
    QCOMPARE(int(data.Mode), 3);
    QCOMPARE(Items(aircrafts), QStringList({"Пе-2", "Ту-2"}));
    QCOMPARE(data.Aircraft, std::string("PE2"));
    QVERIFY(Choose(aircrafts, QStringLiteral("Ту-2")));
    QCOMPARE(data.Aircraft, std::string("TU2"));
    QVERIFY(Choose(modes, QStringLiteral("Пикирование")));
    QCOMPARE(data.Aircraft, std::string("PE2"));

    // Moving cells only for combat sorties still offer the moving box.
    QVERIFY(Choose(targets, QStringLiteral("Склад")));
    QCOMPARE(int(data.Mode), 2);
    QCOMPARE(modes->count(), 4);
    QCOMPARE(int(data.Difficulty), 0);
    QVERIFY(moving->isEnabled());
    QTest::mouseClick(moving, Qt::LeftButton);
    QCOMPARE(int(data.Moving), 1);
    // It moves in combat sorties only: the difficulty follows the box, or the
    // save would have no target to write.
    auto* difficulty = Find<QComboBox>(form.get(), "comboDifficulty");
    QCOMPARE(difficulty->currentText(), QStringLiteral("Боевой вылет"));
    QCOMPARE(int(data.Difficulty), 1);
    // The picture is shown at its own size, larger than the preview.
    QCOMPARE(image->pixmap().size(), QSize(300, 230));
    QVERIFY(!image->hasScaledContents());

    // Combat sortie: fighters allowed; back to training: fighters gone, and
    // the target stands still again.
    auto* fighters = Find<TSpinEdit>(form.get(), "editFighters");
    QVERIFY(Choose(difficulty, QStringLiteral("Боевой вылет")));
    QCOMPARE(int(data.Difficulty), 1);
    QVERIFY(fighters->isEnabled());
    QCOMPARE(fighters->text(), QStringLiteral("0"));
    TypeInto(fighters, QStringLiteral("3"));
    QCOMPARE(data.Fighters, 3);
    QVERIFY(Choose(difficulty, QStringLiteral("Учебный вылет")));
    QCOMPARE(data.Fighters, 0);
    QVERIFY(!fighters->isEnabled());
    QVERIFY(!moving->isChecked());
    QCOMPARE(int(data.Moving), 0);

    // Another map: its targets, its picture.
    QVERIFY(Choose(Find<QComboBox>(form.get(), "comboMaps"), QStringLiteral("Карта Б")));
    QCOMPARE(data.Map, std::string("maps/b.ini"));
    QCOMPARE(Items(targets), QStringList({"Поезд"}));
    QCOMPARE(U(data.Target), QStringLiteral("Поезд"));
    QCOMPARE(image->pixmap().size(), QSize(60, 40));

    // The plain lists write their positions and texts.
    QVERIFY(Choose(Find<QComboBox>(form.get(), "comboArmy"), QStringLiteral("Синяя, японский")));
    QCOMPARE(data.Army, 3);
    QVERIFY(Choose(Find<QComboBox>(form.get(), "comboFlight"), QStringLiteral("Звено")));
    QCOMPARE(data.Flight, 2);
    QVERIFY(Choose(Find<QComboBox>(form.get(), "comboTime"), QStringLiteral("05:00")));
    QCOMPARE(data.Time, 5);
    QVERIFY(Choose(Find<QComboBox>(form.get(), "comboClouds"), QStringLiteral("1200")));
    QCOMPARE(data.Clouds, std::string("1200"));
    auto* weather = Find<QComboBox>(form.get(), "comboWeather");
    weather->setFocus();
    QTest::keyClick(weather, Qt::Key_Down);  // chosen from the keyboard
    QCOMPARE(data.Weather, 1);
    QTest::mouseClick(Find<QCheckBox>(form.get(), "checkRandomRoute"), Qt::LeftButton);
    QCOMPARE(int(data.RandomRoute), 1);
    QCOMPARE(ask.Count(TAskKind::Error), 0);
}

// Each control that edits a field writes that field and no other, and marks
// the mission unsaved.
void TestMainForm::everyControlWritesItsOwnField() {
    TUiSandbox box;
    TAskScript ask;
    auto form = OpenForm(box, ask);
    QVERIFY(form);
    form->DoNew();
    QVERIFY(form->DoSave());
    const auto c = On(*form);
    QComboBox* tanks = c.comboTanksRed->isEnabled() ? c.comboTanksRed : c.comboTanksBlue;
    const struct {
        QWidget* control;
        int value;  // list position, 0/1 or number
        std::function<void(TMissionData&)> expect;
    } cases[] = {
        {c.comboFlight, 2, [](TMissionData& d) { d.Flight = 2; }},
        {c.comboTime, 5, [](TMissionData& d) { d.Time = 5; }},
        {c.comboWeather, 3, [](TMissionData& d) { d.Weather = 3; }},
        {c.comboClouds, 0, [](TMissionData& d) { d.Clouds = "500"; }},
        {tanks, 4, [](TMissionData& d) { d.Tanks = 4; }},
        {c.checkRandomRoute, 1, [](TMissionData& d) { d.RandomRoute = 1; }},
        {c.editHeight, 2500, [](TMissionData& d) { d.Height = 2500; }},
    };
    for (const auto& k : cases) {
        const QString name = k.control->objectName();
        TMissionData expected = form->CurrentMission()->Data;
        k.expect(expected);
        if (auto* combo = qobject_cast<QComboBox*>(k.control))
            QVERIFY2(Choose(combo, combo->itemText(k.value)), qPrintable(name));
        else if (auto* check = qobject_cast<QCheckBox*>(k.control))
            QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(4, check->height() / 2));
        else
            TypeInto(qobject_cast<QAbstractSpinBox*>(k.control), QString::number(k.value));
        QVERIFY2(form->CurrentMission()->Data == expected, qPrintable(name));
        QVERIFY2(form->CurrentMission()->IsUnsaved(), qPrintable(name));
        QVERIFY(form->DoSave());
    }
}

void TestMainForm::tankLists() {
    TUiSandbox box;
    TAskScript ask;
    auto form = OpenForm(box, ask);
    QVERIFY(form);
    form->DoNew();
    form->DoNew();
    auto* list = Find<QListWidget>(form.get(), "lboxMissions");
    auto* red = Find<QComboBox>(form.get(), "comboTanksRed");
    auto* blue = Find<QComboBox>(form.get(), "comboTanksBlue");
    TMission& mission = form->Library().At(0);
    ClickEntry(list, 0);
    QVERIFY(form->CurrentMission() == &mission);
    // Blue columns: a choice in the red list would be saved as a blue tank.
    QVERIFY(!red->isEnabled() && blue->isEnabled());

    const QString blue4 = U(TankDisplayNames[2][4]);
    QVERIFY(Choose(blue, blue4));
    QCOMPARE(mission.Data.Tanks, 4);
    // A new mission shows the number in the list of the side whose columns
    // the save fills: blue here, named so by the target, whatever the army.
    ClickEntry(list, 1);
    ClickEntry(list, 0);
    QCOMPARE(red->currentIndex(), 0);
    QCOMPARE(blue->currentIndex(), 4);
    QVERIFY(Choose(Find<QComboBox>(form.get(), "comboArmy"), QStringLiteral("Синяя, немецкий")));
    ClickEntry(list, 1);
    ClickEntry(list, 0);
    QCOMPARE(red->currentIndex(), 0);
    QCOMPARE(blue->currentIndex(), 4);

    // Once saved, the title's tank suffix decides.
    QVERIFY(form->DoSave());
    QVERIFY2(list->item(0)->text().endsWith(QStringLiteral(" [") + blue4 + QStringLiteral("]")),
             qPrintable(list->item(0)->text()));
    QCOMPARE(red->currentIndex(), 0);
    QCOMPARE(blue->currentIndex(), 4);

    QVERIFY(Choose(Find<QComboBox>(form.get(), "comboTargets"), QStringLiteral("Склад")));
    QVERIFY(!red->isEnabled() && !blue->isEnabled());
}

void TestMainForm::spinBoxes() {
    TUiSandbox box;
    TAskScript ask;
    auto form = OpenForm(box, ask);
    QVERIFY(form);
    form->DoNew();
    TMissionData& data = form->CurrentMission()->Data;
    auto* height = Find<TSpinEdit>(form.get(), "editHeight");

    // The mission follows the typing; the save stores the value in range.
    TypeInto(height, QStringLiteral("20000"));
    QCOMPARE(data.Height, 20000);
    QTest::mouseClick(Find<QPushButton>(form.get(), "BitBtnSave"), Qt::LeftButton);
    QCOMPARE(form->Library().At(0).SavedData.Height, 15000);
    QCOMPARE(height->text(), QStringLiteral("15000"));

    // Letters are refused; what is left is no number and counts as 50.
    TypeInto(height, QStringLiteral("abc"));
    QCOMPARE(height->text(), QString());
    QCOMPARE(data.Height, 50);
    Find<QListWidget>(form.get(), "lboxMissions")->setFocus();
    QCOMPARE(height->text(), QStringLiteral("50"));
    QCOMPARE(data.Height, 50);

    TypeInto(height, QStringLiteral("-5"));
    QCOMPARE(data.Height, -5);
    Find<QListWidget>(form.get(), "lboxMissions")->setFocus();
    QCOMPARE(data.Height, 50);

    TypeInto(height, QStringLiteral("12,5"));
    QCOMPARE(data.Height, 50);

    // Arrows step within the range.
    TypeInto(height, QStringLiteral("14995"));
    QTest::keyClick(height, Qt::Key_Up);
    QCOMPARE(data.Height, 15000);
    QTest::keyClick(height, Qt::Key_Up);
    QCOMPARE(data.Height, 15000);
    QTest::keyClick(height, Qt::Key_Down);
    QCOMPARE(data.Height, 14990);

    // Out-of-range values of a mission are shown, and stored, in range.
    Find<QListWidget>(form.get(), "lboxMissions")->setFocus();
    form->CurrentMission()->Data.Height = 30;
    form->CurrentMission()->Data.Difficulty = 1;
    form->CurrentMission()->Data.Fighters = 9;
    form->ShowMissionData();
    QCOMPARE(data.Height, 50);
    QCOMPARE(data.Fighters, 4);
    QCOMPARE(Find<TSpinEdit>(form.get(), "editFighters")->text(), QStringLiteral("4"));
}

void TestMainForm::copyResetsColumnsRouteAndFighters() {
    TUiSandbox box;
    TAskScript ask;
    auto form = OpenForm(box, ask);
    QVERIFY(form);
    form->DoNew();
    QVERIFY(Choose(Find<QComboBox>(form.get(), "comboTanksBlue"), U(TankDisplayNames[2][4])));
    QTest::mouseClick(Find<QCheckBox>(form.get(), "checkRandomRoute"), Qt::LeftButton);
    QVERIFY(Choose(Find<QComboBox>(form.get(), "comboDifficulty"), QStringLiteral("Боевой вылет")));
    TypeInto(Find<TSpinEdit>(form.get(), "editFighters"), QStringLiteral("2"));
    QVERIFY(Choose(Find<QComboBox>(form.get(), "comboTime"), QStringLiteral("21:00")));
    QVERIFY(form->DoSave());
    const TMission& source = form->Library().At(0);
    QCOMPARE(source.SavedData.Fighters, 2);

    QTest::mouseClick(Find<QPushButton>(form.get(), "BitBtnCopy"), Qt::LeftButton);
    auto* list = Find<QListWidget>(form.get(), "lboxMissions");
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->currentRow(), 1);
    QCOMPARE(list->item(1)->text(), QStringLiteral("0002  ") + U(source.Name) + QStringLiteral(" *"));
    const TMission& copy = form->Library().At(1);
    QVERIFY(form->CurrentMission() == &copy);
    QCOMPARE(copy.FileName, std::string("zelk0002.mis"));
    QVERIFY(copy.IsNew);
    QCOMPARE(copy.Data.Tanks, 0);
    QCOMPARE(int(copy.Data.RandomRoute), 0);
    QCOMPARE(copy.Data.Fighters, 0);
    QCOMPARE(copy.Data.Time, 21);
    QCOMPARE(int(copy.Data.Difficulty), 1);
    QVERIFY(!Find<QCheckBox>(form.get(), "checkRandomRoute")->isChecked());
    QCOMPARE(Find<QPlainTextEdit>(form.get(), "MissionShort")->toPlainText(),
             QStringLiteral("\n Не забудьте сохранить это задание!"));
}

void TestMainForm::deleteSelectedEntries() {
    TUiSandbox box;
    TAskScript ask;
    auto form = OpenForm(box, ask);
    QVERIFY(form);
    for (int i = 0; i < 3; ++i) {
        form->DoNew();
        QVERIFY(form->DoSave());
    }
    auto* list = Find<QListWidget>(form.get(), "lboxMissions");
    // Entries 0 and 2 selected, the focus on entry 1.
    ClickEntry(list, 0);
    ClickEntry(list, 2, Qt::ControlModifier);
    list->selectionModel()->setCurrentIndex(list->model()->index(1, 0), QItemSelectionModel::NoUpdate);
    QCOMPARE(list->selectedItems().size(), 2);

    ask.Answers = {QMessageBox::No};
    QTest::mouseClick(Find<QPushButton>(form.get(), "BitBtnDelete"), Qt::LeftButton);
    QCOMPARE(ask.Asked.back().Kind, TAskKind::Confirm);
    QCOMPARE(ask.Asked.back().Caption, QStringLiteral("Подтверждение"));
    QCOMPARE(ask.Asked.back().Text, QStringLiteral("Вы действительно хотите удалить 2 задания?"));
    QCOMPARE(list->count(), 3);
    QVERIFY(fs::exists(box.MissionFolder / "zelk0001.mis"));

    ask.Answers = {QMessageBox::Yes};
    QTest::mouseClick(Find<QPushButton>(form.get(), "BitBtnDelete"), Qt::LeftButton);
    QCOMPARE(list->count(), 1);
    QCOMPARE(form->Library().At(0).FileName, std::string("zelk0002.mis"));
    QVERIFY(!fs::exists(box.MissionFolder / "zelk0001.mis"));
    QVERIFY(!fs::exists(box.MissionFolder / "zelk0003_ru.properties"));
    QVERIFY(fs::exists(box.MissionFolder / "zelk0002.mis"));
    QCOMPARE(list->currentRow(), 0);
    QVERIFY(form->CurrentMission() == &form->Library().At(0));
    QCOMPARE(Find<QLineEdit>(form.get(), "FileName")->text(), QStringLiteral("zelk0002.mis"));

    ClickEntry(list, 0);
    ask.Answers = {QMessageBox::Yes};
    QTest::mouseClick(Find<QPushButton>(form.get(), "BitBtnDelete"), Qt::LeftButton);
    QCOMPARE(ask.Asked.back().Text, QStringLiteral("Вы действительно хотите удалить 1 задание?"));
    QCOMPARE(list->count(), 0);
    QVERIFY(form->CurrentMission() == nullptr);
    QCOMPARE(Find<QLineEdit>(form.get(), "FileName")->text(), QString());
    QCOMPARE(Find<QPlainTextEdit>(form.get(), "MissionShort")->toPlainText(), QString());
    for (const char* name :
         {"BitBtnSave", "BitBtnCopy", "BitBtnDelete", "comboMaps", "editFighters", "BitBtnRunTheGame"})
        QVERIFY2(!Find<QWidget>(form.get(), name)->isEnabled(), name);
    QCOMPARE(Find<QLabel>(form.get(), "Image")->pixmap().size(), QSize(280, 210));
    QVERIFY(Find<QPushButton>(form.get(), "BitBtnNew")->isEnabled());
    // With nothing selected, Delete asks nothing.
    const auto asked = ask.Asked.size();
    form->DoDelete();
    QCOMPARE(ask.Asked.size(), asked);
}

void TestMainForm::numberLimit() {
    TUiSandbox box;
    fs::create_directories(box.MissionFolder);
    zelk::test::WriteFileBytes(box.MissionFolder / "zelk9999.mis", "[MAIN]\r\n  MAP maps/a.ini\r\n");
    // A mission of a map the data lack: shown with an empty target list.
    zelk::test::WriteFileBytes(box.MissionFolder / "zelk0005.mis",
                               "[MAIN]\r\n  MAP maps/gone.ini\r\n  CloudHeight 750.0\r\n");
    TAskScript ask;
    auto form = OpenForm(box, ask);
    QVERIFY(form);
    auto* list = Find<QListWidget>(form.get(), "lboxMissions");
    QCOMPARE(list->count(), 2);
    const int gone = form->Library().FindByFileName("zelk0005.mis");
    ClickEntry(list, gone);
    QCOMPARE(Find<QComboBox>(form.get(), "comboTargets")->count(), 0);
    QCOMPARE(Find<QComboBox>(form.get(), "comboClouds")->currentIndex(), -1);
    QCOMPARE(Find<QLabel>(form.get(), "Image")->pixmap().size(), QSize(280, 210));
    QCOMPARE(form->Library().At(gone).Data.Map, std::string("maps/gone.ini"));
    QTest::mouseClick(Find<QPushButton>(form.get(), "BitBtnNew"), Qt::LeftButton);
    QCOMPARE(ask.Count(TAskKind::Problem), 1);
    QCOMPARE(ask.Asked.back().Caption, QStringLiteral("Проблема"));
    QCOMPARE(ask.Asked.back().Text,
             QStringLiteral("Исчерпан лимит номеров заданий ZELK - 9999!\nУдалите лишние задания из папки ZELK."));
    QTest::mouseClick(Find<QPushButton>(form.get(), "BitBtnCopy"), Qt::LeftButton);
    QCOMPARE(ask.Count(TAskKind::Problem), 2);
    QCOMPARE(list->count(), 2);
    QCOMPARE(form->Library().Count(), 2);

    // With the top number free again, New works even while the target list
    // is empty: the new mission settles on the first map's first target.
    ask.Answers = {QMessageBox::Yes};
    ClickEntry(list, 1 - gone);
    QTest::mouseClick(Find<QPushButton>(form.get(), "BitBtnDelete"), Qt::LeftButton);
    ClickEntry(list, 0);
    QTest::mouseClick(Find<QPushButton>(form.get(), "BitBtnNew"), Qt::LeftButton);
    QCOMPARE(list->count(), 2);
    QCOMPARE(form->CurrentMission()->FileName, std::string("zelk0006.mis"));
    QCOMPARE(U(form->CurrentMission()->Data.Target), kColumn);
}

void TestMainForm::commentBox() {
    TUiSandbox box;
    TAskScript ask;
    auto form = OpenForm(box, ask);
    QVERIFY(form);
    form->DoNew();
    QVERIFY(form->DoSave());
    form->DoNew();
    QVERIFY(form->DoSave());
    auto* list = Find<QListWidget>(form.get(), "lboxMissions");
    auto* comment = Find<QPlainTextEdit>(form.get(), "MissionComment");

    ClickEntry(list, 0);
    comment->setFocus();
    TypeText(comment, QStringLiteral("правка"));
    // A typed comment is an unsaved value of its mission, kept while another
    // mission is shown and over a refresh.
    QCOMPARE(form->Library().CountUnsaved(), 1);
    QVERIFY(list->item(0)->text().endsWith(QStringLiteral(" *")));
    ClickEntry(list, 1);
    QCOMPARE(comment->toPlainText(), QString());
    ClickEntry(list, 0);
    QCOMPARE(comment->toPlainText(), QStringLiteral("правка"));
    QVERIFY(Choose(Find<QComboBox>(form.get(), "comboDifficulty"), QStringLiteral("Боевой вылет")));
    QCOMPARE(comment->toPlainText(), QStringLiteral("правка"));

    // A mission saved while another is shown keeps its own comment.
    comment->setFocus();
    comment->selectAll();
    TypeText(comment, QStringLiteral("своя"));
    QVERIFY(form->DoSave());
    ClickEntry(list, 1);
    form->SaveMission("zelk0001.mis");
    ClickEntry(list, 0);
    QCOMPARE(comment->toPlainText(), QStringLiteral("своя"));

    // At close, an earlier unsaved mission's save must not cost the shown
    // one its typed comment.
    QVERIFY(Choose(Find<QComboBox>(form.get(), "comboTime"), QStringLiteral("05:00")));
    ClickEntry(list, 1);
    comment->setFocus();
    TypeText(comment, QStringLiteral("вторая"));
    ask.Answers = {QMessageBox::Yes};
    form->close();
    QVERIFY(!form->isVisible());
    QCOMPARE(U(form->Library().At(1).Comment.at(0)), QStringLiteral("вторая"));
    QCOMPARE(U(form->Library().At(0).Comment.at(0)), QStringLiteral("своя"));

    // The box keeps no more than reading back keeps, and says so.
    const int asked = static_cast<int>(ask.Asked.size());
    comment->setPlainText(QString(1000, QLatin1Char('a')) + QStringLiteral("\n") + QString(600, QLatin1Char('b')));
    QCOMPARE(comment->toPlainText().size(), 1023);
    QTest::qWait(1);
    QCOMPARE(static_cast<int>(ask.Asked.size()), asked + 1);
    QVERIFY(ask.Asked.back().Text.contains(QStringLiteral("1024")));

    // Characters the simulator cannot show are named while typing, once each.
    auto* lost = Find<QLabel>(form.get(), "LabelCommentChars");
    comment->clear();
    QCOMPARE(lost->text(), QString());
    comment->setFocus();
    TypeText(comment, QStringLiteral("Курс ƒ, ƒ №1 ✈"));
    QCOMPARE(lost->text(), QStringLiteral("Симулятор не покажет: ƒ ✈"));
}

void TestMainForm::unreadableFolder() {
    TUiSandbox box;
    TAskScript ask;
    // A folder that breaks off mid-listing, as a failing disk does.
    const TFolderLister saved = FolderLister();
    FolderLister() = [](const fs::path&, const std::function<void(const std::string&)>& onName, int& error) {
        onName("zelk0001.mis");
        error = EIO;
        return false;
    };
    auto form = OpenForm(box, ask);
    FolderLister() = saved;
    QVERIFY(form);
    QCOMPARE(ask.Asked.size(), size_t(1));
    QCOMPARE(ask.Asked[0].Caption, QStringLiteral("Проблема"));
    QVERIFY(ask.Asked[0].Text.startsWith(QStringLiteral("Папку ZELK невозможно прочитать (ошибка ввода-вывода)!")));
    QVERIFY(!Find<QPushButton>(form.get(), "BitBtnNew")->isEnabled());
    QVERIFY(!Find<QPushButton>(form.get(), "BitBtnCopy")->isEnabled());
}

void TestMainForm::closeWithUnsavedMissions() {
    TUiSandbox box;
    for (auto answer : {QMessageBox::Cancel, QMessageBox::No}) {
        TAskScript ask;
        auto form = OpenForm(box, ask);
        QVERIFY(form);
        for (int i = 0; i < 7; ++i) form->DoNew();
        ask.Answers = {answer};
        form->close();
        QCOMPARE(ask.Asked.back().Kind, TAskKind::Query);
        QCOMPARE(ask.Asked.back().Caption, QStringLiteral("Запрос"));
        // The missions are named, a few of them.
        QCOMPARE(ask.Asked.back().Text, QStringLiteral("Не сохранены 7 заданий!\n"
                                                       "  0001  zelk0001.mis *\n  0002  zelk0002.mis *\n"
                                                       "  0003  zelk0003.mis *\n  0004  zelk0004.mis *\n"
                                                       "  0005  zelk0005.mis *\n  и ещё 2\n"
                                                       "Сохранить их для Вас?"));
        QCOMPARE(form->isVisible(), answer == QMessageBox::Cancel);
        QVERIFY(fs::is_empty(box.MissionFolder));
    }
    {
        TAskScript ask;
        auto form = OpenForm(box, ask);
        QVERIFY(form);
        form->DoNew();
        form->DoNew();
        form->DoNew();
        QVERIFY(form->DoSave());  // the third is saved already
        auto* list = Find<QListWidget>(form.get(), "lboxMissions");
        ClickEntry(list, 0);
        auto* comment = Find<QPlainTextEdit>(form.get(), "MissionComment");
        comment->setFocus();
        TypeText(comment, QStringLiteral("первое"));
        ask.Answers = {QMessageBox::Yes};
        form->close();
        QCOMPARE(ask.Asked.back().Text,
                 QStringLiteral("Не сохранены 2 задания!\n  0001  zelk0001.mis *\n  0002  zelk0002.mis *\n"
                                "Сохранить их для Вас?"));
        QVERIFY(!form->isVisible());
        for (const char* name : {"zelk0001.mis", "zelk0001_ru.properties", "zelk0002.mis", "zelk0002_ru.properties"})
            QVERIFY2(fs::exists(box.MissionFolder / name), name);
        QCOMPARE(form->Library().CountUnsaved(), 0);
        // Each mission got its own comment, not the one of the mission shown.
        QCOMPARE(U(form->Library().At(0).Comment.at(0)), QStringLiteral("первое"));
        QVERIFY(form->Library().At(1).Comment.empty() || form->Library().At(1).Comment.at(0).empty());
    }
    {
        TAskScript ask;
        auto form = OpenForm(box, ask);
        QVERIFY(form);
        form->DoNew();
        ask.Answers = {QMessageBox::Cancel};
        form->close();
        QCOMPARE(ask.Asked.back().Text,
                 QStringLiteral("Не сохранено 1 задание!\n  0004  zelk0004.mis *\nСохранить его для Вас?"));
        // Nothing unsaved: no question.
        QVERIFY(form->DoSave());
        const auto asked = ask.Asked.size();
        form->close();
        QCOMPARE(ask.Asked.size(), asked);
        QVERIFY(!form->isVisible());
    }
}

void TestMainForm::closeWhenSaveFails() {
    TUiSandbox box;
    TAskScript ask;
    auto form = OpenForm(box, ask);
    QVERIFY(form);
    form->DoNew();
    form->DoNew();
    // The object blocks cannot be read any more.
    fs::remove(box.Data / "orvak_zelk.rc0");
    ask.Answers = {QMessageBox::Yes, QMessageBox::Ok};
    form->close();
    QVERIFY(form->isVisible());
    QCOMPARE(ask.Count(TAskKind::Error), 1);
    QVERIFY(ask.Asked.back().Text.contains(QStringLiteral("orvak_zelk.rc0")));
    QVERIFY(fs::is_empty(box.MissionFolder));
    QCOMPARE(form->Library().CountUnsaved(), 2);

    // With auto-generation on, the window stays locked after the failed
    // close-time save, as the button still says.
    On(*form).PageControl->setCurrentIndex(1);
    ask.Answers = {QMessageBox::No};  // on without saving them
    On(*form).speedAuto->click();
    QVERIFY(On(*form).speedAuto->isChecked() && form->Monitor() != nullptr);
    ask.Answers = {QMessageBox::Yes, QMessageBox::Ok};
    form->close();
    QVERIFY(form->isVisible());
    QVERIFY(On(*form).speedAuto->isChecked() && form->Monitor() != nullptr);
    for (QWidget* w :
         QWidgetList{On(*form).comboMaps, On(*form).checkMoving, On(*form).comboTanksRed, On(*form).editFighters,
                     On(*form).MissionComment, On(*form).lboxMissions, On(*form).BitBtnNew, On(*form).BitBtnSave,
                     On(*form).BitBtnCopy, On(*form).BitBtnDelete})
        QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
    QVERIFY(On(*form).speedAuto->isEnabled() && On(*form).BitBtnRunTheGame->isEnabled());
    // Switching off unlocks it as usual.
    On(*form).speedAuto->click();
    QVERIFY(On(*form).comboMaps->isEnabled() && On(*form).BitBtnNew->isEnabled() &&
            On(*form).lboxMissions->isEnabled());
}

void TestMainForm::saveWhenAnotherProgramTookTheNumber() {
    TUiSandbox box;
    TAskScript ask;
    auto form = OpenForm(box, ask);
    QVERIFY(form);
    form->DoNew();
    fs::create_directories(box.MissionFolder);
    zelk::test::WriteFileBytes(box.MissionFolder / "zelk0001.mis", "theirs");
    zelk::test::WriteFileBytes(box.MissionFolder / "zelk0001_ru.properties", "theirs too");
    QVERIFY(form->DoSave());
    QCOMPARE(ask.Asked.back().Caption, QStringLiteral("Проблема"));
    QVERIFY(ask.Asked.back().Text.contains(QStringLiteral("zelk0002.mis")));
    QCOMPARE(zelk::test::ReadFileBytes(box.MissionFolder / "zelk0001.mis"), std::string("theirs"));
    QCOMPARE(zelk::test::ReadFileBytes(box.MissionFolder / "zelk0001_ru.properties"), std::string("theirs too"));
    QVERIFY(fs::exists(box.MissionFolder / "zelk0002_ru.properties"));
    QCOMPARE(Find<QLineEdit>(form.get(), "FileName")->text(), QStringLiteral("zelk0002.mis"));
    QCOMPARE(form->Library().CountUnsaved(), 0);
}

// Each file operation of New, Copy, Save, Delete and the save at close failed
// in turn: stored missions stay byte-identical, the failure is reported, and
// the list shows exactly what is on disk.
void TestMainForm::fileFaultsLoseNothing() {
    struct TCommand {
        const char* Name;
        std::function<void(TZELK_form&, TAskScript&)> Run;
    };
    const TCommand commands[] = {
        {"New",
         [](TZELK_form& f, TAskScript&) {
             f.DoNew();
             f.DoSave();
         }},
        {"Copy",
         [](TZELK_form& f, TAskScript&) {
             ClickEntry(On(f).lboxMissions, 0);
             f.DoCopy();
             f.DoSave();
         }},
        {"Save",
         [](TZELK_form& f, TAskScript&) {
             ClickEntry(On(f).lboxMissions, 1);
             f.Library().At(1).Data.Height += 100;
             f.DoSave();
         }},
        {"Delete",
         [](TZELK_form& f, TAskScript& ask) {
             On(f).lboxMissions->selectAll();
             ask.Answers = {QMessageBox::Yes};
             f.DoDelete();
         }},
        {"close",
         [](TZELK_form& f, TAskScript& ask) {
             f.DoNew();
             ask.Answers = {QMessageBox::Yes};
             f.close();
         }},
    };
    int injected = 0;
    int lost = 0;
    for (const auto& command : commands) {
        for (int failAt = 1;; ++failAt) {
            const QByteArray where = QByteArray(command.Name) + ", failing call " + QByteArray::number(failAt);
            TUiSandbox box;
            {
                TAskScript setUp;
                auto form = OpenForm(box, setUp);
                QVERIFY(form);
                for (int i = 0; i < 2; ++i) {
                    form->DoNew();
                    QVERIFY(form->DoSave());
                }
            }
            const auto before = zelk::test::FolderBytes(box.MissionFolder);
            TAskScript ask;
            zelk::test::TFaultFileSystem faults;
            faults.FailAt = failAt;
            auto form = OpenForm(box, ask, &faults);
            QVERIFY(form);
            command.Run(*form, ask);
            const bool reported = std::any_of(ask.Asked.begin(), ask.Asked.end(), [](const TAsked& a) {
                return a.Kind == TAskKind::Error || a.Kind == TAskKind::Problem;
            });
            const auto after = zelk::test::FolderBytes(box.MissionFolder);

            const bool done =
                std::string(command.Name) == "Delete" ? form->Library().Empty() : form->Library().CountUnsaved() == 0;
            const auto lostHere = zelk::test::LostMissions(before, after, std::string(command.Name) == "Delete",
                                                           done && std::string(command.Name) == "Save");
            lost += static_cast<int>(lostHere.size());
            if (!lostHere.empty()) QFAIL(where + ": lost " + lostHere.front().c_str());
            QVERIFY2(zelk::test::HalfMissions(after).empty(), where);
            // The list holds exactly the missions on disk, besides those never saved.
            std::set<std::string> listed;
            std::set<std::string> onDisk;
            for (int i = 0; i < form->Library().Count(); ++i)
                if (!form->Library().At(i).IsNew) listed.insert(form->Library().At(i).FileName);
            for (const auto& [name, bytes] : after)
                if (name.starts_with("zelk") && name.ends_with(".mis")) onDisk.insert(name);
            QVERIFY2(listed == onDisk, where);
            if (!faults.Injected()) {
                QVERIFY2(done && !reported, where);
                break;
            }
            ++injected;
            if (!done) QVERIFY2(reported, where + ": not reported");
            if (std::string(command.Name) == "close") QVERIFY2(form->isVisible() == !done, where);
        }
    }
    qInfo("window: injected failures %d, missions lost %d", injected, lost);
    QVERIFY(injected > 10);
}

void TestMainForm::realMessageBoxes() {
    TUiSandbox box;
    TAskScript ask;
    auto form = OpenForm(box, ask);
    QVERIFY(form);
    form->DoNew();
    form->SetAsk(nullptr);

    QString title, text;
    QMessageBox::Icon icon = QMessageBox::Critical;
    QMessageBox::StandardButtons buttons;
    QTimer::singleShot(50, [&] {
        auto* boxWidget = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (boxWidget == nullptr) return;
        title = boxWidget->windowTitle();
        text = boxWidget->text();
        icon = boxWidget->icon();
        buttons = boxWidget->standardButtons();
        boxWidget->button(QMessageBox::No)->click();
    });
    form->DoDelete();
    QCOMPARE(title, QStringLiteral("Подтверждение"));
    QCOMPARE(text, QStringLiteral("Вы действительно хотите удалить 1 задание?"));
    QCOMPARE(icon, QMessageBox::NoIcon);
    QCOMPARE(buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(form->Library().Count(), 1);

    QTimer::singleShot(50, [&] {
        auto* boxWidget = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (boxWidget == nullptr) return;
        title = boxWidget->windowTitle();
        buttons = boxWidget->standardButtons();
        icon = boxWidget->icon();
        text.clear();
        for (QAbstractButton* button : boxWidget->buttons()) text += button->text() + QLatin1Char(' ');
        boxWidget->button(QMessageBox::Cancel)->click();
    });
    form->close();
    QCOMPARE(title, QStringLiteral("Запрос"));
    for (const QString& russian : {QStringLiteral("Да "), QStringLiteral("Нет "), QStringLiteral("Отмена ")})
        QVERIFY2(text.contains(russian), qPrintable(text));
    QCOMPARE(buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QCOMPARE(icon, QMessageBox::NoIcon);
    QVERIFY(form->isVisible());
    form->Library().Missions.clear();
}

void TestMainForm::warningsAndFolderFailure() {
    TUiSandbox box;
    zelk::test::WriteFileBytes(box.Data / "orvak_zelk.rc2", "broken");
    fs::create_directories(box.Root / "Missions" / "Single");
    zelk::test::WriteFileBytes(box.Root / "Missions" / "Single" / "NN", "a file where the folder should be");
    TAskScript ask;
    auto form = OpenForm(box, ask);
    QVERIFY(form);
    QCOMPARE(ask.Asked.size(), size_t(2));
    QCOMPARE(ask.Asked[0].Kind, TAskKind::ProblemOkCancel);
    QCOMPARE(ask.Asked[0].Caption, QStringLiteral("Проблема"));
    QCOMPARE(ask.Asked[0].Text, QStringLiteral("Папку ZELK невозможно создать!"));
    QCOMPARE(ask.Asked[1].Kind, TAskKind::Problem);
    QVERIFY(ask.Asked[1].Text.contains(QStringLiteral("orvak_zelk.rc2")));
    // The good data still load and New works.
    QCOMPARE(Find<QComboBox>(form.get(), "comboMaps")->count(), 2);
    QVERIFY(Find<QPushButton>(form.get(), "BitBtnNew")->isEnabled());
}

void TestMainForm::newAndCopySelectOnlyTheNewEntry() {
    TUiSandbox box;
    TAskScript ask;
    auto form = OpenForm(box, ask);
    QVERIFY(form);
    form->DoNew();
    QVERIFY(form->DoSave());
    auto* list = Find<QListWidget>(form.get(), "lboxMissions");
    ClickEntry(list, 0);
    QTest::mouseClick(Find<QPushButton>(form.get(), "BitBtnCopy"), Qt::LeftButton);
    QCOMPARE(list->selectedItems(), QList<QListWidgetItem*>{list->item(1)});
    QTest::mouseClick(Find<QPushButton>(form.get(), "BitBtnNew"), Qt::LeftButton);
    QCOMPARE(list->selectedItems(), QList<QListWidgetItem*>{list->item(2)});
    // Deleting what was just made never takes the original with it.
    ask.Answers = {QMessageBox::Yes};
    QTest::mouseClick(Find<QPushButton>(form.get(), "BitBtnDelete"), Qt::LeftButton);
    QCOMPARE(ask.Asked.back().Text, QStringLiteral("Вы действительно хотите удалить 1 задание?"));
    QCOMPARE(list->count(), 2);
    QVERIFY(fs::exists(box.MissionFolder / "zelk0001.mis"));

    // A copy of a mission never saved is listed under its own name.
    QTest::mouseClick(Find<QPushButton>(form.get(), "BitBtnCopy"), Qt::LeftButton);
    QCOMPARE(list->item(2)->text(), QStringLiteral("0003  zelk0003.mis *"));
    // Another map chosen for a saved mission: the summary names it at once.
    ClickEntry(list, 0);
    QVERIFY(On(*form).MissionShort->toPlainText().contains(QStringLiteral("Карта А")));
    QVERIFY(Choose(On(*form).comboMaps, QStringLiteral("Карта Б")));
    QVERIFY2(On(*form).MissionShort->toPlainText().contains(QStringLiteral("Карта Б")),
             qPrintable(On(*form).MissionShort->toPlainText()));
}

void TestMainForm::missionOfALeftOutMap() {
    TUiSandbox box;
    TAskScript ask;
    {
        auto form = OpenForm(box, ask);
        QVERIFY(form);
        form->DoNew();
        QVERIFY(Choose(Find<QComboBox>(form.get(), "comboMaps"), QStringLiteral("Карта Б")));
        QVERIFY(form->DoSave());
    }
    zelk::test::WriteFileBytes(box.Data / "orvak_zelk.rc1", "broken");
    const std::string written = zelk::test::ReadFileBytes(box.MissionFolder / "zelk0001.mis");
    auto form = OpenForm(box, ask);
    QVERIFY(form);
    auto* list = Find<QListWidget>(form.get(), "lboxMissions");
    ClickEntry(list, 0);
    // Looking at it changes nothing.
    const TMission& mission = form->Library().At(0);
    QCOMPARE(mission.Data.Map, std::string("maps/b.ini"));
    QVERIFY(!mission.IsUnsaved());
    QVERIFY(!list->item(0)->text().endsWith(QStringLiteral(" *")));
    QCOMPARE(Find<QComboBox>(form.get(), "comboMaps")->currentIndex(), -1);

    // Its save is refused with its own target named, and nothing is written.
    QVERIFY(!form->DoSave());
    QCOMPARE(ask.Asked.back().Kind, TAskKind::Error);
    QVERIFY2(ask.Asked.back().Text.contains(QStringLiteral("«Поезд»")) &&
                 ask.Asked.back().Text.contains(QStringLiteral("не загружена")),
             qPrintable(ask.Asked.back().Text));
    QCOMPARE(zelk::test::ReadFileBytes(box.MissionFolder / "zelk0001.mis"), written);

    // Changed, it still lets the window close: it is only reported.
    QVERIFY(Choose(Find<QComboBox>(form.get(), "comboTime"), QStringLiteral("05:00")));
    QVERIFY(mission.IsUnsaved());
    ask.Answers = {QMessageBox::Yes};
    form->close();
    QVERIFY(!form->isVisible());
    QCOMPARE(ask.Asked.back().Kind, TAskKind::Problem);
    QVERIFY(ask.Asked.back().Text.contains(QStringLiteral("zelk0001.mis")));
    QCOMPARE(zelk::test::ReadFileBytes(box.MissionFolder / "zelk0001.mis"), written);
}

void TestMainForm::wheelTurnsOnlyTheFocusedControl() {
    TUiSandbox box;
    TAskScript ask;
    auto form = OpenForm(box, ask);
    QVERIFY(form);
    form->DoNew();
    auto* list = Find<QListWidget>(form.get(), "lboxMissions");
    const TMissionData before = form->CurrentMission()->Data;
    auto turn = [](QWidget* control) {
        QWheelEvent wheel(QPointF(5, 5), control->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(control, &wheel);
    };
    for (QWidget* control : {Find<QWidget>(form.get(), "comboTime"), Find<QWidget>(form.get(), "editHeight")}) {
        list->setFocus();
        turn(control);
        QVERIFY2(form->CurrentMission()->Data == before, qPrintable(control->objectName()));
        control->setFocus();
        turn(control);
        QVERIFY2(!(form->CurrentMission()->Data == before), qPrintable(control->objectName()));
        form->CurrentMission()->Data = before;
    }
}

void TestMainForm::simulatorPaths() {
    QCOMPARE(SimulatorRootOf("/games/sim/ZELK"), fs::path("/games/sim"));
    QCOMPARE(SimulatorRootOf("/games/sim/ZELK/"), fs::path("/games/sim"));
    QCOMPARE(SimulatorRootOf("/"), fs::path("/"));
    const TSimPaths paths = MakeSimPaths("/games/sim");
    QCOMPARE(paths.MissionFolder, fs::path("/games/sim/Missions/Single/NN/ZELK"));
    QCOMPARE(paths.SimulatorExe, fs::path("/games/sim/orvaksim.exe"));
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
#ifdef _WIN32
    // Offscreen Qt looks for fonts only beside its libraries; without any,
    // no text is drawn and the route's altitudes do not show.
    if (qEnvironmentVariableIsEmpty("QT_QPA_FONTDIR")) {
#ifdef ZELK_TEST_FONT_DIR
        qputenv("QT_QPA_FONTDIR", ZELK_TEST_FONT_DIR);
#else
        qputenv("QT_QPA_FONTDIR", (qEnvironmentVariable("WINDIR") + QStringLiteral("\\Fonts")).toLocal8Bit());
#endif
    }
#endif
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    TestMainForm test;
    return QTest::qExec(&test, argc, argv);
}

void TestMainForm::routePreviewVariantsAndSurprise() {
    TUiSandbox box;
    TAskScript ask;
    auto form = OpenForm(box, ask);
    QVERIFY(form);
    form->DoNew();
    QVERIFY(form->DoSave());
    const std::string first = zelk::test::ReadFileBytes(box.MissionFolder / "zelk0001.mis");

    // A click on the picture shows the route, which follows the altitude.
    auto* image = Find<QLabel>(form.get(), "Image");
    const QImage photo = image->pixmap().toImage();
    QTest::mouseClick(image, Qt::LeftButton);
    QVERIFY(form->ShowsRoute());
    const QImage route = image->pixmap().toImage();
    QVERIFY(route != photo);
    TypeInto(Find<TSpinEdit>(form.get(), "editHeight"), QStringLiteral("3000"));
    QTest::qWait(1);
    QVERIFY(image->pixmap().toImage() != route);

    // Each save is a variant; the oldest one, restored and saved, is the first file again.
    QVERIFY(form->DoSave());
    auto* variants = Find<QListWidget>(form.get(), "lboxVariants");
    QCOMPARE(variants->count(), 2);
    QVERIFY(zelk::test::ReadFileBytes(box.MissionFolder / "zelk0001.mis") != first);
    // Restored: marked unsaved, the comment typed since kept, the list on the row restored.
    On(*form).MissionComment->setFocus();
    TypeText(On(*form).MissionComment, QStringLiteral("мой"));
    variants->setCurrentRow(1);
    QTest::mouseClick(Find<QPushButton>(form.get(), "BitBtnRestoreVariant"), Qt::LeftButton);
    QCOMPARE(form->CurrentMission()->Data.Height, 1000);
    QVERIFY(On(*form).lboxMissions->item(0)->text().endsWith(QStringLiteral(" *")));
    QCOMPARE(On(*form).MissionComment->toPlainText(), QStringLiteral("мой"));
    QCOMPARE(variants->currentRow(), 1);
    QVERIFY(form->DoSave());
    QCOMPARE(zelk::test::ReadFileBytes(box.MissionFolder / "zelk0001.mis"), first);

    // Surprise: new conditions, always a variant the target has.
    const TMissionData before = form->CurrentMission()->Data;
    for (int i = 0; i < 20 && form->CurrentMission()->Data == before; ++i)
        QTest::mouseClick(Find<QPushButton>(form.get(), "BitBtnSurprise"), Qt::LeftButton);
    const TMissionData& d = form->CurrentMission()->Data;
    QVERIFY(!(d == before));
    const TTarget* target = form->RefData().Targets.SelectTarget(d.Map, d.Target);
    QVERIFY(target != nullptr && VariantDefined(*target, d));
    QVERIFY(form->CurrentMission()->IsUnsaved());
}

namespace {

std::vector<std::pair<double, double>> RoutePoints(const TSortie& sortie) {
    std::vector<std::pair<double, double>> points;
    for (const TWaypoint& w : sortie.PlayerRoute) points.emplace_back(w.At.X, w.At.Y);
    return points;
}

void PressKey(TZELK_form& form, QKeyCombination key) {
    QTest::keyClick(On(form).lboxMissions, key.key(), key.keyboardModifiers());
    QTest::qWait(1);  // the route is drawn once the refresh has settled
}

}  // namespace

// The route drawn before a save is the route in the file the save writes,
// however the unsaved mission came about.
void TestMainForm::drawnRouteIsTheSavedRoute() {
    TUiSandbox box;
    TAskScript ask;
    auto form = OpenForm(box, ask);
    QVERIFY(form);
    PressKey(*form, Qt::CTRL | Qt::Key_N);
    PressKey(*form, Qt::CTRL | Qt::Key_M);
    QVERIFY(form->ShowsRoute());
    const struct {
        const char* what;
        std::function<void()> change;
    } cases[] = {
        {"new, random route ticked",
         [&] {
             On(*form).PageControl->setCurrentIndex(1);
             QTest::mouseClick(Find<QCheckBox>(form.get(), "checkRandomRoute"), Qt::LeftButton);
         }},
        {"random route, altitude typed",
         [&] {
             On(*form).PageControl->setCurrentIndex(0);
             TypeInto(On(*form).editHeight, QStringLiteral("2500"));
         }},
        {"copy (fixed route)", [&] { PressKey(*form, Qt::CTRL | Qt::Key_D); }},
        {"surprise", [&] { PressKey(*form, Qt::CTRL | Qt::Key_R); }},
        {"random route again, time chosen",
         [&] {
             On(*form).PageControl->setCurrentIndex(1);
             if (!On(*form).checkRandomRoute->isChecked())
                 QTest::mouseClick(On(*form).checkRandomRoute, Qt::LeftButton);
             On(*form).PageControl->setCurrentIndex(0);
             // The surprise before may have drawn this hour already: another one is a change.
             QComboBox* time = On(*form).comboTime;
             QVERIFY(Choose(time, time->currentText() == QStringLiteral("05:00") ? QStringLiteral("06:00")
                                                                                 : QStringLiteral("05:00")));
         }},
    };
    for (const auto& c : cases) {
        c.change();
        QTest::qWait(1);
        QVERIFY2(form->CurrentMission()->IsUnsaved(), c.what);
        const auto drawn = RoutePoints(form->DrawnSortie());
        QVERIFY2(drawn.size() == 4, c.what);
        PressKey(*form, Qt::CTRL | Qt::Key_S);
        QVERIFY2(!form->CurrentMission()->IsUnsaved(), c.what);
        const auto file = zelk::test::ReadFileBytes(box.MissionFolder / form->CurrentMission()->FileName);
        QVERIFY2(RoutePoints(ReadSortie(file)) == drawn, c.what);
        // Drawn again from the file, the route stays where it was.
        QVERIFY2(RoutePoints(form->DrawnSortie()) == drawn, c.what);
    }
    // Saved again unchanged, a random route stays the one drawn.
    const fs::path file = box.MissionFolder / form->CurrentMission()->FileName;
    const std::string saved = zelk::test::ReadFileBytes(file);
    PressKey(*form, Qt::CTRL | Qt::Key_S);
    QCOMPARE(zelk::test::ReadFileBytes(file), saved);
}

// Each keystroke stays in the altitude box while the route follows it.
void TestMainForm::typingWhileTheRouteIsShown() {
    TUiSandbox box;
    TAskScript ask;
    auto form = OpenForm(box, ask);
    QVERIFY(form);
    PressKey(*form, Qt::CTRL | Qt::Key_N);
    PressKey(*form, Qt::CTRL | Qt::Key_M);
    auto* height = On(*form).editHeight;
    for (const QString& typed : {QStringLiteral("3000"), QStringLiteral("700"), QStringLiteral("99999")}) {
        TypeInto(height, QString());
        QString shown;
        for (QChar c : typed) {
            TypeText(height, QString(c));
            QTest::qWait(1);
            shown += c;
            QCOMPARE(height->text(), shown);
        }
        QCOMPARE(form->CurrentMission()->Data.Height, typed.toInt());
    }
    // Left, the box brings the number into range.
    On(*form).lboxMissions->setFocus();
    QCOMPARE(height->text(), QStringLiteral("15000"));
}

// A double click opens the large route from either picture and leaves the
// picture as it was.
void TestMainForm::doubleClickOpensTheRouteLarge() {
    TUiSandbox box;
    TAskScript ask;
    auto form = OpenForm(box, ask);
    QVERIFY(form);
    PressKey(*form, Qt::CTRL | Qt::Key_N);
    auto* image = Find<QLabel>(form.get(), "Image");
    for (bool route : {true, false}) {
        if (form->ShowsRoute() != route) QTest::mouseClick(image, Qt::LeftButton);
        QCOMPARE(form->ShowsRoute(), route);
        // Through the window system, as a real double click arrives.
        QTest::mouseDClick(form->windowHandle(), Qt::LeftButton, {}, image->mapTo(form.get(), image->rect().center()));
        QTest::qWait(1);
        QCOMPARE(form->ShowsRoute(), route);
        auto* large = form->findChild<QDialog*>(QStringLiteral("RouteWindow"));
        QVERIFY(large != nullptr && large->isVisible());
        delete large;
    }
}

void TestMainForm::keyboardShortcuts() {
    TUiSandbox box;
    TAskScript ask;
    auto form = OpenForm(box, ask);
    QVERIFY(form);
    QWidget* list = On(*form).lboxMissions;
    QPlainTextEdit* comment = On(*form).MissionComment;
    const struct {
        const char* what;
        QWidget* focus;
        QKeyCombination key;
        int missions, unsaved;
        QString asked;  // part of the message the key brings up; empty: none
    } cases[] = {
        {"copy of nothing", list, Qt::CTRL | Qt::Key_D, 0, 0, {}},
        {"delete of nothing", list, Qt::Key_Delete, 0, 0, {}},
        {"start with no mission", list, Qt::Key_F5, 0, 0, {}},
        {"new", list, Qt::CTRL | Qt::Key_N, 1, 1, {}},
        {"copy", list, Qt::CTRL | Qt::Key_D, 2, 2, {}},
        {"save the current one", list, Qt::CTRL | Qt::Key_S, 2, 1, {}},
        {"save all", list, Qt::CTRL | Qt::SHIFT | Qt::Key_S, 2, 0, {}},
        {"delete in the comment edits it", comment, Qt::Key_Delete, 2, 1, {}},
        {"delete in the list asks", list, Qt::Key_Delete, 2, 1, "Вы действительно хотите удалить 1 задание?"},
        {"help", list, Qt::Key_F1, 2, 1, "Ctrl+Shift+S - сохранить все несохраненные задания"},
        {"start from the page not shown", list, Qt::Key_F5, 2, 1, "Авиасимулятор не найден"},
    };
    for (const auto& c : cases) {
        if (c.focus == comment) {
            comment->setFocus();
            TypeText(comment, QStringLiteral("xy"));
            comment->moveCursor(QTextCursor::Start);
        }
        c.focus->setFocus();
        const std::size_t asked = ask.Asked.size();
        QTest::keyClick(c.focus, c.key.key(), c.key.keyboardModifiers());
        QCOMPARE(form->Library().Count(), c.missions);
        QCOMPARE(form->Library().CountUnsaved(), c.unsaved);
        QCOMPARE(ask.Asked.size(), asked + (c.asked.isEmpty() ? 0 : 1));
        if (!c.asked.isEmpty()) QVERIFY2(ask.Asked.back().Text.contains(c.asked), c.what);
        if (c.focus == comment) QCOMPARE(comment->toPlainText(), QStringLiteral("y"));
    }
    QVERIFY(fs::exists(box.MissionFolder / "zelk0001.mis") && fs::exists(box.MissionFolder / "zelk0002.mis"));
    // The help names every key the window answers to.
    const auto help = std::find_if(ask.Asked.begin(), ask.Asked.end(),
                                   [](const TAsked& a) { return a.Caption == QStringLiteral("Справка"); });
    QVERIFY(help != ask.Asked.end());
    QStringList keys;
    for (const QShortcut* key : form->findChildren<QShortcut*>()) keys << key->key().toString();
    for (const QAction* action : form->findChildren<QAction*>())
        if (!action->shortcut().isEmpty()) keys << action->shortcut().toString();
    QVERIFY(keys.size() >= 13);
    for (const QString& key : keys)
        QVERIFY2(help->Text.contains(QLatin1Char('\n') + key + QStringLiteral(" - ")), qPrintable(key));
    // Saving them all leaves the pilot on the entry they were on.
    QCOMPARE(On(*form).lboxMissions->currentRow(), 1);

    // Locked by auto-generation (F6), the keys do what the disabled buttons do: nothing.
    ask.Answers = {QMessageBox::No};  // the unsaved mission stays unsaved
    QTest::keyClick(list, Qt::Key_F6);
    QVERIFY(On(*form).speedAuto->isChecked());
    const std::size_t asked = ask.Asked.size();
    for (QKeyCombination key : {QKeyCombination(Qt::CTRL | Qt::Key_N), Qt::CTRL | Qt::Key_D, Qt::CTRL | Qt::Key_S,
                                Qt::CTRL | Qt::SHIFT | Qt::Key_S, QKeyCombination(Qt::Key_Delete)})
        QTest::keyClick(form.get(), key.key(), key.keyboardModifiers());
    QCOMPARE(form->Library().Count(), 2);
    QCOMPARE(form->Library().CountUnsaved(), 1);
    QCOMPARE(ask.Asked.size(), asked);
    QTest::keyClick(form.get(), Qt::Key_F6);
    QVERIFY(!On(*form).speedAuto->isChecked());
}

// The same key texts in English and, switched back, in the original Russian.
void TestMainForm::languages() {
    struct TBackToRussian {
        ~TBackToRussian() { UseLanguage(TLanguage::Russian); }
    } backToRussian;
    const auto texts = [](TZELK_form& form) {
        auto* tabs = Find<QTabWidget>(&form, "PageControl");
        return QStringList{Find<QLabel>(&form, "Label1")->text(),
                           Find<QPushButton>(&form, "BitBtnNew")->text(),
                           Find<QPushButton>(&form, "BitBtnRunTheGame")->text(),
                           Find<QLabel>(&form, "LabelWeather")->text(),
                           Find<QComboBox>(&form, "comboWeather")->itemText(0),
                           Find<QComboBox>(&form, "comboModes")->itemText(0),
                           tabs->tabText(0),
                           Find<QLabel>(&form, "LabelAutoState")->text()};
    };
    // Every text of the pages whole and uncovered, the auto-generation state
    // with its count above all.
    const auto fits = [](TZELK_form& form) {
        form.DoNew();
        QVERIFY(form.DoSave());
        On(form).speedAuto->click();
        QVERIFY(On(form).LabelAutoState->text().contains(QLatin1Char('0')));
        for (QWidget* page : {On(form).TabSheet1, On(form).TabSheet2}) {
            QWidgetList controls;
            for (QObject* child : page->children())
                if (auto* w = qobject_cast<QWidget*>(child); w != nullptr && !w->isHidden()) controls << w;
            for (QWidget* w : controls) {
                const QString name = w->objectName();
                QVERIFY2(page->rect().contains(w->geometry()), qPrintable(name));
                for (QWidget* other : controls)
                    QVERIFY2(w == other || !w->geometry().intersects(other->geometry()),
                             qPrintable(name + QStringLiteral(" / ") + other->objectName()));
                if (auto* label = qobject_cast<QLabel*>(w)) {
                    const int needed =
                        label->wordWrap() ? label->heightForWidth(label->width()) : label->sizeHint().height();
                    QVERIFY2(needed <= label->height(), qPrintable(name));
                    if (!label->wordWrap()) QVERIFY2(label->sizeHint().width() <= label->width(), qPrintable(name));
                }
                if (auto* button = qobject_cast<QPushButton*>(w)) {
                    const int icon = button->icon().isNull() ? 0 : button->iconSize().width() + 4;
                    QVERIFY2(button->fontMetrics().horizontalAdvance(button->text()) + icon + 8 <= button->width(),
                             qPrintable(name));
                }
            }
        }
        for (QComboBox* combo : {On(form).comboWeather, On(form).comboTime, On(form).comboClouds, On(form).comboFlight})
            for (int i = 0; i < combo->count(); ++i) {
                // The text's room: the box less its frame and its arrow.
                QStyleOptionComboBox option;
                option.initFrom(combo);
                const QRect room =
                    combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
                QVERIFY2(combo->fontMetrics().horizontalAdvance(combo->itemText(i)) <= room.width(),
                         qPrintable(combo->itemText(i)));
            }
        // Every page's title whole: three tabs share the window's fixed width.
        QTabBar* bar = Find<QTabWidget>(&form, "PageControl")->tabBar();
        QVERIFY2(bar->sizeHint().width() <= bar->width(),
                 qPrintable(QStringLiteral("%1 > %2").arg(bar->sizeHint().width()).arg(bar->width())));
        On(form).speedAuto->click();
    };
    TUiSandbox box;
    TAskScript ask;
    QVERIFY(UseLanguage(TLanguage::English));
    auto english = OpenForm(box, ask);
    QCOMPARE(texts(*english), (QStringList{"Missions", "New", "Start", "Weather", "Cloudless", "Ground attack",
                                           "Mission parameters", "Auto-generation is off."}));
    fits(*english);
    english.reset();
    QVERIFY(UseLanguage(TLanguage::Russian));
    auto russian = OpenForm(box, ask);
    QCOMPARE(texts(*russian), (QStringList{"Список заданий", "Создать", "Пуск", "Погода", "Безоблачно", "Штурмовка",
                                           "Параметры задания", "Режим автогенерации выключен."}));
    fits(*russian);
}

#include "mainform_test.moc"
