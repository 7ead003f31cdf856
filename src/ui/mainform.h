#pragma once
// The main window: the mission library on the left, the chosen mission's
// parameters on the right. Every rule it applies lives in the core; the
// window's methods move values between its controls and the core.
#include <QMessageBox>
#include <QPointer>
#include <QTime>
#include <QWidget>

#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "data/refdata.h"
#include "library/availability.h"
#include "library/commands.h"
#include "library/journal.h"
#include "mission/mission.h"
#include "monitor/logmonitor.h"
#include "preview/sortie.h"
#include "ui/simpaths.h"

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTimer;

namespace zelk {

class TSpinEdit;
class TAutoSupervisor;
class TLogbookUi;
struct TTemplate;

// The window's questions and reports. Problem: OK; ProblemOkCancel: OK and
// Cancel; Confirm: Yes and No; Query: Yes, No and Cancel; Error: the general
// error report (OK).
enum class TAskKind { Problem, ProblemOkCancel, Confirm, Query, Error };
using TAskFunc = std::function<QMessageBox::StandardButton(QWidget* parent, TAskKind kind, const QString& caption,
                                                           const QString& text)>;

// Да, Нет, Отмена and ОК (Yes, No, Cancel and OK in English) on the box's
// standard buttons.
void SetRussianButtonTexts(QMessageBox& box);

// The real message box: no icon for the window's questions, the error icon
// for the error report.
QMessageBox::StandardButton ShowMessageBox(QWidget* parent, TAskKind kind, const QString& caption, const QString& text);

struct TFormOptions {
    std::filesystem::path Root;             // simulator root folder
    std::filesystem::path DataDir;          // folder of orvak_zelk.rc0..rc9
    TAskFunc Ask;                           // empty: ShowMessageBox
    TSaveFileSystem* FileSystem = nullptr;  // file operations of Save and Delete; nullptr: the disk
};

class TZELK_form : public QWidget {
    Q_OBJECT
    // The logbook page and the programme (logbookui.cpp) work on the library.
    friend class TLogbookUi;

public:
    explicit TZELK_form(TFormOptions options, QWidget* parent = nullptr);
    ~TZELK_form() override;

    // Set-up at creation and release at destruction.
    void FormCreate();
    void FormDestroy();

    // Shows the current mission in every control, settling it first into
    // what the reference data offer; `keep` holds the choice just made.
    void ShowMissionData(TVariantKeep keep = {});
    void CheckUpTargets(TVariantKeep keep = {});
    void CheckUpAircrafts();

    void LoadData();

    // The picture area shows the route of the current mission instead of the
    // target's photograph (a click on it, or Ctrl+M); a double click opens it large.
    void ToggleRoutePreview();
    bool ShowsRoute() const { return showRoute_; }
    // The sortie the route picture shows now (empty when none is drawn).
    const TSortie& DrawnSortie() const { return drawnSortie_; }
    void OpenRouteWindow();
    // The current mission's saves from the journal of variants, newest first.
    void ShowVariants();
    // The variant selected in lboxVariants becomes the current mission's
    // content; its next save writes that variant again.
    void RestoreVariant();
    // Surprise: the current mission's conditions drawn at random among what
    // the data offer (Ctrl+R).
    void DoSurprise();
    void DoNew();
    void DoCopy();
    void DoDelete();
    // Saves the focused entry's mission; false when the save failed (the
    // failure has been reported).
    bool DoSave();
    // Saves every unsaved mission (Ctrl+Shift+S); a mission whose target the
    // data lack is only reported. False when a save failed (reported).
    bool SaveUnsavedMissions();
    // A short help: what the program does and its keys (F1).
    void ShowHelp();
    bool CheckMaxFileNumber();
    // True when the window may close.
    bool CheckUnsavedMissions();
    // "Не сохранены N заданий!", naming them, and the offer to save them.
    QString UnsavedQuestion() const;
    // Writes the listed mission with this file name. Throws TFileError (the
    // caller reports it) and writes nothing for a name no mission has.
    void SaveMission(const std::string& fileName);

    // The kneeboard card of the current mission (Ctrl+P), and templates of
    // conditions (pilotactions.cpp). The dialogs gather; the two functions
    // after them do the work, and say why when they cannot.
    void ShowCard();
    void SaveAsTemplate();
    void NewFromTemplate();
    bool KeepTemplate(const TTemplate& kept);
    bool NewMissionFromTemplate(const std::string& name);
    // The templates file beside the journal; empty when no folder for it can be written.
    std::filesystem::path TemplatesFile() const;

