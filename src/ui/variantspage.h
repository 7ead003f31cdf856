#pragma once
// The route preview in the picture area and the journal of variants on the
// second page: what the pilot flies, seen before the flight and flown again.
#include <QMessageBox>
#include <QObject>

#include <cstdint>
#include <string>
#include <vector>

#include "data/refdata.h"
#include "library/journal.h"
#include "mission/mission.h"
#include "preview/sortie.h"
#include "ui/askbox.h"

class QFrame;
class QLabel;
class QListWidget;
class QPushButton;

namespace zelk {

struct TSimPaths;

// What the page asks of the window.
class TVariantsHost {
public:
    virtual TMission* CurrentMission() const = 0;
    // The current mission as a save would write it now.
    virtual TMission MissionAsSaved() const = 0;
    virtual const TRefData& RefData() const = 0;
    virtual const TSimPaths& Paths() const = 0;
    virtual bool AutoOn() const = 0;
    virtual void CommitEdits() = 0;
    virtual std::vector<std::string> CommentFromBox() const = 0;
    virtual QMessageBox::StandardButton AskPilot(TAskKind kind, const QString& caption, const QString& text) = 0;
    virtual void ReportError(const QString& message) = 0;
    // Settles the current mission and shows it in every control.
    virtual void ShowMission() = 0;
    virtual void ShowTargetPicture() = 0;
    // The list of variants changed: the window enables what it offers.
    virtual void VariantsListed() = 0;

protected:
    ~TVariantsHost() = default;
};

// The page's controls, all the form's.
struct TVariantsControls {
    QLabel* Title = nullptr;
    QListWidget* List = nullptr;
    QPushButton* Restore = nullptr;
    QPushButton* Surprise = nullptr;
    QLabel* Picture = nullptr;
    QFrame* PicturePanel = nullptr;
    // The pages whose values change the route.
    std::vector<QWidget*> Sheets;
};

class TVariantsPage final : public QObject {
    Q_OBJECT
public:
    // `journal` may be null: no folder for it could be found.
    TVariantsPage(TVariantsHost& host, TVariantsControls controls, const TJournal* journal, QWidget* window);

    // A seed for a changed mission's next save, and the page line naming it.
    static std::uint64_t DrawSeed();
    void ShowNextSeed(const TMission* mission);
    // The current mission's saves from the journal, newest first.
    void ShowVariants();
    bool HasVariants() const { return !listed_.empty(); }
    // The variant selected becomes the current mission's content; its next
    // save writes that variant again.
    void RestoreVariant();
    // The current mission's conditions drawn at random among what the data
    // offer (Ctrl+R).
    void DoSurprise();

    // The picture area shows the route of the current mission instead of the
    // target's photograph (a click on it, or Ctrl+M); a double click opens it large.
    void ToggleRoutePreview();
    bool ShowsRoute() const { return showRoute_; }
    const TSortie& DrawnSortie() const { return drawnSortie_; }
    void OpenRouteWindow();
    // Draws the route once the values changing now have settled.
    void QueuePreview();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowRoutePreview();

    TVariantsHost& host_;
    TVariantsControls c_;
    const TJournal* journal_;
    bool showRoute_ = false;
    TSortie drawnSortie_;
    bool previewQueued_ = false;
    std::vector<TVariant> listed_;  // newest first, as the list shows them
};

}  // namespace zelk
