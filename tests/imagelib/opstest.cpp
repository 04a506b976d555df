#include "opstest.h"

namespace opstest {
namespace {

uint32_t gStopAt = 0;
std::vector<std::pair<uint32_t, uint32_t>> gReports;

BOOL WINAPI Probe(uint32_t row, uint32_t rows, uint32_t)
{
    gReports.emplace_back(row, rows);
    return gStopAt == 0 || gReports.size() < gStopAt;
}

}  // namespace

ProgressProbe::ProgressProbe(uint32_t stopAt)
{
    gStopAt = stopAt;
    gReports.clear();
    SetProgressCallback(Probe, 0);
}

ProgressProbe::~ProgressProbe() { SetProgressCallback(nullptr, 0); }

const std::vector<std::pair<uint32_t, uint32_t>> &ProgressProbe::Reports() const { return gReports; }

}  // namespace opstest