    // Asked by a later copy of the program: restore or come to the front.
    void BringToFront();
    // The set-up check in its own window (not modal), opened or checked again.
    void ShowDoctor();

    // State, for the start-up code, the simulator launch and the tests.
    const TSimPaths& Paths() const { return paths_; }
    const TRefData& RefData() const { return ref_; }
    TMissionLibrary& Library() { return library_; }
    TMission* CurrentMission() const { return currentMission_; }
    const TTarget* CurrentTarget() const { return currentTarget_; }
    bool DataLoaded() const { return dataLoaded_; }
    void SetAsk(TAskFunc ask);
    // The event-log monitor of the auto-generation mode, or none.
    TLogMonitorThread* Monitor() const;

public slots:
    void lboxMissionsClick();
    void comboMapsSelect(int index);
    void comboArmySelect(int index);
    void comboTargetsSelect(int index);
    void checkMovingClick(bool checked);
    void comboModesSelect(int index);
    void comboDifficultySelect(int index);
    void comboAircraftsSelect(int index);
    void comboFlightSelect(int index);
    void editHeightChange(int value);
    void comboTimeSelect(int index);
    void comboWeatherSelect(int index);
    void comboCloudsSelect(int index);
    void comboTanksRedChange(int index);
    void comboTanksBlueChange(int index);
    void checkRandomRouteClick(bool checked);
    void editFightersChange(int value);
    void KeepCommentWithinLimit();
    void MissionCommentChange();
    // Names the typed characters the simulator's code page lacks.
    void ShowCommentChars();
    void speedAutoClick();
    void BitBtnRunTheGameClick();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // The wheel turns only the focused pick list or spin box.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void CreatePilotActions();
    // The form (mainform.ui) builds the controls; the pages' code adds what
    // comes from the data and the commands.
    void CreateFirstPage();
    void CreateSecondPage();
    // Enables the commands and controls as FormState decides for the
    // window's present state; every change of that state ends here.
    void ApplyFormState();
    void EnterMissingDataState(const QString& fault);
    // The library's scan, showing how far it has come when it takes long
    // (scanprogress.cpp); the result of TMissionLibrary::Load.
    bool LoadLibraryShowingProgress();
    void FillMissionList();
    // The list entry of a mission: number, title, and "*" while unsaved.
    static QString EntryText(const TMission& mission);
    // Brings every entry's text up to date after a change.
    void ShowEntryMarks();
    // The summary box: what the shown mission's save would write.
    void ShowSummary();
    void SetCurrentEntry(int row);
    void ShowAircrafts(const TAircraftChoice& choice);
    void ShowTargetPicture();
    std::vector<std::string> CommentFromBox() const;
    void CommitSpinBoxes();
    QMessageBox::StandardButton Ask(TAskKind kind, const QString& caption, const QString& text);
    void ReportError(const QString& message);
    void ShowPendingMessages();

    // Auto-generation (autogeneration.cpp): the supervisor and its reports.
    void CreateAutoSupervisor();
    void SwitchAutoOff();
    // Reads the event-log settings of conf.ini anew and follows the log they
    // name: always when `start`, otherwise only when they changed.
    void WatchEventLog(bool start);
    // conf.ini as last read: whether it was there, its time and size.
    struct TConfStamp {
        bool Exists = false;
        std::filesystem::file_time_type Time{};
        std::uintmax_t Size = 0;
        bool operator==(const TConfStamp&) const = default;
    };
    TConfStamp ConfStamp() const;
    void ReadConf();
    TConfStamp confStamp_;
    // Offers to save the unsaved missions before the mode locks editing;
    // false when the pilot cancels or a save fails.
    bool SaveBeforeAuto();
    // The mode's state, its count of writes and the time of the last one.
    void ShowAutoState();
    void NoteAutoWrite();

    TFormOptions options_;
    TSimPaths paths_;
    TRefData ref_;
    TMissionLibrary library_;
    bool dataLoaded_ = false;
    bool shownOnce_ = false;
    bool quietErrors_ = false;

