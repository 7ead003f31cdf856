#include "ui/mainform.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTextCursor>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>
#include <exception>

#include "ui/logbookui.h"
#include "data/catalogues.h"
#include "data/codepage.h"
#include "files/error.h"
#include "data/picture.h"
#include "generator/random.h"
#include "generator/writer.h"
#include "library/formstate.h"
#include "mission/params.h"
#include "library/scan.h"
#include "doctor/doctor.h"
#include "monitor/autosupervisor.h"
#include "monitor/launcher.h"
#include "monitor/simconfig.h"
#include "ui/doctordialog.h"
#include "ui/drawings.h"
#include "ui/spinedit.h"
#include "ui_mainform.h"
#include "files/paths.h"

namespace zelk {

namespace fs = std::filesystem;

namespace {

const QString kAppTitle = QStringLiteral("ORVAK ZELK");

QString JoinLines(const std::vector<std::string>& lines) {
    QStringList out;
    for (const std::string& line : lines) out << FromCp1251(line);
    return out.join(QLatin1Char('\n'));
}

QString PathText(const fs::path& path) { return QDir::toNativeSeparators(QString::fromStdString(PathToUtf8(path))); }

// A hint with the key that does the same, as the system writes keys.
QString WithKey(const QString& hint, const QKeySequence& key) {
    return hint + QStringLiteral(" (") + key.toString(QKeySequence::NativeText) + QLatin1Char(')');
}

const QKeySequence kHelpKey(Qt::Key_F1);
const QKeySequence kStartKey(Qt::Key_F5);
const QKeySequence kAutoKey(Qt::Key_F6);

QImage ToQImage(const TImage& picture) {
    if (picture.Width <= 0 || picture.Height <= 0 ||
        picture.Rgb.size() < static_cast<std::size_t>(picture.Width) * picture.Height * 3)
        return QImage();
    QImage image(picture.Width, picture.Height, QImage::Format_RGB888);
    const std::size_t rowBytes = static_cast<std::size_t>(picture.Width) * 3;
    for (int y = 0; y < picture.Height; ++y)
        std::copy_n(picture.Rgb.data() + rowBytes * y, rowBytes, image.scanLine(y));
    return image;
}

}  // namespace

// A name of the core's fixed lists as the pilot reads it.
static QString Shown(const std::string& name) { return QString::fromStdString(ShownName(name)); }

QString FromCp1251(const std::string& text) {
    QString s = QString::fromStdString(Cp1251ToUtf8(text));
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

std::string ToCp1251(const QString& text) {
    std::string all;
    if (Utf8ToCp1251(text.toStdString(), all)) return all;
    std::string out;
    std::string one;
    for (char32_t c : text.toUcs4()) {
        const QString s = QString::fromUcs4(&c, 1);
        out += Utf8ToCp1251(s.toStdString(), one) ? one : std::string("?");
    }
    return out;
}

void SetRussianButtonTexts(QMessageBox& box) {
    // The box's own texts: a system translation of the toolkit may be missing.
    const struct {
        QMessageBox::StandardButton Button;
        const char* Text;
    } texts[] = {{QMessageBox::Yes, QT_TRANSLATE_NOOP("zelk::TMessageBox", "Да")},
                 {QMessageBox::No, QT_TRANSLATE_NOOP("zelk::TMessageBox", "Нет")},
                 {QMessageBox::Cancel, QT_TRANSLATE_NOOP("zelk::TMessageBox", "Отмена")},
                 {QMessageBox::Ok, QT_TRANSLATE_NOOP("zelk::TMessageBox", "ОК")}};
    for (const auto& t : texts)
        if (QAbstractButton* button = box.button(t.Button))
            button->setText(QCoreApplication::translate("zelk::TMessageBox", t.Text));
}

QMessageBox::StandardButton ShowMessageBox(QWidget* parent, TAskKind kind, const QString& caption,
                                           const QString& text) {
    QMessageBox box(parent);
    box.setWindowTitle(caption);
    box.setText(text);
    box.setTextFormat(Qt::PlainText);
    box.setIcon(kind == TAskKind::Error ? QMessageBox::Critical : QMessageBox::NoIcon);
    switch (kind) {
        case TAskKind::Problem:
        case TAskKind::Error:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case TAskKind::ProblemOkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case TAskKind::Confirm:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        case TAskKind::Query:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
    }
    SetRussianButtonTexts(box);
    const auto result = static_cast<QMessageBox::StandardButton>(box.exec());
    if (box.standardButtons() & result) return result;
    // Closed without a button: the answer that changes nothing.
    return kind == TAskKind::Confirm ? QMessageBox::No : QMessageBox::Cancel;
}

TZELK_form::TZELK_form(TFormOptions options, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      options_(std::move(options)) {
    paths_ = MakeSimPaths(options_.Root);
    library_.FileSystem = options_.FileSystem;
    CreateAutoSupervisor();
    CreateControls();
    FormCreate();
}

TZELK_form::~TZELK_form() {
    // The monitors' saves reach into the library: they end first, and their
    // threads are joined so that the program ends cleanly.
    autoSupervisor_->DeleteMonitors();
    FormDestroy();
}

void TZELK_form::SetAsk(TAskFunc ask) { options_.Ask = std::move(ask); }

// ---------------------------------------------------------------- layout

void TZELK_form::CreateControls() {
    QFont font;
    // MS Sans Serif where it exists; elsewhere a face with Cyrillic letters.
    // Set here, not in the form: the form's fonts know points only.
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans Condensed"),
                      QStringLiteral("DejaVu Sans"), QStringLiteral("Arial")});
    font.setPixelSize(11);
    setFont(font);

    Ui::TZELK_form form;
    form.setupUi(this);
    Label1 = form.Label1;
    lboxMissions = form.lboxMissions;
    Label2 = form.Label2;
    FileName = form.FileName;
    PanelLogo = form.PanelLogo;
    ZELK_Logo = form.ZELK_Logo;
    Label4 = form.Label4;
    MissionShort = form.MissionShort;
    Label16 = form.Label16;
    MissionComment = form.MissionComment;
    LabelCommentChars = form.LabelCommentChars;
    PanelPreview = form.PanelPreview;
    Image = form.Image;
    GroupBox2 = form.GroupBox2;
    BitBtnNew = form.BitBtnNew;
    BitBtnSave = form.BitBtnSave;
    BitBtnCopy = form.BitBtnCopy;
    BitBtnDelete = form.BitBtnDelete;
    PageControl = form.PageControl;
    TabSheet1 = form.TabSheet1;
    TabSheet2 = form.TabSheet2;
    comboMaps = form.comboMaps;
    comboArmy = form.comboArmy;
    comboTargets = form.comboTargets;
    checkMoving = form.checkMoving;
    comboModes = form.comboModes;
    comboDifficulty = form.comboDifficulty;
    comboAircrafts = form.comboAircrafts;
    comboFlight = form.comboFlight;
    editHeight = form.editHeight;
    comboTime = form.comboTime;
    comboWeather = form.comboWeather;
    comboClouds = form.comboClouds;
    comboTanksRed = form.comboTanksRed;
    comboTanksBlue = form.comboTanksBlue;
    checkRandomRoute = form.checkRandomRoute;
    editFighters = form.editFighters;
    speedAuto = form.speedAuto;
    LabelAutoState = form.LabelAutoState;
    BitBtnRunTheGame = form.BitBtnRunTheGame;
    BitBtnDoctor = form.BitBtnDoctor;
    LabelVariants = form.LabelVariants;
    lboxVariants = form.lboxVariants;
    BitBtnRestoreVariant = form.BitBtnRestoreVariant;
    BitBtnSurprise = form.BitBtnSurprise;

    // Captions fit their text in whatever face the system gives.
    for (QLabel* label : findChildren<QLabel*>())
        if (label->property("autoSize").toBool()) label->adjustSize();
    ZELK_Logo->setPixmap(DrawLogo());
    Image->setPixmap(QPixmap::fromImage(DrawNoImagePicture()));

    // Commands and their buttons; a button is enabled exactly when its command is.
    auto makeAction = [this](const char* name, const QString& caption, const QString& hint, TCommandIcon icon) {
        auto* action = new QAction(DrawCommandIcon(icon), caption, this);
        action->setObjectName(QString::fromLatin1(name));
        action->setToolTip(hint);
        action->setStatusTip(hint);
        return action;
    };
    ActionNew = makeAction("ActionNew", tr("Новое задание"), tr("Создать новое задание"), TCommandIcon::New);
    ActionCopy = makeAction("ActionCopy", tr("Копировать"), tr("Копировать задание в новый файл"), TCommandIcon::Copy);
    ActionDelete =
        makeAction("ActionDelete", tr("Удалить"), tr("Удалить отмеченные файлы заданий"), TCommandIcon::Delete);
    ActionSave = makeAction("ActionSave", tr("Сохранить"), tr("Сохранить задание в файле"), TCommandIcon::Save);
    ActionSaveAll = new QAction(tr("Сохранить все"), this);
    ActionSaveAll->setObjectName(QStringLiteral("ActionSaveAll"));
    connect(ActionNew, &QAction::triggered, this, [this] { DoNew(); });
    connect(ActionCopy, &QAction::triggered, this, [this] { DoCopy(); });
    connect(ActionDelete, &QAction::triggered, this, [this] { DoDelete(); });
    connect(ActionSave, &QAction::triggered, this, [this] { DoSave(); });
    connect(ActionSaveAll, &QAction::triggered, this, [this] {
        // The pilot stays on the entry they were on.
        const int row = lboxMissions->currentRow();
        if (SaveUnsavedMissions() && row >= 0 && row < library_.Count() && row != lboxMissions->currentRow()) {
            SetCurrentEntry(row);
            ShowMissionData();
        }
    });
    // A disabled command ignores its key as its button ignores a click.
    ActionNew->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    ActionCopy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    ActionSave->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    ActionSaveAll->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    addActions({ActionNew, ActionCopy, ActionSave, ActionSaveAll});
    // Delete removes missions only from the list: in the comment box and
    // elsewhere it keeps its editing meaning.
    ActionDelete->setShortcut(QKeySequence(Qt::Key_Delete));
    ActionDelete->setShortcutContext(Qt::WidgetShortcut);

    auto bindButton = [this](QPushButton* button, QAction* action, const QString& hint) {
        button->setIcon(action->icon());
        button->setToolTip(WithKey(hint, action->shortcut()));
        button->setEnabled(action->isEnabled());
        connect(action, &QAction::enabledChanged, button, &QWidget::setEnabled);
        connect(button, &QPushButton::clicked, action, &QAction::trigger);
    };
    bindButton(BitBtnNew, ActionNew, tr("Создать новое задание"));
    bindButton(BitBtnSave, ActionSave, tr("Сохранить задание"));
    bindButton(BitBtnCopy, ActionCopy, tr("Копировать задание"));
    bindButton(BitBtnDelete, ActionDelete, tr("Удалить отмеченные задания"));
    lboxMissions->addAction(ActionDelete);

    CreateFirstPage();
    CreateSecondPage();
    CreateVariantControls();
    CreatePilotActions();
    logbookUi_ = new TLogbookUi(this);
    // A pointer passing over a list must not change it: the wheel turns a
    // control only once it has the focus, and never gives the focus.
    for (QWidget* page : {TabSheet1, TabSheet2}) {
        for (QWidget* control : page->findChildren<QWidget*>()) {
            if (qobject_cast<QComboBox*>(control) || qobject_cast<QAbstractSpinBox*>(control)) {
                control->setFocusPolicy(Qt::StrongFocus);
                control->installEventFilter(this);
            }
        }
    }
    ShowAutoState();

    connect(lboxMissions, &QListWidget::currentRowChanged, this, [this](int) { lboxMissionsClick(); });
    // A click on the entry already focused shows it again as well: after the
    // simulator's automatic save the current mission may be another one.
    connect(lboxMissions, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        const int row = lboxMissions->row(item);
        if (row >= 0 && row < library_.Count() && currentMission_ != &library_.At(row)) lboxMissionsClick();
    });
}

