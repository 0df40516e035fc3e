#pragma once

class QWidget;

namespace lantrel {

// Start-up's resource check. True when every imported resource is present, or when an import
// brings them (from VeltoSeq.exe beside the program, a running sequencer, or the file the user
// names in the locate dialog). Otherwise says goodbye in a message box and answers false: the
// program cannot draw or play without them and ends.
bool setUpResources(QWidget* parent = nullptr);

}  // namespace lantrel
