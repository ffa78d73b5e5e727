// Where the received list meets the planner document: collection into the
// document's result marks.
#pragma once

class CTavoraDoc;
class ReceptionHistory;

// Copies the received list into the document's result marks (oldest first).
void PublishResultMarks(const ReceptionHistory& history, CTavoraDoc& doc);

// Collects the document's history folder; when the list changed, republishes the
// marks and runs UpdateProgramMarks. True when the list changed. The frame's
// one-minute timer, command 32798 and the document's load call this.
bool CollectIntoDocument(ReceptionHistory& history, CTavoraDoc& doc);
