#include "ui/mainform.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>
#include <exception>

#include "data/catalogues.h"
#include "doctor/doctor.h"
#include "files/paths.h"
#include "library/formstate.h"
#include "mission/params.h"
#include "monitor/autosupervisor.h"
#include "monitor/journalplace.h"
#include "monitor/launcher.h"
#include "monitor/qtpath.h"
#include "ui/doctordialog.h"
#include "ui/drawings.h"
#include "ui/fit.h"
#include "ui/logbookui.h"
#include "ui/spinedit.h"
#include "ui_mainform.h"

namespace zelk {

namespace fs = std::filesystem;

namespace {

const QString kAppTitle = QStringLiteral("ORVAK ZELK");

// A hint with the key that does the same, as the system writes keys.
QString WithKey(const QString& hint, const QKeySequence& key) {
    return hint + QStringLiteral(" (") + key.toString(QKeySequence::NativeText) + QLatin1Char(')');
}

const QKeySequence kHelpKey(Qt::Key_F1);
const QKeySequence kStartKey(Qt::Key_F5);

}  // namespace

// A name of the core's fixed lists as the pilot reads it.
TZELK_form::TZELK_form(TFormOptions options, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      ui_(std::make_unique<Ui::TZELK_form>()),
      options_(std::move(options)) {
    paths_ = MakeSimPaths(options_.Root);
    library_.FileSystem = options_.FileSystem;
    CreateControls();
    FormCreate();
}

TZELK_form::~TZELK_form() {
    // The monitors' saves reach into the library: they end first, and their
    // threads are joined so that the program ends cleanly.
    auto_->Supervisor().DeleteMonitors();
    FormDestroy();
}

void TZELK_form::SetAsk(TAskFunc ask) { options_.Ask = std::move(ask); }

void TZELK_form::ShowPage(int page) { ui_->PageControl->setCurrentIndex(page); }

void TZELK_form::ClickAutoGeneration() {
    if (ui_->speedAuto->isEnabled()) ui_->speedAuto->click();
}

// ---------------------------------------------------------------- layout

void TZELK_form::CreateControls() {
    QFont font;
    // MS Sans Serif where it exists; elsewhere a face with Cyrillic letters.
    // Set here, not in the form: the form's fonts know points only.
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans Condensed"),
                      QStringLiteral("DejaVu Sans"), QStringLiteral("Arial")});
    font.setPixelSize(11);
    setFont(font);

    ui_->setupUi(this);

    FitCaptions(this);
    ui_->ZELK_Logo->setPixmap(DrawLogo());
    ui_->Image->setPixmap(QPixmap::fromImage(DrawNoImagePicture()));

    CreateCommands();
    CreateFirstPage();
    CreateSecondPage();
    BindMissionFields();

    for (QWidget* page : {ui_->TabSheet1, ui_->TabSheet2}) FitButtons(page);
    if (TJournal journal = JournalFor(options_.DataDir); !journal.File().empty()) {
        journal_.emplace(std::move(journal));
        library_.Journal = &*journal_;
    }
    variants_ = new TVariantsPage(*this,
                                  {ui_->LabelVariants,
                                   ui_->lboxVariants,
                                   ui_->BitBtnRestoreVariant,
                                   ui_->BitBtnSurprise,
                                   ui_->Image,
                                   ui_->PanelPreview,
                                   {ui_->TabSheet1, ui_->TabSheet2}},
                                  journal_ ? &*journal_ : nullptr, this);
    CreatePilotActions();
    logbookUi_ = new TLogbookUi(*this, LogbookFileBeside(JournalFile()), auto_->Supervisor(), this, ui_->PageControl);
    // Three pages in the window's fixed width: every tab stays in sight,
    // shortened where it must be, its whole title in its tip.
    QTabWidget* pages = ui_->PageControl;
    QTabBar* bar = pages->tabBar();
    bar->setUsesScrollButtons(false);
    bar->setElideMode(Qt::ElideRight);
    // Narrower margins let all three titles show whole in both languages.
    bar->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 4px 5px; }"));
    FitTabs(pages);
    for (int i = 0; i < pages->count(); ++i) bar->setTabToolTip(i, pages->tabText(i));
    // A pointer passing over a list must not change it: the wheel turns a
    // control only once it has the focus, and never gives the focus.
    for (QWidget* page : {ui_->TabSheet1, ui_->TabSheet2}) {
        for (QWidget* control : page->findChildren<QWidget*>()) {
            if (qobject_cast<QComboBox*>(control) || qobject_cast<QAbstractSpinBox*>(control)) {
                control->setFocusPolicy(Qt::StrongFocus);
                control->installEventFilter(this);
            }
        }
    }
    auto_->ShowState();

    connect(ui_->lboxMissions, &QListWidget::currentRowChanged, this, [this](int) { MissionListClicked(); });
    // A click on the entry already focused shows it again as well: after the
    // simulator's automatic save the current mission may be another one.
    connect(ui_->lboxMissions, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        const int row = ui_->lboxMissions->row(item);
        if (row >= 0 && row < library_.Count() && currentMission_ != &library_.At(row)) MissionListClicked();
    });
}

