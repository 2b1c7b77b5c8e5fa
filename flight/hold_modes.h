// The altitude hold's throttle nudge, shared by the flight step and the
// pilot's manual.
#pragma once

const double kNudgeLimit = 0.015;  // clamp of vspeed_tenth for the throttle nudge
const double kDeadBand = 0.009;    // vspeed_tenth within +-0.009 leaves the throttle alone
