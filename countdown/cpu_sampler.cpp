#include "cpu_sampler.h"

#include <windows.h>
#include <pdh.h>
#include <pdhmsg.h>

namespace {

PDH_HQUERY query;
PDH_HCOUNTER counter;

constexpr const wchar_t* kCounterPath = L"\\Processor(_Total)\\% Processor Time";

void PdhClose() {
  if (query) PdhCloseQuery(query);
  query = nullptr;
  counter = nullptr;
}

bool PdhOpen() {
  PdhClose();
  if (PdhOpenQueryW(nullptr, 0, &query) != ERROR_SUCCESS) {
    query = nullptr;
    return false;
  }
  // The English path works on every display language; the localized call is
  // the fallback where the English one is missing.
  if (PdhAddEnglishCounterW(query, kCounterPath, 0, &counter) != ERROR_SUCCESS &&
      PdhAddCounterW(query, kCounterPath, 0, &counter) != ERROR_SUCCESS) {
    PdhClose();
    return false;
  }
  PdhCollectQueryData(query);  // the baseline the first sample is measured against
  return true;
}

bool PdhSample(double* percent) {
  if (!query || PdhCollectQueryData(query) != ERROR_SUCCESS) return false;
  PDH_FMT_COUNTERVALUE value{};
  if (PdhGetFormattedCounterValue(counter, PDH_FMT_DOUBLE, nullptr, &value) != ERROR_SUCCESS)
    return false;
  if (value.CStatus != PDH_CSTATUS_VALID_DATA && value.CStatus != PDH_CSTATUS_NEW_DATA) return false;
  *percent = value.doubleValue;
  return true;
}

const CpuSampler pdhSampler = {PdhOpen, PdhSample, PdhClose};
const CpuSampler* sampler = &pdhSampler;

}  // namespace

const CpuSampler& CurrentCpuSampler() { return *sampler; }
void SetCpuSampler(const CpuSampler* replacement) { sampler = replacement ? replacement : &pdhSampler; }
