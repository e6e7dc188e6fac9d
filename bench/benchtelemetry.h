#ifndef BENCHTELEMETRY_H
#define BENCHTELEMETRY_H

#include "bench/benchreport.h"

// One day of 10 Hz telemetry logging (a few MB) imported into the demo logbook: read,
// split into flights, matched and applied, as the preview and its Apply do.
Figure measureTelemetryImport(int runs);
// A log of 100 MB (17 days of 10 Hz logging in one file) through the reader, as the
// preview reads it.
Figure measureLongTelemetryLog(int runs);

#endif // BENCHTELEMETRY_H