void TZELK_form::CreateFirstPage() {
    // Where the face is wider than the design's, the box grows with its text.
    checkMoving->resize(std::max(checkMoving->width(), checkMoving->sizeHint().width()), checkMoving->height());
    for (const std::string& name : FlightNames) comboFlight->addItem(Shown(name));
    comboFlight->setCurrentIndex(0);
    editHeight->SetRange(kHeightRange.Lo, kHeightRange.Hi, kHeightStep);
    editHeight->SetValue(1000);
    for (int hour = kTimeRange.Lo; hour <= kTimeRange.Hi; ++hour) comboTime->addItem(FromCp1251(TimeName(hour)));
    comboTime->setCurrentIndex(12);
    for (const std::string& name : WeatherNames) comboWeather->addItem(Shown(name));
    comboWeather->setCurrentIndex(0);
    for (const std::string& name : CloudNames) comboClouds->addItem(FromCp1251(name));
    comboClouds->setCurrentIndex(comboClouds->findText(QStringLiteral("800")));

    // Handlers run on the user's choices only: `activated` and `clicked` are
    // not emitted when the window shows values itself.
    connect(comboMaps, &QComboBox::activated, this, &TZELK_form::comboMapsSelect);
    connect(comboArmy, &QComboBox::activated, this, &TZELK_form::comboArmySelect);
    connect(comboTargets, &QComboBox::activated, this, &TZELK_form::comboTargetsSelect);
    connect(checkMoving, &QCheckBox::clicked, this, &TZELK_form::checkMovingClick);
    connect(comboModes, &QComboBox::activated, this, &TZELK_form::comboModesSelect);
    connect(comboDifficulty, &QComboBox::activated, this, &TZELK_form::comboDifficultySelect);
    connect(comboAircrafts, &QComboBox::activated, this, &TZELK_form::comboAircraftsSelect);
    connect(comboFlight, &QComboBox::activated, this, &TZELK_form::comboFlightSelect);
    connect(editHeight, &TSpinEdit::ValueEdited, this, &TZELK_form::editHeightChange);
    connect(comboTime, &QComboBox::activated, this, &TZELK_form::comboTimeSelect);
    connect(comboWeather, &QComboBox::activated, this, &TZELK_form::comboWeatherSelect);
    connect(comboClouds, &QComboBox::activated, this, &TZELK_form::comboCloudsSelect);
    // First cut what reading back would drop, so the change handler sees what is kept.
    connect(MissionComment, &QPlainTextEdit::textChanged, this, [this] { KeepCommentWithinLimit(); });
    connect(MissionComment, &QPlainTextEdit::textChanged, this, &TZELK_form::MissionCommentChange);
}

