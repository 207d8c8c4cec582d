#pragma once

// Adding and deleting events of the current trace through the event-analysis library.
// Both do nothing (and show nothing) when their preconditions are not met.

// Inserts an event at the active cursor (cursor A or B alone) into the current trace.
void AddEvent();

// Deletes the event of the main event list's first selected row from the current trace.
void DeleteEvent();
