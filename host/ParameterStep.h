#pragma once
// ParameterStep: the in-place undo of a parameter change. Going back and
// forth sets the value as a machine's own editor does, through
// SetParameterNotify with the machine locked, so the machine, the views
// that show it and the audio side see it as a user's change.
//
// Threads: user-interface thread only.

#include "host/InPlaceStep.h"

class CMachine;

CInPlaceStep ParameterStep(CMachine* machine, int index, double before, double after);