void TZELK_form::KeepCommentWithinLimit() {
    if (CommentLength(CommentFromBox()) <= kCommentLimit) return;
    // A line break reads back as two characters, so the cut is found by
    // walking the text; a trailing break is not saved and costs nothing.
    const QString text = MissionComment->toPlainText();
    qsizetype cut = 0;
    std::size_t length = 0;
    for (; cut < text.size(); ++cut) {
        length += text[cut] == QLatin1Char('\n') ? 2 : 1;
        if (length > kCommentLimit) break;
    }
    QTextCursor cursor(MissionComment->document());
    for (;;) {
        cursor.setPosition(static_cast<int>(cut));
        cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        if (cut == 0 || CommentLength(CommentFromBox()) <= kCommentLimit) break;
        --cut;
    }
    QTimer::singleShot(0, this, [this] {
        Ask(TAskKind::Problem, tr("Проблема"),
            tr("Комментарий может быть не длиннее %1 знаков (перевод строки - 2 знака): "
               "лишнее удалено.")
                .arg(kCommentLimit));
    });
}

void TZELK_form::CreateSecondPage() {
    // Text left of the box. Where the face is wider than the design's, the
    // text grows to the left and the box keeps its place.
    const QRect route = checkRandomRoute->geometry();
    const int routeWidth = std::max(route.width(), checkRandomRoute->sizeHint().width());
    checkRandomRoute->setGeometry(route.right() + 1 - routeWidth, route.top(), routeWidth, route.height());
    editFighters->SetRange(kFightersRange.Lo, kFightersRange.Hi, 1);
    editFighters->SetValue(0);
    speedAuto->setToolTip(Shown(AutoButtonCaptions[0]));
    // Down, the button must not pass for one more greyed control. Set once the
    // page is in the window: a style sheet set earlier keeps the toolkit's font.
    speedAuto->setStyleSheet(
        QStringLiteral("QPushButton:checked { background-color: #1f7a1f; color: white; font-weight: bold;"
                       " border: 2px solid #0b3d0b; border-radius: 3px; }"));
    BitBtnRunTheGame->setIcon(QIcon(DrawStartPicture()));
    QFont bold = BitBtnRunTheGame->font();
    bold.setBold(true);
    bold.setPixelSize(16);
    BitBtnRunTheGame->setFont(bold);
    BitBtnRunTheGame->setToolTip(WithKey(tr("Запустить авиасимулятор Orvak"), kStartKey));

    connect(comboTanksRed, &QComboBox::activated, this, &TZELK_form::comboTanksRedChange);
    connect(comboTanksBlue, &QComboBox::activated, this, &TZELK_form::comboTanksBlueChange);
    connect(checkRandomRoute, &QCheckBox::clicked, this, &TZELK_form::checkRandomRouteClick);
    connect(editFighters, &TSpinEdit::ValueEdited, this, &TZELK_form::editFightersChange);
    connect(speedAuto, &QPushButton::clicked, this, &TZELK_form::speedAutoClick);
    connect(BitBtnRunTheGame, &QPushButton::clicked, this, &TZELK_form::BitBtnRunTheGameClick);

    // The set-up check stays reachable in every state of the window, the
    // reduced one without data above all.
    BitBtnDoctor->setText(QString::fromStdString(DoctorWord(TDoctorWord::ButtonCaption)) + QStringLiteral(" (F2)"));
    BitBtnDoctor->setToolTip(QString::fromStdString(DoctorWord(TDoctorWord::ButtonHint)) + QStringLiteral(" (F2)"));
    connect(BitBtnDoctor, &QPushButton::clicked, this, &TZELK_form::ShowDoctor);
    auto* doctorKey = new QShortcut(QKeySequence(Qt::Key_F2), this);
    connect(doctorKey, &QShortcut::activated, this, &TZELK_form::ShowDoctor);
    // The start button may sit on the page not shown: its key works all the
    // same, whenever the button would.
    auto* startKey = new QShortcut(kStartKey, this);
    connect(startKey, &QShortcut::activated, this, [this] {
        if (BitBtnRunTheGame->isEnabled()) BitBtnRunTheGameClick();
    });
    // Auto-generation, then F5: the two steps before a flight, from the keyboard.
    auto* autoKey = new QShortcut(kAutoKey, this);
    connect(autoKey, &QShortcut::activated, this, [this] {
        if (speedAuto->isEnabled()) speedAuto->click();
    });
    auto* helpKey = new QShortcut(kHelpKey, this);
    connect(helpKey, &QShortcut::activated, this, &TZELK_form::ShowHelp);
    // Without a usable log the mode waits for ever; the pilot who switches it
    // on learns why. Only on the pilot's click, not on the monitor's restarts;
    // a root that is gone altogether is reported by the mode itself.
    connect(speedAuto, &QPushButton::clicked, this, [this] {
        std::error_code ec;
        if (speedAuto->isChecked() && std::filesystem::is_directory(paths_.Root, ec) &&
            !EventLogSettingUsable(paths_.Root, paths_.EventLogName) &&
            Ask(TAskKind::Confirm, tr("Подтверждение"),
                QString::fromStdString(DoctorWord(TDoctorWord::OfferQuestion))) == QMessageBox::Yes)
            ShowDoctor();
    });
}

