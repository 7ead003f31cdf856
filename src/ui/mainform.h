#pragma once
// The main window: the mission library on the left, the chosen mission's
// parameters on the right. Every rule it applies lives in the core; the
// window's methods move values between its controls and the core.
#include <QMessageBox>
#include <QWidget>

#include <deque>
#include <filesystem>
#include <memory>
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
#include "ui/askbox.h"
#include "ui/autogeneration.h"
#include "ui/logbookui.h"
#include "ui/simpaths.h"
#include "ui/variantspage.h"

class QAction;

namespace zelk {

struct TTemplate;
namespace Ui {
class TZELK_form;
}

struct TFormOptions {
    std::filesystem::path Root;             // simulator root folder
    std::filesystem::path DataDir;          // folder of orvak_zelk.rc0..rc9
    TAskFunc Ask;                           // empty: ShowMessageBox
    TSaveFileSystem* FileSystem = nullptr;  // file operations of Save and Delete; nullptr: the disk
};

// The window. Its controls are the form's (mainform.ui) and stay inside it:
// the parts beside it (auto-generation, the variants page, the logbook) are
// handed the controls they own, and tests find controls by object name.
class TZELK_form : public QWidget, private TAutoHost, private TVariantsHost, private TLogbookHost {
    Q_OBJECT

public:
    explicit TZELK_form(TFormOptions options, QWidget* parent = nullptr);
    ~TZELK_form() override;

    // Shows the current mission in every control, settling it first into
    // what the reference data offer; `keep` holds the choice just made.
    void ShowMissionData(TVariantKeep keep = {});

    // The picture area shows the route of the current mission instead of the
    // target's photograph (a click on it, or Ctrl+M); a double click opens it large.
    void ToggleRoutePreview() { variants_->ToggleRoutePreview(); }
    bool ShowsRoute() const { return variants_->ShowsRoute(); }
    // The sortie the route picture shows now (empty when none is drawn).
    const TSortie& DrawnSortie() const { return variants_->DrawnSortie(); }
    void OpenRouteWindow() { variants_->OpenRouteWindow(); }
    void DoNew();
    void DoCopy();
    void DoDelete();
    // Saves the focused entry's mission; false when the save failed (the
    // failure has been reported).
    bool DoSave();
    // Saves every unsaved mission (Ctrl+Shift+S); a mission whose target the
    // data lack is only reported. False when a save failed (reported).
    bool SaveUnsavedMissions() override;
    // A short help: what the program does and its keys (F1).
    void ShowHelp();
    // True when the window may close.
    bool CheckUnsavedMissions();
    // "Не сохранены N заданий!", naming them, and the offer to save them.
    QString UnsavedQuestion() const override;
    // Writes the listed mission with this file name. Throws TFileError (the
    // caller reports it) and writes nothing for a name no mission has.
    void SaveMission(const std::string& fileName) override;

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
    void ShowDoctor() override;
    // The page a screenshot shows: 0 the first, 1 the second.
    void ShowPage(int page);
    // Switches auto-generation on or off as its button does, when it is enabled.
    void ClickAutoGeneration();

    // State, for the start-up code, the simulator launch and the tests.
    const TSimPaths& Paths() const override { return paths_; }
    const TRefData& RefData() const override { return ref_; }
    TMissionLibrary& Library() override { return library_; }
    TMission* CurrentMission() const override { return currentMission_; }
    bool DataLoaded() const { return dataLoaded_; }
    void SetAsk(TAskFunc ask);
    // The event-log monitor of the auto-generation mode, or none.
    TLogMonitorThread* Monitor() const { return auto_->Monitor(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // The wheel turns only the focused pick list or spin box.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Set-up at creation and release at destruction.
    void FormCreate();
    void FormDestroy();
    void LoadData();
    void CreateControls();
    void CreateCommands();
    void CreatePilotActions();
    // The form (mainform.ui) builds the controls; the pages' code adds what
    // comes from the data and the commands.
    void CreateFirstPage();
    void CreateSecondPage();
    // Every control that edits a field of the mission, bound through one table.
    void BindMissionFields();
    void KeepCommentWithinLimit();
    void MissionCommentChange();
    // Names the typed characters the simulator's code page lacks.
    void ShowCommentChars();
    void MissionListClicked();
    void RunTheGame();
    bool CheckMaxFileNumber();
    void CheckUpTargets(TVariantKeep keep = {});
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
    void CommitSpinBoxes();
    QMessageBox::StandardButton Ask(TAskKind kind, const QString& caption, const QString& text);
    void ShowPendingMessages();

    // What the parts beside the form ask of it.
    bool IsListedMission(const std::string& fileName) const override;
    QMessageBox::StandardButton AskPilot(TAskKind kind, const QString& caption, const QString& text) override {
        return Ask(kind, caption, text);
    }
    void CommitEdits() override { CommitSpinBoxes(); }
    int CountUnsaved() const override { return library_.CountUnsaved(); }
    std::filesystem::path JournalFile() const override;
    void AutoSwitched(bool on) override;
    TMission MissionAsSaved() const override;
    bool AutoOn() const override { return auto_->IsOn(); }
    std::vector<std::string> CommentFromBox() const override;
    void ReportError(const QString& message) override;
    void ShowMission() override { ShowMissionData(); }
    void ShowTargetPicture() override;
    void VariantsListed() override { ApplyFormState(); }
    void MissionRewritten(const TMission& mission) override;

    std::unique_ptr<Ui::TZELK_form> ui_;
    // The commands; a button is enabled exactly when its command is.
    QAction* newAction_ = nullptr;
    QAction* copyAction_ = nullptr;
    QAction* deleteAction_ = nullptr;
    QAction* saveAction_ = nullptr;
    QAction* saveAllAction_ = nullptr;
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

    std::optional<TJournal> journal_;
    // The parts beside the form; child objects.
    TAutoGeneration* auto_ = nullptr;
    TVariantsPage* variants_ = nullptr;
    TLogbookUi* logbookUi_ = nullptr;
};

}  // namespace zelk
