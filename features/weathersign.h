// The weather sign on the shop front (object 119): a thermometer with its
// reading and a picture of the station's weather, painted into the
// background only when what they show has changed, and the bubble with the
// whole report. On the thread that owns the scene.
#pragma once

#include "base/common.h"
#include "core/metar.h"

constexpr int kWeatherSignObject = 119;

void UpdateWeatherSign();
// Closes an open bubble, or opens one with the report.
void ShowWeatherBubble();

// How often each part was painted since the last build, for the checks.
struct WeatherSignPaints {
    int thermometer;
    int picture;
};
WeatherSignPaints WeatherSignPaintCount();
// The weather picture's name for a report, the local hour and the station's
// offset in hours.
void WeatherPictureName(int cover, int kind, int hour, int offset, char *name, size_t size);
// The bubble's text for a report.
void WeatherBubbleText(const WeatherReportData &report, char *text, size_t size);
