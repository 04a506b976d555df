#include "standins/weather.h"

void UpdateWeatherSign() {}
void ShowWeatherBubble() {}