void TZELK_form::CreateCommands() {
    // Commands and their buttons; a button is enabled exactly when its command is.
    auto makeAction = [this](const char* name, const QString& caption, const QString& hint, TCommandIcon icon) {
        auto* action = new QAction(DrawCommandIcon(icon), caption, this);
        action->setObjectName(QString::fromLatin1(name));
        action->setToolTip(hint);
        action->setStatusTip(hint);
        return action;
    };
    newAction_ = makeAction("ActionNew", tr("Новое задание"), tr("Создать новое задание"), TCommandIcon::New);
    copyAction_ = makeAction("ActionCopy", tr("Копировать"), tr("Копировать задание в новый файл"), TCommandIcon::Copy);
    deleteAction_ =
        makeAction("ActionDelete", tr("Удалить"), tr("Удалить отмеченные файлы заданий"), TCommandIcon::Delete);
    saveAction_ = makeAction("ActionSave", tr("Сохранить"), tr("Сохранить задание в файле"), TCommandIcon::Save);
    saveAllAction_ = new QAction(tr("Сохранить все"), this);
    saveAllAction_->setObjectName(QStringLiteral("ActionSaveAll"));
    connect(newAction_, &QAction::triggered, this, [this] { DoNew(); });
    connect(copyAction_, &QAction::triggered, this, [this] { DoCopy(); });
    connect(deleteAction_, &QAction::triggered, this, [this] { DoDelete(); });
    connect(saveAction_, &QAction::triggered, this, [this] { DoSave(); });
    connect(saveAllAction_, &QAction::triggered, this, [this] {
        // The pilot stays on the entry they were on.
        const int row = ui_->lboxMissions->currentRow();
        if (SaveUnsavedMissions() && row >= 0 && row < library_.Count() && row != ui_->lboxMissions->currentRow()) {
            SetCurrentEntry(row);
            ShowMissionData();
        }
    });
    // A disabled command ignores its key as its button ignores a click.
    newAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    copyAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    saveAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    saveAllAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    addActions({newAction_, copyAction_, saveAction_, saveAllAction_});
    // Delete removes missions only from the list: in the comment box and
    // elsewhere it keeps its editing meaning.
    deleteAction_->setShortcut(QKeySequence(Qt::Key_Delete));
    deleteAction_->setShortcutContext(Qt::WidgetShortcut);

    auto bindButton = [this](QPushButton* button, QAction* action, const QString& hint) {
        button->setIcon(action->icon());
        button->setToolTip(WithKey(hint, action->shortcut()));
        button->setEnabled(action->isEnabled());
        connect(action, &QAction::enabledChanged, button, &QWidget::setEnabled);
        connect(button, &QPushButton::clicked, action, &QAction::trigger);
    };
    bindButton(ui_->BitBtnNew, newAction_, tr("Создать новое задание"));
    bindButton(ui_->BitBtnSave, saveAction_, tr("Сохранить задание"));
    bindButton(ui_->BitBtnCopy, copyAction_, tr("Копировать задание"));
    bindButton(ui_->BitBtnDelete, deleteAction_, tr("Удалить отмеченные задания"));
    ui_->lboxMissions->addAction(deleteAction_);
}

