#pragma once

// The processor watch's source of samples: the total processor usage through
// the Performance Data Helper. Tests replace it to feed chosen samples.
struct CpuSampler {
  // Opens the query and adds the total-usage counter; false when either fails.
  bool (*open)();
  // Collects and formats one sample; false when the counter could not be read
  // (the value is then not touched).
  bool (*sample)(double* percent);
  void (*close)();
};
const CpuSampler& CurrentCpuSampler();
// Null restores the PDH sampler. Tests only.
void SetCpuSampler(const CpuSampler* sampler);
