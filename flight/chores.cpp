// The flight step's own chores: time-acceleration cap, refuelling, exterior
// lights, spot light, attitude-control mode, camera head motion, fuel gauge
// and status-panel indicators.
#include "flight/blocks.h"
#include "module/handles.h"
#include "module/shuttlepb.h"
#include "module/state.h"

void CapTimeAcceleration(ShuttlePB &) {}
void Refuel(ShuttlePB &) {}
void ExteriorLights(ShuttlePB &) {}
void SpotLight(ShuttlePB &) {}
void AttitudeControlMode(ShuttlePB &, StepValues &) {}
void CameraHeadMotion(ShuttlePB &, StepValues &) {}
void FuelGauge(ShuttlePB &) {}
void StatusIndicators(ShuttlePB &) {}
