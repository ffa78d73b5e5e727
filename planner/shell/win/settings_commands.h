// What the main frame, the start-up and the document's hooks call of the
// settings part: the settings sheet (command 32811), the keyword reservation
// pass, the once-a-second work (refresh guard, daily old content deletion) and
// the old content deletion at start.
#pragma once

// Command 32811: the settings sheet, modal.
void OpenSettings();
// The keyword reservation pass; true when it reserved anything.
bool RunKeywordSearch();
// Once a second (every 10th tick of the frame timer).
void SettingsSecondTick();
// After the main window is shown: the old content deletion, when it is set to
// run at start.
void RunOldContentAtStart();