void TZELK_form::ShowDoctor() {
    auto* dialog = findChild<TDoctorDialog*>();
    if (dialog == nullptr) {
        // conf.ini is read again at each check, so that a fix shows at once.
        auto input = [this] {
            TDoctorInput in;
            in.DataDir = options_.DataDir;
            in.Root = paths_.Root;
            in.MissionFolder = paths_.MissionFolder;
            in.SimulatorExe = paths_.SimulatorExe;
            const TSimulatorConfig config = ReadSimulatorConfig(paths_.Root);
            in.EventLogName = config.EventLogName;
            in.KeepEventLog = config.KeepEventLog;
            if (journal_) in.JournalFile = journal_->File();
            return in;
        };
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
    ZELK_Logo->setToolTip(aboutHint);
    PanelLogo->setToolTip(aboutHint);
    MissionComment->setToolTip(tr("Произвольные комментарии пользователя.\nДобавляются к полному описанию задания.\n"
                                  "Не более %1 знаков.")
                                   .arg(kCommentLimit));
    editHeight->setToolTip(
        tr("Ввод высоты полета.\nДопустимы значения от %1 до %2 м.").arg(kHeightRange.Lo).arg(kHeightRange.Hi));

    const fs::path primary = options_.DataDir / DataFileName(0);
    std::error_code ec;
    if (!fs::exists(primary, ec)) {
        EnterMissingDataState(QString());
    } else {
        ReadConf();
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
            for (int k = 0; k < 4; ++k) comboModes->addItem(Shown(ModeNames[static_cast<std::size_t>(k)]), k);
            for (int d = 0; d < 2; ++d)
                comboDifficulty->addItem(Shown(DifficultyNames[static_cast<std::size_t>(d)]), d);
            for (const std::string& name : ArmyNames) comboArmy->addItem(Shown(name));
            comboArmy->setCurrentIndex(0);

            LoadData();

            for (const TMap& map : ref_.Maps.Items) comboMaps->addItem(FromCp1251(map.Name));
            comboMaps->setCurrentIndex(comboMaps->count() > 0 ? 0 : -1);
            listedAircrafts_.clear();
            for (const TAircraft& aircraft : ref_.Aircrafts.Items) {
                comboAircrafts->addItem(FromCp1251(aircraft.Name));
                listedAircrafts_.push_back(&aircraft);
            }
            comboAircrafts->setCurrentIndex(comboAircrafts->count() > 0 ? 0 : -1);
            // The target list is filled for the first map without noting its
            // key, so the first refresh fills it again.
            listedTargets_.clear();
            if (!ref_.Maps.Items.empty()) listedTargets_ = ref_.Targets.SelectMap(ref_.Maps.Items.front().Key);
            for (const TTarget* target : listedTargets_) comboTargets->addItem(FromCp1251(target->Name));
            comboTargets->setCurrentIndex(comboTargets->count() > 0 ? 0 : -1);

            for (std::size_t i = 0; i < 14; ++i) {
                comboTanksRed->addItem(Shown(TankDisplayNames[1][i]));
                comboTanksBlue->addItem(Shown(TankDisplayNames[2][i]));
            }
            comboTanksRed->setCurrentIndex(0);
            comboTanksBlue->setCurrentIndex(0);

            if (!library_.Empty()) SetCurrentEntry(0);
            ShowMissionData();

            if (!ref_.Warnings.empty()) {
                QStringList warnings;
                for (const std::string& warning : ref_.Warnings) warnings << QString::fromStdString(warning);
                Ask(TAskKind::Problem, tr("Проблема"), warnings.join(QStringLiteral("\n\n")));
            }
        }
    }
    PageControl->setCurrentIndex(0);
    speedAuto->setChecked(false);
}

void TZELK_form::EnterMissingDataState(const QString& fault) {
    QString text = MissionShort->toPlainText();
    if (fault.isEmpty()) {
        text += tr("\n  Файл orvak_zelk.rc0 не найден!\n  Формирование заданий невозможно.");
    } else {
        text += tr("\n  Файл orvak_zelk.rc0 поврежден!\n  Формирование заданий невозможно.\n  ") + fault;
    }
    MissionShort->setPlainText(text);
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
                    PathText(paths_.MissionFolder) +
                    tr("\nСоздание и копирование заданий недоступны, чтобы не заменить сохраненные."));
        } else {
            Ask(TAskKind::ProblemOkCancel, tr("Проблема"), FromCp1251(FolderCreateErrorText()));
        }
    }
    FillMissionList();
}

void TZELK_form::FillMissionList() {
    const QSignalBlocker blocker(lboxMissions);
    lboxMissions->clear();
    for (const auto& mission : library_.Missions) lboxMissions->addItem(EntryText(*mission));
}

QString TZELK_form::EntryText(const TMission& mission) {
    // Many missions on one target share a title; the number tells them apart.
    return QStringLiteral("%1  %2%3")
        .arg(mission.Number, 4, 10, QLatin1Char('0'))
        .arg(FromCp1251(mission.Name), mission.IsUnsaved() ? QStringLiteral(" *") : QString());
}

void TZELK_form::ShowEntryMarks() {
    // A changed mission gets the seed its save will use now, so that the
    // route drawn before the save is the route written.
    for (const auto& mission : library_.Missions) {
        if (!mission->IsUnsaved() || mission->NextSeed) continue;
        mission->NextSeed = DrawSeed();
        if (mission.get() == currentMission_) QueuePreview();
    }
    ShowNextSeed();
    for (int row = 0; row < lboxMissions->count() && row < library_.Count(); ++row) {
        const QString text = EntryText(library_.At(row));
        if (lboxMissions->item(row)->text() != text) lboxMissions->item(row)->setText(text);
    }
    ShowSummary();
}