void TZELK_form::CreateFirstPage() {
    // Where the face is wider than the design's, the box grows with its text.
    ui_->checkMoving->resize(std::max(ui_->checkMoving->width(), ui_->checkMoving->sizeHint().width()),
                             ui_->checkMoving->height());
    for (const std::string& name : FlightNames) ui_->comboFlight->addItem(Shown(name));
    ui_->comboFlight->setCurrentIndex(0);
    ui_->editHeight->SetRange(kHeightRange.Lo, kHeightRange.Hi, kHeightStep);
    ui_->editHeight->SetValue(1000);
    for (int hour = kTimeRange.Lo; hour <= kTimeRange.Hi; ++hour) ui_->comboTime->addItem(FromCp1251(TimeName(hour)));
    ui_->comboTime->setCurrentIndex(12);
    for (const std::string& name : WeatherNames) ui_->comboWeather->addItem(Shown(name));
    ui_->comboWeather->setCurrentIndex(0);
    for (const std::string& name : CloudNames) ui_->comboClouds->addItem(FromCp1251(name));
    ui_->comboClouds->setCurrentIndex(ui_->comboClouds->findText(QStringLiteral("800")));

    // First cut what reading back would drop, so the change handler sees what is kept.
    connect(ui_->MissionComment, &QPlainTextEdit::textChanged, this, [this] { KeepCommentWithinLimit(); });
    connect(ui_->MissionComment, &QPlainTextEdit::textChanged, this, &TZELK_form::MissionCommentChange);
}

void TZELK_form::CreateSecondPage() {
    // Text left of the box. Where the face is wider than the design's, the
    // text grows to the left and the box keeps its place.
    const QRect route = ui_->checkRandomRoute->geometry();
    const int routeWidth = std::max(route.width(), ui_->checkRandomRoute->sizeHint().width());
    ui_->checkRandomRoute->setGeometry(route.right() + 1 - routeWidth, route.top(), routeWidth, route.height());
    ui_->editFighters->SetRange(kFightersRange.Lo, kFightersRange.Hi, 1);
    ui_->editFighters->SetValue(0);
    ui_->BitBtnRunTheGame->setIcon(QIcon(DrawStartPicture()));
    QFont bold = ui_->BitBtnRunTheGame->font();
    bold.setBold(true);
    bold.setPixelSize(16);
    ui_->BitBtnRunTheGame->setFont(bold);
    ui_->BitBtnRunTheGame->setToolTip(WithKey(tr("Запустить авиасимулятор Orvak"), kStartKey));

    connect(ui_->BitBtnRunTheGame, &QPushButton::clicked, this, &TZELK_form::RunTheGame);

    // The set-up check stays reachable in every state of the window, the
    // reduced one without data above all.
    ui_->BitBtnDoctor->setText(QString::fromStdString(DoctorWord(TDoctorWord::ButtonCaption)) +
                               QStringLiteral(" (F2)"));
    ui_->BitBtnDoctor->setToolTip(QString::fromStdString(DoctorWord(TDoctorWord::ButtonHint)) +
                                  QStringLiteral(" (F2)"));
    connect(ui_->BitBtnDoctor, &QPushButton::clicked, this, &TZELK_form::ShowDoctor);
    auto* doctorKey = new QShortcut(QKeySequence(Qt::Key_F2), this);
    connect(doctorKey, &QShortcut::activated, this, &TZELK_form::ShowDoctor);
    // The start button may sit on the page not shown: its key works all the
    // same, whenever the button would.
    auto* startKey = new QShortcut(kStartKey, this);
    connect(startKey, &QShortcut::activated, this, [this] {
        if (ui_->BitBtnRunTheGame->isEnabled()) RunTheGame();
    });
    auto* helpKey = new QShortcut(kHelpKey, this);
    connect(helpKey, &QShortcut::activated, this, &TZELK_form::ShowHelp);
    // Auto-generation: its button, its state line and its key.
    auto_ = new TAutoGeneration(*this, paths_, options_.DataDir, ui_->speedAuto, ui_->LabelAutoState, this);
}

