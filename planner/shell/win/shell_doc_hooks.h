// The document's hooks as the shell fills them: reservations and results from
// the reservation code and the plugged-in parts, the views' share forwarded to
// the timetable's panes, posts to the main frame, the wait cursor and the
// guide server's failure message.
#pragma once
#include <windows.h>

#include "planner/timetable/tavora_doc.h"

class CShellDocHooks : public PlannerDocHooks {
 public:
  void SetViewHooks(PlannerDocHooks* views) { views_ = views; }

  bool BaseSetUp() override { return true; }
  void ReadCategoryGroups() override { if (views_) views_->ReadCategoryGroups(); }
  void AssignColourGroups() override { if (views_) views_->AssignColourGroups(); }
  void BuildTitleRows() override { if (views_) views_->BuildTitleRows(); }
  void FreeTitleRows() override { if (views_) views_->FreeTitleRows(); }
  bool LoadReservationsAndResults() override;
  void ReloadResults() override;
  bool RescanReservations() override;
  bool RunKeywordReservation() override;
  void NotifyUnit() override;
  void LayOutReservationLanes() override;
  int MeasureCharHeight(int fontSize) override { return views_ ? views_->MeasureCharHeight(fontSize) : 0; }
  bool DeepColour() override { return views_ ? views_->DeepColour() : true; }
  void LoadColours() override { if (views_) views_->LoadColours(); }
  void BuildDisplayRules() override { if (views_) views_->BuildDisplayRules(); }
  void SaveDisplayRules() override { if (views_) views_->SaveDisplayRules(); }
  void RebuildFonts() override { if (views_) views_->RebuildFonts(); }
  void RedrawAllViews() override;
  void PostToMainFrame(int command) override;
  void WaitCursor(bool on) override;
  bool ShowServerFailure() override;

 private:
  PlannerDocHooks* views_ = nullptr;
  HCURSOR savedCursor_ = nullptr;
};
