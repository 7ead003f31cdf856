#pragma once
// The window's controls as the tests reach them: by the object names the
// form gives them, never through the window's own members. A name the form
// no longer has stops the test at once.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

#include "ui/spinedit.h"

namespace zelk::test {

template <typename T>
T* Named(const QObject& form, const char* name) {
    T* found = form.findChild<T*>(QLatin1String(name));
    if (found == nullptr) qFatal("the window has no %s", name);
    return found;
}

struct TControls {
    explicit TControls(const QObject& f)
        : lboxMissions(Named<QListWidget>(f, "lboxMissions")),
          FileName(Named<QLineEdit>(f, "FileName")),
          MissionShort(Named<QPlainTextEdit>(f, "MissionShort")),
          MissionComment(Named<QPlainTextEdit>(f, "MissionComment")),
          LabelCommentChars(Named<QLabel>(f, "LabelCommentChars")),
          PanelPreview(Named<QFrame>(f, "PanelPreview")),
          Image(Named<QLabel>(f, "Image")),
          BitBtnNew(Named<QPushButton>(f, "BitBtnNew")),
          BitBtnSave(Named<QPushButton>(f, "BitBtnSave")),
          BitBtnCopy(Named<QPushButton>(f, "BitBtnCopy")),
          BitBtnDelete(Named<QPushButton>(f, "BitBtnDelete")),
          PageControl(Named<QTabWidget>(f, "PageControl")),
          TabSheet1(Named<QWidget>(f, "TabSheet1")),
          TabSheet2(Named<QWidget>(f, "TabSheet2")),
          comboMaps(Named<QComboBox>(f, "comboMaps")),
          comboArmy(Named<QComboBox>(f, "comboArmy")),
          comboTargets(Named<QComboBox>(f, "comboTargets")),
          checkMoving(Named<QCheckBox>(f, "checkMoving")),
          comboModes(Named<QComboBox>(f, "comboModes")),
          comboDifficulty(Named<QComboBox>(f, "comboDifficulty")),
          comboAircrafts(Named<QComboBox>(f, "comboAircrafts")),
          comboFlight(Named<QComboBox>(f, "comboFlight")),
          editHeight(Named<TSpinEdit>(f, "editHeight")),
          comboTime(Named<QComboBox>(f, "comboTime")),
          comboWeather(Named<QComboBox>(f, "comboWeather")),
          comboClouds(Named<QComboBox>(f, "comboClouds")),
          comboTanksRed(Named<QComboBox>(f, "comboTanksRed")),
          comboTanksBlue(Named<QComboBox>(f, "comboTanksBlue")),
          checkRandomRoute(Named<QCheckBox>(f, "checkRandomRoute")),
          editFighters(Named<TSpinEdit>(f, "editFighters")),
          speedAuto(Named<QPushButton>(f, "speedAuto")),
          LabelAutoState(Named<QLabel>(f, "LabelAutoState")),
          BitBtnRunTheGame(Named<QPushButton>(f, "BitBtnRunTheGame")),
          BitBtnDoctor(Named<QPushButton>(f, "BitBtnDoctor")),
          ActionNew(Named<QAction>(f, "ActionNew")),
          ActionSave(Named<QAction>(f, "ActionSave")),
          ActionCopy(Named<QAction>(f, "ActionCopy")),
          ActionDelete(Named<QAction>(f, "ActionDelete")) {}

    QListWidget* lboxMissions;
    QLineEdit* FileName;
    QPlainTextEdit* MissionShort;
    QPlainTextEdit* MissionComment;
    QLabel* LabelCommentChars;
    QFrame* PanelPreview;
    QLabel* Image;
    QPushButton* BitBtnNew;
    QPushButton* BitBtnSave;
    QPushButton* BitBtnCopy;
    QPushButton* BitBtnDelete;
    QTabWidget* PageControl;
    QWidget* TabSheet1;
    QWidget* TabSheet2;
    QComboBox* comboMaps;
    QComboBox* comboArmy;
    QComboBox* comboTargets;
    QCheckBox* checkMoving;
    QComboBox* comboModes;
    QComboBox* comboDifficulty;
    QComboBox* comboAircrafts;
    QComboBox* comboFlight;
    TSpinEdit* editHeight;
    QComboBox* comboTime;
    QComboBox* comboWeather;
    QComboBox* comboClouds;
    QComboBox* comboTanksRed;
    QComboBox* comboTanksBlue;
    QCheckBox* checkRandomRoute;
    TSpinEdit* editFighters;
    QPushButton* speedAuto;
    QLabel* LabelAutoState;
    QPushButton* BitBtnRunTheGame;
    QPushButton* BitBtnDoctor;
    QAction* ActionNew;
    QAction* ActionSave;
    QAction* ActionCopy;
    QAction* ActionDelete;
};

// The controls of this window, looked up anew: a window made again has new ones.
inline TControls On(const QObject& form) { return TControls(form); }

}  // namespace zelk::test
