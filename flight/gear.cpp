// Landing gear, struts and ground contact: touchdown points, strut
// suspension and touchdown bounce, wheel roll, nose-wheel steering and the
// gear's own motion.
#include "flight/blocks.h"
#include "module/handles.h"
#include "module/shuttlepb.h"
#include "module/state.h"

void SetGearDownTouchdownPoints(const VESSEL &v, double s) {
  v.SetTouchdownPoints(_V(0, -2.13414 - 0.555 * s, 3.10011), _V(-1.285973, -2.137747 - 0.555 * s, -2.175774),
                       _V(1.285973, -2.137747 - 0.555 * s, -2.175774));
}

void GearUpTouchdownPoints(ShuttlePB &) {}
void FastFlightStruts(ShuttlePB &, StepValues &) {}
void TaxiingStruts(ShuttlePB &, StepValues &) {}
void HoverStruts(ShuttlePB &, StepValues &) {}
void TouchdownBounce(ShuttlePB &, StepValues &) {}
void WheelRoll(ShuttlePB &, StepValues &) {}
void NoseWheelSteering(ShuttlePB &, StepValues &) {}
void GearMotion(ShuttlePB &) {}
