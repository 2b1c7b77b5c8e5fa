// The landing gear's touchdown geometry, shared by the gear blocks of the
// flight step, class set-up and the sound set-up after creation (vessel
// frame, metres; nose point first, then the left and right main wheels).
#pragma once

#include "module/orbiter_api.h"

// Each unit of strut extension lowers a wheel's contact point by this much.
const double kStrutTravel = 0.555;

// Gear down with one strut extension s for all three wheels.
void SetGearDownTouchdownPoints(const VESSEL &v, double s);
// Taxiing fast: the nose strut at s, the main struts at m. The main wheels'
// base height lies 0.01 m below the gear-down set's.
void SetTaxiingTouchdownPoints(const VESSEL &v, double s, double m);
// Gear up.
void SetGearUpTouchdownPoints(const VESSEL &v);
