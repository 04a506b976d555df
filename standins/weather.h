// The weather sign, until its own code comes: the sign and its bubble stay as
// they are (the report itself comes from services/weather).
#pragma once

void UpdateWeatherSign();
void ShowWeatherBubble();