    TMission* currentMission_ = nullptr;
    TMission* shownMission_ = nullptr;  // the mission the controls show
    const TTarget* currentTarget_ = nullptr;
    // Set while a mission whose target is not available is shown: the refresh
    // then shows it as read instead of settling it.
    bool asRead_ = false;
    std::string listedMapKey_;
    std::vector<const TTarget*> listedTargets_;
    std::vector<const TAircraft*> listedAircrafts_;
    // What the shown mission's target and type offer, as last settled.
    bool movingOffered_ = false;
    TTankSide tankSide_ = TTankSide::None;
    bool fightersOffered_ = false;

    struct TPendingMessage {
        TAskKind Kind;
        QString Caption;
        QString Text;
    };
    // Messages raised before the window first appears are shown after it.
    std::deque<TPendingMessage> pending_;

    // The event-log monitors of the auto-generation mode; a child object.
    TAutoSupervisor* autoSupervisor_ = nullptr;
    TLogbookUi* logbookUi_ = nullptr;
    // The route preview and the journal of variants (variantspage.cpp).
    void CreateVariantControls();
    void ShowRoutePreview();
    // A seed for a changed mission's next save, and the page line naming it.
    static std::uint64_t DrawSeed();
    void ShowNextSeed();
    // The current mission as a save would write it now.
    TMission MissionAsSaved() const;
    void QueuePreview();
    bool showRoute_ = false;
    TSortie drawnSortie_;
    bool previewQueued_ = false;
    std::optional<TJournal> journal_;
    std::vector<TVariant> listedVariants_;  // newest first, as lboxVariants lists them
    // Missions written since the mode was switched on, and when the last was.
    bool autoOn_ = false;
    int autoWrites_ = 0;
    QTime lastAutoWrite_;

public:
    // Controls, named as the window's form (mainform.ui) names them.
    QLabel* Label1 = nullptr;
    QListWidget* lboxMissions = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* FileName = nullptr;
    QFrame* PanelLogo = nullptr;
    QLabel* ZELK_Logo = nullptr;
    QLabel* Label4 = nullptr;
    QPlainTextEdit* MissionShort = nullptr;
    QLabel* Label16 = nullptr;
    QPlainTextEdit* MissionComment = nullptr;
    QLabel* LabelCommentChars = nullptr;
    QFrame* PanelPreview = nullptr;
    QLabel* Image = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QPushButton* BitBtnNew = nullptr;
    QPushButton* BitBtnSave = nullptr;
    QPushButton* BitBtnCopy = nullptr;
    QPushButton* BitBtnDelete = nullptr;
    QTabWidget* PageControl = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    QComboBox* comboMaps = nullptr;
    QComboBox* comboArmy = nullptr;
    QComboBox* comboTargets = nullptr;
    QCheckBox* checkMoving = nullptr;
    QComboBox* comboModes = nullptr;
    QComboBox* comboDifficulty = nullptr;
    QComboBox* comboAircrafts = nullptr;
    QComboBox* comboFlight = nullptr;
    TSpinEdit* editHeight = nullptr;
    QComboBox* comboTime = nullptr;
    QComboBox* comboWeather = nullptr;
    QComboBox* comboClouds = nullptr;
    QComboBox* comboTanksRed = nullptr;
    QComboBox* comboTanksBlue = nullptr;
    QCheckBox* checkRandomRoute = nullptr;
    TSpinEdit* editFighters = nullptr;
    QPushButton* speedAuto = nullptr;
    QLabel* LabelAutoState = nullptr;
    QPushButton* BitBtnRunTheGame = nullptr;
    QPushButton* BitBtnDoctor = nullptr;
    QLabel* LabelVariants = nullptr;
    QListWidget* lboxVariants = nullptr;
    QPushButton* BitBtnRestoreVariant = nullptr;
    QPushButton* BitBtnSurprise = nullptr;
    QAction* ActionNew = nullptr;
    QAction* ActionSave = nullptr;
    QAction* ActionCopy = nullptr;
    QAction* ActionDelete = nullptr;
    QAction* ActionSaveAll = nullptr;
};

// Windows-1251 text of the core as the window shows it: CR LF and lone CR
// become line breaks.
QString FromCp1251(const std::string& text);
// The window's text for the core: characters Windows-1251 lacks become "?".
std::string ToCp1251(const QString& text);

}  // namespace zelk