void TZELK_form::ShowSummary() {
    if (currentMission_ == nullptr || shownMission_ != currentMission_) return;
    const TMission& mission = *currentMission_;
    std::vector<std::string> lines = mission.Short;
    if (mission.IsNew == 0 && mission.IsModified()) {
        // A changed mission's summary is the one its save will write: the
        // stored one would name a map or target left behind.
        try {
            const TMission saving = MissionAsSaved();
            lines = {BuildMissionFiles(saving, ref_, {}, saving.NextSeed.value_or(saving.Number)).Short,
                     SaveReminderText()};
        } catch (const std::exception&) {
            // Not buildable yet: the stored summary until it is.
        }
    }
    for (std::string& line : lines) line = ShownShortLine(line);
    const QString text = JoinLines(lines);
    if (MissionShort->toPlainText() != text) MissionShort->setPlainText(text);
}

bool TZELK_form::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Image && event->type() == QEvent::MouseButtonPress) {
        ToggleRoutePreview();
        return true;
    }
    if (watched == Image && event->type() == QEvent::MouseButtonDblClick) {
        // The double click's first press flipped the picture: it flips back,
        // and the route opens large whichever picture was shown.
        ToggleRoutePreview();
        OpenRouteWindow();
        return true;
    }
    if (event->type() == QEvent::Wheel) {
        if (auto* control = qobject_cast<QWidget*>(watched); control != nullptr && !control->hasFocus()) {
            event->ignore();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TZELK_form::SetCurrentEntry(int row) {
    {
        const QSignalBlocker blocker(lboxMissions);
        // Only the entry made current stays selected: a copy followed by a
        // delete must never take the original with it.
        lboxMissions->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    }
    currentMission_ = (row >= 0 && row < library_.Count()) ? &library_.At(row) : nullptr;
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
    lboxMissions->setFocus();
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
    autoSupervisor_->Hold();
    const QMessageBox::StandardButton answer =
        options_.Ask ? options_.Ask(this, kind, caption, text) : ShowMessageBox(this, kind, caption, text);
    autoSupervisor_->Release();
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

// ---------------------------------------------------------------- showing

void TZELK_form::ApplyFormState() {
    TFormInputs in;
    in.DataLoaded = dataLoaded_;
    in.ListFailed = library_.ListFailed;
    in.HasMission = currentMission_ != nullptr && !library_.Empty();
    in.AutoOn = speedAuto->isChecked();
    in.MovingOffered = movingOffered_;
    in.TankSide = tankSide_;
    in.FightersOffered = fightersOffered_;
    in.HasVariants = !listedVariants_.empty();
    const TFormState s = FormState(in);

    ActionCopy->setEnabled(s.Copy);
    ActionDelete->setEnabled(s.Delete);
    ActionSave->setEnabled(s.Save);
    ActionSaveAll->setEnabled(s.Save);
    ActionNew->setEnabled(s.New);
    for (QWidget* w :
         {static_cast<QWidget*>(lboxMissions), static_cast<QWidget*>(FileName), static_cast<QWidget*>(MissionShort)})
        w->setEnabled(s.MissionList);
    MissionComment->setEnabled(s.Parameters);
    // Each control is set once: disabling one that has the focus for a
    // moment would move the focus away.
    const std::pair<QWidget*, bool> named[] = {
        {checkMoving, s.Moving},
        {comboTanksRed, s.TanksRed},
        {comboTanksBlue, s.TanksBlue},
        {editFighters, s.Fighters},
        {BitBtnRestoreVariant, s.RestoreVariant},
        {speedAuto, s.AutoSwitch},
        {LabelAutoState, s.AutoSwitch},
        {BitBtnRunTheGame, s.Start},
        {BitBtnDoctor, s.Doctor},
    };
    for (QWidget* page : {TabSheet1, TabSheet2}) {
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

void TZELK_form::ShowMissionData(TVariantKeep keep) {
    // What was typed belongs to the mission shown so far; it must not reach
    // another one when a box loses the focus while the controls change.
    CommitSpinBoxes();
    editHeight->DiscardEdit();
    editFighters->DiscardEdit();
    if (library_.Empty() || currentMission_ == nullptr) {
        shownMission_ = nullptr;
        ShowVariants();
        return;
    }
    TMission& mission = *currentMission_;
    FileName->setText(FromCp1251(mission.FileName));
    {
        const QSignalBlocker blocker(MissionComment);
        MissionComment->setPlainText(JoinLines(mission.TypedComment ? *mission.TypedComment : mission.Comment));
    }
    ShowCommentChars();
    shownMission_ = &mission;

    // A mission read back whose target was left out of the data is shown as
    // it was read: being looked at must not change it. A new one settles.
    const bool asRead = mission.IsNew == 0 && !TargetAvailable(mission.Data, ref_);
    const TMissionData read = mission.Data;
    {
        const QScopedValueRollback<bool> showRead(asRead_, asRead);
        CheckUpTargets(keep);
    }
    fightersOffered_ = ApplyFightersRule(mission.Data);

    TMissionData& data = mission.Data;
    comboArmy->setCurrentIndex(data.Army >= 0 && data.Army < comboArmy->count() ? data.Army : -1);
    comboFlight->setCurrentIndex(data.Flight >= 0 && data.Flight < comboFlight->count() ? data.Flight : -1);
    comboTime->setCurrentIndex(data.Time >= 0 && data.Time < comboTime->count() ? data.Time : -1);
    // The boxes show the values brought into their ranges, and the mission
    // takes what they show.
    editHeight->SetValue(data.Height);
    data.Height = editHeight->Value();
    checkRandomRoute->setChecked(data.RandomRoute != 0);
    data.RandomRoute = checkRandomRoute->isChecked() ? 1 : 0;
    editFighters->SetValue(data.Fighters);
    data.Fighters = editFighters->Value();
    comboClouds->setCurrentIndex(
        comboClouds->findText(FromCp1251(data.Clouds), Qt::MatchExactly | Qt::MatchCaseSensitive));
    comboWeather->setCurrentIndex(data.Weather >= 0 && data.Weather < comboWeather->count() ? data.Weather : -1);
    if (asRead) data = read;
    ShowEntryMarks();
    // Enables what the mission offers; with auto-generation on (a close-time
    // save that failed, say) the window stays locked all the same.
    ShowVariants();
    // A restored variant or a new seed changes the route with no control changing.
    QueuePreview();
}

void TZELK_form::CheckUpTargets(TVariantKeep keep) {
    if (currentMission_ == nullptr) return;
    TMission& mission = *currentMission_;
    TTargetChoice choice;
    try {
        choice = asRead_ ? ChoiceAsRead(mission, ref_) : zelk::CheckUpTargets(mission, ref_, keep);
    } catch (const std::exception& e) {
        ReportError(QString::fromUtf8(e.what()));
        return;
    }

    comboMaps->setCurrentIndex(choice.MapSelected < comboMaps->count() ? choice.MapSelected : -1);
    if (listedMapKey_ != mission.Data.Map) {
        comboTargets->clear();
        listedTargets_ = choice.Targets;
        for (const TTarget* target : listedTargets_) comboTargets->addItem(FromCp1251(target->Name));
        listedMapKey_ = mission.Data.Map;
    }
    comboTargets->setCurrentIndex(choice.TargetSelected < comboTargets->count() ? choice.TargetSelected : -1);
    comboTanksRed->setCurrentIndex(choice.TanksRedShown);
    comboTanksBlue->setCurrentIndex(choice.TanksBlueShown);
    currentTarget_ = choice.CurrentTarget;

    checkMoving->setChecked(choice.MovingChecked);
    movingOffered_ = choice.MovingEnabled;

    comboModes->clear();
    for (int mode : choice.Modes) comboModes->addItem(Shown(ModeNames[static_cast<std::size_t>(mode)]), mode);
    comboModes->setCurrentIndex(choice.ModeSelected);
    comboDifficulty->clear();
    for (int difficulty : choice.Difficulties)
        comboDifficulty->addItem(Shown(DifficultyNames[static_cast<std::size_t>(difficulty)]), difficulty);
    comboDifficulty->setCurrentIndex(choice.DifficultySelected);
    ShowAircrafts(choice.Aircraft);

    // Only the list the save reads is offered: a choice in the other one
    // would be written as the same position of this side's list.
    tankSide_ = choice.TankSide;
    ApplyFormState();

    ShowTargetPicture();
}

void TZELK_form::CheckUpAircrafts() {
    if (currentMission_ == nullptr) return;
    ShowAircrafts(zelk::CheckUpAircrafts(currentMission_->Data, ref_.Aircrafts));
}

void TZELK_form::ShowAircrafts(const TAircraftChoice& choice) {
    comboAircrafts->clear();
    listedAircrafts_ = choice.Aircrafts;
    for (const TAircraft* aircraft : listedAircrafts_) comboAircrafts->addItem(FromCp1251(aircraft->Name));
    comboAircrafts->setCurrentIndex(choice.Selected);
}

void TZELK_form::ShowTargetPicture() {
    if (showRoute_) {
        // Drawn once the refresh has settled every value.
        QueuePreview();
        return;
    }
    if (currentTarget_ == nullptr) {
        Image->setPixmap(QPixmap::fromImage(DrawNoImagePicture()));
        return;
    }
    try {
        const TImage picture = ReadPicture(ref_.DataFilePath(currentTarget_->DataFile), currentTarget_->PictureOffset);
        const QImage image = ToQImage(picture);
        Image->setPixmap(image.isNull() ? QPixmap::fromImage(DrawNoImagePicture()) : QPixmap::fromImage(image));
    } catch (const std::exception& e) {
        Image->setPixmap(QPixmap::fromImage(DrawNoImagePicture()));
        ReportError(QString::fromUtf8(e.what()));
    }
}

// ---------------------------------------------------------------- handlers

void TZELK_form::lboxMissionsClick() {
    const int row = lboxMissions->currentRow();
    currentMission_ = (row >= 0 && row < library_.Count()) ? &library_.At(row) : nullptr;
    ShowMissionData();
}

void TZELK_form::comboMapsSelect(int index) {
    if (currentMission_ == nullptr || index < 0 || index >= ref_.Maps.Count()) return;
    currentMission_->Data.Map = ref_.Maps.Items[static_cast<std::size_t>(index)].Key;
    CheckUpTargets();
    ShowEntryMarks();
}

void TZELK_form::comboArmySelect(int index) {
    if (currentMission_ == nullptr || index < 0) return;
    currentMission_->Data.Army = index;
    // The army decides which side's tank list the save reads.
    CheckUpTargets();
    ShowEntryMarks();
}

void TZELK_form::comboTargetsSelect(int index) {
    if (currentMission_ == nullptr || index < 0 || index >= static_cast<int>(listedTargets_.size())) return;
    currentMission_->Data.Target = listedTargets_[static_cast<std::size_t>(index)]->Name;
    CheckUpTargets();
    ShowEntryMarks();
}

// Movement, type and difficulty exist only together in the data: each choice
// is kept and the other two follow it onto a variant the target has.
void TZELK_form::checkMovingClick(bool checked) {
    if (currentMission_ == nullptr) return;
    currentMission_->Data.Moving = checked ? 1 : 0;
    ShowMissionData({.Moving = true});
}

void TZELK_form::comboModesSelect(int index) {
    if (currentMission_ == nullptr || index < 0) return;
    currentMission_->Data.Mode = static_cast<std::uint8_t>(comboModes->itemData(index).toInt());
    ShowMissionData({.Mode = true});
}

void TZELK_form::comboDifficultySelect(int index) {
    if (currentMission_ == nullptr || index < 0) return;
    currentMission_->Data.Difficulty = static_cast<std::uint8_t>(comboDifficulty->itemData(index).toInt());
    ShowMissionData({.Difficulty = true});
}

void TZELK_form::comboAircraftsSelect(int index) {
    if (currentMission_ == nullptr || index < 0 || index >= static_cast<int>(listedAircrafts_.size())) return;
    currentMission_->Data.Aircraft = listedAircrafts_[static_cast<std::size_t>(index)]->AirClass;
    ShowEntryMarks();
}

void TZELK_form::comboFlightSelect(int index) {
    if (currentMission_ != nullptr && index >= 0) currentMission_->Data.Flight = index;
    ShowEntryMarks();
}

void TZELK_form::editHeightChange(int value) {
    if (currentMission_ != nullptr) currentMission_->Data.Height = value;
    ShowEntryMarks();
}

void TZELK_form::comboTimeSelect(int index) {
    if (currentMission_ != nullptr && index >= 0) currentMission_->Data.Time = index;
    ShowEntryMarks();
}

void TZELK_form::comboWeatherSelect(int index) {
    if (currentMission_ != nullptr && index >= 0) currentMission_->Data.Weather = index;
    ShowEntryMarks();
}

void TZELK_form::comboCloudsSelect(int index) {
    if (currentMission_ != nullptr && index >= 0) currentMission_->Data.Clouds = ToCp1251(comboClouds->itemText(index));
    ShowEntryMarks();
}

void TZELK_form::comboTanksRedChange(int index) {
    if (currentMission_ != nullptr && index >= 0) currentMission_->Data.Tanks = index;
    ShowEntryMarks();
}

void TZELK_form::comboTanksBlueChange(int index) {
    if (currentMission_ != nullptr && index >= 0) currentMission_->Data.Tanks = index;
    ShowEntryMarks();
}

void TZELK_form::checkRandomRouteClick(bool checked) {
    if (currentMission_ != nullptr) {
        currentMission_->Data.RandomRoute = checked ? 1 : 0;
        // The pilot asks for chance: a new draw.
        currentMission_->NextSeed.reset();
    }
    ShowEntryMarks();
}

void TZELK_form::editFightersChange(int value) {
    if (currentMission_ != nullptr) currentMission_->Data.Fighters = value;
    ShowEntryMarks();
}

void TZELK_form::ShowCommentChars() {
    // Said while typing, not found out in the simulator: these become "?".
    QStringList lost;
    std::string one;
    for (char32_t c : MissionComment->toPlainText().toUcs4()) {
        const QString s = QString::fromUcs4(&c, 1);
        if (c != U'\n' && !Utf8ToCp1251(s.toStdString(), one) && !lost.contains(s)) lost << s;
    }
    const QString text = lost.isEmpty() ? QString() : tr("Симулятор не покажет: %1").arg(lost.join(QLatin1Char(' ')));
    LabelCommentChars->setToolTip(
        lost.isEmpty() ? QString()
                       : tr("Этих знаков нет в кодировке Windows-1251, которой пишет симулятор: при сохранении "
                            "они станут знаками «?».\n%1")
                             .arg(lost.join(QLatin1Char(' '))));
    LabelCommentChars->setText(
        LabelCommentChars->fontMetrics().elidedText(text, Qt::ElideRight, LabelCommentChars->width()));
}

void TZELK_form::MissionCommentChange() {
    ShowCommentChars();
    // What is typed belongs to the mission the box shows, like any of its
    // values, until a save writes it.
    if (shownMission_ == nullptr) return;
    TypeComment(*shownMission_, CommentFromBox());
    ShowEntryMarks();
}

void TZELK_form::BitBtnRunTheGameClick() {
    // The altitude and fighters typed so far count as if the boxes had been left.
    CommitSpinBoxes();
    // The flight about to start is followed with the settings it is flown with.
    if (autoOn_) WatchEventLog(false);
    const fs::path& exe = paths_.SimulatorExe;
    std::error_code ec;
    if (!fs::is_regular_file(exe, ec)) {
        // Minimised, the window would leave the pilot with nothing on screen.
        Ask(TAskKind::Problem, tr("Проблема"), tr("Авиасимулятор не найден: нет файла\n%1").arg(PathText(exe)));
        return;
    }
    showMinimized();
    // No working folder is given: the simulator starts in ours.
    if (!StartSimulator(exe)) {
        showNormal();
        activateWindow();
        Ask(TAskKind::Problem, tr("Проблема"), tr("Не удаётся запустить авиасимулятор\n%1").arg(PathText(exe)));
    }
}

// ---------------------------------------------------------------- commands

void TZELK_form::CommitSpinBoxes() {
    if (currentMission_ == nullptr || shownMission_ != currentMission_) return;
    editHeight->Commit();
    editFighters->Commit();
}

bool TZELK_form::CheckMaxFileNumber() {
    if (library_.CheckMaxFileNumber()) return true;
    Ask(TAskKind::Problem, tr("Проблема"), FromCp1251(NumberLimitText()));
    return false;
}

void TZELK_form::DoNew() {
    CommitSpinBoxes();
    if (library_.ListFailed) return;
    if (!CheckMaxFileNumber()) return;
    if (ref_.Maps.Items.empty()) {
        Ask(TAskKind::Problem, tr("Проблема"), tr("В файлах данных нет ни одной карты с целями."));
        return;
    }
    // The lists as they are filled now; an empty one leaves the field empty
    // and the refresh below picks the first entry offered.
    TNewDefaults defaults;
    defaults.Map = ref_.Maps.Items.front().Key;
    if (!listedTargets_.empty()) defaults.Target = listedTargets_.front()->Name;
    if (!listedAircrafts_.empty()) defaults.Aircraft = listedAircrafts_.front()->AirClass;
    const int index = library_.NewMission(defaults);
    if (index < 0) return;
    {
        const QSignalBlocker blocker(lboxMissions);
        lboxMissions->addItem(EntryText(library_.At(index)));
    }
    SetCurrentEntry(index);
    lboxMissions->setFocus();
    PageControl->setCurrentIndex(0);
    ShowMissionData();
}

void TZELK_form::DoCopy() {
    CommitSpinBoxes();
    if (!CheckMaxFileNumber()) return;
    const int source = lboxMissions->currentRow();
    if (source < 0 || source >= library_.Count()) return;
    const int index = library_.CopyMission(source, &ref_);
    if (index < 0) return;
    {
        const QSignalBlocker blocker(lboxMissions);
        lboxMissions->addItem(EntryText(library_.At(index)));
    }
    SetCurrentEntry(index);
    lboxMissions->setFocus();
    ShowMissionData();
}

void TZELK_form::DoDelete() {
    CommitSpinBoxes();
    std::vector<int> rows;
    for (const QModelIndex& index : lboxMissions->selectionModel()->selectedIndexes()) rows.push_back(index.row());
    if (rows.empty()) return;
    const int n = static_cast<int>(rows.size());
    if (Ask(TAskKind::Confirm, tr("Подтверждение"), FromCp1251(DeleteQuestionText(n))) != QMessageBox::Yes) return;
    currentMission_ = nullptr;
    shownMission_ = nullptr;
    std::vector<fs::path> notRemoved;
    library_.DeleteMissions(rows, paths_.MissionFolder, &notRemoved);
    FillMissionList();
    if (!library_.Empty()) {
        SetCurrentEntry(library_.Count() - 1);
    } else {
        FileName->clear();
        MissionShort->clear();
        {
            const QSignalBlocker blocker(MissionComment);
            MissionComment->clear();
        }
        ShowCommentChars();
        // No mission, no target: its picture would suggest one.
        currentTarget_ = nullptr;
        ShowTargetPicture();
    }
    ShowMissionData();
    if (!notRemoved.empty()) {
        // A mission whose mission file stayed is still listed; a description
        // left alone is listed by nothing.
        QStringList names;
        for (const fs::path& path : notRemoved) names << PathText(path);
        Ask(TAskKind::Problem, tr("Проблема"), tr("Не удалось удалить файлы:\n%1").arg(names.join(QLatin1Char('\n'))));
    }
}

bool TZELK_form::DoSave() {
    if (library_.Empty()) return true;
    const int row = lboxMissions->currentRow();
    if (row < 0 || row >= library_.Count()) return true;
    CommitSpinBoxes();
    currentMission_ = &library_.At(row);
    bool saved = true;
    try {
        SaveMission(currentMission_->FileName);
    } catch (const TVariantRefused& e) {
        saved = false;
        Ask(TAskKind::Problem, tr("Проблема"), QString::fromUtf8(e.what()));
    } catch (const std::exception& e) {
        saved = false;
        ReportError(QString::fromUtf8(e.what()));
    }
    {
        // One failure, one report: the refresh after a failed save would
        // usually fail on the same data file again.
        const QScopedValueRollback<bool> quiet(quietErrors_, !saved);
        ShowMissionData();
    }
    lboxMissions->setFocus();
    return saved;
}

std::vector<std::string> TZELK_form::CommentFromBox() const {
    QString text = MissionComment->toPlainText();
    std::vector<std::string> lines;
    if (text.isEmpty()) return lines;
    if (text.endsWith(QLatin1Char('\n'))) text.chop(1);
    for (const QString& line : text.split(QLatin1Char('\n'))) lines.push_back(ToCp1251(line));
    return lines;
}

void TZELK_form::SaveMission(const std::string& fileName) {
    const int index = library_.FindByFileName(fileName);
    if (index >= 0) currentMission_ = &library_.At(index);
    const int number = index >= 0 ? library_.At(index).Number : 0;
    if (index >= 0 && !autoOn_ && journal_ && !library_.At(index).IsUnsaved()) {
        // An unchanged mission is written again as it was drawn from its
        // file: with the seed of its last variant, when that variant is it.
        const std::vector<TVariant> variants = journal_->Variants(number);
        if (!variants.empty() && variants.back().Data == library_.At(index).Data)
            library_.At(index).NextSeed = variants.back().Seed;
    }
    // The simulator's flights always get fresh random choices.
    const int saved = library_.SaveListedMission(fileName, ref_, paths_.MissionFolder, TimeSeed(), autoOn_);
    ShowEntryMarks();
    ShowVariants();
    // Another program took the number meanwhile: the mission went to the next
    // free one, and the pilot finds it in the simulator under that name.
    if (library_.At(saved).Number != number)
        Ask(TAskKind::Problem, tr("Проблема"),
            tr("Номер %1 уже занят другим файлом в папке заданий.\nЗадание сохранено в файле %2.")
                .arg(number)
                .arg(FromCp1251(library_.At(saved).FileName)));
}

QString TZELK_form::UnsavedQuestion() const {
    // The count, the missions it counts (a few; the list may be long), then the question.
    QStringList names;
    int more = 0;
    for (const auto& mission : library_.Missions) {
        if (!mission->IsUnsaved()) continue;
        if (names.size() < 5)
            names << QStringLiteral("  ") + EntryText(*mission);
        else
            ++more;
    }
    if (more > 0) names << tr("  и ещё %1").arg(more);
    QString question = FromCp1251(UnsavedQuestionText(library_.CountUnsaved()));
    const qsizetype cut = question.indexOf(QLatin1Char('\n'));
    if (cut < 0) return question + QLatin1Char('\n') + names.join(QLatin1Char('\n'));
    return question.left(cut + 1) + names.join(QLatin1Char('\n')) + question.mid(cut);
}

bool TZELK_form::CheckUnsavedMissions() {
    const int k = library_.CountUnsaved();
    if (k == 0) return true;
    const QMessageBox::StandardButton answer = Ask(TAskKind::Query, tr("Запрос"), UnsavedQuestion());
    if (answer == QMessageBox::Yes) return SaveUnsavedMissions();
    return answer == QMessageBox::No;
}

bool TZELK_form::SaveUnsavedMissions() {
    CommitSpinBoxes();
    // A mission whose target the data lack can never be saved; it must
    // not keep the window open, so it is only reported.
    QStringList unsavable;
    for (int i = 0; i < library_.Count(); ++i) {
        const TMission& mission = library_.At(i);
        if (!mission.IsUnsaved()) continue;
        if (!TargetAvailable(mission.Data, ref_)) {
            unsavable << FromCp1251(mission.FileName) + QStringLiteral(": ") +
                             QString::fromStdString(MissingTargetReason(mission, ref_));
            continue;
        }
        SetCurrentEntry(i);
        if (!DoSave()) return false;
    }
    if (!unsavable.isEmpty())
        Ask(TAskKind::Problem, tr("Проблема"), tr("Не сохранены задания:\n") + unsavable.join(QLatin1Char('\n')));
    return true;
}

void TZELK_form::ShowHelp() {
    const struct {
        QKeySequence Key;
        QString What;
    } keys[] = {
        {ActionNew->shortcut(), tr("создать задание")},
        {ActionCopy->shortcut(), tr("копировать задание")},
        {ActionSave->shortcut(), tr("сохранить задание")},
        {ActionSaveAll->shortcut(), tr("сохранить все несохраненные задания")},
        {ActionDelete->shortcut(), tr("удалить отмеченные задания (в списке заданий)")},
        {QKeySequence(Qt::CTRL | Qt::Key_R), tr("случайные условия задания")},
        {QKeySequence(Qt::CTRL | Qt::Key_M), tr("снимок цели или схема маршрута")},
        {kStartKey, tr("запустить авиасимулятор")},
        {kAutoKey, tr("включить или выключить автогенерацию")},
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
        autoSupervisor_->RunHeldSaves();
        event->accept();
    } else {
        event->ignore();
    }
}

}  // namespace zelk
