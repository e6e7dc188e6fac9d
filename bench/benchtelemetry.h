#ifndef BENCHTELEMETRY_H
#define BENCHTELEMETRY_H

#include "bench/benchreport.h"

// One day of 10 Hz telemetry logging (a few MB) imported into the demo logbook: read,
// split into flights, matched and applied, as the preview and its Apply do.
Figure measureTelemetryImport(int runs);

#endif // BENCHTELEMETRY_H