void TZELK_form::ShowDoctor() {
    auto* dialog = findChild<TDoctorDialog*>();
    if (dialog == nullptr) {
        // conf.ini is read again at each check, so that a fix shows at once.
        auto input = [this] { return ReadSimulatorSetup(SetupPlaces(paths_, options_.DataDir, JournalFile())).Check; };
        dialog = new TDoctorDialog(input, this);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
    } else {
        dialog->Recheck();
    }
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

// ---------------------------------------------------------------- set-up

void TZELK_form::FormCreate() {
    const QString aboutHint =
        tr("ZELK 2, версия 2.2 (21.02.2007).\n"
           "Zelkwright.\n"
           "Авторы:\n"
           "команда ZELK - проработка карт и заданий;\n"
           "команда ZELK - программирование.");
    ui_->ZELK_Logo->setToolTip(aboutHint);
    ui_->PanelLogo->setToolTip(aboutHint);
    ui_->MissionComment->setToolTip(
        tr("Произвольные комментарии пользователя.\nДобавляются к полному описанию задания.\n"
           "Не более %1 знаков.")
            .arg(kCommentLimit));
    ui_->editHeight->setToolTip(
        tr("Ввод высоты полета.\nДопустимы значения от %1 до %2 м.").arg(kHeightRange.Lo).arg(kHeightRange.Hi));

    const fs::path primary = options_.DataDir / DataFileName(0);
    std::error_code ec;
    if (!fs::exists(primary, ec)) {
        EnterMissingDataState(QString());
    } else {
        auto_->ReadConf();
        listedMapKey_.clear();
        bool loaded = false;
        try {
            ref_ = LoadRefData(options_.DataDir);
            loaded = true;
        } catch (const std::exception& e) {
            // A broken primary file leaves us where a missing one does, but
            // says what is wrong with it.
            EnterMissingDataState(QString::fromUtf8(e.what()));
        }
        if (loaded) {
            dataLoaded_ = true;
            for (int k = 0; k < 4; ++k) ui_->comboModes->addItem(Shown(ModeNames[static_cast<std::size_t>(k)]), k);
            for (int d = 0; d < 2; ++d)
                ui_->comboDifficulty->addItem(Shown(DifficultyNames[static_cast<std::size_t>(d)]), d);
            for (const std::string& name : ArmyNames) ui_->comboArmy->addItem(Shown(name));
            ui_->comboArmy->setCurrentIndex(0);

            LoadData();

            for (const TMap& map : ref_.Maps.Items) ui_->comboMaps->addItem(FromCp1251(map.Name));
            ui_->comboMaps->setCurrentIndex(ui_->comboMaps->count() > 0 ? 0 : -1);
            listedAircrafts_.clear();
            for (const TAircraft& aircraft : ref_.Aircrafts.Items) {
                ui_->comboAircrafts->addItem(FromCp1251(aircraft.Name));
                listedAircrafts_.push_back(&aircraft);
            }
            ui_->comboAircrafts->setCurrentIndex(ui_->comboAircrafts->count() > 0 ? 0 : -1);
            // The target list is filled for the first map without noting its
            // key, so the first refresh fills it again.
            listedTargets_.clear();
            if (!ref_.Maps.Items.empty()) listedTargets_ = ref_.Targets.SelectMap(ref_.Maps.Items.front().Key);
            for (const TTarget* target : listedTargets_) ui_->comboTargets->addItem(FromCp1251(target->Name));
            ui_->comboTargets->setCurrentIndex(ui_->comboTargets->count() > 0 ? 0 : -1);

            for (std::size_t i = 0; i < 14; ++i) {
                ui_->comboTanksRed->addItem(Shown(TankDisplayNames[1][i]));
                ui_->comboTanksBlue->addItem(Shown(TankDisplayNames[2][i]));
            }
            ui_->comboTanksRed->setCurrentIndex(0);
            ui_->comboTanksBlue->setCurrentIndex(0);

            if (!library_.Empty()) SetCurrentEntry(0);
            ShowMissionData();

            if (!ref_.Warnings.empty()) {
                QStringList warnings;
                for (const std::string& warning : ref_.Warnings) warnings << QString::fromStdString(warning);
                Ask(TAskKind::Problem, tr("Проблема"), warnings.join(QStringLiteral("\n\n")));
            }
        }
    }
    ui_->PageControl->setCurrentIndex(0);
    ui_->speedAuto->setChecked(false);
}

void TZELK_form::EnterMissingDataState(const QString& fault) {
    QString text = ui_->MissionShort->toPlainText();
    if (fault.isEmpty()) {
        text += tr("\n  Файл orvak_zelk.rc0 не найден!\n  Формирование заданий невозможно.");
    } else {
        text += tr("\n  Файл orvak_zelk.rc0 поврежден!\n  Формирование заданий невозможно.\n  ") + fault;
    }
    ui_->MissionShort->setPlainText(text);
    ApplyFormState();
}

void TZELK_form::FormDestroy() {
    currentMission_ = nullptr;
    shownMission_ = nullptr;
    currentTarget_ = nullptr;
    listedTargets_.clear();
    listedAircrafts_.clear();
    library_.Missions.clear();
    ref_ = TRefData();
}

void TZELK_form::LoadData() {
    if (!LoadLibraryShowingProgress()) {
        if (library_.ListFailed) {
            // Not an empty library: a new mission could take a stored one's number.
            ApplyFormState();
            Ask(TAskKind::Problem, tr("Проблема"),
                FromCp1251(FolderListErrorText(library_.ListError)) + QStringLiteral("\n") +
                    QPathText(paths_.MissionFolder) +
                    tr("\nСоздание и копирование заданий недоступны, чтобы не заменить сохраненные."));
        } else {
            Ask(TAskKind::ProblemOkCancel, tr("Проблема"), FromCp1251(FolderCreateErrorText()));
        }
    }
    FillMissionList();
}

bool TZELK_form::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel) {
        if (auto* control = qobject_cast<QWidget*>(watched); control != nullptr && !control->hasFocus()) {
            event->ignore();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TZELK_form::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (shownOnce_) return;
    shownOnce_ = true;
    if (const QScreen* screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    ui_->lboxMissions->setFocus();
    if (!pending_.empty()) QTimer::singleShot(0, this, &TZELK_form::ShowPendingMessages);
}

void TZELK_form::ShowPendingMessages() {
    while (!pending_.empty()) {
        const TPendingMessage message = pending_.front();
        pending_.pop_front();
        Ask(message.Kind, message.Caption, message.Text);
    }
}

QMessageBox::StandardButton TZELK_form::Ask(TAskKind kind, const QString& caption, const QString& text) {
    if (!shownOnce_) {
        // Before the window appears, a message would stand alone on the
        // screen; it waits for the window instead.
        pending_.push_back({kind, caption, text});
        return kind == TAskKind::Confirm ? QMessageBox::No : QMessageBox::Ok;
    }
    // While the box is open the event loop runs on, and with it the
    // monitor's examinations; their saves wait for the answer.
    auto_->Supervisor().Hold();
    const QMessageBox::StandardButton answer =
        options_.Ask ? options_.Ask(this, kind, caption, text) : ShowMessageBox(this, kind, caption, text);
    auto_->Supervisor().Release();
    return answer;
}

void TZELK_form::ReportError(const QString& message) {
    if (!quietErrors_) Ask(TAskKind::Error, kAppTitle, message);
}

void TZELK_form::BringToFront() {
    if (isMinimized()) {
        showNormal();
    } else {
        show();
        raise();
    }
    activateWindow();
}

// ---------------------------------------------------------------- state

void TZELK_form::ApplyFormState() {
    TFormInputs in;
    in.DataLoaded = dataLoaded_;
    in.ListFailed = library_.ListFailed;
    in.HasMission = currentMission_ != nullptr && !library_.Empty();
    in.AutoOn = ui_->speedAuto->isChecked();
    in.MovingOffered = movingOffered_;
    in.TankSide = tankSide_;
    in.FightersOffered = fightersOffered_;
    in.HasVariants = variants_->HasVariants();
    const TFormState s = FormState(in);

    copyAction_->setEnabled(s.Copy);
    deleteAction_->setEnabled(s.Delete);
    saveAction_->setEnabled(s.Save);
    saveAllAction_->setEnabled(s.Save);
    newAction_->setEnabled(s.New);
    for (QWidget* w : {static_cast<QWidget*>(ui_->lboxMissions), static_cast<QWidget*>(ui_->FileName),
                       static_cast<QWidget*>(ui_->MissionShort)})
        w->setEnabled(s.MissionList);
    ui_->MissionComment->setEnabled(s.Parameters);
    // Each control is set once: disabling one that has the focus for a
    // moment would move the focus away.
    const std::pair<QWidget*, bool> named[] = {
        {ui_->checkMoving, s.Moving},
        {ui_->comboTanksRed, s.TanksRed},
        {ui_->comboTanksBlue, s.TanksBlue},
        {ui_->editFighters, s.Fighters},
        {ui_->BitBtnRestoreVariant, s.RestoreVariant},
        {ui_->speedAuto, s.AutoSwitch},
        {ui_->LabelAutoState, s.AutoSwitch},
        {ui_->BitBtnRunTheGame, s.Start},
        {ui_->BitBtnDoctor, s.Doctor},
    };
    for (QWidget* page : {ui_->TabSheet1, ui_->TabSheet2}) {
        for (QObject* child : page->children()) {
            auto* widget = qobject_cast<QWidget*>(child);
            if (widget == nullptr || widget->isWindowType()) continue;
            bool on = s.Parameters;
            for (const auto& [control, enabled] : named)
                if (control == widget) on = enabled;
            widget->setEnabled(on);
        }
    }
}

void TZELK_form::AutoSwitched(bool on) {
    if (on) {
        ApplyFormState();
        return;
    }
    // A flown mission became the current one while the controls went on
    // showing the selected entry; the controls write into the mission
    // they show, or an edit would land in a mission nobody sees.
    if (shownMission_ != nullptr) currentMission_ = shownMission_;
    // The refresh settles the mission again and with it what the form
    // offers (a training sortie has no fighters, say). Whatever it could
    // report was reported when the mission was shown, and the mode may
    // be ending on a failure of its own.
    const QScopedValueRollback<bool> quiet(quietErrors_, true);
    ShowMissionData();
}

fs::path TZELK_form::JournalFile() const { return journal_ ? journal_->File() : fs::path(); }

void TZELK_form::RunTheGame() {
    // The altitude and fighters typed so far count as if the boxes had been left.
    CommitSpinBoxes();
    // The flight about to start is followed with the settings it is flown with.
    if (auto_->IsOn()) auto_->WatchEventLog(false);
    const fs::path& exe = paths_.SimulatorExe;
    std::error_code ec;
    if (!fs::is_regular_file(exe, ec)) {
        // Minimised, the window would leave the pilot with nothing on screen.
        Ask(TAskKind::Problem, tr("Проблема"), tr("Авиасимулятор не найден: нет файла\n%1").arg(QPathText(exe)));
        return;
    }
    showMinimized();
    // No working folder is given: the simulator starts in ours.
    if (!StartSimulator(exe)) {
        showNormal();
        activateWindow();
        Ask(TAskKind::Problem, tr("Проблема"), tr("Не удаётся запустить авиасимулятор\n%1").arg(QPathText(exe)));
    }
}

void TZELK_form::ShowHelp() {
    const struct {
        QKeySequence Key;
        QString What;
    } keys[] = {
        {newAction_->shortcut(), tr("создать задание")},
        {copyAction_->shortcut(), tr("копировать задание")},
        {saveAction_->shortcut(), tr("сохранить задание")},
        {saveAllAction_->shortcut(), tr("сохранить все несохраненные задания")},
        {deleteAction_->shortcut(), tr("удалить отмеченные задания (в списке заданий)")},
        {QKeySequence(Qt::CTRL | Qt::Key_R), tr("случайные условия задания")},
        {QKeySequence(Qt::CTRL | Qt::Key_M), tr("снимок цели или схема маршрута")},
        {QKeySequence(Qt::CTRL | Qt::Key_P), tr("карточка задания")},
        {QKeySequence(Qt::CTRL | Qt::Key_L), tr("лётная книжка")},
        {kStartKey, tr("запустить авиасимулятор")},
        {QKeySequence(Qt::Key_F6), tr("включить или выключить автогенерацию")},
        {QKeySequence(Qt::Key_F2), tr("проверка установки")},
        {kHelpKey, tr("эта справка")},
    };
    QString text =
        tr("ZELK готовит учебные задания на штурмовку для авиасимулятора ORVAK. Выберите условия "
           "вылета и сохраните задание: оно появится среди одиночных заданий авиасимулятора. В режиме "
           "автогенерации (вкладка «Дополнительно») задание записывается заново после каждого полета.\n\n"
           "Клавиши:");
    for (const auto& k : keys)
        text += QStringLiteral("\n") + k.Key.toString(QKeySequence::NativeText) + QStringLiteral(" - ") + k.What;
    Ask(TAskKind::Problem, tr("Справка"), text);
}

void TZELK_form::closeEvent(QCloseEvent* event) {
    if (CheckUnsavedMissions()) {
        // A flight that ended while the question was open is still written.
        auto_->Supervisor().RunHeldSaves();
        event->accept();
    } else {
        event->ignore();
    }
}

}  // namespace zelk
