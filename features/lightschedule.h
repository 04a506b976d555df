// The light controller's scheduled pass: the lights of the day phase and the
// hour, the flicker of the upper windows, the countdown of timed lights and
// the roller shutter's next step. Once a scheduler pass, on the animation
// thread.
#pragma once

void ScheduledLights();
// Passes left until the next flicker round.
int FlickerCountdown();
void ResetLightSchedule();
