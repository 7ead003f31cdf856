#pragma once
// The logbook in the window: the page "Лётная книжка" (the programme's step
// and the last flights), the debrief offered after each flight, the whole
// book in its own window, and the programme's controls. Nothing here ever
// holds auto-generation up: a logbook or programme file that fails is told
// on the page and the next flight is written all the same.
#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QString>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "logbook/logbook.h"
#include "programme/progstate.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;
class QTableWidget;

namespace zelk {

class TAutoSupervisor;
class TMissionLibrary;
struct TMission;
struct TRefData;
struct TSimPaths;

// What the logbook page asks of the window.
class TLogbookHost {
public:
    virtual TMissionLibrary& Library() = 0;
    virtual const TRefData& RefData() const = 0;
    virtual const TSimPaths& Paths() const = 0;
    virtual TMission* CurrentMission() const = 0;
    // A listed mission was written anew: the list, its variants and, when it
    // is on the screen, every control show it.
    virtual void MissionRewritten(const TMission& mission) = 0;

protected:
    ~TLogbookHost() = default;
};

// Asks how a flight went, without holding anything up: it opens without
// taking the focus from the simulator, and a later flight's debrief takes
// its place (the earlier flight can be marked from the logbook).
class TDebriefDialog final : public QDialog {
    Q_OBJECT
public:
    TDebriefDialog(QWidget* parent);
    void Offer(const TFlight& flight, const QString& programmeLine);
    int FlightId() const { return id_; }
signals:
    void Marked(int flightId, zelk::TFlightResult result, const QString& note);

private:
    int id_ = 0;
    QLabel* question_ = nullptr;
    QLabel* programme_ = nullptr;
    QLineEdit* note_ = nullptr;
};

// Weekly flights as bars and the share of targets hit as a line.
class TTrendChart final : public QWidget {
public:
    explicit TTrendChart(QWidget* parent) : QWidget(parent) {}
    void SetWeeks(std::vector<TTotals> weeks);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<TTotals> weeks_;
};

// The whole book: flights newest first with their attempts of the same
// variant side by side, totals by condition and the trend.
class TLogbookDialog final : public QDialog {
    Q_OBJECT
public:
    TLogbookDialog(QWidget* parent);
    void Show(const std::vector<TFlight>& flights);
    // The selected flight's id, 0 for none.
    int SelectedFlight() const;
signals:
    void MarkAsked(int flightId);
    void RepeatAsked(int flightId);
    void ImportAsked();

private:
    void ShowAttempts();
    std::vector<TFlight> flights_;  // newest first, as listed
    QTableWidget* flightsTable_ = nullptr;
    QTableWidget* totalsTable_ = nullptr;
    QLabel* attempts_ = nullptr;
    TTrendChart* chart_ = nullptr;
};

class TLogbookUi final : public QObject {
    Q_OBJECT
public:
    // The page is added to `pages`, the window's tabs; `logbookFile` is the
    // logbook in use (empty: none can be kept), and `supervisor` tells of
    // each flight it records there.
    TLogbookUi(TLogbookHost& host, const std::filesystem::path& logbookFile, TAutoSupervisor& supervisor,
               QWidget* window, QTabWidget* pages);

    // Reads the logbook and the programme again and shows them.
    void Refresh();
    void OpenBook();
    // Records the pilot's word on a flight; a mark that completes the step
    // moves the programme on and writes its mission for the next step.
    void Mark(int flightId, TFlightResult result, const QString& note);
    // Writes the flight's variant again, byte for byte.
    void Repeat(int flightId);
    void StartProgramme(const QString& file);
    void HoldProgramme(bool held);
    void MoveProgramme(int delta);
    void StopProgramme();

    const std::optional<TLogbook>& Logbook() const { return logbook_; }

private:
    void OnFlight(int flightId, bool ended);
    // Writes the programme's mission for the step in force, when it is listed.
    void WriteProgrammeMission(const TProgrammeState& state);
    bool SaveState(const TProgrammeState& state);
    void Warn(const QString& text);

    TLogbookHost& host_;
    QWidget* window_;
    std::optional<TLogbook> logbook_;
    std::filesystem::path stateFile_;
    std::vector<TFlight> flights_;
    QLabel* programmeLabel_ = nullptr;
    QLabel* warning_ = nullptr;
    QListWidget* recent_ = nullptr;
    QPushButton* hold_ = nullptr;
    TDebriefDialog* debrief_ = nullptr;
    TLogbookDialog* book_ = nullptr;
};

}  // namespace zelk
